// Single statements: each kind and the facts the binder and executor rely on.
#include <gtest/gtest.h>

#include "engine/parse/parser.h"
#include "tree_text.h"

namespace xfer::engine {
namespace {

// The single statement of a one-statement batch, owned by the caller.
StatementPtr One(std::string_view sql) {
  Batch b = ParseBatch(sql);
  EXPECT_EQ(b.statements.size(), 1u) << sql;
  return std::move(b.statements.at(0));
}

struct KindCase {
  const char* sql;
  StatementKind kind;
};

TEST(ParseStatement, KindOfEachStatement) {
  const KindCase cases[] = {
      {"SELECT 1", StatementKind::Select},
      {"(SELECT 1) UNION SELECT 2", StatementKind::Select},
      {"INSERT t VALUES (1)", StatementKind::Insert},
      {"UPDATE t SET a = 1", StatementKind::Update},
      {"DELETE t", StatementKind::Delete},
      {"TRUNCATE TABLE t", StatementKind::Truncate},
      {"CREATE TABLE t (a int)", StatementKind::CreateTable},
      {"DROP TABLE t", StatementKind::DropTable},
      {"ALTER TABLE t DROP COLUMN a", StatementKind::AlterTable},
      {"CREATE INDEX i ON t (a)", StatementKind::CreateIndex},
      {"DROP INDEX i ON t", StatementKind::DropIndex},
      {"CREATE DATABASE KELVARO_7_1402", StatementKind::CreateDatabase},
      {"DROP DATABASE KELVARO_7_1402", StatementKind::DropDatabase},
      {"USE [KELVARO_Hub]", StatementKind::Use},
      {"CREATE PROC p AS SELECT 1", StatementKind::CreateProcedure},
      {"DROP PROC p", StatementKind::DropProcedure},
      {"DECLARE @a int", StatementKind::Declare},
      {"SET @a = 1", StatementKind::SetVariable},
      {"SET NOCOUNT ON", StatementKind::SetOption},
      {"IF 1 = 1 PRINT 'x'", StatementKind::If},
      {"WHILE 1 = 0 BREAK", StatementKind::While},
      {"BEGIN PRINT 1 END", StatementKind::Block},
      {"RETURN", StatementKind::Return},
      {"EXEC p", StatementKind::Exec},
      {"EXEC ('SELECT 1')", StatementKind::ExecString},
      {"PRINT 'x'", StatementKind::Print},
      {"RAISERROR('x', 16, 1)", StatementKind::Raiserror},
      {"BEGIN TRAN", StatementKind::BeginTran},
      {"COMMIT", StatementKind::CommitTran},
      {"ROLLBACK TRANSACTION", StatementKind::RollbackTran},
      {";", StatementKind::Empty},
  };
  for (const auto& c : cases) {
    Batch b = ParseBatch(c.sql);
    ASSERT_EQ(b.statements.size(), 1u) << c.sql;
    EXPECT_EQ(b.statements[0]->kind, c.kind) << c.sql;
  }
}

TEST(ParseStatement, ObjectNameParts) {
  struct NameCase {
    const char* sql;
    const char* server;
    const char* database;
    const char* schema;
    const char* object;
  };
  const NameCase cases[] = {
      {"DROP TABLE t", "", "", "", "t"},
      {"DROP TABLE dbo.t", "", "", "dbo", "t"},
      {"DROP TABLE db..##x", "", "db", "", "##x"},
      {"DROP TABLE db.dbo.#t", "", "db", "dbo", "#t"},
      {"DROP TABLE srv.db.dbo.t", "srv", "db", "dbo", "t"},
      {"DROP TABLE srv...t", "srv", "", "", "t"},
      {"DROP TABLE [KELVARO_1_1402]..[NESBAT3/2]", "", "KELVARO_1_1402", "", "NESBAT3/2"},
      {"DROP TABLE [a]]b]", "", "", "", "a]b"},
      {"DROP TABLE tempdb..sysobjects", "", "tempdb", "", "sysobjects"},
      {"DROP TABLE [جدول موقت]", "", "", "", "جدول موقت"},
  };
  for (const auto& c : cases) {
    StatementPtr sStmt = One(c.sql);
    const Statement& s = *sStmt;
    ASSERT_EQ(s.targets.size(), 1u) << c.sql;
    const ObjectName& n = s.targets[0];
    EXPECT_EQ(n.server, c.server) << c.sql;
    EXPECT_EQ(n.database, c.database) << c.sql;
    EXPECT_EQ(n.schema, c.schema) << c.sql;
    EXPECT_EQ(n.object, c.object) << c.sql;
  }
}

TEST(ParseStatement, SelectClauses) {
  Batch b = ParseBatch(
      "SELECT DISTINCT TOP 10 PERCENT a.x AS c1, c2 = a.y + 1, a.z 'c3', a.w c4, a.*, @v "
      "INTO ##out FROM dbo.t AS a WITH (NOLOCK) "
      "LEFT OUTER JOIN u b ON a.k = b.k CROSS JOIN v, (SELECT 1 AS n) AS d "
      "WHERE a.x > 0 GROUP BY a.x, a.y HAVING COUNT(*) > 1 "
      "UNION ALL SELECT 1, 2, 3, 4, 5, 6 EXCEPT SELECT 1, 2, 3, 4, 5, 6 ORDER BY 1 DESC, c2");
  ASSERT_EQ(b.statements.size(), 1u);
  const Select& s = *b.statements[0]->select;
  EXPECT_TRUE(s.distinct);
  EXPECT_TRUE(s.topPercent);
  EXPECT_EQ(test::TreeText(s.top), "10");
  ASSERT_EQ(s.items.size(), 6u);
  EXPECT_EQ(s.items[0].alias, "c1");
  EXPECT_EQ(s.items[1].alias, "c2");
  EXPECT_EQ(test::TreeText(s.items[1].expr), "(+ a.y 1)");
  EXPECT_EQ(s.items[2].alias, "c3");
  EXPECT_EQ(s.items[3].alias, "c4");
  EXPECT_EQ(test::TreeText(s.items[4].expr), "a.*");
  EXPECT_EQ(s.items[5].alias, "");
  ASSERT_TRUE(s.into.has_value());
  EXPECT_EQ(s.into->object, "##out");
  ASSERT_EQ(s.from.size(), 2u);
  const TableRef& cross = *s.from[0];
  ASSERT_EQ(cross.kind, TableRef::Kind::Join);
  EXPECT_EQ(cross.joinType, JoinType::Cross);
  EXPECT_EQ(cross.on, nullptr);
  const TableRef& left = *cross.left;
  ASSERT_EQ(left.kind, TableRef::Kind::Join);
  EXPECT_EQ(left.joinType, JoinType::Left);
  EXPECT_EQ(test::TreeText(left.on), "(= a.k b.k)");
  EXPECT_EQ(left.left->name.object, "t");
  EXPECT_EQ(left.left->alias, "a");
  ASSERT_EQ(left.left->hints.size(), 1u);
  EXPECT_EQ(left.left->hints[0], "NOLOCK");
  EXPECT_EQ(left.right->alias, "b");
  EXPECT_EQ(s.from[1]->kind, TableRef::Kind::Derived);
  EXPECT_EQ(s.from[1]->alias, "d");
  EXPECT_EQ(test::TreeText(s.where), "(> a.x 0)");
  EXPECT_EQ(s.groupBy.size(), 2u);
  EXPECT_EQ(test::TreeText(s.having), "(> COUNT(*) 1)");
  ASSERT_EQ(s.setParts.size(), 2u);
  EXPECT_EQ(s.setParts[0].op, SetOp::UnionAll);
  EXPECT_EQ(s.setParts[1].op, SetOp::Except);
  ASSERT_EQ(s.orderBy.size(), 2u);
  EXPECT_TRUE(s.orderBy[0].descending);
  EXPECT_FALSE(s.orderBy[1].descending);
}

TEST(ParseStatement, JoinShapes) {
  struct JoinCase {
    const char* sql;
    JoinType outer;
    bool nestedRight;  // the right side of the outermost join is itself a join
  };
  const JoinCase cases[] = {
      {"SELECT * FROM a JOIN b ON a.x = b.x", JoinType::Inner, false},
      {"SELECT * FROM a INNER JOIN b ON 1 = 1 RIGHT JOIN c ON 1 = 1", JoinType::Right, false},
      {"SELECT * FROM a FULL OUTER JOIN b ON 1 = 1", JoinType::Full, false},
      {"SELECT * FROM a LEFT JOIN b JOIN c ON b.x = c.x ON a.x = b.x", JoinType::Left, true},
      {"SELECT * FROM a LEFT JOIN (b JOIN c ON b.x = c.x) ON a.x = b.x", JoinType::Left, true},
      {"SELECT * FROM (a JOIN b ON 1 = 1) CROSS JOIN c", JoinType::Cross, false},
  };
  for (const auto& c : cases) {
    StatementPtr sStmt = One(c.sql);
    const Select& s = *sStmt->select;
    ASSERT_EQ(s.from.size(), 1u) << c.sql;
    const TableRef& j = *s.from[0];
    ASSERT_EQ(j.kind, TableRef::Kind::Join) << c.sql;
    EXPECT_EQ(j.joinType, c.outer) << c.sql;
    EXPECT_EQ(j.right->kind == TableRef::Kind::Join, c.nestedRight) << c.sql;
  }
}

TEST(ParseStatement, SelectAssignsVariables) {
  StatementPtr sStmt = One("SELECT @a = x, @b += 1 FROM t");
  const Select& s = *sStmt->select;
  ASSERT_EQ(s.items.size(), 2u);
  EXPECT_EQ(s.items[0].assignVar, "@a");
  EXPECT_EQ(test::TreeText(s.items[0].expr), "x");
  EXPECT_EQ(s.items[1].assignVar, "@b");
  EXPECT_EQ(test::TreeText(s.items[1].expr), "(+ @b 1)");
}

TEST(ParseStatement, InsertForms) {
  StatementPtr valuesStmt = One("INSERT INTO db..t (a, [b c]) VALUES (1, 'x'), (DEFAULT, NULL)");
  const Statement& values = *valuesStmt;
  EXPECT_EQ(values.target.database, "db");
  EXPECT_EQ(values.insertColumns, (std::vector<std::string>{"a", "b c"}));
  ASSERT_EQ(values.valuesRows.size(), 2u);
  EXPECT_EQ(values.valuesRows[1][0], nullptr);  // DEFAULT
  EXPECT_EQ(test::TreeText(values.valuesRows[1][1]), "NULL");

  StatementPtr selectStmt = One("INSERT t SELECT * FROM s");
  const Statement& select = *selectStmt;
  ASSERT_NE(select.select, nullptr);
  EXPECT_EQ(select.target.object, "t");

  StatementPtr execStmt = One("INSERT INTO t (a) EXEC p 1");
  const Statement& exec = *execStmt;
  ASSERT_NE(exec.execSource, nullptr);
  EXPECT_EQ(exec.execSource->kind, StatementKind::Exec);
  EXPECT_EQ(exec.execSource->target.object, "p");

  EXPECT_TRUE(One("INSERT INTO t DEFAULT VALUES")->defaultValues);
}

TEST(ParseStatement, UpdateAndDelete) {
  StatementPtr uStmt =
      One("UPDATE TOP (5) H SET firstbed = rem, H.x += 2, @v = 3 FROM ##T2 H, N_Cash N WHERE H.k = "
          "N.k");
  const Statement& u = *uStmt;
  EXPECT_EQ(u.target.object, "H");
  EXPECT_EQ(test::TreeText(u.top), "5");
  ASSERT_EQ(u.assignments.size(), 3u);
  EXPECT_EQ(u.assignments[0].target, (std::vector<std::string>{"firstbed"}));
  EXPECT_EQ(u.assignments[1].target, (std::vector<std::string>{"H", "x"}));
  EXPECT_EQ(test::TreeText(u.assignments[1].value), "(+ H.x 2)");
  EXPECT_EQ(u.assignments[2].target, (std::vector<std::string>{"@v"}));
  EXPECT_EQ(u.from.size(), 2u);
  EXPECT_EQ(test::TreeText(u.where), "(= H.k N.k)");

  StatementPtr dStmt = One("DELETE FROM a FROM a JOIN b ON a.k = b.k WHERE b.x = 1");
  const Statement& d = *dStmt;
  EXPECT_EQ(d.target.object, "a");
  ASSERT_EQ(d.from.size(), 1u);
  EXPECT_EQ(d.from[0]->kind, TableRef::Kind::Join);
  EXPECT_NE(d.where, nullptr);

  StatementPtr tStmt = One("DELETE TOP (1) x");
  const Statement& t = *tStmt;
  EXPECT_EQ(t.target.object, "x");
  EXPECT_NE(t.top, nullptr);
}

TEST(ParseStatement, CreateTableColumnsAndConstraints) {
  StatementPtr sStmt =
      One("CREATE TABLE dbo.KALA (\n"
          "  id int IDENTITY(100, -2) NOT NULL PRIMARY KEY CLUSTERED,\n"
          "  code varchar(20) NOT NULL CONSTRAINT df_code DEFAULT ('') UNIQUE,\n"
          "  name nvarchar(max) COLLATE Persian_100_CI_AI NULL,\n"
          "  price numeric(18, 3) DEFAULT 0,\n"
          "  ratio double precision,\n"
          "  [when] datetime DEFAULT getdate(),\n"
          "  CONSTRAINT pk_kala PRIMARY KEY NONCLUSTERED (code ASC, id DESC),\n"
          "  UNIQUE (name),\n"
          ") ON [PRIMARY]");
  const Statement& s = *sStmt;
  ASSERT_EQ(s.columns.size(), 6u);
  const ColumnDef& id = s.columns[0];
  EXPECT_TRUE(id.identity);
  EXPECT_EQ(id.identitySeed, 100);
  EXPECT_EQ(id.identityStep, -2);
  EXPECT_TRUE(id.hasNullability && id.notNull);
  EXPECT_TRUE(id.primaryKey);
  const ColumnDef& code = s.columns[1];
  EXPECT_EQ(code.type.Text(), "varchar(20)");
  EXPECT_EQ(code.constraintName, "df_code");
  EXPECT_EQ(test::TreeText(code.defaultValue), "''");
  EXPECT_TRUE(code.unique);
  EXPECT_EQ(s.columns[2].type.Text(), "nvarchar(max)");
  EXPECT_TRUE(s.columns[2].hasNullability);
  EXPECT_FALSE(s.columns[2].notNull);
  EXPECT_EQ(s.columns[3].type.Text(), "numeric(18, 3)");
  EXPECT_FALSE(s.columns[3].hasNullability);
  EXPECT_EQ(s.columns[4].type.name, "float");
  EXPECT_EQ(s.columns[5].name, "when");
  EXPECT_EQ(test::TreeText(s.columns[5].defaultValue), "GETDATE()");
  ASSERT_EQ(s.constraints.size(), 2u);
  EXPECT_EQ(s.constraints[0].name, "pk_kala");
  EXPECT_FALSE(s.constraints[0].clustered);
  EXPECT_EQ(s.constraints[0].columns, (std::vector<std::string>{"code", "id"}));
  EXPECT_EQ(s.constraints[1].kind, TableConstraint::Kind::Unique);
}

TEST(ParseStatement, AlterTableForms) {
  struct AlterCase {
    const char* sql;
    AlterKind kind;
    size_t columns;
    size_t constraints;
    bool noCheck;
  };
  const AlterCase cases[] = {
      {"ALTER TABLE t ALTER COLUMN a varchar(30) NOT NULL", AlterKind::AlterColumn, 1, 0, false},
      {"ALTER TABLE t ADD a int NULL, b char(1) DEFAULT 'x'", AlterKind::AddColumns, 2, 0, false},
      {"ALTER TABLE t WITH NOCHECK ADD c int", AlterKind::AddColumns, 1, 0, true},
      {"ALTER TABLE t WITH NOCHECK ADD CONSTRAINT pk PRIMARY KEY CLUSTERED (a, b)",
       AlterKind::AddConstraint, 0, 1, true},
      {"ALTER TABLE t DROP COLUMN a, b", AlterKind::DropColumn, 0, 0, false},
      {"ALTER TABLE t DROP CONSTRAINT pk", AlterKind::DropConstraint, 0, 0, false},
  };
  for (const auto& c : cases) {
    StatementPtr sStmt = One(c.sql);
    const Statement& s = *sStmt;
    EXPECT_EQ(s.alterKind, c.kind) << c.sql;
    EXPECT_EQ(s.columns.size(), c.columns) << c.sql;
    EXPECT_EQ(s.constraints.size(), c.constraints) << c.sql;
    EXPECT_EQ(s.withNoCheck, c.noCheck) << c.sql;
  }
  StatementPtr alterStmt = One("ALTER TABLE t ALTER COLUMN a varchar(30) NOT NULL");
  const Statement& alter = *alterStmt;
  EXPECT_EQ(alter.columns[0].type.Text(), "varchar(30)");
  EXPECT_TRUE(alter.columns[0].notNull);
  EXPECT_EQ(One("ALTER TABLE t DROP COLUMN a, b")->dropNames, (std::vector<std::string>{"a", "b"}));
}

TEST(ParseStatement, IndexesAndDrops) {
  StatementPtr ciStmt = One(
      "CREATE UNIQUE CLUSTERED INDEX ix ON db..t (a DESC, b) WITH (FILLFACTOR = 90) ON [PRIMARY]");
  const Statement& ci = *ciStmt;
  EXPECT_TRUE(ci.unique);
  EXPECT_EQ(ci.indexName, "ix");
  EXPECT_EQ(ci.target.database, "db");
  ASSERT_EQ(ci.indexColumns.size(), 2u);
  EXPECT_TRUE(ci.indexColumns[0].descending);

  for (const char* sql : {"DROP INDEX t.ix", "DROP INDEX ix ON t"}) {
    StatementPtr diStmt = One(sql);
    const Statement& di = *diStmt;
    EXPECT_EQ(di.indexName, "ix") << sql;
    EXPECT_EQ(di.target.object, "t") << sql;
  }
  StatementPtr dtStmt = One("DROP TABLE IF EXISTS a, ##b");
  const Statement& dt = *dtStmt;
  EXPECT_TRUE(dt.ifExists);
  ASSERT_EQ(dt.targets.size(), 2u);
  EXPECT_EQ(dt.targets[1].object, "##b");
  EXPECT_EQ(One("DROP PROCEDURE p1, dbo.p2")->targets.size(), 2u);
}

TEST(ParseStatement, VariablesAndOptions) {
  StatementPtr dStmt = One("DECLARE @a int = 5, @b varchar(10), @c AS numeric(9,2)");
  const Statement& d = *dStmt;
  ASSERT_EQ(d.declarations.size(), 3u);
  EXPECT_EQ(d.declarations[0].name, "@a");
  EXPECT_EQ(test::TreeText(d.declarations[0].init), "5");
  EXPECT_EQ(d.declarations[1].type.Text(), "varchar(10)");
  EXPECT_EQ(d.declarations[2].type.Text(), "numeric(9, 2)");

  StatementPtr plusStmt = One("SET @a += 2 * @b");
  const Statement& plus = *plusStmt;
  EXPECT_EQ(plus.assignments[0].target, (std::vector<std::string>{"@a"}));
  EXPECT_EQ(test::TreeText(plus.assignments[0].value), "(+ @a (* 2 @b))");

  struct OptionCase {
    const char* sql;
    const char* name;
    const char* value;
  };
  const OptionCase cases[] = {
      {"SET NOCOUNT ON", "NOCOUNT", "ON"},
      {"set xact_abort on", "XACT_ABORT", "ON"},
      {"SET ANSI_NULLS ON", "ANSI_NULLS", "ON"},
      {"SET QUOTED_IDENTIFIER OFF", "QUOTED_IDENTIFIER", "OFF"},
      {"SET IDENTITY_INSERT ##t ON", "IDENTITY_INSERT", "##t ON"},
      {"SET IDENTITY_INSERT db..t off", "IDENTITY_INSERT", "db..t OFF"},
      {"SET DATEFORMAT ymd", "DATEFORMAT", "ymd"},
      {"SET ROWCOUNT 0", "ROWCOUNT", "0"},
      {"SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED", "TRANSACTION ISOLATION LEVEL",
       "READ UNCOMMITTED"},
  };
  for (const auto& c : cases) {
    StatementPtr sStmt = One(c.sql);
    const Statement& s = *sStmt;
    EXPECT_EQ(s.kind, StatementKind::SetOption) << c.sql;
    EXPECT_EQ(s.optionName, c.name) << c.sql;
    EXPECT_EQ(s.optionValue, c.value) << c.sql;
  }
  StatementPtr twoStmt = One("SET ANSI_NULLS, QUOTED_IDENTIFIER ON");
  const Statement& two = *twoStmt;
  ASSERT_EQ(two.kind, StatementKind::Block);
  ASSERT_EQ(two.body.size(), 2u);
  EXPECT_EQ(two.body[1]->optionName, "QUOTED_IDENTIFIER");
  EXPECT_EQ(two.body[1]->optionValue, "ON");
}

TEST(ParseStatement, ControlFlow) {
  StatementPtr iStmt =
      One("IF @a = 1 BEGIN PRINT 'a'; PRINT 'b' END ELSE IF @a = 2 RETURN 5 ELSE BREAK");
  const Statement& i = *iStmt;
  ASSERT_EQ(i.body.size(), 2u);
  EXPECT_EQ(test::TreeText(i.condition), "(= @a 1)");
  EXPECT_EQ(i.body[0]->kind, StatementKind::Block);
  EXPECT_EQ(i.body[0]->body.size(), 2u);
  const Statement& inner = *i.body[1];
  ASSERT_EQ(inner.kind, StatementKind::If);
  ASSERT_EQ(inner.body.size(), 2u);
  EXPECT_EQ(inner.body[0]->kind, StatementKind::Return);
  EXPECT_EQ(test::TreeText(inner.body[0]->value), "5");
  EXPECT_EQ(inner.body[1]->kind, StatementKind::Break);

  StatementPtr wStmt = One("WHILE @i < 10 BEGIN SET @i = @i + 1 CONTINUE END");
  const Statement& w = *wStmt;
  EXPECT_EQ(w.body.size(), 1u);
  EXPECT_EQ(w.body[0]->body[1]->kind, StatementKind::Continue);

  EXPECT_EQ(One("RETURN")->value, nullptr);
  StatementPtr rStmt = One("RAISERROR(N'خطا %s', 16, 1, @x) WITH NOWAIT, LOG");
  const Statement& r = *rStmt;
  ASSERT_EQ(r.args.size(), 4u);
  EXPECT_EQ(test::TreeText(r.args[0].value), "N'خطا %s'");
  EXPECT_EQ(r.optionValue, "NOWAIT,LOG");

  struct TranCase {
    const char* sql;
    StatementKind kind;
    const char* name;
  };
  const TranCase trans[] = {
      {"BEGIN TRAN", StatementKind::BeginTran, ""},
      {"BEGIN TRANSACTION T1", StatementKind::BeginTran, "T1"},
      {"COMMIT TRAN T1", StatementKind::CommitTran, "T1"},
      {"COMMIT WORK", StatementKind::CommitTran, ""},
      {"ROLLBACK", StatementKind::RollbackTran, ""},
      {"ROLLBACK TRANSACTION @t", StatementKind::RollbackTran, "@t"},
  };
  for (const auto& c : trans) {
    StatementPtr sStmt = One(c.sql);
    const Statement& s = *sStmt;
    EXPECT_EQ(s.kind, c.kind) << c.sql;
    EXPECT_EQ(s.optionValue, c.name) << c.sql;
  }
}

TEST(ParseStatement, ExecForms) {
  StatementPtr eStmt =
      One("EXEC @ret = db..usp 'a', N'ب', -5, 2.5, @x OUTPUT, @named = @y OUT, @d = DEFAULT, "
          "bare, NULL");
  const Statement& e = *eStmt;
  EXPECT_EQ(e.returnVar, "@ret");
  EXPECT_EQ(e.target.database, "db");
  EXPECT_EQ(e.target.object, "usp");
  ASSERT_EQ(e.args.size(), 9u);
  EXPECT_EQ(test::TreeText(e.args[0].value), "'a'");
  EXPECT_EQ(test::TreeText(e.args[1].value), "N'ب'");
  EXPECT_EQ(test::TreeText(e.args[2].value), "-5");
  EXPECT_EQ(test::TreeText(e.args[3].value), "2.5");
  EXPECT_TRUE(e.args[4].output);
  EXPECT_EQ(e.args[5].name, "@named");
  EXPECT_TRUE(e.args[5].output);
  EXPECT_EQ(e.args[6].name, "@d");
  EXPECT_EQ(e.args[6].value, nullptr);
  EXPECT_EQ(test::TreeText(e.args[7].value), "'bare'");
  EXPECT_EQ(test::TreeText(e.args[8].value), "NULL");

  StatementPtr sStmt = One("EXECUTE ('DROP TABLE ' + @t + '_old')");
  const Statement& s = *sStmt;
  EXPECT_EQ(s.kind, StatementKind::ExecString);
  EXPECT_EQ(test::TreeText(s.value), "(+ (+ 'DROP TABLE ' @t) '_old')");
  EXPECT_EQ(test::TreeText(One("EXEC (@sql)")->value), "@sql");
}

}  // namespace
}  // namespace xfer::engine
