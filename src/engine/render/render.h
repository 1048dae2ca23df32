// The binder and renderer: turns one T-SQL statement of the syntax tree into SQLite SQL with
// SQL Server's meaning. It resolves object names to SQLite schemas (current database, db..t,
// #t in the connection's temp schema, ##t in tempdb, catalog views), derives static types of
// expressions (for `+`, collation and SELECT ... INTO), and turns variables into bound
// parameters. Control flow never reaches here; the executor handles it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/conn_state.h"
#include "engine/types.h"
#include "engine/value.h"

namespace xfer::engine {

// A statement ready for SQLite: its text, the values of its parameters in order, and for a
// query the name and static type of each output column (empty type when SQLite knows it).
struct Rendered {
  std::string sql;
  std::vector<Value> params;
  std::vector<std::string> columnNames;
  std::vector<ExprType> columnTypes;
  bool hasStar = false;  // a * in the select list: names and types come from SQLite
};

// Where a bound parameter's value comes from, for a render kept to run again.
struct ParamSource {
  enum class Kind { Variable, Literal } kind = Kind::Variable;
  std::string variable;  // lower-case name with '@'
  TypeName type;         // the variable's declared type when rendered
  const Expr* literal = nullptr;
  size_t length = 0;  // the literal's length in bytes when rendered
};

// Where a table reference resolves.
struct ResolvedTable {
  std::string schema;         // SQLite schema
  std::string name;           // table name as stored (or as written when missing)
  std::string written;        // the name as the statement wrote it, for messages
  std::string catalogSql;     // non-empty for a catalog view: the subquery that stands for it
  std::string database;       // canonical database name (empty for #tables)
  bool isTempTable = false;   // #name
  bool isGlobalTemp = false;  // ##name
};

// Identity values an INSERT assigns: base + step * row number, written back after the insert.
struct IdentityPlan {
  bool active = false;
  std::string schema;
  std::string table;
  long long base = 0;
  long long step = 1;
  bool explicitValues = false;  // SET IDENTITY_INSERT ON: values given, counter follows them
  std::string column;
};

// Puts a renderer field back when the scope that changed it ends, thrown out of or not.
template <class T>
struct Restore {
  T& place;
  T value;
  ~Restore() { place = value; }
};

class Renderer {
 public:
  explicit Renderer(ConnectionState& conn) : conn_(conn) {}

  // Resolves a table name; with `mustExist` a missing table is SqlError 208.
  ResolvedTable Resolve(const ObjectName& name, bool mustExist = true);
  std::optional<TableInfo> Table(const ResolvedTable& t);

  Rendered Select(const struct Select& s);
  // A scalar expression as "SELECT <expr>", for IF/WHILE conditions and SET @v = expr.
  Rendered Scalar(const Expr& e);
  Rendered Condition(const Expr& e);

  // Renders the query part of SELECT ... INTO / INSERT ... SELECT; fills `types`.
  Rendered Query(const struct Select& s);

  // INSERT ... VALUES | SELECT | DEFAULT VALUES (INSERT ... EXEC is the executor's).
  Rendered Insert(const Statement& s, IdentityPlan& plan);
  // INSERT of one row of given values into `columns` (all when empty) of a table. Values of the
  // classes in `valueTypes` (see ValueTypes) are converted to their columns' types as an
  // INSERT converts literals.
  Rendered InsertValues(const ObjectName& target, const std::vector<std::string>& columns,
                        size_t valueCount, IdentityPlan& plan,
                        const std::vector<ExprType>& valueTypes = {});
  Rendered Update(const Statement& s);
  // Appends RETURNING for the statement's OUTPUT items, naming and typing its columns.
  void Returning(const Statement& s, const TableInfo& info, Rendered& r);
  Rendered Delete(const Statement& s);

  std::string Expression(const Expr& e, ExprType* type);
  std::string QualifiedName(const ResolvedTable& t) const;

  // Writes text literals into the SQL instead of binding them (definitions cannot bind).
  void InlineLiterals() {
    inlineLiterals_ = true;
    reusable_ = false;
  }

  // What this renderer produced as `r`, to be kept for the next run of the same node; null
  // when the render took a value of the moment (a system variable, an identity counter).
  std::shared_ptr<struct RenderPlan> Plan(const Rendered& r);

  // Values bound so far (variables, system variables) — shared by everything one statement
  // renders.
  std::vector<Value>& params() { return params_; }

  // Column scope of the statement being rendered: one entry per table source.
  struct Source {
    std::string alias;                 // lower-case alias or table name
    std::string display;               // alias or table name as written, for messages
    std::vector<std::string> columns;  // for derived tables and catalog views
    std::vector<ExprType> types;
    std::optional<TableInfo> table;  // for named tables
    std::vector<std::string> exprs;  // APPLY: the SQL that computes each column
  };
  void PushScope(std::vector<Source> sources);
  void PopScope();
  std::vector<Source> FromSources(const std::vector<TableRefPtr>& from, std::string& sql);

 private:
  ResolvedTable ChangedTable(const Statement& s, const TableRef*& targetRef);
  std::string Select(const struct Select& s, std::vector<std::string>& names,
                     std::vector<ExprType>& types, bool& star);
  std::string SelectCore(const struct Select& s, std::vector<std::string>& names,
                         std::vector<ExprType>& types, bool& star);
  std::string TableSource(const TableRef& ref, std::vector<Source>& sources);
  std::string Apply(const TableRef& ref, std::vector<Source>& sources);
  std::string Pivot(const TableRef& ref, std::vector<Source>& sources);
  std::string Split(const TableRef& ref, std::vector<Source>& sources);
  std::string Unpivot(const TableRef& ref, std::vector<Source>& sources);
  static void AddDerived(const std::string& alias, const std::vector<std::string>& names,
                         const std::vector<ExprType>& types, std::vector<Source>& sources);
  static void SourceColumns(const Source& s, std::vector<std::string>& cols,
                            std::vector<ExprType>& types);
  std::string Column(const Expr& e, ExprType* type);
  std::string RowCount(const Expr& e, bool offset);
  std::string WithTies(const struct Select& s, const std::string& core,
                       const std::vector<std::string>& names, const std::vector<ExprType>& types);
  std::string Function(const Expr& e, ExprType* type);
  std::string Binary(const Expr& e, ExprType* type);
  std::string Variable(const Expr& e, ExprType* type);
  // Binds a value of the moment: the statement is rendered anew each time it runs.
  std::string Bind(Value v);
  // Binds a value a kept plan takes anew from `source` (a variable, a literal).
  std::string Bind(Value v, ParamSource source);
  std::string Put(Value v);
  // The table shapes of `schema` were read: a kept plan holds while its version does.
  void ReadSchema(const std::string& schema);
  std::string FromExcluding(const TableRef& ref, const TableRef* target,
                            std::vector<Source>& sources, std::vector<const Expr*>& conditions);
  IdentityPlan PlanIdentity(const ResolvedTable& t, const TableInfo& info,
                            const std::vector<const ColumnInfo*>& cols);
  std::string CatalogView(const std::string& schema, const std::string& view,
                          const std::string& database);
  // Grouped queries (grouping.cpp): every column outside an aggregate must be grouped.
  void CheckGrouping(const struct Select& s);
  std::string Canonical(const Expr& e);
  void CheckGrouped(const Expr& e, const std::vector<std::string>& keys, int number,
                    const char* clause);
  // Whether a scalar subquery can yield at most one row without running it.
  bool SingleRow(const struct Select& s);

  // Grouping sets (grouping_sets.cpp). While a grouped query renders, `grouping_` says which
  // GROUP BY expressions the set being rendered leaves out: they read as NULL outside
  // aggregates, and GROUPING() / GROUPING_ID() become constants.
  struct GroupingState {
    size_t depth = 0;                 // scopes_.size() of the grouped query
    std::vector<std::string> keys;    // every GROUP BY expression, canonical
    std::vector<std::string> absent;  // those the set being rendered does not group by
  };
  // One grouped query per set, combined; with `withOrder` the query's ORDER BY is applied.
  std::string GroupingSets(const struct Select& s, std::vector<std::string>& names,
                           std::vector<ExprType>& types, bool& star, bool withOrder);
  // What `e` renders as in a grouping set, when that differs from its plain rendering.
  std::optional<std::string> GroupingTerm(const Expr& e, ExprType* type);
  std::string GroupingCall(const Expr& e, ExprType* type);

  // Window functions (window.cpp): checks the OVER clause and renders it into `over`;
  // renders the ranking and offset functions whole, leaves aggregates to Function.
  std::optional<std::string> WindowFunction(const Expr& e, ExprType* type, std::string* over);
  std::string WindowClause(const WindowSpec& w);

  // Common table expressions (cte.cpp).
  void PushCommonTables(const std::vector<CommonTable>& with);
  void UseCommonTables(const Statement& s, const ObjectName& target);
  const CommonTable* FindCommonTable(const ObjectName& n) const;
  std::string CommonTableSource(const CommonTable& c, const std::string& alias, Source& src);
  std::string RecursiveBody(const CommonTable& c, std::vector<std::string>& names,
                            std::vector<ExprType>& types);
  // A named query's output columns, renamed by its column list and checked for names.
  void NameColumns(const std::string& owner, const std::vector<std::string>& list,
                   std::vector<std::string>& names);
  // "(WITH name(columns) AS (body) SELECT columns FROM name)": the body with its columns named.
  static std::string WithColumns(const std::string& name, const std::vector<std::string>& columns,
                                 const std::string& body, bool recursive);

  ConnectionState& conn_;
  std::vector<Value> params_;
  std::vector<ParamSource> sources_;  // where each of params_ came from
  std::vector<std::string> schemasRead_;
  std::vector<const Expr*> pinned_;  // text literals the render read by value
  bool reusable_ = true;
  bool inlineLiterals_ = false;
  bool comparedRows_ = false;                // rendering a part of UNION/EXCEPT/INTERSECT
  std::vector<std::string> catalogColumns_;  // columns of the catalog view last rendered
  std::vector<ExprType> catalogTypes_;
  std::vector<std::vector<Source>> scopes_;

  // Where a window function may stand: the select list and ORDER BY, not inside another
  // window function or aggregate.
  enum class WindowPlace { Refused, Allowed, Nested };
  WindowPlace windowPlace_ = WindowPlace::Refused;

  // Common table expressions in view, innermost last, and the recursive one being rendered.
  struct Recursion {
    const CommonTable* cte = nullptr;
    std::vector<std::string> names;
    std::vector<ExprType> types;
    std::string selfAlias;  // how the recursive part being rendered names the table
    int references = 0;
  };
  std::vector<const CommonTable*> ctes_;
  Recursion* recursion_ = nullptr;
  bool levelPending_ = false;  // the next query core carries the recursion level column
  int maxRecursion_ = 100;

  GroupingState* grouping_ = nullptr;
  std::optional<GroupingState> coreGrouping_;              // what the last query core grouped by
  const std::vector<size_t>* groupingSet_ = nullptr;       // the set the next core renders
  const std::vector<const Expr*>* hiddenOrder_ = nullptr;  // ORDER BY terms it adds as columns
};

// An aggregate call (not a windowed one): its arguments read the rows of a group.
bool IsAggregateCall(const Expr& e);
// Text, or of a type not known yet (read as text): compared under the engine's collation.
bool IsTextual(TypeClass c);

// Whether storing a value of static type `src` into a column of type `target` needs an
// explicit conversion to get SQL Server's result (SQLite's column affinity does the rest).
bool NeedsCast(const TypeName& target, const ExprType& src);
// Per column, the class of the values given for it: text where any is text (a text in a number
// column converts as a literal would), else float, else integer.
std::vector<ExprType> ValueTypes(const std::vector<std::vector<Value>>& rows, size_t columns);

// Whether the declared type of a value shows it fits a varchar(n) column, and the value's SQL
// wrapped in the run-time width check where it does not (SQL Server's truncation error).
bool FitsWidth(const TypeName& target, const ExprType& src);
std::string FitWidth(const TypeName& target, const ExprType& src, const std::string& sql);

// The type of a CASE, COALESCE or UNION column whose branches have types `a` and `b`: the one of
// higher precedence, the longer of two texts.
ExprType WiderType(const ExprType& a, const ExprType& b);

// An object name given as text ("db..t", "[db].dbo.t", "#t"), as OBJECT_ID and COL_LENGTH
// take it; blanks around the parts do not count.
ObjectName ParseObjectName(std::string_view text);

// Lower-cased ASCII copy of a name.
std::string LowerName(std::string_view s);

// Column type of a value computed at run time, for record sets: kind and size of a field
// whose static type is `t` (or of the stored value's class when unknown).
Field FieldFor(const std::string& name, const ExprType& t);

}  // namespace xfer::engine
