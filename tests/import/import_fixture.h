// A demo server per test (copied from one built once per process) with the host's session on a
// destination period, the voucher import on it, and helpers that read vouchers back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "import/maly_import.h"

namespace xfer::import::testing {

inline constexpr const char* kSource = "KELVARO_1_1402";
inline constexpr const char* kDest = "KELVARO_1_1403";

// A built demo server of scale 1, made once per process; a fresh copy of it per call.
std::string PristineDemo();
std::string CopyOfDemo(const std::string& tag);

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The import on `database` of the test's server (Prepare done).
  std::unique_ptr<MalyImport> Open(const std::string& database = kDest);
  // A plain connection to the test's server for reading and setting up.
  engine::Connection& Sql();
  std::string Value(const std::string& sql);
  // Every row of a query as "a|b|c" texts.
  std::vector<std::string> Rows(const std::string& sql);

  std::string dir_;
  std::string work_;
  db::HostGlobal g_;
  db::HostDate date_;
  db::HostDatabase link_;
  db::ScriptedDialogs dialogs_;

 private:
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> sql_;
};

}  // namespace xfer::import::testing
