// Tokenizer: kinds, unescaped values, positions in characters, comments and operators.
#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/parse/lexer.h"

namespace xfer::engine::parse {
namespace {

using TK = TokenKind;

struct LexCase {
  const char* sql;
  std::vector<std::pair<TokenKind, std::string>> tokens;  // kind and value, End excluded
};

TEST(Lexer, TokenKindsAndValues) {
  const LexCase cases[] = {
      {"select Name", {{TK::Word, "SELECT"}, {TK::Word, "NAME"}}},
      {"[a b]]c] \"x\"\"y\"", {{TK::QuotedName, "a b]c"}, {TK::QuotedName, "x\"y"}}},
      {"'it''s' N'ب' n'x'", {{TK::String, "it's"}, {TK::NString, "ب"}, {TK::NString, "x"}}},
      {"@x @@ROWCOUNT @a#1",
       {{TK::Variable, "@x"}, {TK::Variable, "@@ROWCOUNT"}, {TK::Variable, "@a#1"}}},
      {"#t ##t x$1", {{TK::Word, "#T"}, {TK::Word, "##T"}, {TK::Word, "X$1"}}},
      {"12 1.5 .5 1. 1e3 2.5E-2 $12.5 $ 0x1f 0x",
       {{TK::Integer, "12"},
        {TK::Decimal, "1.5"},
        {TK::Decimal, ".5"},
        {TK::Decimal, "1."},
        {TK::Float, "1e3"},
        {TK::Float, "2.5E-2"},
        {TK::Money, "12.5"},
        {TK::Money, "0"},
        {TK::Binary, "0x1f"},
        {TK::Binary, "0x"}}},
      {"a<>b!=c<=d>=e!<f!>g::h",
       {{TK::Word, "A"},
        {TK::Operator, "<>"},
        {TK::Word, "B"},
        {TK::Operator, "!="},
        {TK::Word, "C"},
        {TK::Operator, "<="},
        {TK::Word, "D"},
        {TK::Operator, ">="},
        {TK::Word, "E"},
        {TK::Operator, "!<"},
        {TK::Word, "F"},
        {TK::Operator, "!>"},
        {TK::Word, "G"},
        {TK::Operator, "::"},
        {TK::Word, "H"}}},
      {"+-*/%&|^~(),.;=",
       {{TK::Operator, "+"},
        {TK::Operator, "-"},
        {TK::Operator, "*"},
        {TK::Operator, "/"},
        {TK::Operator, "%"},
        {TK::Operator, "&"},
        {TK::Operator, "|"},
        {TK::Operator, "^"},
        {TK::Operator, "~"},
        {TK::Operator, "("},
        {TK::Operator, ")"},
        {TK::Operator, ","},
        {TK::Operator, "."},
        {TK::Operator, ";"},
        {TK::Operator, "="}}},
      {"a -- comment\n/* x /* nested */ y */ b", {{TK::Word, "A"}, {TK::Word, "B"}}},
      {"db..t", {{TK::Word, "DB"}, {TK::Operator, "."}, {TK::Operator, "."}, {TK::Word, "T"}}},
      {"نام_کالا", {{TK::Word, "نام_کالا"}}},
      {"@a+=1", {{TK::Variable, "@a"}, {TK::Operator, "+="}, {TK::Integer, "1"}}},
  };
  for (const auto& c : cases) {
    std::vector<Token> toks = Tokenize(c.sql);
    ASSERT_EQ(toks.size(), c.tokens.size() + 1) << c.sql;
    EXPECT_EQ(toks.back().kind, TK::End);
    for (size_t i = 0; i < c.tokens.size(); ++i) {
      EXPECT_EQ(toks[i].kind, c.tokens[i].first) << c.sql << " #" << i;
      EXPECT_EQ(toks[i].value, c.tokens[i].second) << c.sql << " #" << i;
    }
  }
}

TEST(Lexer, PositionsCountCharactersAndLines) {
  std::vector<Token> toks = Tokenize("N'سلام' x\r\n  [y]\n\tz");
  ASSERT_EQ(toks.size(), 5u);
  EXPECT_EQ(toks[0].text, "N'سلام'");
  EXPECT_EQ(toks[1].pos.line, 1);
  EXPECT_EQ(toks[1].pos.column, 9);  // 7 characters of literal and a blank, not bytes
  EXPECT_EQ(toks[2].pos.line, 2);
  EXPECT_EQ(toks[2].pos.column, 3);
  EXPECT_EQ(toks[2].text, "[y]");
  EXPECT_EQ(toks[3].pos.line, 3);
  EXPECT_EQ(toks[3].pos.column, 2);
  EXPECT_EQ(toks[3].pos.offset, toks[3].end - 1);
  EXPECT_EQ(toks[4].pos.offset, std::string("N'سلام' x\r\n  [y]\n\tz").size());
}

TEST(Lexer, BadTokens) {
  struct BadCase {
    const char* sql;
    int number;
  };
  const BadCase cases[] = {{"'abc", 105},     {"[abc", 105},  {"\"abc", 105}, {"N'", 105},
                           {"/* /* */", 113}, {"a ? b", 102}, {"{", 102},     {"@ x", 102}};
  for (const auto& c : cases) {
    try {
      Tokenize(c.sql);
      ADD_FAILURE() << "tokenized: " << c.sql;
    } catch (const SqlError& e) {
      EXPECT_EQ(e.number(), c.number) << c.sql;
    }
  }
}

}  // namespace
}  // namespace xfer::engine::parse
