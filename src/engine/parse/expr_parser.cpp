// Expressions with SQL Server's operator precedence, from loosest to tightest:
// OR; AND; NOT; comparisons and IS/BETWEEN/LIKE/IN; + - & ^ |; unary + -; * / %; ~.
#include <algorithm>
#include <array>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

constexpr std::array<std::string_view, 9> kComparisons = {
    "=", "<>", "!=", "<", "<=", ">", ">=", "!<", "!>"};

// Reserved words that still begin an expression.
constexpr std::array<std::string_view, 15> kExprKeywords = {
    "CASE", "COALESCE", "CONVERT", "CURRENT_TIMESTAMP", "CURRENT_USER", "EXISTS", "LEFT",    "NOT",
    "NULL", "NULLIF",   "RIGHT",   "SESSION_USER",      "SYSTEM_USER",  "USER",   "IDENTITY"};

// Reserved words written as functions: name followed by '('.
constexpr std::array<std::string_view, 4> kKeywordFunctions = {"LEFT", "RIGHT", "COALESCE",
                                                               "NULLIF"};

constexpr std::array<std::string_view, 5> kNiladic = {"CURRENT_TIMESTAMP", "CURRENT_USER",
                                                      "SESSION_USER", "SYSTEM_USER", "USER"};

constexpr std::array<std::string_view, 5> kDatePartFunctions = {"DATEADD", "DATEDIFF", "DATEPART",
                                                                "DATENAME", "DATEDIFF_BIG"};

template <size_t N>
bool Contains(const std::array<std::string_view, N>& a, std::string_view v) {
  return std::find(a.begin(), a.end(), v) != a.end();
}

bool IsNumericLiteral(const Expr& e) {
  return e.kind == ExprKind::Literal &&
         (e.literalKind == LiteralKind::Integer || e.literalKind == LiteralKind::Float ||
          e.literalKind == LiteralKind::Money);
}

}  // namespace

ExprPtr Parser::MakeBinary(const Token& op, std::string text, ExprPtr left, ExprPtr right) {
  ExprPtr e = NewExpr(ExprKind::Binary, op);
  e->text = std::move(text);
  e->args.push_back(std::move(left));
  e->args.push_back(std::move(right));
  Seal(*e, op);
  return e;
}

ExprPtr Parser::MakeUnary(const Token& op, std::string text, ExprPtr operand) {
  ExprPtr e = NewExpr(ExprKind::Unary, op);
  e->text = std::move(text);
  e->args.push_back(std::move(operand));
  Seal(*e, op);
  return e;
}

bool Parser::CanStartExpr(const Token& t) const {
  switch (t.kind) {
    case TokenKind::Word:
      return !IsReserved(t) || Contains(kExprKeywords, t.value);
    case TokenKind::Operator:
      return t.text == "(" || t.text == "-" || t.text == "+" || t.text == "~";
    case TokenKind::End:
      return false;
    default:
      return true;
  }
}

ExprPtr Parser::ParseExpr() {
  NestingGuard guard(*this, Cur());
  ExprPtr left = ParseAnd();
  while (AtWord("OR")) {
    const Token& op = Advance();
    left = MakeBinary(op, "OR", std::move(left), ParseAnd());
  }
  return left;
}

ExprPtr Parser::ParseAnd() {
  ExprPtr left = ParseNot();
  while (AtWord("AND")) {
    const Token& op = Advance();
    left = MakeBinary(op, "AND", std::move(left), ParseNot());
  }
  return left;
}

ExprPtr Parser::ParseNot() {
  if (!AtWord("NOT")) return ParsePredicate();
  NestingGuard guard(*this, Cur());
  const Token& op = Advance();
  ExprPtr operand = ParseNot();
  if (operand->kind == ExprKind::Exists) {
    operand->negated = !operand->negated;
    return operand;
  }
  return MakeUnary(op, "NOT", std::move(operand));
}

ExprPtr Parser::ParsePredicate() {
  ExprPtr left = ParseAdditive();
  const Token& at = Cur();
  if (at.kind == TokenKind::Operator && Contains(kComparisons, at.text)) {
    Advance();
    if (AtWord("ALL") || AtWord("ANY") || AtWord("SOME")) Unsupported("ALL/ANY/SOME", Cur().pos);
    return MakeBinary(at, at.text, std::move(left), ParseAdditive());
  }
  if (AtWord("IS")) {
    Advance();
    ExprPtr e = NewExpr(ExprKind::IsNull, at);
    e->negated = AcceptWord("NOT");
    ExpectWord("NULL");
    e->args.push_back(std::move(left));
    Seal(*e, at);
    return e;
  }
  bool negated = false;
  if (AtWord("NOT") && (AtWord("BETWEEN", 1) || AtWord("LIKE", 1) || AtWord("IN", 1))) {
    Advance();
    negated = true;
  }
  const Token& kw = Cur();
  ExprPtr e;
  if (AcceptWord("BETWEEN")) {
    e = NewExpr(ExprKind::Between, kw);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    ExpectWord("AND");
    e->args.push_back(ParseAdditive());
  } else if (AcceptWord("LIKE")) {
    e = NewExpr(ExprKind::Like, kw);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    if (AcceptWord("ESCAPE")) e->args.push_back(ParseAdditive());
  } else if (AcceptWord("IN")) {
    ExpectOp("(");
    if (AtWord("SELECT")) {
      e = NewExpr(ExprKind::InSubquery, kw);
      e->args.push_back(std::move(left));
      e->subquery = ParseSelect();
    } else {
      e = NewExpr(ExprKind::InList, kw);
      e->args.push_back(std::move(left));
      do {
        e->args.push_back(ParseExpr());
      } while (AcceptOp(","));
    }
    ExpectOp(")");
  } else {
    return left;
  }
  e->negated = negated;
  Seal(*e, kw);
  return e;
}

ExprPtr Parser::ParseAdditive() {
  ExprPtr left = ParseSigned(false);
  for (;;) {
    const Token& op = Cur();
    if (op.kind != TokenKind::Operator ||
        (op.text != "+" && op.text != "-" && op.text != "&" && op.text != "^" && op.text != "|")) {
      return left;
    }
    Advance();
    left = MakeBinary(op, op.text, std::move(left), ParseSigned(false));
  }
}

// Unary + and - bind looser than * / % ("-a * b" is "-(a * b)") except right after an
// operator that binds tighter ("a * -b"), where `tight` keeps the sign on the operand alone.
// A minus in front of a number literal folds into the literal.
ExprPtr Parser::ParseSigned(bool tight) {
  if (!AtOp("-") && !AtOp("+")) return tight ? ParseBitNot() : ParseMultiplicative();
  NestingGuard guard(*this, Cur());
  const Token& op = Advance();
  ExprPtr operand = ParseSigned(tight);
  if (IsNumericLiteral(*operand) && !operand->text.starts_with('-')) {
    if (op.text == "-") operand->text.insert(0, "-");
    operand->pos = op.pos;
    return operand;
  }
  return MakeUnary(op, op.text, std::move(operand));
}

ExprPtr Parser::ParseMultiplicative() {
  ExprPtr left = ParseBitNot();
  for (;;) {
    const Token& op = Cur();
    if (op.kind != TokenKind::Operator || (op.text != "*" && op.text != "/" && op.text != "%")) {
      return left;
    }
    Advance();
    left = MakeBinary(op, op.text, std::move(left), ParseSigned(true));
  }
}

ExprPtr Parser::ParseBitNot() {
  if (!AtOp("~")) return ParsePrimary();
  NestingGuard guard(*this, Cur());
  const Token& op = Advance();
  ExprPtr operand = AtOp("-") || AtOp("+") ? ParseSigned(true) : ParseBitNot();
  return MakeUnary(op, "~", std::move(operand));
}

ExprPtr Parser::ParsePrimary() {
  const Token& t = Cur();
  ExprPtr e;
  switch (t.kind) {
    case TokenKind::String:
    case TokenKind::NString:
    case TokenKind::Integer:
    case TokenKind::Decimal:
    case TokenKind::Float:
    case TokenKind::Money:
    case TokenKind::Binary:
      e = ParseLiteral();
      break;
    case TokenKind::Variable:
      e = NewExpr(ExprKind::Variable, t);
      e->text = t.text;
      Advance();
      break;
    case TokenKind::Operator:
      if (t.text != "(") Fail();
      e = ParseParenthesized();
      break;
    case TokenKind::QuotedName:
      e = ParseNameOrCall();
      break;
    case TokenKind::Word:
      if (!IsReserved(t)) {
        bool cast = (t.value == "CAST" || t.value == "TRY_CAST") && AtOp("(", 1);
        e = cast ? ParseCastOrConvert() : ParseNameOrCall();
      } else if (t.value == "NULL") {
        e = NewExpr(ExprKind::Literal, t);
        e->literalKind = LiteralKind::Null;
        e->text = "NULL";
        Advance();
      } else if (t.value == "CASE") {
        e = ParseCase();
      } else if (t.value == "CONVERT") {
        e = ParseCastOrConvert();
      } else if (t.value == "EXISTS") {
        Advance();
        e = NewExpr(ExprKind::Exists, t);
        ExpectOp("(");
        if (!AtWord("SELECT")) Fail();
        e->subquery = ParseSelect();
        ExpectOp(")");
        Seal(*e, t);
      } else if (Contains(kKeywordFunctions, t.value) && AtOp("(", 1)) {
        Advance();
        e = ParseFunctionCall(t.value, t);
      } else if (Contains(kNiladic, t.value)) {
        Advance();
        e = NewExpr(ExprKind::Function, t);
        e->text = t.value;
      } else if (t.value == "IDENTITY") {
        Unsupported("IDENTITY function", t.pos);
      } else if (t.value == "TRY_CONVERT" && AtOp("(", 1)) {
        e = ParseCastOrConvert();
      } else {
        Fail();
      }
      break;
    case TokenKind::End:
      Fail();
  }
  // One collation serves every text column, so an explicit one changes nothing.
  if (AcceptWord("COLLATE")) ExpectName();
  return e;
}

ExprPtr Parser::ParseLiteral() {
  const Token& t = Advance();
  ExprPtr e = NewExpr(ExprKind::Literal, t);
  switch (t.kind) {
    case TokenKind::String:
      e->literalKind = LiteralKind::String;
      e->text = t.value;
      break;
    case TokenKind::NString:
      e->literalKind = LiteralKind::NString;
      e->text = t.value;
      break;
    case TokenKind::Integer:
      e->literalKind = LiteralKind::Integer;
      e->text = t.text;
      break;
    case TokenKind::Money:
      e->literalKind = LiteralKind::Money;
      e->text = t.value;
      break;
    case TokenKind::Binary:
      e->literalKind = LiteralKind::Binary;
      e->text = t.text;
      break;
    default:  // decimal and float numbers; the text tells them apart (an exponent or not)
      e->literalKind = LiteralKind::Float;
      e->text = t.text;
      break;
  }
  return e;
}

ExprPtr Parser::ParseParenthesized() {
  const Token& open = Advance();
  if (AtWord("SELECT")) {
    ExprPtr e = NewExpr(ExprKind::Subquery, open);
    e->subquery = ParseSelect();
    ExpectOp(")");
    Seal(*e, open);
    return e;
  }
  ExprPtr e = ParseExpr();
  ExpectOp(")");
  return e;
}

// column, t.column, db.schema.t.column, t.*, or a function call f(...) / schema.f(...).
ExprPtr Parser::ParseNameOrCall() {
  const Token& first = Cur();
  std::vector<std::string> parts;
  parts.push_back(ExpectName());
  while (AtOp(".")) {
    Advance();
    if (AtOp("*")) {
      Advance();
      ExprPtr star = NewExpr(ExprKind::Star, first);
      star->name = std::move(parts);
      return star;
    }
    const Token& part = Cur();
    if (part.kind != TokenKind::Word && part.kind != TokenKind::QuotedName) Fail();
    if (parts.size() == 4) Fail();
    parts.push_back(part.kind == TokenKind::Word ? part.text : part.value);
    Advance();
  }
  if (AtOp("(")) {
    std::string name;
    for (const auto& p : parts) {
      if (!name.empty()) name += '.';
      for (char c : p) name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return ParseFunctionCall(std::move(name), first);
  }
  ExprPtr col = NewExpr(ExprKind::Column, first);
  col->name = std::move(parts);
  return col;
}

ExprPtr Parser::ParseFunctionCall(std::string name, const Token& at) {
  ExpectOp("(");
  ExprPtr e = NewExpr(ExprKind::Function, at);
  e->text = std::move(name);
  if (!AcceptOp(")")) {
    if (AcceptWord("DISTINCT")) {
      e->distinct = true;
    } else {
      AcceptWord("ALL");
    }
    if (AtOp("*") && AtOp(")", 1)) {
      e->args.push_back(NewExpr(ExprKind::Star, Cur()));
      Advance();
    } else {
      do {
        e->args.push_back(ParseExpr());
      } while (AcceptOp(","));
    }
    ExpectOp(")");
  }
  // The datepart of the date functions is a keyword (month, dd), not a column: it travels to
  // the function as its name.
  if (Contains(kDatePartFunctions, e->text) && !e->args.empty() &&
      e->args[0]->kind == ExprKind::Column && e->args[0]->name.size() == 1) {
    ExprPtr& part = e->args[0];
    part->kind = ExprKind::Literal;
    part->literalKind = LiteralKind::String;
    part->text = part->name[0];
    part->name.clear();
  }
  if (AcceptWord("WITHIN")) {
    ExpectWord("GROUP");
    ExpectOp("(");
    for (auto& item : ParseOrderList()) {
      e->withinOrder.push_back(std::move(item.expr));
      e->withinDescending.push_back(item.descending);
    }
    ExpectOp(")");
  }
  if (AtWord("OVER")) e->over = ParseOver();
  Seal(*e, at);
  return e;
}

// OVER ([PARTITION BY ...] [ORDER BY ...] [ROWS | RANGE frame]); a named window is refused.
std::shared_ptr<WindowSpec> Parser::ParseOver() {
  const Token& kw = Advance();
  if (!AtOp("(")) Unsupported("named window", kw.pos);
  Advance();
  auto w = std::make_shared<WindowSpec>();
  if (AcceptWord("PARTITION")) {
    ExpectWord("BY");
    do {
      w->partitionBy.push_back(ParseExpr());
    } while (AcceptOp(","));
  }
  if (AtWord("ORDER")) w->orderBy = ParseOrderList();
  if (AtWord("ROWS") || AtWord("RANGE")) {
    w->hasFrame = true;
    w->rows = Advance().value == "ROWS";
    if (AcceptWord("BETWEEN")) {
      w->start = ParseFrameBound(&w->startOffset);
      ExpectWord("AND");
      w->end = ParseFrameBound(&w->endOffset);
    } else {
      // The short form names the start; the frame ends at the current row.
      const Token& b = Cur();
      w->start = ParseFrameBound(&w->startOffset);
      if (w->start == FrameBound::Following || w->start == FrameBound::UnboundedFollowing)
        SyntaxError(b);
      w->end = FrameBound::CurrentRow;
    }
  }
  ExpectOp(")");
  return w;
}

FrameBound Parser::ParseFrameBound(long long* offset) {
  if (AcceptWord("UNBOUNDED")) {
    if (AcceptWord("PRECEDING")) return FrameBound::UnboundedPreceding;
    ExpectWord("FOLLOWING");
    return FrameBound::UnboundedFollowing;
  }
  if (AcceptWord("CURRENT")) {
    ExpectWord("ROW");
    return FrameBound::CurrentRow;
  }
  if (Cur().kind != TokenKind::Integer) Fail();
  *offset = ExpectInteger(false);
  if (AcceptWord("PRECEDING")) return FrameBound::Preceding;
  ExpectWord("FOLLOWING");
  return FrameBound::Following;
}

ExprPtr Parser::ParseCase() {
  NestingGuard guard(*this, Cur());
  const Token& kw = Advance();
  if (caseNesting_ >= kMaxCaseNesting) CaseTooDeep(kw.pos);
  struct Open {
    int& depth;
    explicit Open(int& d) : depth(++d) {}
    ~Open() { --depth; }
  } open(caseNesting_);
  ExprPtr e = NewExpr(ExprKind::Case, kw);
  if (!AtWord("WHEN")) e->caseOperand = ParseExpr();
  if (!AtWord("WHEN")) Fail();
  while (AcceptWord("WHEN")) {
    CaseWhen w;
    w.when = ParseExpr();
    ExpectWord("THEN");
    w.then = ParseExpr();
    e->whens.push_back(std::move(w));
  }
  if (AcceptWord("ELSE")) e->elseExpr = ParseExpr();
  ExpectWord("END");
  Seal(*e, kw);
  return e;
}

// CAST(x AS type) and CONVERT(type, x [, style]).
ExprPtr Parser::ParseCastOrConvert() {
  const Token& kw = Advance();
  ExprPtr e = NewExpr(ExprKind::Cast, kw);
  ExpectOp("(");
  e->tryCast = kw.value.starts_with("TRY_");
  if (kw.value == "CONVERT" || kw.value == "TRY_CONVERT") {
    e->isConvert = true;
    e->castType = ParseType();
    ExpectOp(",");
    e->args.push_back(ParseExpr());
    if (AcceptOp(",")) e->args.push_back(ParseExpr());
  } else {
    e->args.push_back(ParseExpr());
    ExpectWord("AS");
    e->castType = ParseType();
  }
  ExpectOp(")");
  Seal(*e, kw);
  return e;
}

}  // namespace xfer::engine::parse
