// tempdb as scratch: a damaged file is made afresh when the server opens, a tempdb still in WAL
// mode changes to a rollback journal when no other process holds it, work tables written by one
// connection are read whole by another, and a gone process's work tables are dropped without
// holding up a connection while tempdb is being read.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/engine.h"
#include "server_dir.h"

namespace fs = std::filesystem;

namespace xfer::engine {
namespace {

class Tempdb : public testing::ServerDirTest {
 protected:
  void SetUp() override {
    ServerDirTest::SetUp();
    Server::Open(dir_, true);
  }

  std::string File() const { return (fs::path(dir_) / "tempdb.db").string(); }

  std::string JournalMode() const {
    sqlite3* db = nullptr;
    sqlite3_open(File().c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr);
    std::string mode = sqlite3_step(st) == SQLITE_ROW
                           ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                           : "?";
    sqlite3_finalize(st);
    sqlite3_close(db);
    return mode;
  }

  // Two connections of a fresh server: one writes a work table, the other counts it.
  long long WrittenAndCounted() {
    auto server = Server::Open(dir_, false);
    Connection writer(server), reader(server);
    writer.Execute(
        "CREATE TABLE ##Work (N int, T varchar(20)) INSERT INTO ##Work VALUES (1, 'a'), (2, 'b')");
    auto sets = reader.Execute("SELECT COUNT(*) AS n FROM ##Work");
    return std::get<long long>(sets.back().rows[0][0]);
  }
};

TEST_F(Tempdb, KeepsARollbackJournal) {
  EXPECT_EQ(JournalMode(), "delete");
  EXPECT_EQ(WrittenAndCounted(), 2);
}

TEST_F(Tempdb, ALoggedTempdbChangesOverWhenTheServerOpens) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(File().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(JournalMode(), "wal");
  // Held open by another process (here another handle): the log stays and the server still works.
  ASSERT_EQ(sqlite3_open(File().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
            SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
      SQLITE_OK);
  EXPECT_EQ(WrittenAndCounted(), 2);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  Server::Open(dir_, false);
  EXPECT_EQ(JournalMode(), "delete");
}

TEST_F(Tempdb, ADamagedFileIsMadeAfresh) {
  fs::remove(File());
  std::ofstream(File(), std::ios::binary) << std::string(8192, 'x');
  EXPECT_EQ(WrittenAndCounted(), 2);
  EXPECT_EQ(JournalMode(), "delete");
}

TEST_F(Tempdb, AGoneProcesssTablesWaitWhileTempdbIsRead) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(File().c_str(), &db), SQLITE_OK);
  // No process has this number: the table's owner is gone.
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE \"##Gone\" (a int); INSERT INTO __xfer_owner VALUES "
                         "('##Gone', '2147483646:1')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "BEGIN; SELECT count(*) FROM \"##Gone\"", nullptr, nullptr, nullptr),
            SQLITE_OK);
  auto server = Server::Open(dir_, false);
  const auto started = std::chrono::steady_clock::now();
  Connection(server).Execute("SELECT 1 AS x");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  auto gone = [&] {
    auto sets = Connection(server).Execute(
        "SELECT COUNT(*) AS n FROM tempdb..sysobjects WHERE name = '##Gone'");
    return std::get<long long>(sets.back().rows[0][0]);
  };
  EXPECT_EQ(gone(), 1);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  Connection(server).Execute("SELECT 1 AS x");
  EXPECT_EQ(gone(), 0);
}

}  // namespace
}  // namespace xfer::engine
