// The executor runs a parsed batch statement by statement: queries and DML through the
// renderer and SQLite, DDL and control flow (IF, WHILE, variables, EXEC, transactions) itself.
// A batch that does not parse runs nothing; a failing statement stops the batch.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "engine/ast.h"
#include "engine/conn_state.h"
#include "engine/profile.h"
#include "engine/render/plan.h"
#include "engine/render/render.h"

namespace xfer::engine {

class Executor {
 public:
  using ResultHandler = std::function<void(ResultSet&&)>;
  Executor(ConnectionState& conn, ResultHandler onResult)
      : conn_(conn), onResult_(std::move(onResult)) {}

  void RunBatch(std::string_view text);

 private:
  enum class Flow { Next, Break, Continue, Return };

  Flow Run(const Statement& s);
  Flow RunList(const std::vector<StatementPtr>& list);
  void RunStatement(const Statement& s);
  // A statement that changes data or schema runs under a savepoint: when it fails, nothing it
  // did stays, and the batch's earlier work is kept, as SQL Server's statement atomicity says.
  void RunAtomic(const Statement& s);
  Flow RunTryCatch(const Statement& s);
  void Throw(const Statement& s);
  void DropDatabases(const Statement& s);
  // SQLite's error for a failed step, with constraint violations named as SQL Server names
  // them (primary key 2627, unique index 2601, duplicate value shown when it can be found).
  [[noreturn]] void FailStep(int rc, const Statement* source);

  // Queries and DML.
  // Runs `render` counted as render time in the profile.
  template <typename F>
  Rendered Rendering(F&& render) {
    profile::Timer t(profile::Phase::Render);
    return render();
  }
  // Renders through `render`, or reuses the plan kept on the node (`kept`) while what it read
  // still holds. `use` tells a statement ('T'), a value ('V') and a condition ('C') apart.
  template <typename F>
  Rendered RenderingKept(std::shared_ptr<RenderPlan>& kept, char use, Renderer& r, F&& render) {
    if (kept) {
      if (auto again = ReusePlan(*kept, use, conn_)) {
        if (profile::Enabled()) profile::Add(profile::Phase::RenderKept, {});
        return std::move(*again);
      }
    }
    Rendered out = Rendering(std::forward<F>(render));
    kept = r.Plan(out);
    if (kept) kept->use = use;
    return out;
  }
  ResultSet Query(const Rendered& r);
  // Runs a change; with `rows`, also collects what its RETURNING yields.
  long long Dml(const Rendered& r, const Statement* source = nullptr, ResultSet* rows = nullptr);
  // Runs an INSERT, UPDATE or DELETE; its OUTPUT rows become a result set or go INTO a table.
  long long Change(const Statement& s, const Rendered& r);
  // Appends result rows to a table (or table variable) by column, as INSERT ... EXEC does.
  long long InsertRows(const ObjectName& target, const std::vector<std::string>& columns,
                       const ResultSet& rs, const Statement* source);
  void SelectStatement(const Statement& s);
  void SelectInto(const Statement& s);
  void InnerJoinNotNull(Renderer& r, const struct Select& sel, std::vector<bool>& notNull);
  void Insert(const Statement& s);
  void InsertExec(const Statement& s);
  void FinishIdentity(const IdentityPlan& plan, long long rows);
  void Affected(long long rows);

  // DDL (ddl.cpp).
  void CreateTable(const Statement& s);
  void DropTable(const Statement& s);
  void AlterTable(const Statement& s);
  // Writes the table anew with `info`'s columns; the primary key keeps its name unless
  // `pkName` gives one.
  void RebuildTable(const ResolvedTable& t, TableInfo info, std::string pkName = {});
  void AddUnique(const ResolvedTable& t, const std::string& name,
                 const std::vector<std::string>& columns);
  void CreateIndex(const Statement& s);
  void DropIndex(const Statement& s);
  void Truncate(const Statement& s);
  std::string ColumnSql(const ColumnDef& c, bool primaryKeyColumn);

  // Views (view.cpp).
  void CreateView(const Statement& s);
  void DropView(const Statement& s);

  // Variables and procedures (proc.cpp).
  void Declare(const Statement& s);
  void Assign(const std::string& name, const Value& v);
  Value Evaluate(const Expr& e);
  bool Test(const Expr& e);
  void CreateProcedure(const Statement& s);
  void DropProcedure(const Statement& s);
  long long ExecProcedure(const Statement& s);
  // Runs a parsed procedure definition `def` with the arguments of `call`, its unqualified
  // names resolving in `database`.
  long long CallProcedure(const Statement& def, const Statement& call, const std::string& name,
                          const std::string& database, size_t firstArg);
  void ExecString(const Statement& s);
  void ExecuteSql(const Statement& s);  // sp_executesql
  void Raiserror(const Statement& s);
  void SetOption(const Statement& s);

  // Cursors (cursor.cpp) and table variables (table_var.cpp).
  Cursor& FindCursor(const CursorSpec& c);
  void DeclareCursor(const Statement& s);
  void OpenCursor(const Statement& s);
  void Fetch(const Statement& s);
  void CloseCursor(const Statement& s);
  void Deallocate(const Statement& s);
  void DeclareTable(const Declaration& d);
  // Drops the table variables of the current scope.
  void DropTableVariables();
  // ROLLBACK [name], with every table variable in scope left as it was: SQL Server keeps
  // table variables out of transactions.
  void RollbackKeepingTableVariables(const std::string& name);

  // Ends a nested scope (procedure or dynamic SQL): its #tables, table variables and LOCAL
  // cursors go with it.
  void LeaveScope();
  // Ends the batch's own scope: its table variables and LOCAL cursors.
  void EndBatchScope();

  ConnectionState& conn_;
  ResultHandler onResult_;
  Value returnValue_;
  int tryDepth_ = 0;                    // TRY blocks the running statement is inside
  std::optional<SqlError> firstError_;  // the first error that ended only its statement
};

// Converts a value to a declared type as SQL Server assigns it to a variable: strings cut to
// their length, numbers from text (SqlError 245 when not a number), floats to int truncated.
Value ConvertValue(const Value& v, const TypeName& type);

// The schema-bound view in `schema` that names `table` (and `column`, when given), if any:
// the table cannot be dropped, nor the column changed.
std::optional<std::string> BoundView(sqlite3* db, const std::string& schema,
                                     const std::string& table, const std::string& column = {});

// Database names a batch mentions, so they can be attached before its transaction starts.
std::vector<std::string> DatabasesOf(const Batch& b);
std::vector<std::string> DatabasesOf(const std::vector<StatementPtr>& statements);

}  // namespace xfer::engine
