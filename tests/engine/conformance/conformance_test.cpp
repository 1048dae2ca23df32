// Runs every case file against a fresh embedded server and compares the outcome of each record
// with SQL Server's documented answer: success, the error number, or the printed result sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "engine/engine.h"

namespace xfer::engine::conformance {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxFailuresPerFile = 25;

fs::path CaseDirectory() {
  if (const char* over = std::getenv("XFER_CONFORMANCE_CASES")) return over;
  return XFER_CONFORMANCE_CASES;
}

// Names of the case files, relative to the case directory.
std::vector<std::string> CaseFiles() {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(CaseDirectory(), ec))
    if (entry.is_regular_file() && entry.path().extension() == ".test")
      files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// What `xfer sql` prints for a batch: each result set, an empty line between them.
std::string FormatResults(const std::vector<ResultSet>& sets) {
  std::string out;
  for (size_t i = 0; i < sets.size(); ++i) {
    if (i > 0) out += "\n\n";
    std::string one = FormatResultSet(sets[i]);
    while (!one.empty() && one.back() == '\n') one.pop_back();
    out += one;
  }
  return TrimTrailingBlankLines(out);
}

bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle) {
  auto lower = [](std::string_view s) {
    std::string r(s);
    for (char& c : r)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
  };
  return lower(haystack).find(lower(needle)) != std::string::npos;
}

// A server in a temporary directory of its own, removed afterwards.
class ScratchServer {
 public:
  ScratchServer() {
    std::string pattern = (fs::temp_directory_path() / "xfer-conformance-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    directory_ = pattern;
    server_ = Server::Open(directory_, true);
  }
  ~ScratchServer() {
    connections_.clear();
    server_.reset();
    std::error_code ec;
    std::filesystem::remove_all(directory_, ec);
  }
  ScratchServer(const ScratchServer&) = delete;
  ScratchServer& operator=(const ScratchServer&) = delete;

  // The connection numbered `k`, opened on master at first use.
  Connection& Get(int k) {
    auto it = connections_.find(k);
    if (it == connections_.end())
      it = connections_.emplace(k, std::make_unique<Connection>(server_)).first;
    return *it->second;
  }
  void Close(int k) { connections_.erase(k); }

 private:
  std::string directory_;
  std::shared_ptr<Server> server_;
  std::map<int, std::unique_ptr<Connection>> connections_;
};

std::string Describe(const std::string& file, const Record& r) {
  return file + ":" + std::to_string(r.line) + "\n--- batch\n" + r.batch + "\n";
}

// Runs one record; returns a description of the mismatch, empty when it matched.
std::string RunRecord(ScratchServer& server, int connection, const std::string& file,
                      const Record& r) {
  std::vector<ResultSet> sets;
  try {
    sets = server.Get(connection).Execute(r.batch);
  } catch (const SqlError& e) {
    std::string got = "error " + std::to_string(e.number()) + ": " + e.message();
    if (r.kind != RecordKind::StatementError)
      return Describe(file, r) + "--- expected success, got " + got + "\n";
    if (e.number() != r.errorNumber || !ContainsIgnoringCase(e.message(), r.errorText))
      return Describe(file, r) + "--- expected error " + std::to_string(r.errorNumber) +
             (r.errorText.empty() ? "" : " containing \"" + r.errorText + "\"") + ", got " + got +
             "\n";
    return {};
  } catch (const std::exception& e) {
    return Describe(file, r) + "--- unexpected exception: " + e.what() + "\n";
  }
  if (r.kind == RecordKind::StatementError)
    return Describe(file, r) + "--- expected error " + std::to_string(r.errorNumber) +
           ", the batch succeeded\n";
  if (r.kind == RecordKind::Query) {
    std::string actual = FormatResults(sets);
    if (actual != r.expected)
      return Describe(file, r) + "--- expected\n" + r.expected + "\n--- actual\n" + actual + "\n";
  }
  return {};
}

class ConformanceTest : public testing::TestWithParam<std::string> {};

TEST_P(ConformanceTest, MatchesSqlServer) {
  const std::string& file = GetParam();
  std::vector<Record> records;
  try {
    records = ParseCaseFile(ReadFile((CaseDirectory() / file).string()));
  } catch (const std::exception& e) {
    FAIL() << file << ": " << e.what();
  }
  ASSERT_FALSE(records.empty()) << file << " has no records";

  ScratchServer server;
  int current = 1;
  int failures = 0;
  for (const Record& r : records) {
    if (r.kind == RecordKind::Connection) {
      current = r.connection;
      continue;
    }
    if (r.kind == RecordKind::Disconnect) {
      server.Close(r.connection);
      continue;
    }
    std::string mismatch = RunRecord(server, current, file, r);
    if (mismatch.empty()) continue;
    ADD_FAILURE() << mismatch;
    if (++failures == kMaxFailuresPerFile) {
      ADD_FAILURE() << "stopping " << file << " after " << failures << " mismatches";
      break;
    }
  }
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = fs::path(info.param).stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ConformanceTest, testing::ValuesIn(CaseFiles()), TestName);

TEST(ConformanceCases, DirectoryHoldsCaseFiles) {
  EXPECT_FALSE(CaseFiles().empty()) << "no .test files in " << CaseDirectory();
}

}  // namespace
}  // namespace xfer::engine::conformance
