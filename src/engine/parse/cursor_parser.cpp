// Cursors and table variables: DECLARE name CURSOR ... FOR select, OPEN, FETCH, CLOSE,
// DEALLOCATE, and the TABLE (...) form of a variable declaration.
#include <algorithm>
#include <array>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

// Options between CURSOR and FOR that change nothing a snapshot of the rows would not give.
constexpr std::array<std::string_view, 7> kQuietOptions = {
    "FORWARD_ONLY", "FAST_FORWARD", "READ_ONLY",  "SCROLL_LOCKS",
    "OPTIMISTIC",   "TYPE_WARNING", "INSENSITIVE"};

bool IsQuietOption(const Token& t) {
  return t.kind == TokenKind::Word &&
         std::find(kQuietOptions.begin(), kQuietOptions.end(), t.value) != kQuietOptions.end();
}

}  // namespace

// The name after DECLARE, followed by [INSENSITIVE] [SCROLL] CURSOR or CURSOR options.
StatementPtr Parser::ParseDeclareCursor(const Token& start) {
  StatementPtr s = NewStatement(StatementKind::DeclareCursor, start);
  s->cursor.name = ExpectName();
  // The ISO form puts its options before CURSOR.
  while (!AtWord("CURSOR")) {
    if (AcceptWord("SCROLL")) {
      s->cursor.scroll = true;
    } else if (AtWord("INSENSITIVE")) {
      Advance();
    } else {
      Fail();
    }
  }
  Advance();
  for (;;) {
    if (AcceptWord("LOCAL")) {
      s->cursor.local = true;
    } else if (AcceptWord("GLOBAL")) {
      s->cursor.global = true;
    } else if (AtWord("SCROLL") || AtWord("STATIC") || AtWord("KEYSET") || AtWord("DYNAMIC")) {
      Advance();
      s->cursor.scroll = true;
    } else if (IsQuietOption(Cur())) {
      Advance();
    } else {
      break;
    }
  }
  ExpectWord("FOR");
  if (!AtWord("SELECT") && !AtOp("(")) Fail();
  s->select = ParseSelect();
  if (AcceptWord("FOR")) {
    if (AcceptWord("READ")) {
      ExpectWord("ONLY");
    } else if (AtWord("UPDATE")) {
      Unsupported("FOR UPDATE cursor", Cur().pos);
    } else {
      Fail();
    }
  }
  return s;
}

// [GLOBAL] name of a cursor; a cursor variable is refused by name.
void Parser::ParseCursorName(CursorSpec& c) {
  if (Cur().kind == TokenKind::Variable) Unsupported("cursor variable", Cur().pos);
  if (AtWord("GLOBAL") && IsName(Ahead(1))) {
    Advance();
    c.global = true;
  }
  c.name = ExpectName();
}

StatementPtr Parser::ParseCursorCommand(StatementKind kind) {
  StatementPtr s = NewStatement(kind, Advance());
  ParseCursorName(s->cursor);
  return s;
}

// FETCH [NEXT | PRIOR | FIRST | LAST | ABSOLUTE n | RELATIVE n] [FROM] name [INTO @a, ...]
StatementPtr Parser::ParseFetch() {
  StatementPtr s = NewStatement(StatementKind::Fetch, Advance());
  s->cursor.direction = "NEXT";
  bool direction = false;
  if (AtWord("NEXT") || AtWord("PRIOR") || AtWord("FIRST") || AtWord("LAST")) {
    s->cursor.direction = Advance().value;
    direction = true;
  } else if (AtWord("ABSOLUTE") || AtWord("RELATIVE")) {
    s->cursor.direction = Advance().value;
    s->value = ParseSigned(true);
    direction = true;
  }
  if (!AcceptWord("FROM") && direction) Fail();
  ParseCursorName(s->cursor);
  if (AcceptWord("INTO")) {
    do {
      if (Cur().kind != TokenKind::Variable) Fail();
      s->cursor.into.push_back(Advance().text);
    } while (AcceptOp(","));
  }
  return s;
}

// DECLARE @t TABLE (columns and constraints as CREATE TABLE takes them).
std::shared_ptr<Statement> Parser::ParseTableVariable(const Token& name) {
  auto s = std::shared_ptr<Statement>(NewStatement(StatementKind::CreateTable, Cur()));
  Advance();  // TABLE
  s->target.object = name.text;
  s->target.pos = name.pos;
  ExpectOp("(");
  ParseTableElements(*s, true);
  ExpectOp(")");
  return s;
}

}  // namespace xfer::engine::parse
