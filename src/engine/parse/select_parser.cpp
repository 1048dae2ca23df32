// SELECT: queries, set operations, ORDER BY, and the FROM clause with joins,
// derived tables and table hints.
#include <algorithm>
#include <array>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

// Legacy hints written without WITH: "FROM t (NOLOCK)".
constexpr std::array<std::string_view, 12> kBareHints = {
    "NOLOCK",   "READUNCOMMITTED", "UPDLOCK", "HOLDLOCK",      "ROWLOCK",        "TABLOCK",
    "TABLOCKX", "PAGLOCK",         "XLOCK",   "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE"};

}  // namespace

SelectPtr Parser::ParseSelect() {
  NestingGuard guard(*this, Cur());
  const Token& start = Cur();
  SelectPtr first = ParseQueryTerm();
  // Parts a parenthesized first term brought along stay a group of their own.
  const size_t enclosed = first->setParts.size();
  for (;;) {
    const Token& kw = Cur();
    SetOp op;
    if (AcceptWord("UNION")) {
      op = AcceptWord("ALL") ? SetOp::UnionAll : SetOp::Union;
    } else if (AcceptWord("EXCEPT")) {
      op = SetOp::Except;
    } else if (AcceptWord("INTERSECT")) {
      op = SetOp::Intersect;
    } else {
      break;
    }
    if (!first->orderBy.empty()) SyntaxError(kw);
    const Token& termStart = Cur();
    SelectPtr next = ParseQueryTerm();
    if (!next->orderBy.empty()) Unsupported("ORDER BY in a parenthesized query", termStart.pos);
    // Parts are evaluated left to right, except that INTERSECT binds tighter than UNION and
    // EXCEPT: "a UNION b INTERSECT c" is "a UNION (b INTERSECT c)". The intersected part
    // becomes a group of its own, evaluated left to right inside.
    if (op == SetOp::Intersect && first->setParts.size() > enclosed) {
      SelectPtr& last = first->setParts.back().select;
      if (!last->orderBy.empty() || last->top || last->offset)
        Unsupported("INTERSECT after a limited query", kw.pos);
      last->setParts.push_back({op, std::move(next)});
      Seal(*last, kw);
    } else {
      first->setParts.push_back({op, std::move(next)});
    }
  }
  if (AtWord("ORDER")) {
    if (!first->orderBy.empty()) Fail();
    first->orderBy = ParseOrderList();
    if (AcceptWord("OFFSET")) {
      first->offset = ParseExpr();
      if (!AcceptWord("ROW")) ExpectWord("ROWS");
      if (AcceptWord("FETCH")) {
        if (!AcceptWord("NEXT")) ExpectWord("FIRST");
        first->fetch = ParseExpr();
        if (!AcceptWord("ROW")) ExpectWord("ROWS");
        ExpectWord("ONLY");
      }
    }
  }
  // FOR READ ONLY and FOR UPDATE belong to a cursor declaration, which reads them itself.
  if (AtWord("FOR") && !AtWord("READ", 1) && !AtWord("UPDATE", 1))
    Unsupported("FOR clause", Cur().pos);
  if (AtWord("OPTION")) {
    const Token& kw = Advance();
    ExpectOp("(");
    do {
      if (!AtWord("MAXRECURSION")) Unsupported("OPTION clause", kw.pos);
      Advance();
      const Token& n = Cur();
      if (n.kind != TokenKind::Integer) Fail();
      const long long value = ExpectInteger(false);
      if (value > 32767) MaxRecursionTooHigh(n.text, n.pos);
      first->maxRecursion = static_cast<int>(value);
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  Seal(*first, start);
  return first;
}

// WITH name [(columns)] AS (query) [, ...], before the statement that reads them.
std::vector<CommonTable> Parser::ParseCommonTables() {
  ExpectWord("WITH");
  std::vector<CommonTable> list;
  do {
    CommonTable c;
    c.pos = Cur().pos;
    c.name = ExpectName();
    if (AcceptOp("(")) {
      do {
        c.columns.push_back(ExpectName());
      } while (AcceptOp(","));
      ExpectOp(")");
    }
    ExpectWord("AS");
    ExpectOp("(");
    c.query = ParseSelect();
    ExpectOp(")");
    list.push_back(std::move(c));
  } while (AcceptOp(","));
  return list;
}

SelectPtr Parser::ParseQueryTerm() {
  if (AtOp("(")) {
    NestingGuard guard(*this, Cur());
    Advance();
    SelectPtr inner = ParseSelect();
    ExpectOp(")");
    return inner;
  }
  return ParseQuerySpec();
}

SelectPtr Parser::ParseQuerySpec() {
  const Token& kw = Cur();
  ExpectWord("SELECT");
  auto s = std::make_unique<Select>();
  s->pos = kw.pos;
  if (AcceptWord("DISTINCT")) {
    s->distinct = true;
  } else {
    AcceptWord("ALL");
  }
  if (AtWord("TOP")) s->top = ParseTop(&s->topPercent, &s->topWithTies);
  ParseSelectItems(*s);
  if (AcceptWord("INTO")) s->into = ParseObjectName();
  if (AcceptWord("FROM")) s->from = ParseFromList();
  if (AcceptWord("WHERE")) s->where = ParseExpr();
  if (AtWord("GROUP")) ParseGroupBy(*s);
  if (AcceptWord("HAVING")) s->having = ParseExpr();
  Seal(*s, kw);
  return s;
}

// TOP n [PERCENT] or TOP (expr) [PERCENT].
ExprPtr Parser::ParseTop(bool* percent, bool* ties) {
  const Token& kw = Advance();
  ExprPtr n;
  if (AtOp("(")) {
    Advance();
    n = ParseExpr();
    ExpectOp(")");
  } else if (Cur().kind == TokenKind::Integer || Cur().kind == TokenKind::Decimal ||
             Cur().kind == TokenKind::Float) {
    n = ParseLiteral();
  } else {
    Fail();
  }
  *percent = AcceptWord("PERCENT");
  if (AtWord("WITH") && AtWord("TIES", 1)) {
    if (ties == nullptr) Unsupported("TOP WITH TIES", kw.pos);
    Advance();
    Advance();
    *ties = true;
  }
  return n;
}

void Parser::ParseSelectItems(Select& s) {
  do {
    SelectItem item;
    const Token& t = Cur();
    const Token& next = Ahead(1);
    const bool assignOp = next.kind == TokenKind::Operator && next.text.size() <= 2 &&
                          next.text.back() == '=' && next.text != "<=" && next.text != ">=" &&
                          next.text != "!=";
    if (AtOp("*")) {
      item.expr = NewExpr(ExprKind::Star, t);
      Advance();
    } else if (t.kind == TokenKind::Variable && assignOp) {
      // SELECT @v = expr, and the compound forms SELECT @v += expr.
      Advance();
      const Token& op = Advance();
      item.assignVar = t.text;
      ExprPtr value = ParseExpr();
      if (op.text != "=") {
        ExprPtr var = NewExpr(ExprKind::Variable, t);
        var->text = t.text;
        value = MakeBinary(op, op.text.substr(0, 1), std::move(var), std::move(value));
      }
      item.expr = std::move(value);
    } else if ((IsName(t) || t.kind == TokenKind::String) && AtOp("=", 1)) {
      item.alias = t.kind == TokenKind::Word ? t.text : t.value;
      Advance();
      Advance();
      item.expr = ParseExpr();
    } else {
      item.expr = ParseExpr();
      item.alias = ParseOptionalAlias(true);
    }
    s.items.push_back(std::move(item));
  } while (AcceptOp(","));
}

std::vector<TableRefPtr> Parser::ParseFromList() {
  std::vector<TableRefPtr> list;
  do {
    list.push_back(ParseTableSource());
  } while (AcceptOp(","));
  return list;
}

TableRefPtr Parser::ParseTableSource() {
  NestingGuard guard(*this, Cur());
  return ParseJoins(ParseTablePrimary());
}

bool Parser::AtJoin() const {
  return AtWord("JOIN") || AtWord("INNER") || AtWord("LEFT") || AtWord("RIGHT") || AtWord("FULL") ||
         AtWord("CROSS") || (AtWord("OUTER") && AtWord("APPLY", 1));
}

// Joins associate to the left; "a JOIN b JOIN c ON x ON y" nests the inner join on the right.
TableRefPtr Parser::ParseJoins(TableRefPtr left) {
  while (AtJoin()) {
    const Token& kw = Cur();
    JoinType type = JoinType::Inner;
    if (AtWord("APPLY", 1)) {
      const JoinType apply = AtWord("CROSS") ? JoinType::CrossApply : JoinType::OuterApply;
      Advance();
      Advance();
      const bool query = AtOp("(") && (AtWord("SELECT", 1) || AtWord("VALUES", 1));
      if (!query && !(AtWord("STRING_SPLIT") && AtOp("(", 1))) Unsupported("APPLY", kw.pos);
      auto join = std::make_unique<TableRef>();
      join->kind = TableRef::Kind::Join;
      join->pos = left->pos;
      join->joinType = apply;
      join->left = std::move(left);
      join->right = ParseTablePrimary();
      Seal(*join, kw);
      left = std::move(join);
      continue;
    }
    if (AcceptWord("CROSS")) {
      type = JoinType::Cross;
    } else if (AcceptWord("INNER")) {
      type = JoinType::Inner;
    } else if (AcceptWord("LEFT")) {
      type = JoinType::Left;
      AcceptWord("OUTER");
    } else if (AcceptWord("RIGHT")) {
      type = JoinType::Right;
      AcceptWord("OUTER");
    } else if (AcceptWord("FULL")) {
      type = JoinType::Full;
      AcceptWord("OUTER");
    }
    if (AtWord("HASH") || AtWord("LOOP") || AtWord("MERGE") || AtWord("REMOTE")) {
      Unsupported("join hint", Cur().pos);
    }
    ExpectWord("JOIN");
    TableRefPtr right = ParseTablePrimary();
    ExprPtr on;
    if (type != JoinType::Cross) {
      if (AtJoin()) {
        NestingGuard guard(*this, Cur());
        right = ParseJoins(std::move(right));
      }
      ExpectWord("ON");
      on = ParseExpr();
    }
    auto join = std::make_unique<TableRef>();
    join->kind = TableRef::Kind::Join;
    join->pos = left->pos;
    join->joinType = type;
    join->left = std::move(left);
    join->right = std::move(right);
    join->on = std::move(on);
    Seal(*join, kw);
    left = std::move(join);
  }
  return left;
}

TableRefPtr Parser::ParseTablePrimary() {
  const Token& t = Cur();
  auto ref = std::make_unique<TableRef>();
  ref->pos = t.pos;
  if (AtOp("(")) {
    const bool values = AtWord("VALUES", 1);
    if (!values && !AtWord("SELECT", 1)) {
      // A parenthesized join: "(a JOIN b ON ...)".
      Advance();
      TableRefPtr inner = ParseTableSource();
      ExpectOp(")");
      return inner;
    }
    Advance();
    ref->kind = TableRef::Kind::Derived;
    ref->derived = values ? ParseValuesTable() : ParseSelect();
    ExpectOp(")");
    ref->alias = ParseOptionalAlias(false);
    if (!ref->alias.empty() && AcceptOp("(")) {
      do {
        ref->columnAliases.push_back(ExpectName());
      } while (AcceptOp(","));
      ExpectOp(")");
    }
    Seal(*ref, t);
    return ParsePivot(std::move(ref));
  }
  if (IsName(t) && AtOp("(", 1)) {
    if (!AtWord("STRING_SPLIT")) Unsupported("table-valued function", t.pos);
    Advance();
    ExpectOp("(");
    ref->kind = TableRef::Kind::Function;
    ref->name.object = "STRING_SPLIT";
    do {
      ref->args.push_back(ParseExpr());
    } while (AcceptOp(","));
    ExpectOp(")");
    ref->alias = ParseOptionalAlias(false);
    Seal(*ref, t);
    return ref;
  }
  ref->kind = TableRef::Kind::Named;
  ref->name = ParseTableName();
  ref->alias = ParseOptionalAlias(false);
  ParseTableHints(ref->hints);
  Seal(*ref, t);
  return ParsePivot(std::move(ref));
}

// source PIVOT (aggregate(column) FOR column IN ([value], ...)) AS alias, or
// source UNPIVOT (value FOR name IN (column, ...)) AS alias.
TableRefPtr Parser::ParsePivot(TableRefPtr source) {
  if (!AtWord("PIVOT") && !AtWord("UNPIVOT")) return source;
  const bool unpivot = AtWord("UNPIVOT");
  const Token& kw = Advance();
  ExpectOp("(");
  auto p = std::make_unique<TableRef>();
  p->kind = TableRef::Kind::Pivot;
  p->unpivot = unpivot;
  p->pos = source->pos;
  p->left = std::move(source);
  p->on = unpivot ? ParseNameOrCall() : ParseExpr();
  ExpectWord("FOR");
  p->pivotFor = ParseNameOrCall();
  ExpectWord("IN");
  ExpectOp("(");
  do {
    p->columnAliases.push_back(ExpectName());
  } while (AcceptOp(","));
  ExpectOp(")");
  ExpectOp(")");
  p->alias = ParseOptionalAlias(false);
  if (p->alias.empty()) Fail();
  Seal(*p, kw);
  return p;
}

// VALUES (a, b), (c, d): rows of one table, typed as the parts of a UNION ALL are.
SelectPtr Parser::ParseValuesTable() {
  const Token& kw = Advance();
  SelectPtr first;
  size_t width = 0;
  do {
    const Token& open = Cur();
    ExpectOp("(");
    auto row = std::make_unique<Select>();
    row->pos = open.pos;
    do {
      SelectItem item;
      item.expr = ParseExpr();
      row->items.push_back(std::move(item));
    } while (AcceptOp(","));
    ExpectOp(")");
    Seal(*row, open);
    if (!first) {
      width = row->items.size();
      first = std::move(row);
    } else {
      if (row->items.size() != width) ValuesRowsDiffer(open.pos);
      first->setParts.push_back({SetOp::UnionAll, std::move(row)});
    }
  } while (AcceptOp(","));
  Seal(*first, kw);
  return first;
}

// WITH (NOLOCK, INDEX(i)) or the legacy "(NOLOCK)"; kept only as names.
void Parser::ParseTableHints(std::vector<std::string>& hints) {
  const bool withKeyword = AtWord("WITH") && AtOp("(", 1);
  const bool bare =
      AtOp("(") && Ahead(1).kind == TokenKind::Word &&
      std::find(kBareHints.begin(), kBareHints.end(), Ahead(1).value) != kBareHints.end();
  if (!withKeyword && !bare) return;
  if (withKeyword) Advance();
  ExpectOp("(");
  do {
    const Token& h = Cur();
    if (h.kind != TokenKind::Word) Fail();
    hints.push_back(h.value);
    Advance();
    if (AtOp("(")) {
      SkipParenthesized();
    } else if (AcceptOp("=")) {
      Advance();
    }
  } while (AcceptOp(","));
  ExpectOp(")");
}

// Skips a balanced parenthesized group without building anything.
void Parser::SkipParenthesized() {
  ExpectOp("(");
  int depth = 1;
  while (depth > 0) {
    if (AtEnd()) Fail();
    if (AtOp("(")) ++depth;
    if (AtOp(")")) --depth;
    Advance();
  }
}

std::vector<OrderItem> Parser::ParseOrderList() {
  ExpectWord("ORDER");
  ExpectWord("BY");
  std::vector<OrderItem> items;
  do {
    OrderItem item;
    item.expr = ParseExpr();
    if (AcceptWord("DESC")) {
      item.descending = true;
    } else {
      AcceptWord("ASC");
    }
    items.push_back(std::move(item));
  } while (AcceptOp(","));
  return items;
}

}  // namespace xfer::engine::parse
