#include "engine/exec/executor.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>

#include "engine/error.h"
#include "engine/error_class.h"
#include "engine/fault_points.h"
#include "engine/parse/parser.h"
#include "engine/profile.h"
#include "engine/sqlite_util.h"
#include "engine/types.h"

namespace xfer::engine {

namespace {

void CollectExpr(const Expr* e, std::vector<std::string>& out);

void CollectSelect(const Select* s, std::vector<std::string>& out);

void CollectRef(const TableRef* r, std::vector<std::string>& out) {
  if (!r) return;
  if (!r->name.database.empty()) out.push_back(r->name.database);
  CollectSelect(r->derived.get(), out);
  CollectRef(r->left.get(), out);
  CollectRef(r->right.get(), out);
  CollectExpr(r->on.get(), out);
  for (const auto& a : r->args) CollectExpr(a.get(), out);
}

void CollectSelect(const Select* s, std::vector<std::string>& out) {
  if (!s) return;
  for (const auto& i : s->items) CollectExpr(i.expr.get(), out);
  for (const auto& r : s->from) CollectRef(r.get(), out);
  CollectExpr(s->where.get(), out);
  CollectExpr(s->having.get(), out);
  if (s->into && !s->into->database.empty()) out.push_back(s->into->database);
  for (const auto& p : s->setParts) CollectSelect(p.select.get(), out);
}

void CollectExpr(const Expr* e, std::vector<std::string>& out) {
  if (!e) return;
  for (const auto& a : e->args) CollectExpr(a.get(), out);
  CollectSelect(e->subquery.get(), out);
  // COL_LENGTH('db..t', 'c') and OBJECT_ID('db..t') name databases in their text.
  if (e->kind == ExprKind::Function && (e->text == "COL_LENGTH" || e->text == "OBJECT_ID") &&
      !e->args.empty() && e->args[0]->kind == ExprKind::Literal) {
    const std::string& t = e->args[0]->text;
    if (size_t dot = t.find('.'); dot != std::string::npos && dot > 0) {
      std::string db = t.substr(0, dot);
      if (db.front() == '[' && db.back() == ']') db = db.substr(1, db.size() - 2);
      out.push_back(db);
    }
  }
  for (const auto& w : e->whens) {
    CollectExpr(w.when.get(), out);
    CollectExpr(w.then.get(), out);
  }
  CollectExpr(e->caseOperand.get(), out);
  CollectExpr(e->elseExpr.get(), out);
}

void CollectStatement(const Statement* s, std::vector<std::string>& out) {
  if (!s) return;
  if (s->kind == StatementKind::CreateProcedure) return;  // runs later, in its own database
  if (!s->target.database.empty()) out.push_back(s->target.database);
  for (const auto& t : s->targets)
    if (!t.database.empty()) out.push_back(t.database);
  if (s->kind == StatementKind::Use) out.push_back(s->databaseName);
  CollectSelect(s->select.get(), out);
  CollectSelect(s->output.get(), out);
  if (!s->outputInto.database.empty()) out.push_back(s->outputInto.database);
  for (const auto& r : s->from) CollectRef(r.get(), out);
  CollectExpr(s->where.get(), out);
  CollectExpr(s->condition.get(), out);
  CollectExpr(s->value.get(), out);
  for (const auto& a : s->assignments) CollectExpr(a.value.get(), out);
  for (const auto& row : s->valuesRows)
    for (const auto& v : row) CollectExpr(v.get(), out);
  for (const auto& b : s->body) CollectStatement(b.get(), out);
  CollectStatement(s->execSource.get(), out);
}

Field FieldOf(sqlite3_stmt* st, int i, const std::string& name, const ExprType* staticType) {
  Field f;
  if (staticType && !staticType->declared.name.empty() && staticType->cls != TypeClass::Unknown &&
      staticType->cls != TypeClass::Null) {
    f = FieldFor(name, *staticType);
  } else if (const char* decl = sqlite3_column_decltype(st, i)) {
    TypeName t = ParseTypeText(decl);
    f.name = name;
    f.kind = KindOf(t);
    f.size = StorageLength(t);
    f.declaredType = t.Text();
  } else {
    f.name = name;
  }
  if (const char* table = sqlite3_column_table_name(st, i)) f.baseTable = table;
  if (const char* origin = sqlite3_column_origin_name(st, i)) f.baseColumn = origin;
  return f;
}

// A field whose type nothing declared takes its kind from the values it holds.
void InferKinds(ResultSet& rs) {
  for (size_t c = 0; c < rs.fields.size(); ++c) {
    Field& f = rs.fields[c];
    if (f.kind != FieldKind::Other || !f.declaredType.empty()) continue;
    for (const auto& row : rs.rows) {
      const Value& v = row[c];
      if (std::holds_alternative<long long>(v)) {
        f.kind = FieldKind::Integer;
        f.size = 4;
      } else if (std::holds_alternative<double>(v)) {
        f.kind = FieldKind::Float;
        f.size = 8;
      } else if (const auto* s = std::get_if<std::string>(&v)) {
        f.kind = FieldKind::String;
        f.size = std::max(f.size, static_cast<int>(s->size()));
        continue;
      } else if (std::holds_alternative<Blob>(v)) {
        f.kind = FieldKind::Blob;
      } else {
        continue;
      }
      break;
    }
  }
}

// How the profile names a statement: its kind, and for a call the procedure called.
// SQLite's plan for a statement, one step per line, indented by depth.
void NotePlan(sqlite3* db, const std::string& sql) {
  if (!profile::WantsPlan(sql)) return;
  sqlite3_stmt* st = nullptr;
  std::string plan;
  if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &st, nullptr) ==
      SQLITE_OK) {
    std::map<int, int> depth;
    while (sqlite3_step(st) == SQLITE_ROW) {
      const int id = sqlite3_column_int(st, 0), parent = sqlite3_column_int(st, 1);
      depth[id] = depth.count(parent) ? depth[parent] + 1 : 1;
      plan += std::string(static_cast<size_t>(depth[id]) * 2 + 10, ' ') +
              reinterpret_cast<const char*>(sqlite3_column_text(st, 3)) + "\n";
    }
  }
  sqlite3_finalize(st);
  if (!plan.empty()) plan.pop_back();
  profile::AddPlan(sql, std::move(plan));
}

std::string KindName(const Statement& s) {
  switch (s.kind) {
    case StatementKind::Select:
      return s.select->into ? "SELECT INTO" : "SELECT";
    case StatementKind::Insert:
      return s.execSource ? "INSERT EXEC" : s.select ? "INSERT SELECT" : "INSERT VALUES";
    case StatementKind::Update:
      return "UPDATE";
    case StatementKind::Delete:
      return "DELETE";
    case StatementKind::Exec:
      return "EXEC " + s.target.object;
    case StatementKind::ExecString:
      return "EXEC (text)";
    case StatementKind::Declare:
      return "DECLARE";
    case StatementKind::SetVariable:
      return "SET @variable";
    case StatementKind::CreateTable:
      return "CREATE TABLE";
    case StatementKind::DropTable:
      return "DROP TABLE";
    case StatementKind::Fetch:
      return "FETCH";
    default:
      return "other (kind " + std::to_string(static_cast<int>(s.kind)) + ")";
  }
}

}  // namespace

std::vector<std::string> DatabasesOf(const Batch& b) {
  return DatabasesOf(b.statements);
}

std::vector<std::string> DatabasesOf(const std::vector<StatementPtr>& statements) {
  std::vector<std::string> out;
  for (const auto& s : statements) CollectStatement(s.get(), out);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

void Executor::RunBatch(std::string_view text) {
  BatchCache::Lease batch = [&] {
    profile::Timer t(profile::Phase::Parse);
    return conn_.batches.Parse(text);
  }();
  conn_.frame().vars.clear();       // variables live for one batch
  conn_.frame().scopeIdentity = 0;  // and so does SCOPE_IDENTITY: a batch is a scope
  conn_.Prepare(DatabasesOf(*batch));
  conn_.BeginBatch();
  conn_.caught.clear();
  try {
    for (const auto& s : batch->statements) {
      if (Run(*s) == Flow::Return) break;
    }
  } catch (SqlError& e) {
    conn_.lastError = e.number();
    // The failed statement is undone already. Without XACT_ABORT what came before it stays,
    // in the user's transaction or committed; a conversion error ends the transaction too.
    bool conversion = e.number() == err::kConversionFailed || e.number() == 8114;
    bool rollback = conn_.xactAbort || conn_.doomed || (conversion && conn_.trancount() > 0);
    conn_.doomed = false;
    // Work done before the user's transaction began was committed statement by statement in
    // SQL Server: only the transaction is rolled back.
    if (rollback && conn_.trancount() > 0) conn_.RollbackTran();
    // Scopes end after the rollback, so nothing they drop comes back with it.
    while (conn_.frame().depth > 0) LeaveScope();
    EndBatchScope();
    conn_.EndBatch(true);
    // The client hears of the batch's errors in order: the first is the one raised.
    if (firstError_) throw SqlError(*firstError_);
    throw;
  } catch (...) {
    while (conn_.frame().depth > 0) LeaveScope();
    EndBatchScope();
    conn_.doomed = false;
    conn_.EndBatch(false);
    throw;
  }
  if (conn_.doomed) {
    conn_.doomed = false;
    if (conn_.trancount() > 0) conn_.RollbackTran();
    EndBatchScope();
    conn_.EndBatch(true);
    throw SqlError(3998,
                   "Uncommittable transaction is detected at the end of the batch. The "
                   "transaction is rolled back.");
  }
  EndBatchScope();
  conn_.EndBatch(true);
  if (firstError_) throw SqlError(*firstError_);
}

Executor::Flow Executor::RunList(const std::vector<StatementPtr>& list) {
  for (const auto& s : list) {
    Flow f = Run(*s);
    if (f != Flow::Next) return f;
  }
  return Flow::Next;
}

Executor::Flow Executor::Run(const Statement& s) {
  const int depth = conn_.frame().depth;
  try {
    switch (s.kind) {
      case StatementKind::If:
        if (Test(*s.condition)) return Run(*s.body[0]);
        if (s.body.size() > 1 && s.body[1]) return Run(*s.body[1]);
        return Flow::Next;
      case StatementKind::While:
        while (Test(*s.condition)) {
          Flow f = Run(*s.body[0]);
          if (f == Flow::Break) break;
          if (f == Flow::Return) return f;
        }
        return Flow::Next;
      case StatementKind::Block:
        return RunList(s.body);
      case StatementKind::Break:
        return Flow::Break;
      case StatementKind::Continue:
        return Flow::Continue;
      case StatementKind::Return:
        returnValue_ = s.value ? Evaluate(*s.value) : Value{0LL};
        return Flow::Return;
      case StatementKind::TryCatch:
        return RunTryCatch(s);
      default:
        if (profile::Enabled()) {
          auto start = std::chrono::steady_clock::now();
          RunAtomic(s);
          profile::AddStatement(KindName(s), std::chrono::steady_clock::now() - start);
        } else {
          RunAtomic(s);
        }
        return Flow::Next;
    }
  } catch (BatchAbort& e) {
    if (e.line() == 0) e.set_line(s.pos.line);
    throw;
  } catch (SqlError& e) {
    if (e.line() == 0) e.set_line(s.pos.line);
    // Inside TRY every error goes to CATCH; under XACT_ABORT every error but RAISERROR's
    // ends the batch.
    bool statementOnly = tryDepth_ == 0 && EndsStatementOnly(e.number()) &&
                         (!conn_.xactAbort || s.kind == StatementKind::Raiserror);
    if (!statementOnly) throw BatchAbort(e);
    while (conn_.frame().depth > depth) LeaveScope();
    conn_.lastError = e.number();
    if (!firstError_) firstError_ = e;
    return Flow::Next;
  }
}

void Executor::RunAtomic(const Statement& s) {
  fault::Statement();
  bool writes = false;
  switch (s.kind) {
    case StatementKind::Select:
      writes = s.select->into.has_value();
      break;
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete:
    case StatementKind::Truncate:
    case StatementKind::CreateTable:
    case StatementKind::DropTable:
    case StatementKind::AlterTable:
    case StatementKind::CreateIndex:
    case StatementKind::DropIndex:
    case StatementKind::CreateView:
    case StatementKind::DropView:
      writes = true;
      break;
    default:
      break;
  }
  if (!writes) {
    RunStatement(s);
    conn_.lastError = 0;
    return;
  }
  sqlite3* db = conn_.db();
  auto run = [&](const char* sql) {
    sqlite3_stmt* st = conn_.cache.Get(db, sql);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE;
  };
  bool open = run("SAVEPOINT xf_stmt");
  try {
    RunStatement(s);
  } catch (...) {
    // A database attached mid-statement commits, and the savepoint goes with it.
    if (open && run("ROLLBACK TO xf_stmt")) run("RELEASE xf_stmt");
    conn_.SchemaChanged();
    throw;
  }
  if (open) run("RELEASE xf_stmt");
  conn_.lastError = 0;
}

Executor::Flow Executor::RunTryCatch(const Statement& s) {
  int depth = conn_.frame().depth;
  CaughtError caught;
  try {
    ++tryDepth_;
    Flow f = Run(*s.body[0]);
    --tryDepth_;
    return f;
  } catch (SqlError& e) {
    --tryDepth_;
    if (e.severity() <= 10) throw;
    // A name that does not resolve is a compile error of this scope: TRY does not see it,
    // unless it came from a procedure or dynamic SQL the TRY block called.
    bool nameError = e.number() == err::kInvalidObject || e.number() == err::kInvalidColumn ||
                     e.number() == 4104 || e.number() == err::kAmbiguousColumn;
    if (nameError && conn_.frame().depth == depth) throw;
    caught.number = e.number();
    caught.severity = e.severity();
    caught.state = e.state();
    caught.line = e.line();
    caught.message = e.message();
    caught.procedure = conn_.frame().procedure;
  }
  while (conn_.frame().depth > depth) LeaveScope();
  if (conn_.xactAbort && conn_.trancount() > 0) conn_.doomed = true;
  conn_.lastError = caught.number;
  conn_.caught.push_back(caught);
  Flow f;
  try {
    f = Run(*s.body[1]);
  } catch (...) {
    conn_.caught.pop_back();
    throw;
  }
  conn_.caught.pop_back();
  return f;
}

void Executor::Throw(const Statement& s) {
  if (s.args.empty()) {
    if (conn_.caught.empty())
      throw SqlError(10704,
                     "To rethrow an error, a THROW statement must be used inside a "
                     "CATCH block. Insert the THROW statement inside a CATCH block, or "
                     "add error parameters to the THROW statement.");
    const CaughtError& c = conn_.caught.back();
    throw BatchAbort(SqlError(c.number, c.message, c.severity, c.state, c.line));
  }
  Value number = Evaluate(*s.args[0].value);
  Value message = Evaluate(*s.args[1].value);
  Value state = Evaluate(*s.args[2].value);
  long long n = std::holds_alternative<long long>(number) ? std::get<long long>(number) : 0;
  if (n < 50000)
    throw SqlError(35100, "Error number " + std::to_string(n) +
                              " in the THROW statement is outside the valid range. Specify an "
                              "error number in the valid range of 50000 to 2147483647.");
  long long st = std::holds_alternative<long long>(state) ? std::get<long long>(state) : 1;
  throw BatchAbort(SqlError(static_cast<int>(n),
                            IsNull(message) ? std::string() : FormatValue(message), 16,
                            static_cast<int>(st)));
}

void Executor::DropDatabases(const Statement& s) {
  std::vector<std::string> names = s.dropNames;
  if (names.empty()) names.push_back(s.databaseName);
  for (const auto& name : names) {
    auto canonical = conn_.server().FindDatabase(name);
    if (!canonical && s.ifExists) continue;
    if (canonical && LowerName(*canonical) == LowerName(conn_.currentDatabase()))
      throw SqlError(3702,
                     "Cannot drop database \"" + *canonical + "\" because it is currently in use.");
    if (canonical) conn_.Forget(*canonical);
    conn_.server().DropDatabase(name);
  }
}

void Executor::RunStatement(const Statement& s) {
  switch (s.kind) {
    case StatementKind::Select:
      if (s.select->into)
        SelectInto(s);
      else
        SelectStatement(s);
      break;
    case StatementKind::Insert:
      if (s.execSource)
        InsertExec(s);
      else
        Insert(s);
      break;
    case StatementKind::Update: {
      Renderer r(conn_);
      Affected(Change(s, RenderingKept(s.plan, 'T', r, [&] { return r.Update(s); })));
      break;
    }
    case StatementKind::Delete: {
      Renderer r(conn_);
      Affected(Change(s, RenderingKept(s.plan, 'T', r, [&] { return r.Delete(s); })));
      break;
    }
    case StatementKind::Truncate:
      Truncate(s);
      break;
    case StatementKind::CreateTable:
      CreateTable(s);
      break;
    case StatementKind::DropTable:
      DropTable(s);
      break;
    case StatementKind::AlterTable:
      AlterTable(s);
      break;
    case StatementKind::CreateIndex:
      CreateIndex(s);
      break;
    case StatementKind::DropIndex:
      DropIndex(s);
      break;
    case StatementKind::CreateDatabase:
      conn_.server().CreateDatabase(s.databaseName);
      break;
    case StatementKind::DropDatabase:
      DropDatabases(s);
      break;
    case StatementKind::Use:
      conn_.Use(s.databaseName);
      conn_.rowcount = 0;
      break;
    case StatementKind::CreateProcedure:
      CreateProcedure(s);
      break;
    case StatementKind::DropProcedure:
      DropProcedure(s);
      break;
    case StatementKind::CreateView:
      CreateView(s);
      break;
    case StatementKind::DropView:
      DropView(s);
      break;
    case StatementKind::Declare:
      Declare(s);
      break;
    case StatementKind::SetVariable:
      Assign(s.assignments[0].target.back(), Evaluate(*s.assignments[0].value));
      conn_.rowcount = 1;  // a simple assignment counts one row
      break;
    case StatementKind::SetOption:
      SetOption(s);
      conn_.rowcount = 0;
      break;
    case StatementKind::Exec:
      ExecProcedure(s);
      break;
    case StatementKind::ExecString:
      ExecString(s);
      break;
    case StatementKind::Print: {
      Value v = Evaluate(*s.value);
      if (conn_.sink.message) conn_.sink.message(FormatValue(IsNull(v) ? Value{std::string()} : v));
      break;
    }
    case StatementKind::Raiserror:
      Raiserror(s);
      break;
    case StatementKind::BeginTran:
      conn_.BeginTran(s.optionValue);
      conn_.rowcount = 0;
      break;
    case StatementKind::CommitTran:
      if (conn_.doomed)
        throw SqlError(3930,
                       "The current transaction cannot be committed and cannot support "
                       "operations that write to the log file. Roll back the transaction.");
      conn_.CommitTran();
      conn_.rowcount = 0;
      break;
    case StatementKind::SaveTran:
      conn_.SaveTran(s.optionValue);
      break;
    case StatementKind::RollbackTran:
      RollbackKeepingTableVariables(s.optionValue);
      conn_.doomed = false;
      break;
    case StatementKind::Throw:
      Throw(s);
      break;
    case StatementKind::DeclareCursor:
      DeclareCursor(s);
      break;
    case StatementKind::OpenCursor:
      OpenCursor(s);
      break;
    case StatementKind::Fetch:
      Fetch(s);
      break;
    case StatementKind::CloseCursor:
      CloseCursor(s);
      break;
    case StatementKind::Deallocate:
      Deallocate(s);
      break;
    case StatementKind::Empty:
      break;
    default:
      throw SqlError(err::kUnsupported, "The T-SQL statement is not supported here.");
  }
}

ResultSet Executor::Query(const Rendered& r) {
  sqlite3* db = conn_.db();
  sqlite3_stmt* st = conn_.cache.Get(db, r.sql);
  NotePlan(db, r.sql);
  profile::Timer timer(profile::Phase::Step, r.sql);
  for (size_t i = 0; i < r.params.size(); ++i) BindValue(st, static_cast<int>(i + 1), r.params[i]);
  ResultSet rs;
  int n = sqlite3_column_count(st);
  for (int i = 0; i < n; ++i) {
    bool known = static_cast<size_t>(i) < r.columnNames.size();
    std::string name = known ? r.columnNames[i] : sqlite3_column_name(st, i);
    rs.fields.push_back(FieldOf(st, i, name, known ? &r.columnTypes[i] : nullptr));
    const char* schema = sqlite3_column_database_name(st, i);
    if (schema && !rs.fields.back().baseTable.empty())
      rs.fields.back().baseTable = conn_.TsqlName(schema, rs.fields.back().baseTable);
  }
  for (;;) {
    int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      sqlite3_reset(st);
      ThrowSqlite(db, rc);
    }
    std::vector<Value> row;
    row.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) row.push_back(ColumnValue(st, i));
    rs.rows.push_back(std::move(row));
  }
  sqlite3_reset(st);
  InferKinds(rs);
  conn_.rowcount = static_cast<long long>(rs.rows.size());
  return rs;
}

long long Executor::Dml(const Rendered& r, const Statement* source, ResultSet* rows) {
  sqlite3* db = conn_.db();
  sqlite3_stmt* st = conn_.cache.Get(db, r.sql);
  NotePlan(db, r.sql);
  profile::Timer timer(profile::Phase::Step, r.sql);
  for (size_t i = 0; i < r.params.size(); ++i) BindValue(st, static_cast<int>(i + 1), r.params[i]);
  const int n = rows ? sqlite3_column_count(st) : 0;
  for (int i = 0; i < n; ++i) {
    const bool known = static_cast<size_t>(i) < r.columnNames.size();
    rows->fields.push_back(FieldOf(st, i, known ? r.columnNames[i] : sqlite3_column_name(st, i),
                                   known ? &r.columnTypes[i] : nullptr));
  }
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (!rows) continue;
    std::vector<Value> row;
    row.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) row.push_back(ColumnValue(st, i));
    rows->rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) {
    sqlite3_reset(st);
    FailStep(rc, source);
  }
  sqlite3_reset(st);
  long long changes = sqlite3_changes64(db);
  conn_.rowcount = changes;
  return changes;
}

void Executor::Affected(long long rows) {
  if (!conn_.nocount && conn_.sink.rowsAffected) conn_.sink.rowsAffected(rows);
}

void Executor::SelectStatement(const Statement& s) {
  Renderer r(conn_);
  Rendered q = RenderingKept(s.plan, 'T', r, [&] { return r.Select(*s.select); });
  ResultSet rs = Query(q);
  bool assigns = std::any_of(s.select->items.begin(), s.select->items.end(),
                             [](const SelectItem& i) { return !i.assignVar.empty(); });
  if (!assigns) {
    onResult_(std::move(rs));
    return;
  }
  // SELECT @v = ... assigns from every row in turn; the last row's values stay.
  for (const auto& row : rs.rows)
    for (size_t i = 0; i < s.select->items.size() && i < row.size(); ++i)
      if (!s.select->items[i].assignVar.empty()) Assign(s.select->items[i].assignVar, row[i]);
}

void Executor::Insert(const Statement& s) {
  Renderer r(conn_);
  IdentityPlan plan;
  Rendered q = RenderingKept(s.plan, 'T', r, [&] { return r.Insert(s, plan); });
  conn_.identityRow = 0;
  long long rows = Change(s, q);
  FinishIdentity(plan, rows);
  conn_.rowcount = rows;
  Affected(rows);
}

long long Executor::Change(const Statement& s, const Rendered& r) {
  if (!s.output) return Dml(r, &s);
  ResultSet out;
  const long long changed = Dml(r, &s, &out);
  InferKinds(out);
  if (s.outputInto.object.empty()) {
    onResult_(std::move(out));
  } else if (!out.rows.empty()) {
    InsertRows(s.outputInto, s.outputColumns, out, &s);
  }
  conn_.rowcount = changed;
  return changed;
}

long long Executor::InsertRows(const ObjectName& target, const std::vector<std::string>& columns,
                               const ResultSet& rs, const Statement* source) {
  Renderer r(conn_);
  IdentityPlan plan;
  Rendered q = r.InsertValues(target, columns, rs.fields.size(), plan,
                              ValueTypes(rs.rows, rs.fields.size()));
  long long total = 0;
  for (const auto& row : rs.rows) {
    Rendered one = q;
    one.params = row;
    if (plan.active) one.params.push_back(plan.base + plan.step * (total + 1));
    Dml(one, source);
    ++total;
  }
  FinishIdentity(plan, total);
  return total;
}

void Executor::FinishIdentity(const IdentityPlan& plan, long long rows) {
  if (plan.explicitValues) {
    // Values given under IDENTITY_INSERT move the counter past them.
    Stmt st(conn_.db(), "UPDATE " + QuoteIdent(plan.schema) +
                            ".__xfer_identity SET last = "
                            "max(coalesce(last, seed - step), coalesce((SELECT max(" +
                            QuoteIdent(plan.column) + ") FROM " + QuoteIdent(plan.schema) + "." +
                            QuoteIdent(plan.table) + "), seed - step)) WHERE tbl = ?");
    sqlite3_bind_text(st.get(), 1, plan.table.c_str(), -1, SQLITE_TRANSIENT);
    st.Step();
    if (rows <= 0) return;
    // @@IDENTITY and SCOPE_IDENTITY report the value the last row was given.
    Stmt lastRow(conn_.db(), "SELECT " + QuoteIdent(plan.column) + " FROM " +
                                 QuoteIdent(plan.schema) + "." + QuoteIdent(plan.table) +
                                 " WHERE rowid = last_insert_rowid()");
    if (lastRow.Step() && sqlite3_column_type(lastRow.get(), 0) == SQLITE_INTEGER)
      conn_.identity = conn_.frame().scopeIdentity = sqlite3_column_int64(lastRow.get(), 0);
    return;
  }
  if (!plan.active || rows <= 0) return;
  long long last = plan.base + plan.step * rows;
  Stmt st(conn_.db(),
          "UPDATE " + QuoteIdent(plan.schema) + ".__xfer_identity SET last = ? WHERE tbl = ?");
  sqlite3_bind_int64(st.get(), 1, last);
  sqlite3_bind_text(st.get(), 2, plan.table.c_str(), -1, SQLITE_TRANSIENT);
  st.Step();
  conn_.identity = conn_.frame().scopeIdentity = last;
}

void Executor::InsertExec(const Statement& s) {
  std::vector<ResultSet> captured;
  ResultHandler saved = onResult_;
  onResult_ = [&](ResultSet&& rs) { captured.push_back(std::move(rs)); };
  try {
    if (s.execSource->kind == StatementKind::ExecString)
      ExecString(*s.execSource);
    else
      ExecProcedure(*s.execSource);
  } catch (...) {
    onResult_ = saved;
    throw;
  }
  onResult_ = saved;
  long long total = 0;
  for (const auto& rs : captured)
    if (!rs.rows.empty()) total += InsertRows(s.target, s.insertColumns, rs, &s);
  conn_.rowcount = total;
  Affected(total);
}

void Executor::SelectInto(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable target = r.Resolve(*s.select->into, false);
  if (r.Table(target))
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + target.name + "' in the database.");
  Rendered q = r.Query(*s.select);
  // A plain copy of one table's identity column keeps the identity property.
  std::string identityCol;
  long long seed = 1, step = 1;
  const struct Select& sel = *s.select;
  // A common table expression may carry a table's name; only real tables lend their columns.
  const bool oneTable = sel.with.empty() && sel.from.size() == 1 &&
                        sel.from[0]->kind == TableRef::Kind::Named && sel.setParts.empty();
  if (oneTable && sel.groupBy.empty() && sel.groupingSets.empty() && !sel.distinct) {
    ResolvedTable src = r.Resolve(sel.from[0]->name);
    if (auto info = r.Table(src); info && info->Identity()) {
      Stmt id(conn_.db(), "SELECT seed, step FROM " + QuoteIdent(src.schema) +
                              ".__xfer_identity WHERE tbl = ?");
      sqlite3_bind_text(id.get(), 1, info->name.c_str(), -1, SQLITE_TRANSIENT);
      if (id.Step()) {
        seed = sqlite3_column_int64(id.get(), 0);
        step = sqlite3_column_int64(id.get(), 1);
        bool direct = false;
        for (const auto& item : sel.items)
          direct =
              direct || item.expr->kind == ExprKind::Star ||
              (item.expr->kind == ExprKind::Column &&
               LowerName(item.expr->name.back()) == LowerName(info->Identity()->name) &&
               (item.alias.empty() || LowerName(item.alias) == LowerName(item.expr->name.back())));
        if (direct) identityCol = info->Identity()->name;
      }
    }
  }
  // Plain column references of a one-table query keep their NOT NULL, as SQL Server's
  // SELECT ... INTO keeps them.
  std::vector<bool> notNull(q.columnNames.size(), false);
  if (sel.with.empty() && sel.setParts.empty() &&
      !(sel.from.size() == 1 && sel.from[0]->kind == TableRef::Kind::Named))
    InnerJoinNotNull(r, sel, notNull);
  if (oneTable) {
    if (auto info = r.Table(r.Resolve(sel.from[0]->name))) {
      size_t out = 0;
      for (const auto& item : sel.items) {
        if (item.expr->kind == ExprKind::Star) {
          for (const auto& c : info->columns)
            if (out < notNull.size()) notNull[out++] = c.notNull || c.identity;
        } else {
          if (item.expr->kind == ExprKind::Column && out < notNull.size())
            if (const ColumnInfo* c = info->Find(item.expr->name.back()))
              notNull[out] = c->notNull || c->identity;
          ++out;
        }
      }
    }
  }
  std::string cols;
  for (size_t i = 0; i < q.columnNames.size(); ++i) {
    const std::string& name = q.columnNames[i];
    if (name.empty())
      throw SqlError(1038,
                     "An object or column name is missing or empty. For SELECT INTO "
                     "statements, verify each column has a name.");
    for (size_t k = 0; k < i; ++k)
      if (LowerName(q.columnNames[k]) == LowerName(name))
        throw SqlError(2705, "Column names in each table must be unique. Column name '" + name +
                                 "' in table '" + target.name + "' is specified more than once.");
    ColumnDef def;
    def.name = name;
    const ExprType& t = q.columnTypes[i];
    if (t.cls == TypeClass::Unknown || t.declared.name.empty()) {
      def.type.name = "varchar";
      def.type.length = 8000;
    } else {
      def.type = t.declared;
      if (def.type.name == "char" || def.type.name == "varchar" || def.type.name == "nvarchar" ||
          def.type.name == "nchar")
        if (def.type.length < 0 && def.type.length != -2) def.type.length = 30;
    }
    def.identity = !identityCol.empty() && LowerName(name) == LowerName(identityCol);
    def.notNull = notNull[i];
    cols += (cols.empty() ? "" : ", ") + ColumnSql(def, false);
  }
  std::string qualified = r.QualifiedName(target);
  // Owned before it exists, as CREATE TABLE does.
  if (target.isGlobalTemp) conn_.OwnGlobal(target.name);
  Exec(conn_.db(), "CREATE TABLE " + qualified + " (" + cols + ")");
  conn_.TablesChanged(target.schema);
  if (target.isTempTable) conn_.frame().tempTables.push_back(target.name);
  Rendered insert = q;
  insert.sql = "INSERT INTO " + qualified + " " + q.sql;
  long long rows = Dml(insert);
  if (!identityCol.empty()) {
    std::string schema = QuoteIdent(target.schema);
    Stmt id(conn_.db(), "INSERT OR REPLACE INTO " + schema +
                            ".__xfer_identity (tbl, col, seed, step, last) VALUES (?, ?, ?, ?, "
                            "(SELECT max(" +
                            QuoteIdent(identityCol) + ") FROM " + qualified + "))");
    sqlite3_bind_text(id.get(), 1, target.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(id.get(), 2, identityCol.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(id.get(), 3, seed);
    sqlite3_bind_int64(id.get(), 4, step);
    id.Step();
    conn_.TablesChanged(target.schema);
  }
  Affected(rows);
}

// Columns taken as they are from the tables of inner joins keep NOT NULL (an identity column
// becomes a plain NOT NULL one); an outer join makes every column nullable.
void Executor::InnerJoinNotNull(Renderer& r, const struct Select& sel, std::vector<bool>& notNull) {
  std::vector<std::pair<std::string, TableInfo>> tables;  // lower alias or name, shape
  bool outer = false;
  std::function<void(const TableRef&)> walk = [&](const TableRef& ref) {
    if (ref.kind == TableRef::Kind::Join) {
      outer = outer || ref.joinType == JoinType::Left || ref.joinType == JoinType::Right ||
              ref.joinType == JoinType::Full || ref.joinType == JoinType::OuterApply;
      walk(*ref.left);
      walk(*ref.right);
    } else if (ref.kind == TableRef::Kind::Named) {
      if (auto info = r.Table(r.Resolve(ref.name, false)))
        tables.emplace_back(LowerName(ref.alias.empty() ? ref.name.object : ref.alias), *info);
    }
  };
  for (const auto& ref : sel.from) walk(*ref);
  if (outer) return;
  for (size_t i = 0; i < sel.items.size() && i < notNull.size(); ++i) {
    const Expr& e = *sel.items[i].expr;
    if (e.kind == ExprKind::Star) return;  // positions no longer follow the items
    if (e.kind != ExprKind::Column) continue;
    std::string qualifier = e.name.size() >= 2 ? LowerName(e.name[e.name.size() - 2]) : "";
    const ColumnInfo* found = nullptr;
    int matches = 0;
    for (const auto& [alias, info] : tables) {
      if (!qualifier.empty() && alias != qualifier) continue;
      if (const ColumnInfo* c = info.Find(e.name.back())) {
        found = c;
        ++matches;
      }
    }
    if (matches == 1) notNull[i] = found->notNull || found->identity;
  }
}

void Executor::EndBatchScope() {
  DropTableVariables();
  conn_.frame().cursors.clear();
}

void Executor::LeaveScope() {
  DropTableVariables();
  for (const auto& t : conn_.frame().tempTables)
    Exec(conn_.db(), "DROP TABLE IF EXISTS temp." + QuoteIdent(t));
  if (!conn_.frame().tempTables.empty()) conn_.TablesChanged(kTempSchema);
  conn_.PopFrame();
}

}  // namespace xfer::engine
