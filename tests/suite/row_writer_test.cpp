// The demo generator's row writer: rows of plain literals travel as appended values, and a row
// holding an expression goes as INSERT text; either way every row arrives, in the order written,
// with the value its literal spells.
#include <gtest/gtest.h>

#include "suite/engine_runner.h"
#include "suite/row_writer.h"
#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

class RowWriterTest : public SuiteServer {
 protected:
  // Writes the rows with or without the bulk path and reads back what arrived.
  std::vector<std::string> WriteAndRead(bool append, size_t perBatch) {
    Run("KELVARO_Hub",
        "IF OBJECT_ID('W') IS NOT NULL DROP TABLE W CREATE TABLE W (Seq int IDENTITY(1, 1) NOT "
        "NULL, T varchar(20) NULL, N float NULL, B varbinary(8) NULL)");
    DemoRunner run{EngineRunner(*conn_), append ? EngineAppender(*conn_) : RowAppender{}};
    RowWriter w(run, "W", "T, N, [B]", perBatch);
    w.Add({Lit("it's"), Lit(1.5), std::string(kNull)});
    w.Add({Lit(""), Lit(-7LL), "0x0A0b"});
    w.Add({"UPPER('x') + 'y'", "1 + 2", std::string(kNull)});  // expressions: as text
    w.Add({Lit("ناحيه"), Lit(1e20), std::string(kNull)});
    w.Flush();
    EXPECT_EQ(w.rows(), 4);
    return Column("KELVARO_Hub",
                  "SELECT CAST(Seq AS varchar(3)) + '|' + ISNULL(T, 'NULL') + '|' + "
                  "CAST(N AS varchar(30)) + '|' + ISNULL(CAST(DATALENGTH(B) AS varchar(3)) + "
                  "CAST(ASCII(CAST(B AS varchar(8))) AS varchar(3)), 'NULL') "
                  "FROM W ORDER BY Seq");
  }
};

TEST_F(RowWriterTest, AppendedAndInsertedRowsArriveAlikeAndInOrder) {
  const std::vector<std::string> want = {"1|it's|1.5|NULL", "2||-7|210", "3|Xy|3|NULL",
                                         "4|ناحيه|1e+020|NULL"};
  for (size_t perBatch : {1u, 2u, 500u}) {
    EXPECT_EQ(WriteAndRead(true, perBatch), want) << "appended, batches of " << perBatch;
    EXPECT_EQ(WriteAndRead(false, perBatch), want) << "as text, batches of " << perBatch;
  }
}

TEST_F(RowWriterTest, ARowOfTheWrongWidthIsRefusedBeforeAnythingIsSent) {
  DemoRunner run{EngineRunner(*conn_), EngineAppender(*conn_)};
  RowWriter w(run, "W", "T, N", 10);
  EXPECT_THROW(w.Add({Lit("a")}), std::invalid_argument);
  EXPECT_EQ(w.rows(), 0);
}

}  // namespace
}  // namespace xfer::suite::testing
