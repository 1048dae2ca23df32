// The XFER collation (case-insensitive for ASCII, trailing blanks ignored) in comparisons,
// ORDER BY, GROUP BY and DISTINCT, and SQL Server's LIKE through SQLite's LIKE operator.
#include "sql_fixture.h"

namespace xfer::engine {
namespace {

TEST(CompareText, CaseAndTrailingBlanks) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } const cases[] = {
      {"abc", "ABC", 0},    {"abc", "abc   ", 0},  // blanks pad the shorter side
      {"ABC  ", "abc", 0},  {"", "   ", 0},       {"a", "b", -1}, {"B", "a", 1},
      {"ab", "abc", -1},    {"a\t", "a", -1},  // tab sorts before the padding blank
      {"  a", "a", -1},                        // leading blanks count
      {"سلام", "سلام ", 0}, {"ب", "پ", -1},    // Persian letters compare by their bytes
      {"KALA", "kala", 0},
  };
  for (const Case& c : cases) {
    const int r = CompareText(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << "'" << c.a << "' vs '" << c.b << "'";
    const int back = CompareText(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << "'" << c.b << "' vs '" << c.a << "'";
  }
}

class Collation : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    Exec("CREATE TABLE t (name TEXT COLLATE XFER)");
    Exec("INSERT INTO t VALUES ('abc'), ('ABC'), ('abc  '), ('Abd'), ('b'), ('سلام'), ('سلام ')");
  }
};

TEST_F(Collation, EqualityIgnoresCaseAndTrailingBlanks) {
  EXPECT_EQ(Query("SELECT count(*) FROM t WHERE name = 'aBc'"), "3");
  EXPECT_EQ(Query("SELECT count(*) FROM t WHERE name = 'abc      '"), "3");
  EXPECT_EQ(Query("SELECT count(*) FROM t WHERE name = 'سلام'"), "2");
  EXPECT_EQ(Query("SELECT count(*) FROM t WHERE name > 'ABC'"), "4");
  EXPECT_EQ(Query("SELECT count(*) FROM t WHERE name IN ('B', 'abd')"), "2");
}

TEST_F(Collation, GroupByDistinctAndOrderBy) {
  EXPECT_EQ(Query("SELECT count(*) FROM (SELECT DISTINCT name FROM t)"), "4");
  EXPECT_EQ(Column("SELECT count(*) FROM t GROUP BY name ORDER BY name"), "3|1|1|2");
  EXPECT_EQ(Query("SELECT count(DISTINCT name) FROM t"), "4");
  EXPECT_EQ(Column("SELECT name FROM t WHERE name < 'c' AND name <> 'ABC' ORDER BY name DESC"),
            "'b'|'Abd'");
  EXPECT_EQ(Query("SELECT min(name) FROM t WHERE name > 'abc'"), "'Abd'");
}

// SQL Server's LIKE documentation ("Pattern matching with LIKE"): every character of the
// pattern is significant, including trailing blanks, while trailing blanks of the matched
// expression are ignored: 'abc ' LIKE 'abc' is true, 'abc' LIKE 'abc ' is false.
class Like : public SqlFixture {};

TEST_F(Like, Patterns) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  } const cases[] = {
      {"abc", "a%", true},
      {"abc", "%c", true},
      {"abc", "%b%", true},
      {"abc", "A_C", true},
      {"abc", "a_", false},
      {"abc", "", false},
      {"", "%", true},
      {"abc ", "abc", true},
      {"abc  ", "a%c", true},
      {"abc", "abc ", false},
      {"abc ", "abc ", true},
      {" abc", "abc", false},
      {"سلام", "س_ام", true},  // _ is one character, not one byte
      {"سلام", "س__ام", false},
      {"سلام دنیا", "%دنیا", true},
      {"سلام دنیا", "%دن%", true},
      {"b", "[a-c]", true},
      {"B", "[a-c]", true},
      {"d", "[a-c]", false},
      {"d", "[^a-c]", true},
      {"b", "[^a-c]", false},
      {"x1", "x[0-9]", true},
      {"xy", "x[0-9]", false},
      {"c", "[abc]", true},
      {"پ", "[^ا-ب]", true},  // code-point range of Persian letters
      {"ب", "[^ا-ب]", false},
      {"ب", "[ا-ب]", true},
      {"a_b", "a[_]b", true},
      {"axb", "a[_]b", false},
      {"50%", "50[%]", true},
      {"500", "50[%]", false},
      {"K-100", "K-[0-9][0-9][0-9]", true},
      {"abcabcabd", "%abd", true},
      {"aaa", "%a%a%a%a%", false},
  };
  for (const Case& c : cases) {
    const std::string sql = "'" + std::string(c.text) + "' LIKE '" + std::string(c.pattern) + "'";
    EXPECT_EQ(Eval(sql), c.match ? "1" : "0") << sql;
    EXPECT_EQ(LikeMatch(c.text, c.pattern), c.match) << sql;
    EXPECT_EQ(Eval("NOT (" + sql + ")"), c.match ? "0" : "1") << sql;
  }
}

TEST_F(Like, EscapeNullAndColumns) {
  const EvalCase cases[] = {
      {"'10%' LIKE '10!%' ESCAPE '!'", "1"},
      {"'100' LIKE '10!%' ESCAPE '!'", "0"},
      {"'a_b' LIKE 'a\\_b' ESCAPE '\\'", "1"},
      {"'axb' LIKE 'a\\_b' ESCAPE '\\'", "0"},
      {"'a' LIKE 'a' ESCAPE 'xy'",
       "!506 The invalid escape character \"xy\" was specified in a LIKE predicate."},
      {"NULL LIKE 'a%'", "NULL"},
      {"'abc' LIKE NULL", "NULL"},
      {"12345 LIKE '123%'", "1"},
  };
  ExpectAll(cases);
  EXPECT_TRUE(LikeMatch("10%", "10!%", '!'));
  EXPECT_FALSE(LikeMatch("10x", "10!%", '!'));

  Exec("CREATE TABLE k (code TEXT COLLATE XFER)");
  Exec("INSERT INTO k VALUES ('A10'), ('a11'), ('B10'), ('a1')");
  EXPECT_EQ(Column("SELECT code FROM k WHERE code LIKE 'a1_' ORDER BY code"), "'A10'|'a11'");
  EXPECT_EQ(Column("SELECT code FROM k WHERE code NOT LIKE '[a]%' ORDER BY code"), "'B10'");
}

}  // namespace
}  // namespace xfer::engine
