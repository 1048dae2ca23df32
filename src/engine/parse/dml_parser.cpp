// INSERT, UPDATE, DELETE, TRUNCATE TABLE and procedure calls (EXEC, EXEC('...'), and a bare
// procedure name at the start of a batch).
#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

bool IsAssignOp(const Token& t) {
  return t.kind == TokenKind::Operator &&
         (t.text == "=" || t.text == "+=" || t.text == "-=" || t.text == "*=" || t.text == "/=" ||
          t.text == "%=" || t.text == "&=" || t.text == "|=" || t.text == "^=");
}

}  // namespace

// OUTPUT items [INTO table-or-@variable [(columns)]].
void Parser::ParseOutput(Statement& s) {
  if (!AtWord("OUTPUT")) return;
  const Token& kw = Advance();
  s.output = std::make_unique<Select>();
  s.output->pos = kw.pos;
  ParseSelectItems(*s.output);
  Seal(*s.output, kw);
  if (!AcceptWord("INTO")) return;
  s.outputInto = ParseTableName();
  if (AcceptOp("(")) {
    do {
      s.outputColumns.push_back(ExpectName());
    } while (AcceptOp(","));
    ExpectOp(")");
  }
}

StatementPtr Parser::ParseInsert() {
  StatementPtr s = NewStatement(StatementKind::Insert, Advance());
  AcceptWord("INTO");
  s->target = ParseTableName();
  std::vector<std::string> hints;
  ParseTableHints(hints);
  if (AtOp("(") && !AtWord("SELECT", 1) && !AtOp("(", 1)) {
    Advance();
    do {
      std::string column = ExpectName();
      while (AcceptOp(".")) column = ExpectName();  // t.col: the table is the target anyway
      s->insertColumns.push_back(std::move(column));
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  ParseOutput(*s);
  if (AcceptWord("VALUES")) {
    do {
      ExpectOp("(");
      std::vector<ExprPtr> row;
      do {
        if (AcceptWord("DEFAULT")) {
          row.push_back(nullptr);  // the column's default
        } else {
          row.push_back(ParseExpr());
        }
      } while (AcceptOp(","));
      ExpectOp(")");
      s->valuesRows.push_back(std::move(row));
    } while (AcceptOp(","));
  } else if (AtWord("SELECT") || AtOp("(")) {
    s->select = ParseSelect();
  } else if (AtWord("EXEC") || AtWord("EXECUTE")) {
    s->execSource = ParseExec(true);
    s->execSource->endOffset = LastEnd();
  } else if (AcceptWord("DEFAULT")) {
    ExpectWord("VALUES");
    s->defaultValues = true;
  } else {
    Fail();
  }
  return s;
}

// col = expr, t.col = expr, @v = expr; "x += e" becomes "x = x + e".
Assignment Parser::ParseAssignment() {
  Assignment a;
  const Token& first = Cur();
  ExprPtr targetExpr;
  if (first.kind == TokenKind::Variable) {
    Advance();
    a.target.push_back(first.text);
    targetExpr = NewExpr(ExprKind::Variable, first);
    targetExpr->text = first.text;
  } else {
    a.target.push_back(ExpectName());
    while (AcceptOp(".")) {
      if (a.target.size() == 4) Fail();
      a.target.push_back(ExpectName());
    }
    targetExpr = NewExpr(ExprKind::Column, first);
    targetExpr->name = a.target;
  }
  const Token& op = Cur();
  if (!IsAssignOp(op)) Fail();
  Advance();
  a.value = ParseExpr();
  if (op.text != "=") {
    a.value = MakeBinary(op, op.text.substr(0, 1), std::move(targetExpr), std::move(a.value));
  }
  return a;
}

StatementPtr Parser::ParseUpdate() {
  StatementPtr s = NewStatement(StatementKind::Update, Advance());
  if (AtWord("TOP")) {
    const Token& top = Cur();
    bool percent = false;
    s->top = ParseTop(&percent);
    if (percent) Unsupported("TOP PERCENT in UPDATE", top.pos);
  }
  s->target = ParseTableName();
  std::vector<std::string> hints;
  ParseTableHints(hints);
  ExpectWord("SET");
  do {
    s->assignments.push_back(ParseAssignment());
  } while (AcceptOp(","));
  ParseOutput(*s);
  if (AcceptWord("FROM")) s->from = ParseFromList();
  if (AcceptWord("WHERE")) {
    if (AtWord("CURRENT") && AtWord("OF", 1)) Unsupported("WHERE CURRENT OF", Cur().pos);
    s->where = ParseExpr();
  }
  if (AtWord("OPTION")) Unsupported("OPTION clause", Cur().pos);
  return s;
}

StatementPtr Parser::ParseDelete() {
  StatementPtr s = NewStatement(StatementKind::Delete, Advance());
  if (AtWord("TOP")) {
    const Token& top = Cur();
    bool percent = false;
    s->top = ParseTop(&percent);
    if (percent) Unsupported("TOP PERCENT in DELETE", top.pos);
  }
  AcceptWord("FROM");
  s->target = ParseTableName();
  std::vector<std::string> hints;
  ParseTableHints(hints);
  ParseOutput(*s);
  if (AcceptWord("FROM")) s->from = ParseFromList();
  if (AcceptWord("WHERE")) {
    if (AtWord("CURRENT") && AtWord("OF", 1)) Unsupported("WHERE CURRENT OF", Cur().pos);
    s->where = ParseExpr();
  }
  if (AtWord("OPTION")) Unsupported("OPTION clause", Cur().pos);
  return s;
}

StatementPtr Parser::ParseTruncate() {
  StatementPtr s = NewStatement(StatementKind::Truncate, Advance());
  ExpectWord("TABLE");
  s->target = ParseObjectName();
  return s;
}

// EXEC proc args | EXEC @ret = proc args | EXEC (string expression) | proc args (keyword false).
StatementPtr Parser::ParseExec(bool keyword) {
  const Token& start = Cur();
  if (keyword) Advance();
  if (keyword && AtOp("(")) {
    StatementPtr s = NewStatement(StatementKind::ExecString, start);
    Advance();
    s->value = ParseExpr();
    ExpectOp(")");
    if (AtWord("AT") || AtWord("AS")) Unsupported("EXEC ... AT/AS", Cur().pos);
    return s;
  }
  StatementPtr s = NewStatement(StatementKind::Exec, start);
  if (keyword && Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
    s->returnVar = Advance().text;
    Advance();
  }
  if (Cur().kind == TokenKind::Variable)
    Unsupported("EXEC of a procedure held in a variable", Cur().pos);
  s->target = ParseObjectName();
  if (AtOp(";") && Ahead(1).kind == TokenKind::Integer)
    Unsupported("numbered procedure", Cur().pos);
  ParseExecArgs(*s);
  if (AtWord("WITH") && AtWord("RECOMPILE", 1)) {
    Advance();
    Advance();
  }
  return s;
}

// Arguments are constants, variables or bare words (taken as strings), never expressions.
void Parser::ParseExecArgs(Statement& s) {
  auto startsArg = [&](const Token& t) {
    switch (t.kind) {
      case TokenKind::Word:
        return !IsReserved(t) || t.value == "DEFAULT" || t.value == "NULL";
      case TokenKind::Operator:
        return t.text == "-" || t.text == "+";
      case TokenKind::End:
        return false;
      default:
        return true;
    }
  };
  if (!startsArg(Cur())) return;
  do {
    ExecArg arg;
    if (Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
      arg.name = Advance().text;
      Advance();
    }
    const Token& v = Cur();
    if (AcceptWord("DEFAULT")) {
      // a null value stands for DEFAULT
    } else if (v.kind == TokenKind::Variable) {
      arg.value = NewExpr(ExprKind::Variable, v);
      arg.value->text = v.text;
      Advance();
    } else if (AtWord("NULL")) {
      arg.value = NewExpr(ExprKind::Literal, v);
      arg.value->literalKind = LiteralKind::Null;
      arg.value->text = "NULL";
      Advance();
    } else if (IsName(v)) {
      arg.value = NewExpr(ExprKind::Literal, v);
      arg.value->literalKind = LiteralKind::String;
      arg.value->text = v.kind == TokenKind::Word ? v.text : v.value;
      Advance();
    } else if (AtOp("-") || AtOp("+")) {
      arg.value = ParseSigned(true);
      if (arg.value->kind != ExprKind::Literal) SyntaxError(v);
    } else if (v.kind == TokenKind::Operator || v.kind == TokenKind::End) {
      Fail();
    } else {
      arg.value = ParseLiteral();
    }
    if (AcceptWord("OUTPUT") || AcceptWord("OUT")) arg.output = true;
    s.args.push_back(std::move(arg));
  } while (AcceptOp(","));
}

}  // namespace xfer::engine::parse
