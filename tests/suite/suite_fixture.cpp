// Temporary servers for the suite tests.
#include "suite_fixture.h"
#include "temp_tree.h"

#include <unistd.h>
#include <atomic>

namespace xfer::suite::testing {

std::string TempDirectory(const std::string& tag) {
  static std::atomic<int> counter{0};
  auto path =
      std::filesystem::temp_directory_path() /
      ("xfer_suite_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  xfer_test::RemoveTree(path);
  return path.string();
}

void SuiteServer::SetUp() {
  dir_ = TempDirectory("srv");
  server_ = engine::Server::Open(dir_, true);
  conn_ = std::make_unique<engine::Connection>(server_);
  InstallRegistry(EngineRunner(*conn_));
}

void SuiteServer::TearDown() {
  conn_.reset();
  server_.reset();
  xfer_test::RemoveTree(dir_);
}

void SuiteServer::MakePeriod(const std::string& code, const std::string& year,
                             const CodeWidths& w) {
  PeriodSpec period;
  period.code = code;
  period.year = year;
  period.companyName = "شرکت آزمايشي";
  period.widths = w;
  CreatePeriod(EngineRunner(*conn_), period);
}

void SuiteServer::Run(const std::string& database, const std::string& batch) {
  conn_->Execute("USE " + database);
  conn_->Execute(batch);
}

std::string SuiteServer::Value(const std::string& database, const std::string& query) {
  conn_->Execute("USE " + database);
  auto sets = conn_->Execute(query);
  if (sets.empty() || sets.back().rows.empty()) return "<none>";
  return engine::FormatValue(sets.back().rows[0][0]);
}

std::vector<std::string> SuiteServer::Column(const std::string& database,
                                             const std::string& query) {
  conn_->Execute("USE " + database);
  auto sets = conn_->Execute(query);
  std::vector<std::string> out;
  if (sets.empty()) return out;
  for (const auto& row : sets.back().rows) out.push_back(engine::FormatValue(row[0]));
  return out;
}

}  // namespace xfer::suite::testing
