// What a connection carries between statements: its SQLite handle (an in-memory main database
// with every period database it touches attached under its own name), the current database,
// variables, transaction depth, @@ROWCOUNT/@@IDENTITY, the global temporary tables it owns,
// and a cache of prepared statements.
#pragma once

#include <sqlite3.h>

#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ast.h"
#include "engine/batch_cache.h"
#include "engine/engine.h"
#include "engine/server_state.h"
#include "engine/value.h"

namespace xfer::engine {

struct ColumnInfo {
  std::string name;
  TypeName type;
  bool notNull = false;
  bool primaryKey = false;
  bool identity = false;
  std::string defaultSql;  // SQLite default expression text, empty when none
};

// A table as the binder sees it.
struct TableInfo {
  std::string schema;  // SQLite schema name it lives in ("temp" for #tables)
  std::string name;    // name as stored
  std::vector<ColumnInfo> columns;
  const ColumnInfo* Find(std::string_view column) const;
  const ColumnInfo* Identity() const;
};

struct Variable {
  TypeName type;
  Value value;
};

struct Rendered;

// A cursor: the query as rendered when it was declared (variables taken at that moment), and
// once opened the rows it read then, walked by FETCH.
struct Cursor {
  std::string name;  // as declared
  bool scroll = false;
  bool insensitive = false;  // STATIC, KEYSET or INSENSITIVE: @@CURSOR_ROWS counts its rows
  std::shared_ptr<const Rendered> query;
  bool open = false;
  std::vector<Field> fields;
  std::vector<std::vector<Value>> rows;
  long long position = -1;  // row last fetched; -1 before the first, rows.size() past the last
};

// Variables of one scope: a batch, or one procedure call.
struct Frame {
  std::map<std::string, Variable> vars;   // lower-case name with '@'
  std::string database;                   // database the frame's unqualified names resolve in
  int depth = 0;                          // procedure nesting
  std::vector<std::string> tempTables;    // #tables created in this scope, dropped with it
  std::string procedure;                  // name of the procedure running in this frame
  long long scopeIdentity = 0;            // SCOPE_IDENTITY(): the last identity of this scope
  std::map<std::string, Cursor> cursors;  // LOCAL cursors, lower name
  // Table variables, lower name with '@' -> the name of the table that holds their rows.
  std::map<std::string, std::string> tableVars;
};

// An error a CATCH block is handling, as ERROR_NUMBER() and its siblings report it.
struct CaughtError {
  int number = 0;
  int severity = 16;
  int state = 1;
  int line = 0;
  std::string message;
  std::string procedure;  // empty outside a procedure
};

class StatementCache {
 public:
  explicit StatementCache(size_t capacity = 256) : capacity_(capacity) {}
  ~StatementCache();
  // A reset prepared statement for `sql`, owned by the cache.
  sqlite3_stmt* Get(sqlite3* db, const std::string& sql);
  void Clear();

 private:
  static constexpr size_t kTextBudget = 1 << 20;
  size_t capacity_;
  size_t bytes_ = 0;  // length of the texts kept
  std::list<std::pair<std::string, sqlite3_stmt*>> lru_;
  std::unordered_map<std::string, std::list<std::pair<std::string, sqlite3_stmt*>>::iterator>
      index_;
};

class ConnectionState {
 public:
  ConnectionState(ServerState& server, std::string_view database);
  ~ConnectionState();

  sqlite3* db() const { return db_; }
  ServerState& server() { return server_; }

  // The SQLite schema name of database `name`, attaching it when needed.
  // Throws SqlError 911 when the server has no such database.
  std::string SchemaFor(std::string_view database);
  // How T-SQL names a table of a SQLite schema: "#t", "##t" or "db..t".
  std::string TsqlName(const std::string& schema, const std::string& table) const;
  // The schema of `database` when it is attached already (never attaches).
  std::optional<std::string> AttachedSchema(std::string_view database) const;
  // Attaches every database of `names` that exists, before a transaction starts.
  void Prepare(const std::vector<std::string>& names);
  // The name of `database` as the server spells it, attaching it when needed (SqlError 911
  // when there is none).
  std::string CanonicalName(std::string_view database);
  // Canonical name of the current database.
  const std::string& currentDatabase() const { return frame().database; }
  void Use(std::string_view database);
  // Detaches `database` if attached (before it is dropped).
  void Forget(std::string_view database);

  // Schema of a table in a SQLite schema, or nullopt.
  std::optional<TableInfo> LoadTable(const std::string& schema, std::string_view name);
  // SQLite's count of schema changes of an attached schema; -1 when it cannot be read.
  long long SchemaVersion(const std::string& schema);
  // Changes whenever a database is attached or let go, or shapes are forgotten after a
  // rollback: a schema's version then no longer tells one state of it from another.
  long long catalogEpoch() const { return catalogEpoch_; }
  // Forgets every table shape read: after a rollback, when a schema's version may come back
  // with another shape.
  void SchemaChanged();
  // Forgets the shapes read in one SQLite schema, after DDL or side-table writes there.
  void TablesChanged(std::string_view schema);

  Frame& frame() { return *frames_.back(); }
  const Frame& frame() const { return *frames_.back(); }
  // Every scope from the batch's outwards to the innermost.
  std::vector<Frame*> Frames() {
    std::vector<Frame*> out;
    for (auto& f : frames_) out.push_back(f.get());
    return out;
  }
  void PushFrame(std::string database);
  void PopFrame();

  // Transactions: the batch's own implicit one and the user's BEGIN TRAN depth.
  void BeginBatch();
  void EndBatch(bool ok);
  void BeginTran(const std::string& name = {});
  void CommitTran();
  // Without a name, or with the outermost transaction's, everything goes back to level 0;
  // with a savepoint's name only the work after it (error 6401 for an unknown name).
  void RollbackTran(const std::string& name = {});
  void SaveTran(const std::string& name);  // error 628 outside a transaction
  int trancount() const { return trancount_; }

  // Global temporary tables owned by this connection, dropped when it closes.
  void OwnGlobal(const std::string& name);
  void DisownGlobal(const std::string& name);

  long long rowcount = 0;
  long long identity = 0;           // @@IDENTITY
  long long identityRow = 0;        // rows the running INSERT has numbered (xf_identity_next)
  int lastError = 0;                // @@ERROR
  std::vector<CaughtError> caught;  // errors of the CATCH blocks running, innermost last
  bool doomed = false;  // an error under XACT_ABORT inside TRY: only a rollback may follow
  bool xactAbort = false;
  bool nocount = false;
  std::map<std::string, Cursor> globalCursors;  // lower name
  long long fetchStatus = -1;                   // @@FETCH_STATUS
  long long cursorRows = 0;                     // @@CURSOR_ROWS
  std::map<std::string, bool> identityInsert;   // lower table name -> SET IDENTITY_INSERT ON
  MessageSink sink;
  StatementCache cache;
  BatchCache batches;  // client batches and dynamic SQL, parsed once per shape
  // Parsed procedure texts, keyed by the text itself so an ALTER is never served stale.
  std::unordered_map<std::string, std::shared_ptr<Batch>> procedures;
  long long id() const { return id_; }
  const std::string& ownerTag() const { return ownerTag_; }

 private:
  void Attach(const std::string& canonical);
  void Analyze(const std::string& schema);
  bool InTransaction() const;

  ServerState& server_;
  sqlite3* db_ = nullptr;
  long long id_;
  std::string ownerTag_;
  std::map<std::string, std::string> attached_;   // lower name -> schema name
  std::map<std::string, std::string> canonical_;  // lower name -> name as the server spells it
  std::list<std::string> attachOrder_;            // lower names, least recently used first
  std::vector<std::unique_ptr<Frame>> frames_;
  struct CachedShape {
    long long version;  // the schema's version when the shape was read
    TableInfo info;
  };
  std::map<std::string, CachedShape> tableCache_;  // "schema\x1fname" lower
  long long catalogEpoch_ = 0;
  int trancount_ = 0;
  std::string tranName_;                 // lower name of the outermost BEGIN TRAN
  std::vector<std::string> savepoints_;  // lower names of SAVE TRAN, oldest first
  bool implicitOpen_ = false;
  std::vector<std::string> ownedGlobals_;
};

// A statement of the connection's cache for the length of a block, reset when it ends. Only for
// blocks that run no other statement of the cache meanwhile (the cache may evict).
class CachedStmt {
 public:
  CachedStmt(ConnectionState& conn, const std::string& sql);
  ~CachedStmt();
  CachedStmt(const CachedStmt&) = delete;
  CachedStmt& operator=(const CachedStmt&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  // One step; true while a row is available. Throws SqlError on failure.
  bool Step();

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_;
};

// SQLite schema names used for the system databases and #tables.
inline constexpr const char* kTempSchema = "temp";
inline constexpr const char* kTempdbSchema = "tempdb";

}  // namespace xfer::engine
