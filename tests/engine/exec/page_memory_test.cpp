// The page caches draw on the region the engine sets aside before SQLite first runs, and slots a
// closed connection gave back serve the next one rather than new memory; a process that started
// SQLite itself before the engine still works, its caches on the heap. ctest runs each case in a
// process of its own, so each meets SQLite as it stands at a program's start.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "engine/engine.h"
#include "server_dir.h"

namespace fs = std::filesystem;

namespace xfer::engine {
namespace {

class PageMemory : public testing::ServerDirTest {
 protected:
  // A table of some thousand pages written and read back on a connection of its own.
  long long Work(const std::string& db) {
    Connection c(Server::Open(dir_, true));
    c.Execute("IF DB_ID('" + db + "') IS NULL CREATE DATABASE " + db);
    c.Execute(
        "USE " + db +
        " CREATE TABLE T (N int, S varchar(400)) INSERT INTO T VALUES (0, REPLICATE('x', 400))");
    for (int i = 0; i < 12; ++i) c.Execute("INSERT INTO T SELECT N + 1, S FROM T");
    auto sets = c.Execute("SELECT COUNT(*) FROM T WHERE S LIKE 'x%'");
    return std::get<long long>(sets.back().rows[0][0]);
  }

  static sqlite3_int64 Used(int what) {
    sqlite3_int64 now = 0, high = 0;
    sqlite3_status64(what, &now, &high, 0);
    return high;
  }
};

TEST_F(PageMemory, CachesComeFromTheRegionAndItsSlotsAreUsedAgain) {
  ASSERT_EQ(Work("A"), 4096);
  const sqlite3_int64 first = Used(SQLITE_STATUS_PAGECACHE_USED);
  EXPECT_GT(first, 500);  // pages, not bytes: the table's pages came from the region
  EXPECT_EQ(Used(SQLITE_STATUS_PAGECACHE_OVERFLOW), 0);
  // The same work on another database after the first connection closed takes no more slots
  // than the first needed at its height.
  ASSERT_EQ(Work("B"), 4096);
  EXPECT_LE(Used(SQLITE_STATUS_PAGECACHE_USED), first + 64);
}

TEST_F(PageMemory, AProcessThatStartedSqliteFirstKeepsItsCachesOnTheHeap) {
  sqlite3* own = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &own), SQLITE_OK);
  ASSERT_EQ(Work("A"), 4096);
  EXPECT_EQ(Used(SQLITE_STATUS_PAGECACHE_USED), 0);
  EXPECT_GT(Used(SQLITE_STATUS_PAGECACHE_OVERFLOW), 0);
  sqlite3_close(own);
}

}  // namespace
}  // namespace xfer::engine
