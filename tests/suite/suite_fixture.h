// A fresh embedded server in a temporary directory with the registry installed, and helpers to
// read single values and whole columns back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"

namespace xfer::suite::testing {

std::string TempDirectory(const std::string& tag);

class SuiteServer : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates period KELVARO_<code>_<year> with the given widths.
  void MakePeriod(const std::string& code, const std::string& year, const CodeWidths& w = {});
  // Runs a batch in `database`.
  void Run(const std::string& database, const std::string& batch);
  // First column of the first row of the last result set, formatted; "<none>" without rows.
  std::string Value(const std::string& database, const std::string& query);
  // First column of every row, formatted.
  std::vector<std::string> Column(const std::string& database, const std::string& query);

  std::string dir_;
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> conn_;
};

}  // namespace xfer::suite::testing
