// Variables, SET options, control flow (IF, WHILE, BEGIN...END, RETURN, BREAK, CONTINUE),
// PRINT, RAISERROR, transactions, USE, and CREATE/ALTER PROCEDURE.
#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

std::string ObjectText(const ObjectName& n) {
  std::string out;
  if (!n.server.empty()) out += n.server + ".";
  if (!n.server.empty() || !n.database.empty()) out += n.database + ".";
  if (!n.server.empty() || !n.database.empty() || !n.schema.empty()) out += n.schema + ".";
  return out + n.object;
}

}  // namespace

StatementPtr Parser::ParseDeclare() {
  const Token& start = Advance();
  if (Cur().kind != TokenKind::Variable && IsName(Cur()) &&
      (AtWord("CURSOR", 1) || AtWord("SCROLL", 1) || AtWord("INSENSITIVE", 1)))
    return ParseDeclareCursor(start);
  StatementPtr s = NewStatement(StatementKind::Declare, start);
  do {
    const Token& v = Cur();
    if (v.kind != TokenKind::Variable) Fail();
    Declaration d;
    d.name = Advance().text;
    AcceptWord("AS");
    if (AtWord("TABLE")) {
      if (!s->declarations.empty()) Fail();  // a table variable is declared on its own
      d.table = ParseTableVariable(v);
      s->declarations.push_back(std::move(d));
      return s;
    }
    if (AtWord("CURSOR")) Unsupported("cursor variable", Cur().pos);
    d.type = ParseType();
    if (AcceptOp("=")) d.init = ParseExpr();
    s->declarations.push_back(std::move(d));
  } while (AcceptOp(","));
  return s;
}

// SET @v = expr (and @v += expr), or SET <option> <value>.
StatementPtr Parser::ParseSet() {
  const Token& kw = Advance();
  const Token& first = Cur();
  if (first.kind == TokenKind::Variable) {
    StatementPtr s = NewStatement(StatementKind::SetVariable, kw);
    s->assignments.push_back(ParseAssignment());
    return s;
  }
  if (first.kind != TokenKind::Word) Fail();
  auto option = [&](std::string name) {
    StatementPtr s = NewStatement(StatementKind::SetOption, kw);
    s->optionName = std::move(name);
    return s;
  };
  if (AcceptWord("IDENTITY_INSERT")) {
    StatementPtr s = option("IDENTITY_INSERT");
    ObjectName table = ParseObjectName();
    const Token& v = Cur();
    if (!AcceptWord("ON") && !AcceptWord("OFF")) Fail();
    s->target = table;
    s->optionValue = ObjectText(table) + " " + v.value;
    return s;
  }
  if (AcceptWord("TRANSACTION")) {
    ExpectWord("ISOLATION");
    ExpectWord("LEVEL");
    StatementPtr s = option("TRANSACTION ISOLATION LEVEL");
    if (AcceptWord("READ")) {
      if (!AtWord("UNCOMMITTED") && !AtWord("COMMITTED")) Fail();
      s->optionValue = "READ " + Advance().value;
    } else if (AcceptWord("REPEATABLE")) {
      ExpectWord("READ");
      s->optionValue = "REPEATABLE READ";
    } else if (AtWord("SERIALIZABLE") || AtWord("SNAPSHOT")) {
      s->optionValue = Advance().value;
    } else {
      Fail();
    }
    return s;
  }
  // SET A, B ON sets several options at once: one statement per option in a block.
  std::vector<std::string> names;
  do {
    const Token& n = Cur();
    if (n.kind != TokenKind::Word) Fail();
    std::string name = Advance().value;
    if (name == "STATISTICS") {
      if (Cur().kind != TokenKind::Word) Fail();
      name += " " + Advance().value;
    }
    names.push_back(std::move(name));
  } while (AcceptOp(","));
  const Token& v = Cur();
  std::string value;
  ExprPtr valueExpr;
  if (AcceptWord("ON") || AcceptWord("OFF")) {
    value = v.value;
  } else if (v.kind == TokenKind::Word && !IsReserved(v)) {
    value = Advance().text;
  } else if (v.kind == TokenKind::String || v.kind == TokenKind::NString) {
    value = Advance().value;
  } else if (v.kind == TokenKind::Integer || v.kind == TokenKind::Variable || AtOp("-")) {
    valueExpr = ParseSigned(true);
    value = valueExpr->kind == ExprKind::Literal ? valueExpr->text : v.text;
    if (valueExpr->kind != ExprKind::Literal && valueExpr->kind != ExprKind::Variable) {
      SyntaxError(v);
    }
  } else {
    Fail();
  }
  if (names.size() > 1) {
    if (valueExpr) SyntaxError(v);
    StatementPtr block = NewStatement(StatementKind::Block, kw);
    for (auto& n : names) {
      StatementPtr s = option(std::move(n));
      s->optionValue = value;
      s->endOffset = v.end;
      block->body.push_back(std::move(s));
    }
    return block;
  }
  StatementPtr s = option(std::move(names[0]));
  s->optionValue = std::move(value);
  s->value = std::move(valueExpr);
  return s;
}

StatementPtr Parser::ParseIf() {
  StatementPtr s = NewStatement(StatementKind::If, Advance());
  s->condition = ParseExpr();
  s->body.push_back(ParseStatement(false));
  if (AcceptWord("ELSE")) s->body.push_back(ParseStatement(false));
  return s;
}

StatementPtr Parser::ParseWhile() {
  StatementPtr s = NewStatement(StatementKind::While, Advance());
  s->condition = ParseExpr();
  s->body.push_back(ParseStatement(false));
  return s;
}

// BEGIN TRAN[SACTION] [name], or a BEGIN ... END block.
StatementPtr Parser::ParseBegin() {
  const Token& kw = Advance();
  if (AcceptWord("TRAN") || AcceptWord("TRANSACTION")) {
    StatementPtr s = NewStatement(StatementKind::BeginTran, kw);
    if (IsName(Cur()) || Cur().kind == TokenKind::Variable) {
      const Token& n = Advance();
      s->optionValue = n.kind == TokenKind::QuotedName ? n.value : n.text;
    }
    if (AtWord("WITH") && AtWord("MARK", 1)) Unsupported("WITH MARK", Cur().pos);
    return s;
  }
  if (AtWord("TRY")) return ParseTryCatch(kw);
  if (AtWord("CATCH")) Fail();  // a CATCH block only follows END TRY
  if (AtWord("DISTRIBUTED")) Unsupported("distributed transaction", kw.pos);
  if (AtWord("DIALOG") || AtWord("CONVERSATION")) Unsupported("BEGIN " + Cur().value, kw.pos);
  StatementPtr s = NewStatement(StatementKind::Block, kw);
  while (!AtWord("END")) {
    if (AtEnd()) Fail();
    s->body.push_back(ParseStatement(false));
  }
  if (s->body.empty()) Fail();  // BEGIN END holds no statement
  Advance();
  return s;
}

// BEGIN TRY ... END TRY BEGIN CATCH ... END CATCH; the CATCH block may be empty.
StatementPtr Parser::ParseTryCatch(const Token& kw) {
  StatementPtr s = NewStatement(StatementKind::TryCatch, kw);
  auto block = [&](std::string_view word, bool mayBeEmpty) {
    StatementPtr b = NewStatement(StatementKind::Block, Cur());
    ExpectWord(word);
    while (!(AtWord("END") && AtWord(word, 1))) {
      if (AtEnd()) Fail();
      b->body.push_back(ParseStatement(false));
    }
    if (b->body.empty() && !mayBeEmpty) Fail();
    Advance();
    Advance();
    return b;
  };
  s->body.push_back(block("TRY", false));
  AcceptOp(";");
  ExpectWord("BEGIN");
  s->body.push_back(block("CATCH", true));
  return s;
}

// THROW [number, message, state]
StatementPtr Parser::ParseThrow() {
  StatementPtr s = NewStatement(StatementKind::Throw, Advance());
  if (!CanStartExpr(Cur())) return s;
  for (int i = 0; i < 3; ++i) {
    if (i) ExpectOp(",");
    s->args.push_back({{}, ParseExpr(), false});
  }
  return s;
}

// COMMIT|ROLLBACK [TRAN[SACTION] [name] | WORK], SAVE TRAN[SACTION] name
StatementPtr Parser::ParseTranEnd(StatementKind kind) {
  StatementPtr s = NewStatement(kind, Advance());
  if (AcceptWord("TRAN") || AcceptWord("TRANSACTION")) {
    if (IsName(Cur()) || Cur().kind == TokenKind::Variable) {
      const Token& n = Advance();
      s->optionValue = n.kind == TokenKind::QuotedName ? n.value : n.text;
    }
  } else {
    AcceptWord("WORK");
  }
  return s;
}

StatementPtr Parser::ParseReturn() {
  StatementPtr s = NewStatement(StatementKind::Return, Advance());
  if (CanStartExpr(Cur()) && !AtWord("NOT") && !AtWord("EXISTS")) s->value = ParseExpr();
  return s;
}

StatementPtr Parser::ParsePrint() {
  StatementPtr s = NewStatement(StatementKind::Print, Advance());
  s->value = ParseExpr();
  return s;
}

// RAISERROR(message, severity, state [, argument...]) [WITH NOWAIT|LOG|SETERROR, ...]
StatementPtr Parser::ParseRaiserror() {
  StatementPtr s = NewStatement(StatementKind::Raiserror, Advance());
  if (!AtOp("(")) Unsupported("RAISERROR without parentheses", s->pos);
  Advance();
  do {
    s->args.push_back({{}, ParseExpr(), false});
  } while (AcceptOp(","));
  if (s->args.size() < 3) Fail();
  ExpectOp(")");
  if (AcceptWord("WITH")) {
    do {
      if (!AtWord("NOWAIT") && !AtWord("LOG") && !AtWord("SETERROR")) Fail();
      if (!s->optionValue.empty()) s->optionValue += ",";
      s->optionValue += Advance().value;
    } while (AcceptOp(","));
  }
  return s;
}

StatementPtr Parser::ParseUse() {
  StatementPtr s = NewStatement(StatementKind::Use, Advance());
  s->databaseName = ExpectName();
  return s;
}

// CREATE|ALTER PROC[EDURE] name [(] @p type [= default] [OUTPUT], ... [)] [WITH ...] AS body.
// The body runs to the end of the batch; the whole text is kept as sent.
StatementPtr Parser::ParseProcedure(const Token& start, bool alter) {
  Advance();  // PROC / PROCEDURE
  StatementPtr s = NewStatement(StatementKind::CreateProcedure, start);
  s->alter = alter;
  s->target = ParseObjectName();
  if (AtOp(";") && Ahead(1).kind == TokenKind::Integer)
    Unsupported("numbered procedure", Cur().pos);
  const bool parenthesized = AcceptOp("(");
  if (Cur().kind == TokenKind::Variable) {
    do {
      ProcParam p;
      p.name = Advance().text;
      AcceptWord("AS");
      if (AtWord("TABLE")) Unsupported("table-valued parameter", Cur().pos);
      if (AtWord("CURSOR")) Unsupported("cursor parameter", Cur().pos);
      p.type = ParseType();
      AcceptWord("VARYING");
      if (AcceptOp("=")) p.defaultValue = ParseExpr();
      if (AcceptWord("OUTPUT") || AcceptWord("OUT")) p.output = true;
      if (AtWord("READONLY")) Unsupported("READONLY parameter", Cur().pos);
      s->params.push_back(std::move(p));
    } while (AcceptOp(","));
  }
  if (parenthesized) ExpectOp(")");
  if (AcceptWord("WITH")) {
    do {
      if (!AtWord("RECOMPILE") && !AtWord("ENCRYPTION")) {
        if (Cur().kind == TokenKind::Word) Unsupported("WITH " + Cur().value, Cur().pos);
        Fail();
      }
      Advance();
    } while (AcceptOp(","));
  }
  if (AtWord("FOR")) Unsupported("FOR REPLICATION", Cur().pos);
  ExpectWord("AS");
  while (!AtEnd()) s->body.push_back(ParseStatement(false));
  if (s->body.empty()) Fail();
  std::string_view text = text_.substr(start.pos.offset);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  s->procText = std::string(text);
  return s;
}

}  // namespace xfer::engine::parse
