// GROUP BY: a plain list of expressions, or grouping sets written as ROLLUP, CUBE, GROUPING
// SETS, () or the older "a, b WITH ROLLUP" / "WITH CUBE". Every form is expanded here into the
// grouping sets it stands for; the renderer computes each set and combines the rows.
#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

using Sets = std::vector<std::vector<size_t>>;

// A CUBE of thirteen columns would already make 8192 sets.
constexpr size_t kMaxSets = 4096;

void CheckCount(const Sets& sets, SourcePos pos) {
  if (sets.size() > kMaxSets) Unsupported("more than 4096 grouping sets", pos);
}

// Every set of `a` joined with every set of `b`: "a, ROLLUP (b, c)" groups by a together with
// each set of the rollup.
Sets Cross(const Sets& a, const Sets& b, SourcePos pos) {
  Sets out;
  for (const auto& x : a)
    for (const auto& y : b) {
      std::vector<size_t> set = x;
      set.insert(set.end(), y.begin(), y.end());
      out.push_back(std::move(set));
    }
  CheckCount(out, pos);
  return out;
}

// ROLLUP (a, b, c): (a, b, c), (a, b), (a), ().
Sets Rollup(const Sets& items) {
  Sets out;
  for (size_t n = items.size() + 1; n-- > 0;) {
    std::vector<size_t> set;
    for (size_t i = 0; i < n; ++i) set.insert(set.end(), items[i].begin(), items[i].end());
    out.push_back(std::move(set));
  }
  return out;
}

// CUBE (a, b): every combination, (a, b), (a), (b), ().
Sets Cube(const Sets& items, SourcePos pos) {
  if (items.size() > 12) Unsupported("more than 4096 grouping sets", pos);
  Sets out;
  const size_t n = items.size();
  for (size_t mask = (size_t{1} << n); mask-- > 0;) {
    std::vector<size_t> set;
    for (size_t i = 0; i < n; ++i)
      if (mask & (size_t{1} << (n - 1 - i)))
        set.insert(set.end(), items[i].begin(), items[i].end());
    out.push_back(std::move(set));
  }
  return out;
}

}  // namespace

// Whether the current "(" opens a list of columns rather than a parenthesized expression: "()"
// or a comma directly inside it.
bool Parser::AtColumnList() const {
  if (!AtOp("(")) return false;
  if (AtOp(")", 1)) return true;
  int depth = 0;
  for (size_t n = 0;; ++n) {
    const Token& t = Ahead(n);
    if (t.kind == TokenKind::End) return false;
    if (t.kind != TokenKind::Operator) continue;
    if (t.text == "(") {
      ++depth;
    } else if (t.text == ")") {
      if (--depth == 0) return false;
    } else if (t.text == "," && depth == 1) {
      return true;
    }
  }
}

// One expression, or a parenthesized list of them grouped together as one column of a ROLLUP
// or CUBE.
std::vector<size_t> Parser::ParseGroupingColumns(Select& s) {
  std::vector<size_t> set;
  auto one = [&] {
    s.groupBy.push_back(ParseExpr());
    set.push_back(s.groupBy.size() - 1);
  };
  if (!AtColumnList()) {
    one();
    return set;
  }
  ExpectOp("(");
  if (!AtOp(")")) {
    do {
      one();
    } while (AcceptOp(","));
  }
  ExpectOp(")");
  return set;
}

// ROLLUP (...) or CUBE (...), at its keyword.
Parser::GroupingSets Parser::ParseRollupOrCube(Select& s) {
  const Token& kw = Advance();
  const bool cube = kw.value == "CUBE";
  ExpectOp("(");
  Sets items;
  do {
    items.push_back(ParseGroupingColumns(s));
  } while (AcceptOp(","));
  ExpectOp(")");
  return cube ? Cube(items, kw.pos) : Rollup(items);
}

// One element of the GROUP BY list or, with `inSetList`, of a GROUPING SETS list, where a
// parenthesized list is one set grouping by all its elements together.
Parser::GroupingSets Parser::ParseGroupingElement(Select& s, bool inSetList) {
  const Token& at = Cur();
  if (AtOp("(") && AtOp(")", 1)) {
    Advance();
    Advance();
    return Sets{{}};
  }
  if ((AtWord("ROLLUP") || AtWord("CUBE")) && AtOp("(", 1)) return ParseRollupOrCube(s);
  if (!inSetList && AtWord("GROUPING") && AtWord("SETS", 1)) {
    Advance();
    Advance();
    ExpectOp("(");
    Sets all;
    do {
      Sets sets = ParseGroupingElement(s, true);
      all.insert(all.end(), sets.begin(), sets.end());
      CheckCount(all, at.pos);
    } while (AcceptOp(","));
    ExpectOp(")");
    return all;
  }
  if (AtColumnList()) {
    // "GROUP BY a, (b, c)" is not T-SQL: such a set is written inside GROUPING SETS.
    if (!inSetList) {
      Advance();
      ParseExpr();
      Fail();
    }
    Advance();
    Sets sets{{}};
    do {
      sets = Cross(sets, ParseGroupingElement(s, true), at.pos);
    } while (AcceptOp(","));
    ExpectOp(")");
    return sets;
  }
  s.groupBy.push_back(ParseExpr());
  return Sets{{s.groupBy.size() - 1}};
}

void Parser::ParseGroupBy(Select& s) {
  Advance();
  ExpectWord("BY");
  if (AtWord("ALL")) Unsupported("GROUP BY ALL", Cur().pos);
  Sets sets{{}};
  bool plain = true;
  do {
    const Token& at = Cur();
    const size_t before = s.groupBy.size();
    Sets element = ParseGroupingElement(s, false);
    plain =
        plain && element.size() == 1 && element[0].size() == 1 && s.groupBy.size() == before + 1;
    sets = Cross(sets, element, at.pos);
  } while (AcceptOp(","));
  if (AtWord("WITH") && (AtWord("ROLLUP", 1) || AtWord("CUBE", 1))) {
    if (!plain) Fail();
    Advance();
    const Token& kw = Advance();
    Sets items;
    for (size_t i = 0; i < s.groupBy.size(); ++i) items.push_back({i});
    s.groupingSets = kw.value == "CUBE" ? Cube(items, kw.pos) : Rollup(items);
    return;
  }
  if (!plain) s.groupingSets = std::move(sets);
}

}  // namespace xfer::engine::parse
