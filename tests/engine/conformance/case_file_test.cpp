// The case-file reader: records, directives, comments and malformed input.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "case_file.h"

namespace xfer::engine::conformance {
namespace {

TEST(CaseFileTest, ReadsEveryKindOfRecord) {
  const char* text =
      "# leading comment\n"
      "statement ok\n"
      "CREATE TABLE t (a int)\n"
      "INSERT INTO t VALUES (1)\n"
      "\n"
      "statement error 208\n"
      "SELECT * FROM missing\n"
      "statement error 102 near '+'\n"
      "SELECT 1 +\n"
      "\n"
      "# between records\n"
      "query\n"
      "SELECT a FROM t\n"
      "  SELECT a AS b FROM t\n"
      "----\n"
      "a\n"
      "1\n"
      "\n"
      "b\n"
      "1\n"
      "\n"
      "\n"
      "connection 2\n"
      "query\n"
      "SELECT name FROM tempdb..sysobjects\n"
      "----\n"
      "name\n"
      "##abc\n"
      "disconnect 2\n";
  std::vector<Record> records = ParseCaseFile(text);
  ASSERT_EQ(records.size(), 7u);

  EXPECT_EQ(records[0].kind, RecordKind::StatementOk);
  EXPECT_EQ(records[0].line, 2);
  EXPECT_EQ(records[0].batch, "CREATE TABLE t (a int)\nINSERT INTO t VALUES (1)");

  EXPECT_EQ(records[1].kind, RecordKind::StatementError);
  EXPECT_EQ(records[1].errorNumber, 208);
  EXPECT_EQ(records[1].errorText, "");
  EXPECT_EQ(records[1].batch, "SELECT * FROM missing");

  EXPECT_EQ(records[2].errorNumber, 102);
  EXPECT_EQ(records[2].errorText, "near '+'");
  EXPECT_EQ(records[2].line, 8);

  EXPECT_EQ(records[3].kind, RecordKind::Query);
  EXPECT_EQ(records[3].batch, "SELECT a FROM t\n  SELECT a AS b FROM t");
  EXPECT_EQ(records[3].expected, "a\n1\n\nb\n1");

  EXPECT_EQ(records[4].kind, RecordKind::Connection);
  EXPECT_EQ(records[4].connection, 2);

  EXPECT_EQ(records[5].kind, RecordKind::Query);
  EXPECT_EQ(records[5].expected, "name\n##abc");
  EXPECT_EQ(records[6].kind, RecordKind::Disconnect);
}

TEST(CaseFileTest, KeepsTrailingSpacesInsideLinesAndDropsCarriageReturns) {
  std::vector<Record> records = ParseCaseFile("query\r\nSELECT 'a ' AS x\r\n----\r\nx\r\na \r\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].batch, "SELECT 'a ' AS x");
  EXPECT_EQ(records[0].expected, "x\na ");
}

TEST(CaseFileTest, DisconnectDirectiveEndsTheOpenRecord) {
  std::vector<Record> records = ParseCaseFile("statement ok\nSELECT 1\ndisconnect 3\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].batch, "SELECT 1");
  EXPECT_EQ(records[1].kind, RecordKind::Disconnect);
  EXPECT_EQ(records[1].connection, 3);
}

TEST(CaseFileTest, RejectsMalformedFiles) {
  struct Case {
    const char* name;
    const char* text;
  };
  const Case cases[] = {
      {"query without separator", "query\nSELECT 1\n"},
      {"stray text", "SELECT 1\n"},
      {"error without number", "statement error\nSELECT 1\n"},
      {"error with a word for number", "statement error abc\nSELECT 1\n"},
      {"empty batch", "statement ok\n\nstatement ok\nSELECT 1\n"},
      {"text after a comment", "statement ok\nSELECT 1\n\n# note\nSELECT 2\n"},
  };
  for (const Case& c : cases) EXPECT_THROW(ParseCaseFile(c.text), std::runtime_error) << c.name;
}

TEST(CaseFileTest, TrimsOnlyTrailingBlankLines) {
  EXPECT_EQ(TrimTrailingBlankLines("a\n\nb\n \n\t\n"), "a\n\nb");
  EXPECT_EQ(TrimTrailingBlankLines("\n\n"), "");
  EXPECT_EQ(TrimTrailingBlankLines("x "), "x ");
}

}  // namespace
}  // namespace xfer::engine::conformance
