// Statements the engine keeps between runs (parsed batches, renders, table shapes) against
// changes a single script cannot show: another connection changing a table or a procedure, a
// rollback taking back a work table, and the kept tree of a batch itself.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/batch_cache.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "server_dir.h"

namespace fs = std::filesystem;

namespace xfer::engine {
namespace {

class KeptStatements : public testing::ServerDirTest {
 protected:
  void SetUp() override {
    ServerDirTest::SetUp();
    OpenWithDatabase("d");
    a_ = std::make_unique<Connection>(server_, "d");
    b_ = std::make_unique<Connection>(server_, "d");
  }
  void TearDown() override {
    a_.reset();
    b_.reset();
    ServerDirTest::TearDown();
  }

  // The first column of every row of the batch's last result set, as text.
  static std::string Column(Connection& c, const std::string& batch) {
    auto sets = c.Execute(batch);
    std::string out;
    for (const auto& row : sets.back().rows)
      out += (out.empty() ? "" : ",") + (IsNull(row[0]) ? "NULL" : FormatValue(row[0]));
    return out;
  }
  // The error number the batch ends with, 0 when it runs through.
  static int ErrorOf(Connection& c, const std::string& batch) {
    try {
      c.Execute(batch);
    } catch (const SqlError& e) {
      return e.number();
    }
    return 0;
  }

  std::unique_ptr<Connection> a_, b_;
};

TEST_F(KeptStatements, ATableMadeAnewByAnotherConnectionIsReadAnew) {
  const std::string insert = "INSERT INTO t (code) VALUES ('abcdef')";
  const std::string select = "SELECT code FROM t ORDER BY code";
  a_->Execute("CREATE TABLE t (code varchar(10))");
  ASSERT_EQ(ErrorOf(*a_, insert), 0);
  ASSERT_EQ(Column(*a_, select), "abcdef");

  b_->Execute("DROP TABLE t CREATE TABLE t (code varchar(3), n int) INSERT INTO t VALUES ('x', 1)");
  // The narrower column refuses what the kept insert let through before.
  EXPECT_EQ(ErrorOf(*a_, insert), 8152);
  EXPECT_EQ(Column(*a_, select), "x");
  EXPECT_EQ(Column(*a_, "SELECT * FROM t"), "x");
  EXPECT_EQ(a_->Execute("SELECT * FROM t").back().fields.size(), 2u);
}

TEST_F(KeptStatements, AProcedureAlteredByAnotherConnectionRunsItsNewBody) {
  a_->Execute("CREATE PROCEDURE p @v varchar(10) AS SELECT 'old ' + @v");
  EXPECT_EQ(Column(*a_, "EXEC p 'one'"), "old one");
  b_->Execute("ALTER PROCEDURE p @v varchar(10) AS SELECT 'new ' + @v");
  EXPECT_EQ(Column(*a_, "EXEC p 'one'"), "new one");
  EXPECT_EQ(Column(*a_, "EXEC p 'two'"), "new two");
}

TEST_F(KeptStatements, AGlobalWorkTableOfOtherColumnsIsReadAsItIsNow) {
  const std::string read = "SELECT v FROM ##g";
  a_->Execute("CREATE TABLE ##g (v int) INSERT INTO ##g VALUES (7)");
  EXPECT_EQ(Column(*a_, read), "7");
  a_->Execute("DROP TABLE ##g");
  b_->Execute("CREATE TABLE ##g (k int, v varchar(5)) INSERT INTO ##g VALUES (1, 'x')");
  EXPECT_EQ(Column(*a_, read), "x");
}

TEST_F(KeptStatements, AWorkTableARollbackTookBackIsNotConfusedWithItsSuccessor) {
  const std::string insert = "INSERT INTO #w VALUES ('abcdef')";
  a_->Execute("BEGIN TRAN CREATE TABLE #w (a varchar(3))");
  EXPECT_EQ(ErrorOf(*a_, insert), 8152);
  a_->Execute("ROLLBACK");
  // Made again, the table is at the schema version the rolled-back one had.
  a_->Execute("CREATE TABLE #w (a varchar(10))");
  EXPECT_EQ(ErrorOf(*a_, insert), 0);
  EXPECT_EQ(Column(*a_, "SELECT a FROM #w"), "abcdef");
}

TEST_F(KeptStatements, WorkBeforeBeginTranStandsWhenTheTransactionIsRolledBack) {
  a_->Execute("CREATE TABLE t (n int)");
  a_->Execute(
      "INSERT INTO t VALUES (1) BEGIN TRAN INSERT INTO t VALUES (2) ROLLBACK "
      "INSERT INTO t VALUES (3)");
  EXPECT_EQ(Column(*a_, "SELECT n FROM t ORDER BY n"), "1,3");
  // Committed work is what another connection reads.
  EXPECT_EQ(Column(*b_, "SELECT n FROM t ORDER BY n"), "1,3");
}

TEST_F(KeptStatements, ATableAlteredBetweenRunsIsReadWithItsNewColumns) {
  a_->Execute("CREATE PROCEDURE fill @v varchar(20) AS INSERT INTO t (code) VALUES (@v)");
  a_->Execute("CREATE TABLE t (code varchar(4))");
  EXPECT_EQ(ErrorOf(*a_, "EXEC fill 'abcdefgh'"), 8152);
  a_->Execute("ALTER TABLE t ALTER COLUMN code varchar(10)");
  EXPECT_EQ(ErrorOf(*a_, "EXEC fill 'abcdefgh'"), 0);
  a_->Execute("ALTER TABLE t ADD note varchar(5) NULL");
  EXPECT_EQ(a_->Execute("SELECT * FROM t").back().fields.size(), 2u);
  EXPECT_EQ(Column(*a_, "SELECT code FROM t"), "abcdefgh");
}

TEST_F(KeptStatements, StatisticsAreMeasuredOnRequestAndQueriesAnswerAsBefore) {
  std::vector<std::string> messages;
  a_->SetMessageSink({[&](const std::string& m) { messages.push_back(m); }, nullptr});
  a_->Execute(
      "CREATE TABLE t (k int PRIMARY KEY, v varchar(5)) "
      "INSERT INTO t VALUES (1, 'a'), (2, 'b'), (3, 'c')");
  const std::string query = "SELECT v FROM t WHERE k >= 2 ORDER BY k";
  EXPECT_EQ(Column(*a_, query), "b,c");
  a_->Execute("EXEC sp_updatestats");
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "Statistics for all tables have been updated.");
  EXPECT_EQ(Column(*a_, query), "b,c");
  EXPECT_EQ(Column(*b_, query), "b,c");
}

// The parsed-batch cache itself: one tree per shape, with the literals of the latest text.
TEST(BatchCacheTest, TextsOfOneShapeShareATreeThatTakesTheirLiterals) {
  BatchCache cache;
  const Batch* first = nullptr;
  {
    auto lease = cache.Parse("SELECT 'a' AS x WHERE 'k' = 'k'");
    first = &*lease;
  }
  auto again = cache.Parse("SELECT 'bb' AS x WHERE 'k2' = 'k'");
  EXPECT_EQ(&*again, first);
  EXPECT_EQ(again->text, "SELECT 'bb' AS x WHERE 'k2' = 'k'");
  const Expr& item = *again->statements.at(0)->select->items.at(0).expr;
  EXPECT_EQ(item.text, "bb");

  // While that tree runs, a text of its shape gets one of its own and leaves it alone.
  auto nested = cache.Parse("SELECT 'c' AS x WHERE 'k3' = 'k'");
  EXPECT_NE(&*nested, &*again);
  EXPECT_EQ(item.text, "bb");
}

TEST(BatchCacheTest, TextsThatDifferInWhatIsNotAValueGetTheirOwnTree) {
  BatchCache cache;
  const Batch* first = nullptr;
  {
    auto lease = cache.Parse("SELECT 1 AS 'name'");
    first = &*lease;
  }
  {
    // A column name written as text is part of the shape.
    auto other = cache.Parse("SELECT 1 AS 'other'");
    EXPECT_NE(&*other, first);
    EXPECT_EQ(other->statements.at(0)->select->items.at(0).alias, "other");
  }
  // So are the lines statements stand on, which error lines are told by.
  cache.Parse("SELECT 1 AS 'other'\n");
  auto down = cache.Parse("\nSELECT 1 AS 'other'");
  EXPECT_EQ(down->statements.at(0)->pos.line, 2);
}

TEST(BatchCacheTest, DefinitionsAreParsedEveryTime) {
  BatchCache cache;
  const std::string text = "CREATE PROCEDURE p AS SELECT 'x'";
  const Batch* first = nullptr;
  {
    auto lease = cache.Parse(text);
    first = &*lease;
    EXPECT_EQ(lease->statements.at(0)->procText, text);
  }
  auto second = cache.Parse("CREATE PROCEDURE p AS SELECT 'y'");
  EXPECT_NE(&*second, first);
  EXPECT_EQ(second->statements.at(0)->procText, "CREATE PROCEDURE p AS SELECT 'y'");
}

}  // namespace
}  // namespace xfer::engine
