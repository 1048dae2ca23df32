// Literal formatting and batched INSERT ... VALUES for the demo generator.
#include "suite/row_writer.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>

#include "db/text_util.h"

namespace xfer::suite {

std::string Lit(std::string_view text) {
  return db::Quote(text);
}
std::string Lit(long long n) {
  return std::to_string(n);
}
std::string Lit(int n) {
  return std::to_string(n);
}
std::string Lit(double x) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

namespace {

// A column list "A, [B], C" as plain names.
std::vector<std::string> ColumnNames(const std::string& columns) {
  std::vector<std::string> out;
  size_t from = 0;
  for (;;) {
    const size_t comma = columns.find(',', from);
    std::string name(db::Trim(columns.substr(from, comma - from)));
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
      name = name.substr(1, name.size() - 2);
    out.push_back(name);
    if (comma == std::string::npos) return out;
    from = comma + 1;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value a literal Lit() wrote, or false for any other expression.
bool PlainValue(std::string_view lit, engine::Value& out) {
  if (lit == kNull) {
    out = std::monostate{};
    return true;
  }
  if (lit.size() >= 2 && lit.front() == '\'' && lit.back() == '\'') {
    std::string text;
    for (size_t i = 1; i + 1 < lit.size(); ++i) {
      text += lit[i];
      if (lit[i] == '\'') ++i;  // a doubled quote
    }
    out = std::move(text);
    return true;
  }
  if (lit.size() > 2 && lit[0] == '0' && (lit[1] == 'x' || lit[1] == 'X') && lit.size() % 2 == 0) {
    engine::Blob b;
    for (size_t i = 2; i < lit.size(); i += 2) {
      const int hi = HexDigit(lit[i]), lo = HexDigit(lit[i + 1]);
      if (hi < 0 || lo < 0) return false;
      b.bytes += static_cast<char>(hi * 16 + lo);
    }
    out = std::move(b);
    return true;
  }
  const char* end = lit.data() + lit.size();
  long long n = 0;
  auto r = std::from_chars(lit.data(), end, n);
  if (r.ec == std::errc() && r.ptr == end) {
    out = n;
    return true;
  }
  double x = 0;
  auto d = std::from_chars(lit.data(), end, x);
  if (d.ec == std::errc() && d.ptr == end) {
    out = x;
    return true;
  }
  return false;
}

}  // namespace

RowWriter::RowWriter(const DemoRunner& run, std::string table, std::string columns,
                     size_t rowsPerBatch)
    : run_(run),
      table_(table),
      columns_(ColumnNames(columns)),
      head_("INSERT INTO " + table + " (" + columns + ") VALUES "),
      perBatch_(std::max<size_t>(1, rowsPerBatch)) {}

void RowWriter::Add(const std::vector<std::string>& literals) {
  if (literals.size() != columns_.size())
    throw std::invalid_argument("row of " + std::to_string(literals.size()) + " values for " +
                                head_);
  // Rows go as values while every one is a plain literal; the first that is not sends what is
  // held and goes as text, so the order of rows never changes.
  if (run_.append && batch_.empty()) {
    std::vector<engine::Value> row(literals.size());
    bool plain = true;
    for (size_t i = 0; i < literals.size() && plain; ++i) plain = PlainValue(literals[i], row[i]);
    if (plain) {
      values_.push_back(std::move(row));
      ++rows_;
      if (++pending_ == perBatch_) Flush();
      return;
    }
    Flush();
  }
  batch_ += pending_ == 0 ? head_ : std::string(",\n");
  batch_ += '(';
  for (size_t i = 0; i < literals.size(); ++i) {
    if (i) batch_ += ", ";
    batch_ += literals[i];
  }
  batch_ += ')';
  ++rows_;
  if (++pending_ == perBatch_) Flush();
}

void RowWriter::Flush() {
  if (pending_ == 0) return;
  if (!values_.empty())
    run_.append(table_, columns_, values_);
  else
    run_(batch_);
  batch_.clear();
  values_.clear();
  pending_ = 0;
}

}  // namespace xfer::suite
