// CREATE [OR ALTER] VIEW and ALTER VIEW: a name, an optional column list, view options, and one
// query. The view is the rest of its batch; its text is kept as sent, for OBJECT_DEFINITION.
#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {

StatementPtr Parser::ParseView(const Token& start, bool alter, bool orAlter) {
  ExpectWord("VIEW");
  StatementPtr s = NewStatement(StatementKind::CreateView, start);
  s->alter = alter;
  s->orAlter = orAlter;
  s->target = ParseObjectName();
  if (AcceptOp("(")) {
    do {
      s->viewColumns.push_back(ExpectName());
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  if (AcceptWord("WITH")) {
    do {
      if (AcceptWord("SCHEMABINDING")) {
        s->schemaBinding = true;
      } else if (!AcceptWord("ENCRYPTION") && !AcceptWord("VIEW_METADATA")) {
        Fail();
      }
    } while (AcceptOp(","));
  }
  ExpectWord("AS");
  std::vector<CommonTable> with;
  if (AtWord("WITH")) with = ParseCommonTables();
  if (!AtWord("SELECT") && !AtOp("(")) Fail();
  s->select = ParseSelect();
  s->select->with = std::move(with);
  if (AtWord("WITH") && AtWord("CHECK", 1)) {
    Advance();
    Advance();
    ExpectWord("OPTION");
    s->checkOption = true;
  }
  AcceptOp(";");
  if (!AtEnd()) SyntaxError(Cur());
  std::string_view text = text_.substr(start.pos.offset, LastEnd() - start.pos.offset);
  s->procText = std::string(text);
  return s;
}

}  // namespace xfer::engine::parse
