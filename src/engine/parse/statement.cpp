// Statement dispatch: what the first token of a statement says it is. T-SQL needs no
// separator between statements, so each statement ends where its grammar ends.
#include <algorithm>
#include <array>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

// Statements the engine does not take; refused by name rather than as syntax errors.
constexpr std::array<std::string_view, 19> kUnsupportedStatements = {
    "MERGE",   "GOTO",     "WAITFOR",   "GRANT",      "REVOKE",     "DENY",     "DBCC",
    "BULK",    "BACKUP",   "RESTORE",   "KILL",       "CHECKPOINT", "SHUTDOWN", "RECONFIGURE",
    "SETUSER", "READTEXT", "WRITETEXT", "UPDATETEXT", "REVERT"};

}  // namespace

StatementPtr Parser::NewStatement(StatementKind kind, const Token& at) const {
  auto s = std::make_unique<Statement>();
  s->kind = kind;
  s->pos = at.pos;
  return s;
}

// The statement ends before an optional ';', which belongs to it.
void Parser::FinishStatement(Statement& s) {
  s.endOffset = LastEnd();
  AcceptOp(";");
}

StatementPtr Parser::ParseStatement(bool firstInBatch) {
  NestingGuard guard(*this, Cur());
  const Token& t = Cur();
  StatementPtr s;
  if (AtOp(";")) {
    s = NewStatement(StatementKind::Empty, t);
    Advance();
    s->endOffset = t.end;
    return s;
  }
  if (AtOp("(") || AtWord("SELECT")) {
    s = NewStatement(StatementKind::Select, t);
    s->select = ParseSelect();
  } else if (t.kind == TokenKind::QuotedName && firstInBatch) {
    s = ParseExec(false);
  } else if (t.kind != TokenKind::Word) {
    Fail();
  } else {
    const std::string& v = t.value;
    // GO separates batches in client tools; the server never sees it.
    if (v == "GO") SyntaxError(t);
    if (v == "INSERT") {
      s = ParseInsert();
    } else if (v == "UPDATE") {
      s = ParseUpdate();
    } else if (v == "DELETE") {
      s = ParseDelete();
    } else if (v == "TRUNCATE") {
      s = ParseTruncate();
    } else if (v == "EXEC" || v == "EXECUTE") {
      s = ParseExec(true);
    } else if (v == "CREATE") {
      s = ParseCreate(firstInBatch);
    } else if (v == "ALTER") {
      s = ParseAlter(firstInBatch);
    } else if (v == "DROP") {
      s = ParseDrop();
    } else if (v == "USE") {
      s = ParseUse();
    } else if (v == "DECLARE") {
      s = ParseDeclare();
    } else if (v == "SET") {
      s = ParseSet();
    } else if (v == "IF") {
      s = ParseIf();
    } else if (v == "WHILE") {
      s = ParseWhile();
    } else if (v == "BEGIN") {
      s = ParseBegin();
    } else if (v == "BREAK" || v == "CONTINUE") {
      s = NewStatement(v == "BREAK" ? StatementKind::Break : StatementKind::Continue, t);
      Advance();
    } else if (v == "RETURN") {
      s = ParseReturn();
    } else if (v == "PRINT") {
      s = ParsePrint();
    } else if (v == "RAISERROR") {
      s = ParseRaiserror();
    } else if (v == "COMMIT") {
      s = ParseTranEnd(StatementKind::CommitTran);
    } else if (v == "ROLLBACK") {
      s = ParseTranEnd(StatementKind::RollbackTran);
    } else if (v == "SAVE" && (AtWord("TRAN", 1) || AtWord("TRANSACTION", 1))) {
      s = ParseTranEnd(StatementKind::SaveTran);
      if (s->optionValue.empty()) Fail();
    } else if (v == "WITH") {
      // WITH could continue the statement before it (a table hint): that one must end in ';'.
      if (!firstInBatch && idx_ > 0 && IsName(Ahead(1)) && (AtWord("AS", 2) || AtOp("(", 2))) {
        const Token& prev = toks_[idx_ - 1];
        const bool opens = prev.kind == TokenKind::Word &&
                           (prev.value == "BEGIN" || prev.value == "ELSE" || prev.value == "AS" ||
                            prev.value == "TRY" || prev.value == "CATCH");
        if (!(prev.kind == TokenKind::Operator && prev.text == ";") && !opens)
          WithAfterStatement(t.pos);
      }
      s = ParseWithStatement();
    } else if (v == "OPEN") {
      s = ParseCursorCommand(StatementKind::OpenCursor);
    } else if (v == "CLOSE") {
      s = ParseCursorCommand(StatementKind::CloseCursor);
    } else if (v == "DEALLOCATE") {
      s = ParseCursorCommand(StatementKind::Deallocate);
    } else if (v == "FETCH") {
      s = ParseFetch();
    } else if (v == "THROW") {
      s = ParseThrow();
    } else if (std::find(kUnsupportedStatements.begin(), kUnsupportedStatements.end(), v) !=
               kUnsupportedStatements.end()) {
      Unsupported(v, t.pos);
    } else if (!IsReserved(t) && firstInBatch) {
      // A batch may start with a procedure name and its arguments, without EXEC.
      s = ParseExec(false);
    } else {
      Fail();
    }
  }
  FinishStatement(*s);
  return s;
}

// WITH ... followed by the SELECT, INSERT, UPDATE or DELETE that reads the named queries.
StatementPtr Parser::ParseWithStatement() {
  const Token& kw = Cur();
  if (AtWord("XMLNAMESPACES", 1)) Unsupported("WITH XMLNAMESPACES", kw.pos);
  std::vector<CommonTable> with = ParseCommonTables();
  StatementPtr s;
  if (AtWord("SELECT") || AtOp("(")) {
    s = NewStatement(StatementKind::Select, kw);
    s->select = ParseSelect();
    s->select->with = std::move(with);
    return s;
  }
  if (AtWord("INSERT")) {
    s = ParseInsert();
  } else if (AtWord("UPDATE")) {
    s = ParseUpdate();
  } else if (AtWord("DELETE")) {
    s = ParseDelete();
  } else if (AtWord("MERGE")) {
    Unsupported("MERGE", Cur().pos);
  } else {
    Fail();
  }
  s->pos = kw.pos;
  s->with = std::move(with);
  return s;
}

}  // namespace xfer::engine::parse
