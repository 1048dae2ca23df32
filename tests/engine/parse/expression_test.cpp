// Expressions: operator precedence, predicates, literals, names, calls, CASE and casts.
#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/parse/parser.h"
#include "tree_text.h"

namespace xfer::engine {
namespace {

struct ExprCase {
  const char* sql;
  const char* tree;
};

TEST(ParseExpression, PrecedenceAndAssociativity) {
  const ExprCase cases[] = {
      {"a + b * c", "(+ a (* b c))"},
      {"a * b + c", "(+ (* a b) c)"},
      {"a - b - c", "(- (- a b) c)"},
      {"a / b % c", "(% (/ a b) c)"},
      {"(a + b) * c", "(* (+ a b) c)"},
      {"NOT a = b AND c", "(AND (NOT (= a b)) c)"},
      {"a OR b AND c", "(OR a (AND b c))"},
      {"a AND b OR c AND d", "(OR (AND a b) (AND c d))"},
      {"NOT NOT a", "(NOT (NOT a))"},
      {"a = 1 OR NOT b <> 2", "(OR (= a 1) (NOT (<> b 2)))"},
      {"a & b | c ^ d", "(^ (| (& a b) c) d)"},
      {"~a * b", "(* (~ a) b)"},
      {"- a * b", "(- (* a b))"},
      {"a * -b", "(* a (- b))"},
      {"a + b > c - d", "(> (+ a b) (- c d))"},
      {"a !< b", "(!< a b)"},
      {"a != b", "(!= a b)"},
      {"x + 'a' + N'b'", "(+ (+ x 'a') N'b')"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::TreeText(ParseExpression(c.sql)), c.tree) << c.sql;
  }
}

TEST(ParseExpression, Predicates) {
  const ExprCase cases[] = {
      {"a IS NULL", "(IS NULL a)"},
      {"a IS NOT NULL AND b IS NULL", "(AND (IS NOT NULL a) (IS NULL b))"},
      {"a BETWEEN 1 AND 2 AND b = 3", "(AND (BETWEEN a 1 2) (= b 3))"},
      {"a NOT BETWEEN b + 1 AND c", "(NOT BETWEEN a (+ b 1) c)"},
      {"name LIKE '%WS1'", "(LIKE name '%WS1')"},
      {"name NOT LIKE 'a!%' ESCAPE '!'", "(NOT LIKE name 'a!%' '!')"},
      {"a IN (1, 2, 3)", "(IN a 1 2 3)"},
      {"a NOT IN ('x')", "(NOT IN a 'x')"},
      {"a IN (SELECT b FROM t)", "(IN a subquery)"},
      {"a NOT IN (SELECT b FROM t)", "(NOT IN a subquery)"},
      {"EXISTS (SELECT * FROM t)", "EXISTS(subquery)"},
      {"NOT EXISTS (SELECT * FROM t)", "NOT EXISTS(subquery)"},
      {"(SELECT MAX(a) FROM t) + 1", "(+ (subquery) 1)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::TreeText(ParseExpression(c.sql)), c.tree) << c.sql;
  }
}

TEST(ParseExpression, LiteralsNamesAndCalls) {
  const ExprCase cases[] = {
      {"NULL", "NULL"},
      {"'it''s'", "'it's'"},
      {"N'سند شماره'", "N'سند شماره'"},
      {"-1", "-1"},
      {"- 2.5", "-2.5"},
      {"1e3", "1e3"},
      {".5", ".5"},
      {"$12.50", "$12.50"},
      {"0x1F", "0x1F"},
      {"@x + @@ROWCOUNT", "(+ @x @@ROWCOUNT)"},
      {"t.a", "t.a"},
      {"dbo.t.[my col]", "dbo.t.my col"},
      {"[NESBAT3/2].x", "NESBAT3/2.x"},
      {"\"quoted name\"", "quoted name"},
      {"count(*)", "COUNT(*)"},
      {"Count(Distinct a)", "COUNT(DISTINCT a)"},
      {"sum(ALL a)", "SUM(a)"},
      {"getdate()", "GETDATE()"},
      {"CURRENT_TIMESTAMP", "CURRENT_TIMESTAMP()"},
      {"Left(a, 2) + Right(b, 3)", "(+ LEFT(a 2) RIGHT(b 3))"},
      {"isnull(a, 0)", "ISNULL(a 0)"},
      {"coalesce(a, nullif(b, ''))", "COALESCE(a NULLIF(b ''))"},
      {"no_such_function(1)", "NO_SUCH_FUNCTION(1)"},
      {"dbo.fn(1)", "DBO.FN(1)"},
      {"COL_LENGTH('KELVARO_1_1402..KOLL', 'Koll')", "COL_LENGTH('KELVARO_1_1402..KOLL' 'Koll')"},
      {"CAST(a AS varchar(20))", "CAST(a AS varchar(20))"},
      {"cast(a as numeric(18,2))", "CAST(a AS numeric(18, 2))"},
      {"CONVERT(nvarchar(max), a, 120)", "CONVERT(nvarchar(max) a 120)"},
      {"CONVERT(double precision, a)", "CONVERT(float a)"},
      {"CASE a WHEN 1 THEN 'x' WHEN 2 THEN 'y' ELSE 'z' END",
       "CASE a WHEN 1 THEN 'x' WHEN 2 THEN 'y' ELSE 'z' END"},
      {"CASE WHEN a > 0 THEN 1 END", "CASE WHEN (> a 0) THEN 1 END"},
      {"name COLLATE Persian_100_CI_AI = 'x'", "(= name 'x')"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::TreeText(ParseExpression(c.sql)), c.tree) << c.sql;
  }
}

TEST(ParseExpression, LiteralKindsAndPositions) {
  struct KindCase {
    const char* sql;
    LiteralKind kind;
  };
  const KindCase cases[] = {
      {"1", LiteralKind::Integer},    {"1.5", LiteralKind::Float},   {"1e3", LiteralKind::Float},
      {"$1", LiteralKind::Money},     {"0xAB", LiteralKind::Binary}, {"'a'", LiteralKind::String},
      {"N'a'", LiteralKind::NString}, {"NULL", LiteralKind::Null},
  };
  for (const auto& c : cases) {
    ExprPtr e = ParseExpression(c.sql);
    EXPECT_EQ(e->kind, ExprKind::Literal) << c.sql;
    EXPECT_EQ(e->literalKind, c.kind) << c.sql;
  }
  ExprPtr e = ParseExpression("a +\n  b");
  ASSERT_EQ(e->args.size(), 2u);
  EXPECT_EQ(e->args[1]->pos.line, 2);
  EXPECT_EQ(e->args[1]->pos.column, 3);
  EXPECT_EQ(e->args[1]->pos.offset, 6u);
}

TEST(ParseExpression, CastKeepsDeclaredType) {
  ExprPtr e = ParseExpression("CAST(x AS varchar(max))");
  ASSERT_EQ(e->kind, ExprKind::Cast);
  EXPECT_FALSE(e->isConvert);
  EXPECT_EQ(e->castType.name, "varchar");
  EXPECT_EQ(e->castType.length, -2);
  e = ParseExpression("CONVERT(Decimal(10, 3), x)");
  ASSERT_EQ(e->kind, ExprKind::Cast);
  EXPECT_TRUE(e->isConvert);
  EXPECT_EQ(e->castType.name, "decimal");
  EXPECT_EQ(e->castType.precision, 10);
  EXPECT_EQ(e->castType.scale, 3);
}

TEST(TypeNameText, CanonicalSpelling) {
  struct TextCase {
    TypeName type;
    const char* text;
  };
  const TextCase cases[] = {
      {{"int", -1, -1, -1}, "int"},
      {{"varchar", 20, -1, -1}, "varchar(20)"},
      {{"nvarchar", -2, -1, -1}, "nvarchar(max)"},
      {{"numeric", -1, 18, 2}, "numeric(18, 2)"},
      {{"float", -1, 53, -1}, "float(53)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.type.Text(), c.text);
}

}  // namespace
}  // namespace xfer::engine
