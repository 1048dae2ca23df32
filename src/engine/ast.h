// Syntax tree of the T-SQL the engine accepts.
//
// The parser builds it; the binder and renderer walk it to produce SQLite SQL; the executor
// runs control statements itself. Nodes are plain structs with a kind tag rather than a class
// hierarchy: the tree is built once per batch and walked by switch statements. Names are kept
// as written (brackets and quotes removed); comparisons of names are case-insensitive.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xfer::engine {

struct SourcePos {
  int line = 1;       // 1-based line in the batch
  int column = 1;     // 1-based column in that line
  size_t offset = 0;  // byte offset in the batch
};

// A type as declared: `text` keeps the declared spelling ("varchar(20)", "int") so catalog
// views report what SQL Server would.
struct TypeName {
  std::string name;    // lower-case base name: "varchar", "int", "float", "numeric"...
  int length = -1;     // varchar(n)/char(n)/nvarchar(n)/varbinary(n); -2 for (max); -1 none
  int precision = -1;  // numeric(p,s) / decimal(p,s) / float(p)
  int scale = -1;
  std::string Text() const;  // canonical declared spelling, e.g. "varchar(20)"
};

// Multi-part object name: server.database.schema.object; empty parts were omitted
// ("db..t" has an empty schema). `object` may start with '#' or '##'.
struct ObjectName {
  std::string server;
  std::string database;
  std::string schema;
  std::string object;
  SourcePos pos;
  bool Empty() const { return object.empty(); }
};

struct Select;
struct Statement;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using SelectPtr = std::unique_ptr<Select>;
using StatementPtr = std::unique_ptr<Statement>;
struct WindowSpec;
struct RenderPlan;  // what the engine last rendered of a node, for its next run

enum class LiteralKind { Null, Integer, Float, String, NString, Binary, Money };

enum class ExprKind {
  Literal,     // literalKind + text (string literals unescaped; numbers as written)
  Column,      // name: 1 to 4 parts, last is the column ("t.a", "db..t.a" is not T-SQL)
  Star,        // "*" or "t.*" inside COUNT(*) or a select list; name holds the qualifier
  Variable,    // text: "@name" (also "@@ROWCOUNT" style system variables)
  Unary,       // op: "-", "+", "~", "NOT"; args[0]
  Binary,      // op: + - * / % = <> != < <= > >= !< !> AND OR & | ^; args[0], args[1]
  Function,    // text: function name as written (upper-cased); args; distinct for aggregates
  Cast,        // CAST(args[0] AS type) or CONVERT(type, args[0] [, args[1] style])
  Case,        // caseOperand optional; whens; elseExpr optional
  Subquery,    // scalar subquery: subquery
  Exists,      // EXISTS (subquery); negated for NOT EXISTS
  InList,      // args[0] IN (args[1..]); negated
  InSubquery,  // args[0] IN (subquery); negated
  Between,     // args[0] BETWEEN args[1] AND args[2]; negated
  Like,        // args[0] LIKE args[1] [ESCAPE args[2]]; negated
  IsNull,      // args[0] IS NULL; negated for IS NOT NULL
};

struct CaseWhen {
  ExprPtr when;
  ExprPtr then;
};

struct Expr {
  ExprKind kind = ExprKind::Literal;
  SourcePos pos;
  LiteralKind literalKind = LiteralKind::Null;
  std::string text;               // literal text, variable name, function name, operator
  std::vector<std::string> name;  // column or star qualifier parts, as written
  std::vector<ExprPtr> args;
  SelectPtr subquery;
  bool distinct = false;   // aggregate with DISTINCT
  bool negated = false;    // NOT IN / NOT LIKE / NOT BETWEEN / IS NOT NULL / NOT EXISTS
  TypeName castType;       // Cast
  bool isConvert = false;  // written as CONVERT(...)
  bool tryCast = false;    // TRY_CAST / TRY_CONVERT: NULL where the conversion fails
  ExprPtr caseOperand;     // Case: simple CASE operand
  std::vector<CaseWhen> whens;
  ExprPtr elseExpr;
  std::vector<ExprPtr> withinOrder;  // STRING_AGG ... WITHIN GROUP (ORDER BY these)
  std::vector<bool> withinDescending;
  std::shared_ptr<WindowSpec> over;  // Function OVER (...): a window function
  mutable std::shared_ptr<RenderPlan> plan;
};

// CROSS APPLY / OUTER APPLY: the right side is a query that may read the left side's columns.
enum class JoinType { Inner, Left, Right, Full, Cross, CrossApply, OuterApply };

struct TableRef;
using TableRefPtr = std::unique_ptr<TableRef>;

struct TableRef {
  // Pivot: `left` PIVOT (aggregate `on` FOR `pivotFor` IN (columnAliases)) AS alias; with
  // `unpivot`, `left` UNPIVOT (value `on` FOR name `pivotFor` IN (columnAliases)) AS alias.
  // Function: a built-in table-valued function (STRING_SPLIT) named by `name`, given `args`.
  enum class Kind { Named, Derived, Join, Pivot, Function } kind = Kind::Named;
  SourcePos pos;
  ObjectName name;                         // Named
  std::string alias;                       // Named or Derived
  SelectPtr derived;                       // Derived
  JoinType joinType = JoinType::Inner;     // Join
  TableRefPtr left, right;                 // Join
  ExprPtr on;                              // Join (null for CROSS)
  std::vector<std::string> columnAliases;  // Derived: AS t(a, b); Pivot: the IN values
  ExprPtr pivotFor;                        // Pivot: the column whose values become columns
  bool unpivot = false;                    // Pivot
  std::vector<std::string> hints;          // WITH (NOLOCK) and the like: accepted, ignored
  std::vector<ExprPtr> args;               // Function
};

struct SelectItem {
  ExprPtr expr;           // Star for "*" / "t.*"
  std::string alias;      // AS alias, alias = expr, or 'alias' string
  std::string assignVar;  // SELECT @v = expr
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

// One end of a window frame: UNBOUNDED PRECEDING, n PRECEDING, CURRENT ROW, n FOLLOWING,
// UNBOUNDED FOLLOWING.
enum class FrameBound { UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing };

struct WindowSpec {
  std::vector<ExprPtr> partitionBy;
  std::vector<OrderItem> orderBy;
  bool hasFrame = false;
  bool rows = false;  // ROWS; RANGE otherwise
  FrameBound start = FrameBound::UnboundedPreceding;
  FrameBound end = FrameBound::CurrentRow;
  long long startOffset = 0;
  long long endOffset = 0;
};

// WITH name [(columns)] AS (query): a named query the statement after it reads.
struct CommonTable {
  std::string name;
  SourcePos pos;
  std::vector<std::string> columns;
  SelectPtr query;
};

enum class SetOp { Union, UnionAll, Except, Intersect };

struct Select {
  SourcePos pos;
  bool distinct = false;
  ExprPtr top;  // TOP n / TOP (expr)
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::optional<ObjectName> into;  // SELECT ... INTO
  std::vector<TableRefPtr> from;   // comma-separated; each may be a join tree
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  // GROUP BY ROLLUP / CUBE / GROUPING SETS / WITH ROLLUP: the grouping sets, each listing the
  // indexes into groupBy of the expressions it groups by (an empty set is the grand total).
  // Empty for a plain GROUP BY list.
  std::vector<std::vector<size_t>> groupingSets;
  ExprPtr having;
  std::vector<OrderItem> orderBy;  // applies to the whole set expression
  struct SetPart {
    SetOp op;
    SelectPtr select;
  };
  std::vector<SetPart> setParts;  // UNION [ALL] / EXCEPT / INTERSECT continuations
  ExprPtr offset;                 // ORDER BY ... OFFSET n ROWS
  ExprPtr fetch;                  // ... FETCH NEXT m ROWS ONLY
  bool topWithTies = false;
  std::vector<CommonTable> with;  // a SELECT statement's common table expressions
  int maxRecursion = -1;          // OPTION (MAXRECURSION n); -1 when not given
};

struct ColumnDef {
  std::string name;
  SourcePos pos;
  TypeName type;
  bool hasNullability = false;
  bool notNull = false;
  bool identity = false;
  long long identitySeed = 1;
  long long identityStep = 1;
  ExprPtr defaultValue;
  bool primaryKey = false;  // column-level PRIMARY KEY
  bool unique = false;
  std::string constraintName;
  bool withValues = false;  // DEFAULT ... WITH VALUES: ALTER TABLE ADD fills existing rows
};

struct TableConstraint {
  enum class Kind { PrimaryKey, Unique } kind = Kind::PrimaryKey;
  std::string name;
  std::vector<std::string> columns;
  bool clustered = true;
};

struct ProcParam {
  std::string name;  // with '@'
  TypeName type;
  ExprPtr defaultValue;
  bool output = false;
};

struct ExecArg {
  std::string name;  // "@p" for named arguments, empty for positional
  ExprPtr value;     // literal, variable or expression; DEFAULT is a null pointer
  bool output = false;
};

struct Assignment {                 // UPDATE SET target = value, or SET @v = value
  std::vector<std::string> target;  // column (optionally qualified) or "@v"
  ExprPtr value;
};

struct Declaration {
  std::string name;  // with '@'
  TypeName type;
  ExprPtr init;
  // DECLARE @t TABLE (...): the table's columns and constraints, as CREATE TABLE gives them.
  std::shared_ptr<Statement> table;
};

// DECLARE name CURSOR [LOCAL|GLOBAL] [FORWARD_ONLY|SCROLL] [STATIC|KEYSET|DYNAMIC|FAST_FORWARD]
// ... FOR select, and the name OPEN, FETCH, CLOSE and DEALLOCATE refer to.
struct CursorSpec {
  std::string name;
  bool global = false;    // GLOBAL written (declaration) or GLOBAL name (reference)
  bool local = false;     // LOCAL written
  bool scroll = false;    // SCROLL, STATIC, KEYSET or DYNAMIC: every fetch direction is allowed
  std::string direction;  // FETCH: NEXT, PRIOR, FIRST, LAST, ABSOLUTE, RELATIVE
  std::vector<std::string> into;  // FETCH ... INTO @a, @b
};

enum class StatementKind {
  Select,
  Insert,           // target, insertColumns, values rows | select | execProc
  Update,           // target (name or alias), assignments, from, where, top
  Delete,           // target, from, where, top
  Truncate,         // target
  CreateTable,      // target, columns, constraints
  DropTable,        // targets (several names allowed), ifExists
  AlterTable,       // target, alter: see alterKind
  CreateIndex,      // indexName, target, indexColumns, unique
  DropIndex,        // target (table), indexName
  CreateDatabase,   // databaseName
  DropDatabase,     // databaseName, and every name in dropNames (DROP DATABASE a, b)
  Use,              // databaseName
  CreateProcedure,  // target, params, body, procText; alter=true for ALTER
  DropProcedure,    // targets
  CreateView,       // target, viewColumns, select, procText; alter / orAlter; view options
  DropView,         // targets, ifExists
  Declare,          // declarations
  SetVariable,      // assignments[0] with target "@v"
  SetOption,        // SET NOCOUNT ON etc.: optionName, optionValue
  If,               // condition, body[0] then, body[1] else (optional)
  While,            // condition, body[0]
  Block,            // BEGIN ... END: body
  Break,
  Continue,
  Return,      // value optional
  Exec,        // procedure call: target (procedure), args, returnVar (EXEC @r = p)
  ExecString,  // EXEC ('...' + @x): value
  Print,       // value
  Raiserror,   // args: message, severity, state, ...
  BeginTran,
  CommitTran,
  RollbackTran,   // optionValue: transaction or savepoint name, empty when none
  SaveTran,       // optionValue: savepoint name
  TryCatch,       // BEGIN TRY body[0] END TRY BEGIN CATCH body[1] END CATCH
  Throw,          // THROW number, message, state (args); no args rethrows in CATCH
  DeclareCursor,  // cursor, select
  OpenCursor,     // cursor
  Fetch,          // cursor (direction, into); value: the row of ABSOLUTE / RELATIVE
  CloseCursor,    // cursor
  Deallocate,     // cursor
  Empty,          // a lone ';'
};

enum class AlterKind { AlterColumn, AddColumns, AddConstraint, DropColumn, DropConstraint };

struct Statement {
  StatementKind kind = StatementKind::Empty;
  SourcePos pos;
  size_t endOffset = 0;  // byte offset just past the statement in the batch

  SelectPtr select;               // Select; Insert ... SELECT
  std::vector<CommonTable> with;  // WITH ... before INSERT, UPDATE or DELETE
  ObjectName target;
  std::vector<ObjectName> targets;
  std::string targetAlias;  // UPDATE/DELETE target written as an alias of FROM

  // INSERT
  std::vector<std::string> insertColumns;
  std::vector<std::vector<ExprPtr>> valuesRows;
  bool defaultValues = false;
  // INSERT, UPDATE, DELETE ... OUTPUT items (reading inserted.* / deleted.*) [INTO target
  // (outputColumns)]: the items as a select list; without a target they are a result set.
  SelectPtr output;
  ObjectName outputInto;
  std::vector<std::string> outputColumns;
  StatementPtr execSource;  // INSERT ... EXEC

  // UPDATE / DELETE
  std::vector<Assignment> assignments;
  std::vector<TableRefPtr> from;
  ExprPtr where;
  ExprPtr top;

  // CREATE TABLE / ALTER TABLE
  std::vector<ColumnDef> columns;
  std::vector<TableConstraint> constraints;
  AlterKind alterKind = AlterKind::AlterColumn;
  bool withNoCheck = false;
  std::vector<std::string> dropNames;  // ALTER TABLE DROP COLUMN / CONSTRAINT names

  // DROP
  bool ifExists = false;

  // CREATE INDEX
  std::string indexName;
  std::vector<OrderItem> indexColumns;
  bool unique = false;

  // databases
  std::string databaseName;

  // procedures
  std::vector<ProcParam> params;
  std::string procText;  // full source text of CREATE PROCEDURE as sent
  bool alter = false;

  // views (procText holds the definition as sent)
  std::vector<std::string> viewColumns;
  bool orAlter = false;  // CREATE OR ALTER
  bool schemaBinding = false;
  bool checkOption = false;

  // variables and control flow
  std::vector<Declaration> declarations;
  ExprPtr condition;
  ExprPtr value;
  std::vector<StatementPtr> body;
  std::vector<ExecArg> args;
  std::string returnVar;  // EXEC @r = proc

  // cursors
  CursorSpec cursor;

  // SET option
  std::string optionName;
  std::string optionValue;
  mutable std::shared_ptr<RenderPlan> plan;
};

// A parsed batch: its statements in order, and the text they came from.
struct Batch {
  std::string text;
  std::vector<StatementPtr> statements;
};

}  // namespace xfer::engine
