// Rows appended by value (the bulk path record sets and the demo generator use) land as an
// INSERT of the same values as literals would: converted to their columns' types, numbered by
// the identity counter, refused whole when one does not fit.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/error.h"
#include "server_dir.h"

namespace fs = std::filesystem;

namespace xfer::engine {
namespace {

class BulkAppend : public testing::ServerDirTest {
 protected:
  void SetUp() override {
    ServerDirTest::SetUp();
    OpenWithDatabase("d");
    c_ = std::make_unique<Connection>(server_, "d");
    c_->Execute(
        "CREATE TABLE T (Id int IDENTITY(5, 5) NOT NULL, N int NULL, F float NULL, "
        "M money NULL, D decimal(30, 4) NULL, C char(4) NULL, V varchar(3) NULL)");
  }
  void TearDown() override {
    c_.reset();
    ServerDirTest::TearDown();
  }

  // Every row of the table in identity order, each value with its SQL type's text form.
  std::vector<std::string> Rows() {
    auto sets =
        c_->Execute("SELECT Id, N, F, M, D, '[' + C + ']', V, DATALENGTH(C) FROM T ORDER BY Id");
    std::vector<std::string> out;
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row) line += (IsNull(v) ? std::string("NULL") : FormatValue(v)) + "|";
      out.push_back(line);
    }
    return out;
  }

  std::unique_ptr<Connection> c_;
};

TEST_F(BulkAppend, ValuesConvertToTheirColumnsAsLiteralsWould) {
  const std::vector<std::string> cols = {"N", "F", "M", "D", "C", "V"};
  c_->BulkInsert(
      "T", cols,
      {{std::string(" 12 "), std::string(""), std::string("1.23456"),
        std::string("12345678901234567890.12345"), std::string("ab"), std::string("x")},
       {7LL, 2.5, 3LL, 0.125, std::monostate{}, std::string("xyz")},
       {std::monostate{}, 7LL, 1.5, std::string("-1"), std::string("abcd"), std::string("ab ")}});
  // The same rows written as an INSERT of literals, into a copy of the table.
  c_->Execute(
      "SELECT * INTO Lit FROM T WHERE 1 = 0 "
      "INSERT INTO Lit (N, F, M, D, C, V) VALUES (' 12 ', '', '1.23456', "
      "'12345678901234567890.12345', 'ab', 'x'), (7, 2.5, 3, 0.125, NULL, 'xyz'), "
      "(NULL, 7, 1.5, '-1', 'abcd', 'ab ')");
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "5|12|0|1.2346|12345678901234567890.1235|[ab  ]|x|4|");
  EXPECT_EQ(rows[1], "10|7|2.5|3|0.125|NULL|xyz|NULL|");
  auto literal = c_->Execute(
      "SELECT COUNT(*) FROM Lit L INNER JOIN T ON T.N = L.N OR (T.N IS NULL AND L.N IS NULL) "
      "WHERE T.F = L.F AND T.M = L.M AND T.D = L.D AND ISNULL(T.C, '-') = ISNULL(L.C, '-') AND "
      "DATALENGTH(T.V) = DATALENGTH(L.V)");
  EXPECT_EQ(FormatValue(literal.back().rows.at(0).at(0)), "3");
  // The counter moved past the appended rows: the next INSERT continues it.
  c_->Execute("INSERT INTO T (N) VALUES (99)");
  EXPECT_EQ(Rows().back().substr(0, 6), "20|99|");
}

TEST_F(BulkAppend, ARowThatDoesNotFitAppendsNothing) {
  const std::vector<std::string> cols = {"N", "V"};
  auto refused = [&](std::vector<std::vector<Value>> rows) {
    try {
      c_->BulkInsert("T", cols, rows);
    } catch (const SqlError& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(refused({{1LL, std::string("ok")}, {2LL, std::string("long")}}), 8152);
  EXPECT_EQ(refused({{1LL, std::string("a")}, {std::string("x1"), std::string("b")}}), 245);
  EXPECT_TRUE(Rows().empty());
  // Blanks beyond the width are no truncation, as varchar keeps no trailing padding.
  EXPECT_EQ(refused({{1LL, std::string("ab    ")}}), 0);
  EXPECT_EQ(Rows().size(), 1u);
}

}  // namespace
}  // namespace xfer::engine
