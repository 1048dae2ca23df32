// Whole batches: statements without separators, the statements the application really sends,
// a procedure call without EXEC, and CREATE PROCEDURE with its body and text.
#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/parse/parser.h"
#include "tree_text.h"

namespace xfer::engine {
namespace {

std::vector<StatementKind> Kinds(const Batch& b) {
  std::vector<StatementKind> out;
  for (const auto& s : b.statements) out.push_back(s->kind);
  return out;
}

using K = StatementKind;

TEST(ParseBatch, StatementsWithoutSeparators) {
  struct BatchCase {
    const char* sql;
    std::vector<StatementKind> kinds;
  };
  const BatchCase cases[] = {
      {"DELETE FROM t INSERT INTO t SELECT * FROM s", {K::Delete, K::Insert}},
      {"SELECT 1 SELECT 2; SELECT 3", {K::Select, K::Select, K::Select}},
      {"SET NOCOUNT ON DECLARE @a int SET @a = 1 PRINT @a",
       {K::SetOption, K::Declare, K::SetVariable, K::Print}},
      {"UPDATE t SET a = 1 WHERE b = 2 DELETE t WHERE c = 3 TRUNCATE TABLE u",
       {K::Update, K::Delete, K::Truncate}},
      {"BEGIN TRAN INSERT t VALUES (1) COMMIT", {K::BeginTran, K::Insert, K::CommitTran}},
      {"EXEC p 'a' SELECT 1", {K::Exec, K::Select}},
      {";;SELECT 1;", {K::Empty, K::Empty, K::Select}},
      {"", {}},
      {"  -- only a comment\n /* and another */ ", {}},
      {"IF 1 = 1 SELECT 1; ELSE SELECT 2 SELECT 3", {K::If, K::Select}},
      {"CREATE TABLE t (a int) CREATE INDEX i ON t (a) DROP TABLE t",
       {K::CreateTable, K::CreateIndex, K::DropTable}},
      {"select 1 go", {K::Select}},  // "go" after an expression is a column alias
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Kinds(ParseBatch(c.sql)), c.kinds) << c.sql;
  }
}

TEST(ParseBatch, ApplicationStatements) {
  struct AppCase {
    const char* sql;
    std::vector<StatementKind> kinds;
  };
  const AppCase cases[] = {
      {"If Exists(Select [Name] From Tempdb..SysObjects Where [Name] Like '%WS1') Drop Table ##WS1",
       {K::If}},
      {"select SC.[Name] As FieldName from SysObjects As SO Inner Join SysColumns As SC On "
       "(SO.[id] = SC.[id]) Where SO.Type = 'U' And SC.Status <> 128 And SO.[Name] = 'KALA' ",
       {K::Select}},
      {"update N_Cash set firstbed=rem from ##T2 H,N_Cash N where sorder1='XX' and "
       "N.cashcod='001' and rem>=0 ",
       {K::Update}},
      {"KELVARO_1_1402..sp_N_Report_Cash '##T2', 'NO', 'NO', 'REM', '1', '1', 'SANADDATE', "
       "'1402/01/01', '1402/12/29' , 'REFRESH'",
       {K::Exec}},
      {"DELETE KELVARO_1_1403..R_AsnadTrado  INSERT INTO KELVARO_1_1403..R_AsnadTrado  SELECT * "
       "FROM KELVARO_1_1402..R_AsnadTrado ",
       {K::Delete, K::Insert}},
      {" If Exists (Select * From Tempdb..SysObjects Where [Name] Like '##KALA') Drop Table ##KALA "
       " Select * into ##KALA From KELVARO_1_1402..KALA As X ",
       {K::If, K::Select}},
      {"Select COL_LENGTH('KELVARO_1_1402..KOLL', 'Koll') As CodLen ", {K::Select}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Kinds(ParseBatch(c.sql)), c.kinds) << c.sql;
  }
}

TEST(ParseBatch, ApplicationStatementDetails) {
  Batch ifDrop = ParseBatch(
      "If Exists(Select [Name] From Tempdb..SysObjects Where [Name] Like '%WS1') Drop Table ##WS1");
  const Statement& i = *ifDrop.statements[0];
  ASSERT_EQ(i.condition->kind, ExprKind::Exists);
  const Select& probe = *i.condition->subquery;
  EXPECT_EQ(probe.from[0]->name.database, "Tempdb");
  EXPECT_EQ(probe.from[0]->name.object, "SysObjects");
  EXPECT_EQ(test::TreeText(probe.where), "(LIKE Name '%WS1')");
  ASSERT_EQ(i.body.size(), 1u);
  EXPECT_EQ(i.body[0]->kind, K::DropTable);
  EXPECT_EQ(i.body[0]->targets[0].object, "##WS1");

  Batch report = ParseBatch(
      "KELVARO_1_1402..sp_N_Report_Cash '##T2', 'NO', 'NO', 'REM', '1', '1', 'SANADDATE', "
      "'1402/01/01', '1402/12/29' , 'REFRESH'");
  const Statement& call = *report.statements[0];
  EXPECT_EQ(call.target.database, "KELVARO_1_1402");
  EXPECT_EQ(call.target.object, "sp_N_Report_Cash");
  ASSERT_EQ(call.args.size(), 10u);
  EXPECT_EQ(test::TreeText(call.args[7].value), "'1402/01/01'");
  EXPECT_EQ(test::TreeText(call.args[9].value), "'REFRESH'");

  Batch into = ParseBatch("Select * into ##KALA From KELVARO_1_1402..KALA As X");
  const Select& s = *into.statements[0]->select;
  EXPECT_EQ(s.into->object, "##KALA");
  EXPECT_EQ(s.from[0]->alias, "X");
}

TEST(ParseBatch, BareProcedureCallOnlyFirst) {
  for (const char* sql : {"sp_who", "[my proc] 1, 2", "dbo.p @a = 1", "db..p 'x'"}) {
    Batch b = ParseBatch(sql);
    ASSERT_EQ(b.statements.size(), 1u) << sql;
    EXPECT_EQ(b.statements[0]->kind, K::Exec) << sql;
  }
  try {
    ParseBatch("SELECT 1; sp_who 'x'");
    FAIL() << "a procedure name later in a batch is not a call";
  } catch (const SqlError& e) {
    EXPECT_EQ(e.number(), err::kSyntax);
    EXPECT_EQ(e.message(), "Incorrect syntax near 'sp_who'.");
  }
}

TEST(ParseBatch, StatementOffsetsAndLines) {
  const std::string text = "SELECT 1;\n  DELETE t\nPRINT 'x'";
  Batch b = ParseBatch(text);
  ASSERT_EQ(b.statements.size(), 3u);
  EXPECT_EQ(b.text, text);
  const char* expected[] = {"SELECT 1", "DELETE t", "PRINT 'x'"};
  const int lines[] = {1, 2, 3};
  for (size_t i = 0; i < 3; ++i) {
    const Statement& s = *b.statements[i];
    EXPECT_EQ(text.substr(s.pos.offset, s.endOffset - s.pos.offset), expected[i]);
    EXPECT_EQ(s.pos.line, lines[i]);
  }
  EXPECT_EQ(b.statements[1]->pos.column, 3);
}

TEST(ParseBatch, CreateProcedureKeepsBodyAndText) {
  const std::string text =
      "-- header comment\n"
      "CREATE PROCEDURE dbo.sp_N_Copy (@Src varchar(50), @Dst varchar(50) = 'KELVARO_Hub',\n"
      "  @Count int = -1 OUTPUT)\n"
      "WITH RECOMPILE\n"
      "AS\n"
      "SET NOCOUNT ON\n"
      "IF @Src = '' RETURN 1\n"
      "EXEC ('DELETE ' + @Dst + '..T INSERT INTO ' + @Dst + '..T SELECT * FROM ' + @Src + '..T')\n"
      "SELECT @Count = @@ROWCOUNT\n\n";
  Batch b = ParseBatch(text);
  ASSERT_EQ(b.statements.size(), 1u);
  const Statement& p = *b.statements[0];
  EXPECT_EQ(p.kind, K::CreateProcedure);
  EXPECT_FALSE(p.alter);
  EXPECT_EQ(p.target.schema, "dbo");
  EXPECT_EQ(p.target.object, "sp_N_Copy");
  ASSERT_EQ(p.params.size(), 3u);
  EXPECT_EQ(p.params[0].name, "@Src");
  EXPECT_EQ(p.params[0].type.Text(), "varchar(50)");
  EXPECT_EQ(test::TreeText(p.params[1].defaultValue), "'KELVARO_Hub'");
  EXPECT_EQ(test::TreeText(p.params[2].defaultValue), "-1");
  EXPECT_TRUE(p.params[2].output);
  EXPECT_EQ(Kinds(ParseBatch("SELECT 1")), std::vector<K>{K::Select});
  std::vector<K> body;
  for (const auto& s : p.body) body.push_back(s->kind);
  EXPECT_EQ(body, (std::vector<K>{K::SetOption, K::If, K::ExecString, K::Select}));
  const size_t start = text.find("CREATE");
  EXPECT_EQ(p.procText, text.substr(start, text.size() - start - 2));

  Batch alter = ParseBatch("ALTER PROC p @a int AS BEGIN SELECT @a END");
  EXPECT_TRUE(alter.statements[0]->alter);
  EXPECT_EQ(alter.statements[0]->params.size(), 1u);
  EXPECT_EQ(alter.statements[0]->body.size(), 1u);
  EXPECT_EQ(alter.statements[0]->procText, "ALTER PROC p @a int AS BEGIN SELECT @a END");
}

TEST(ParseBatch, PersianTextSurvives) {
  Batch b = ParseBatch("INSERT INTO KALA (NAME) VALUES (N'کالای شماره ۱'), ('مقدار ''نقل'' قول')");
  const Statement& s = *b.statements[0];
  ASSERT_EQ(s.valuesRows.size(), 2u);
  EXPECT_EQ(test::TreeText(s.valuesRows[0][0]), "N'کالای شماره ۱'");
  EXPECT_EQ(test::TreeText(s.valuesRows[1][0]), "'مقدار 'نقل' قول'");
  Batch names = ParseBatch("SELECT نام AS [عنوان کالا] FROM کالا");
  const Select& sel = *names.statements[0]->select;
  EXPECT_EQ(test::TreeText(sel.items[0].expr), "نام");
  EXPECT_EQ(sel.items[0].alias, "عنوان کالا");
  EXPECT_EQ(sel.from[0]->name.object, "کالا");
}

}  // namespace
}  // namespace xfer::engine
