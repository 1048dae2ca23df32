// The recursive-descent parser behind ParseBatch. One class, its grammar split over several
// files by statement family (expressions, queries, data changes, definitions, control flow).
// Internal to the parse library.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ast.h"
#include "engine/parse/token.h"

namespace xfer::engine::parse {

class Parser {
 public:
  explicit Parser(std::string_view text);
  // With the text's tokens already made.
  Parser(std::string_view text, std::vector<Token> tokens);

  Batch ParseBatch();
  ExprPtr ParseWholeExpression();

 private:
  friend class NestingGuard;

  // Token cursor (parser.cpp).
  const Token& Cur() const { return toks_[idx_]; }
  const Token& Ahead(size_t n) const;
  const Token& Advance();
  bool AtWord(std::string_view upper, size_t ahead = 0) const;
  bool AcceptWord(std::string_view upper);
  void ExpectWord(std::string_view upper);
  bool AtOp(std::string_view op, size_t ahead = 0) const;
  bool AcceptOp(std::string_view op);
  void ExpectOp(std::string_view op);
  bool AtEnd() const { return Cur().kind == TokenKind::End; }
  size_t LastEnd() const;
  [[noreturn]] void Fail() const;  // syntax error at the current token

  bool IsReserved(const Token& t) const;
  bool IsName(const Token& t) const;  // an identifier that may name an object or column
  std::string ExpectName();
  ObjectName ParseObjectName();
  std::string ParseOptionalAlias(bool allowString);
  long long ExpectInteger(bool allowSign);

  // Statements (statement.cpp).
  StatementPtr ParseStatement(bool firstInBatch);
  StatementPtr NewStatement(StatementKind kind, const Token& at) const;
  void FinishStatement(Statement& s);
  StatementPtr ParseWithStatement();

  // Expressions (expr_parser.cpp).
  ExprPtr ParseExpr();
  ExprPtr ParseAnd();
  ExprPtr ParseNot();
  ExprPtr ParsePredicate();
  ExprPtr ParseAdditive();
  ExprPtr ParseSigned(bool tight);
  ExprPtr ParseMultiplicative();
  ExprPtr ParseBitNot();
  ExprPtr ParsePrimary();
  ExprPtr ParseParenthesized();
  ExprPtr ParseNameOrCall();
  ExprPtr ParseFunctionCall(std::string name, const Token& at);
  ExprPtr ParseCase();
  ExprPtr ParseCastOrConvert();
  ExprPtr ParseLiteral();
  bool CanStartExpr(const Token& t) const;
  ExprPtr MakeBinary(const Token& op, std::string text, ExprPtr left, ExprPtr right);
  ExprPtr MakeUnary(const Token& op, std::string text, ExprPtr operand);

  // Queries (select_parser.cpp).
  SelectPtr ParseSelect();
  SelectPtr ParseQueryTerm();
  SelectPtr ParseQuerySpec();
  void ParseSelectItems(Select& s);
  ExprPtr ParseTop(bool* percent, bool* ties = nullptr);
  std::vector<TableRefPtr> ParseFromList();
  TableRefPtr ParseTableSource();
  TableRefPtr ParseJoins(TableRefPtr left);
  TableRefPtr ParseTablePrimary();
  SelectPtr ParseValuesTable();
  TableRefPtr ParsePivot(TableRefPtr source);
  std::vector<CommonTable> ParseCommonTables();
  std::shared_ptr<WindowSpec> ParseOver();
  FrameBound ParseFrameBound(long long* offset);
  bool AtJoin() const;
  std::vector<OrderItem> ParseOrderList();
  // GROUP BY with its grouping sets (group_by_parser.cpp).
  using GroupingSets = std::vector<std::vector<size_t>>;
  void ParseGroupBy(Select& s);
  GroupingSets ParseGroupingElement(Select& s, bool inSetList);
  GroupingSets ParseRollupOrCube(Select& s);
  std::vector<size_t> ParseGroupingColumns(Select& s);
  bool AtColumnList() const;
  void ParseTableHints(std::vector<std::string>& hints);
  void SkipParenthesized();

  // Data changes and procedure calls (dml_parser.cpp).
  StatementPtr ParseInsert();
  StatementPtr ParseUpdate();
  StatementPtr ParseDelete();
  void ParseOutput(Statement& s);
  StatementPtr ParseTruncate();
  StatementPtr ParseExec(bool keyword);
  void ParseExecArgs(Statement& s);
  Assignment ParseAssignment();

  // Definitions (ddl_parser.cpp).
  StatementPtr ParseCreate(bool firstInBatch);
  StatementPtr ParseAlter(bool firstInBatch);
  StatementPtr ParseDrop();
  StatementPtr ParseCreateTable(const Token& start);
  StatementPtr ParseCreateIndex(const Token& start);
  StatementPtr ParseAlterTable(const Token& start);
  void ParseTableElements(Statement& s, bool inParentheses);
  ColumnDef ParseColumnDef();
  TableConstraint ParseTableConstraint(std::string name);
  std::vector<OrderItem> ParseIndexColumns();
  void SkipIndexOptions();
  TypeName ParseType();
  StatementPtr ParseView(const Token& start, bool alter, bool orAlter);  // view_parser.cpp

  // Variables, control flow and procedures (control_parser.cpp).
  StatementPtr ParseDeclare();
  StatementPtr ParseSet();
  StatementPtr ParseIf();
  StatementPtr ParseWhile();
  StatementPtr ParseBegin();
  StatementPtr ParseTryCatch(const Token& kw);
  StatementPtr ParseThrow();
  StatementPtr ParseTranEnd(StatementKind kind);
  StatementPtr ParseReturn();
  StatementPtr ParsePrint();
  StatementPtr ParseRaiserror();
  StatementPtr ParseUse();
  StatementPtr ParseProcedure(const Token& start, bool alter);

  // Cursors and table variables (cursor_parser.cpp).
  StatementPtr ParseDeclareCursor(const Token& start);
  StatementPtr ParseCursorCommand(StatementKind kind);
  StatementPtr ParseFetch();
  void ParseCursorName(CursorSpec& c);
  std::shared_ptr<Statement> ParseTableVariable(const Token& name);
  // A table name where a table variable may stand ("@t" as its one part).
  ObjectName ParseTableName();

  // Tree height bookkeeping (nesting.cpp): composite nodes are sealed once their children are
  // attached, so no tree grows deeper than the code that later walks it can recurse.
  ExprPtr NewExpr(ExprKind kind, const Token& at);
  void Seal(const Expr& e, const Token& at);
  void Seal(const Select& s, const Token& at);
  void Seal(const TableRef& t, const Token& at);
  int HeightOf(const Expr* e) const;
  int HeightOf(const Select* s) const;
  int HeightOf(const TableRef* t) const;

  std::string_view text_;
  std::vector<Token> toks_;
  size_t idx_ = 0;
  int nesting_ = 0;
  int caseNesting_ = 0;  // CASE expressions open around the current token
  std::unordered_map<const void*, int> heights_;
};

// Counts one level of parser recursion for as long as it lives; throws 191 past the limit.
class NestingGuard {
 public:
  NestingGuard(Parser& p, const Token& at);
  ~NestingGuard() { --p_.nesting_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  Parser& p_;
};

}  // namespace xfer::engine::parse
