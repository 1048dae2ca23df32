// Module transfer tests on copies of one demo server: the chart-of-accounts form's periods
// KELVARO_1_1402 (source) and KELVARO_1_1403 (destination), with helpers that read tables back
// by key and checksum whole databases.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "transfer/modules/module_transfer.h"

namespace xfer::transfer::testing {

inline constexpr const char* kSource = "KELVARO_1_1402";
inline constexpr const char* kDest = "KELVARO_1_1403";

// The rows of a table by the value of a key expression, each row as the text of `columns`.
using KeyedRows = std::map<std::string, std::vector<std::string>>;

class ModuleFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A copy of the demo server under `tag`; removed at tear-down.
  std::string CopyServer(const std::string& tag);
  // Points the reading helpers at another server directory.
  void Reopen(const std::string& dir);
  // The frame of `form` (the chart-of-accounts form unless given) over kDest of `server`,
  // `source` marked.
  std::unique_ptr<ModuleTransfer> Start(const std::string& server,
                                        const std::string& source = kSource,
                                        const ModuleForm* form = nullptr);
  void UseRemote(ModuleTransfer& t, const std::string& server);

  void Run(const std::string& db, const std::string& sql);
  std::string Value(const std::string& db, const std::string& sql);
  KeyedRows Rows(const std::string& db, const ModuleTable& t);
  // Every user table of `db` with its sorted rows, as one text per table.
  std::map<std::string, std::string> Checksums(const std::string& db);

  std::string dir_;  // the local server
  std::vector<std::string> dirs_;
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> conn_;
  db::HostGlobal g_;
  db::HostDate date_;
  db::HostDatabase link_;
  db::ScriptedDialogs dialogs_;
};

}  // namespace xfer::transfer::testing
