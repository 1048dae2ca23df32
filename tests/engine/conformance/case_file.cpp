// Line-oriented reader of the case format. A '#' line is a comment only where it cannot be part of
// a batch or of expected output: at the start, or after a blank or comment line. Result rows such
// as "##abc" therefore stay data when they follow other output lines.
#include "case_file.h"

#include <cctype>
#include <optional>
#include <stdexcept>

namespace xfer::engine::conformance {
namespace {

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole non-negative number; nullopt for anything else.
std::optional<int> ParseNumber(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  int n = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

// Recognizes a header line; fills kind, numbers and message part.
std::optional<Record> ParseHeader(std::string_view raw, int lineNo) {
  std::string_view line = TrimRight(raw);
  Record r;
  r.line = lineNo;
  if (line == "statement ok") {
    r.kind = RecordKind::StatementOk;
    return r;
  }
  if (line == "query") {
    r.kind = RecordKind::Query;
    return r;
  }
  constexpr std::string_view kError = "statement error ";
  if (line.starts_with(kError)) {
    std::string_view rest = line.substr(kError.size());
    size_t space = rest.find(' ');
    std::optional<int> n = ParseNumber(rest.substr(0, space));
    if (!n) Fail(lineNo, "statement error needs an error number");
    r.kind = RecordKind::StatementError;
    r.errorNumber = *n;
    if (space != std::string_view::npos) {
      std::string_view text = rest.substr(space + 1);
      while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      r.errorText = std::string(text);
    }
    return r;
  }
  for (auto [prefix, kind] : {std::pair{std::string_view("connection "), RecordKind::Connection},
                              std::pair{std::string_view("disconnect "), RecordKind::Disconnect}}) {
    if (!line.starts_with(prefix)) continue;
    std::optional<int> n = ParseNumber(line.substr(prefix.size()));
    if (!n) continue;  // not a directive: let it be ordinary text
    r.kind = kind;
    r.connection = *n;
    return r;
  }
  return std::nullopt;
}

}  // namespace

std::string TrimTrailingBlankLines(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty()) {
    size_t start = rest.rfind('\n');
    std::string_view last = start == std::string_view::npos ? rest : rest.substr(start + 1);
    if (!IsBlank(last)) break;
    rest = start == std::string_view::npos ? std::string_view() : rest.substr(0, start);
  }
  return std::string(rest);
}

std::vector<Record> ParseCaseFile(std::string_view text) {
  std::vector<Record> records;
  enum class State { Between, Batch, Expected } state = State::Between;
  std::optional<Record> open;
  std::string body;  // lines of the open record's current part
  bool previousBlankOrComment = true;

  auto close = [&]() {
    if (!open) return;
    if (open->kind == RecordKind::Query && state != State::Expected)
      Fail(open->line, "query without a ---- line");
    std::string part = TrimTrailingBlankLines(body);
    if (state == State::Batch)
      open->batch = std::move(part);
    else
      open->expected = std::move(part);
    if (open->batch.find_first_not_of(" \t\n") == std::string::npos)
      Fail(open->line, "record without a batch");
    records.push_back(std::move(*open));
    open.reset();
    body.clear();
    state = State::Between;
  };

  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNo;
    bool last = end == text.size();
    pos = end + 1;
    if (last && line.empty()) break;

    if (std::optional<Record> header = ParseHeader(line, lineNo)) {
      close();
      if (header->kind == RecordKind::Connection || header->kind == RecordKind::Disconnect) {
        records.push_back(std::move(*header));
      } else {
        open = std::move(header);
        state = State::Batch;
      }
      previousBlankOrComment = false;
      continue;
    }
    if (line.starts_with("#") && previousBlankOrComment) {
      close();
      continue;
    }
    previousBlankOrComment = IsBlank(line);
    if (state == State::Between) {
      if (!IsBlank(line)) Fail(lineNo, "text outside a record: " + std::string(line));
      continue;
    }
    if (state == State::Batch && open->kind == RecordKind::Query && TrimRight(line) == "----") {
      open->batch = TrimTrailingBlankLines(body);
      body.clear();
      state = State::Expected;
      continue;
    }
    body.append(line);
    body.push_back('\n');
  }
  close();
  return records;
}

}  // namespace xfer::engine::conformance
