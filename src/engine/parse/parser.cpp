// Parser entry points, the token cursor and the name rules shared by every statement.
#include "engine/parse/parser.h"

#include <charconv>

#include "engine/parse/lexer.h"
#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine {

Batch ParseBatch(std::string_view text) {
  return parse::Parser(text).ParseBatch();
}

ExprPtr ParseExpression(std::string_view text) {
  return parse::Parser(text).ParseWholeExpression();
}

}  // namespace xfer::engine

namespace xfer::engine::parse {

NestingGuard::NestingGuard(Parser& p, const Token& at) : p_(p) {
  if (p_.nesting_ >= kMaxNesting) TooDeep(at.pos);
  ++p_.nesting_;
}

Parser::Parser(std::string_view text) : text_(text), toks_(Tokenize(text)) {}

Parser::Parser(std::string_view text, std::vector<Token> tokens)
    : text_(text), toks_(std::move(tokens)) {}

Batch Parser::ParseBatch() {
  Batch batch;
  batch.text = std::string(text_);
  while (!AtEnd()) {
    batch.statements.push_back(ParseStatement(batch.statements.empty()));
  }
  return batch;
}

ExprPtr Parser::ParseWholeExpression() {
  if (AtEnd()) Fail();
  ExprPtr e = ParseExpr();
  if (!AtEnd()) Fail();
  return e;
}

const Token& Parser::Ahead(size_t n) const {
  size_t i = idx_ + n;
  return i < toks_.size() ? toks_[i] : toks_.back();
}

const Token& Parser::Advance() {
  const Token& t = toks_[idx_];
  if (idx_ + 1 < toks_.size()) ++idx_;
  return t;
}

bool Parser::AtWord(std::string_view upper, size_t ahead) const {
  const Token& t = Ahead(ahead);
  return t.kind == TokenKind::Word && t.value == upper;
}

bool Parser::AcceptWord(std::string_view upper) {
  if (!AtWord(upper)) return false;
  Advance();
  return true;
}

void Parser::ExpectWord(std::string_view upper) {
  if (!AcceptWord(upper)) Fail();
}

bool Parser::AtOp(std::string_view op, size_t ahead) const {
  const Token& t = Ahead(ahead);
  return t.kind == TokenKind::Operator && t.text == op;
}

bool Parser::AcceptOp(std::string_view op) {
  if (!AtOp(op)) return false;
  Advance();
  return true;
}

void Parser::ExpectOp(std::string_view op) {
  if (!AcceptOp(op)) Fail();
}

size_t Parser::LastEnd() const {
  return idx_ == 0 ? 0 : toks_[idx_ - 1].end;
}

// At the end of the batch SQL Server names the last token it read.
void Parser::Fail() const {
  if (AtEnd() && idx_ > 0) SyntaxError(toks_[idx_ - 1]);
  SyntaxError(Cur());
}

bool Parser::IsReserved(const Token& t) const {
  return t.kind == TokenKind::Word && IsReservedKeyword(t.value);
}

bool Parser::IsName(const Token& t) const {
  return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !IsReserved(t));
}

std::string Parser::ExpectName() {
  if (!IsName(Cur())) Fail();
  const Token& t = Advance();
  return t.kind == TokenKind::QuotedName ? t.value : t.text;
}

// server.database.schema.object with omitted middle parts ("db..t").
ObjectName Parser::ParseObjectName() {
  ObjectName name;
  name.pos = Cur().pos;
  std::vector<std::string> parts;
  parts.push_back(ExpectName());
  while (AtOp(".")) {
    if (parts.size() == 4) Fail();
    Advance();
    if (AtOp(".")) {
      parts.emplace_back();
      continue;
    }
    parts.push_back(ExpectName());
  }
  if (parts.back().empty()) Fail();
  name.object = parts.back();
  if (parts.size() >= 2) name.schema = parts[parts.size() - 2];
  if (parts.size() >= 3) name.database = parts[parts.size() - 3];
  if (parts.size() == 4) name.server = parts[0];
  return name;
}

ObjectName Parser::ParseTableName() {
  if (Cur().kind != TokenKind::Variable) return ParseObjectName();
  ObjectName name;
  name.pos = Cur().pos;
  name.object = Advance().text;
  return name;
}

// [AS] alias; a string may stand for the alias in a select list.
std::string Parser::ParseOptionalAlias(bool allowString) {
  auto isAlias = [&](const Token& t) {
    return IsName(t) || (allowString && t.kind == TokenKind::String);
  };
  if (AcceptWord("AS")) {
    if (!isAlias(Cur())) Fail();
  } else if (!isAlias(Cur())) {
    return {};
  }
  const Token& t = Advance();
  return t.kind == TokenKind::Word ? t.text : t.value;
}

long long Parser::ExpectInteger(bool allowSign) {
  bool negative = false;
  if (allowSign && (AtOp("-") || AtOp("+"))) negative = Advance().text == "-";
  const Token& t = Cur();
  long long v = 0;
  if (t.kind != TokenKind::Integer) Fail();
  auto [ptr, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
  if (ec != std::errc() || ptr != t.text.data() + t.text.size()) Fail();
  Advance();
  return negative ? -v : v;
}

}  // namespace xfer::engine::parse
