#include "engine/conn_state.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/error.h"
#include "engine/fault_points.h"
#include "engine/func/functions.h"
#include "engine/page_memory.h"
#include "engine/profile.h"
#include "engine/sqlite_util.h"
#include "engine/types.h"

namespace xfer::engine {

void RegisterEngineFunctions(sqlite3* db, ConnectionState* conn);  // engine_functions.cpp

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The key of a database name: case and trailing blanks do not count.
std::string DbKey(std::string_view name) {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return Lower(name);
}

// Attached databases beyond master and tempdb that one handle keeps at once.
constexpr size_t kMaxAttached = 10;

}  // namespace

const ColumnInfo* TableInfo::Find(std::string_view column) const {
  std::string want = Lower(column);
  for (const auto& c : columns)
    if (Lower(c.name) == want) return &c;
  return nullptr;
}

const ColumnInfo* TableInfo::Identity() const {
  for (const auto& c : columns)
    if (c.identity) return &c;
  return nullptr;
}

StatementCache::~StatementCache() {
  Clear();
}

sqlite3_stmt* StatementCache::Get(sqlite3* db, const std::string& sql) {
  // XFER_TRACE_SQL=1 shows every statement as SQLite receives it.
  static const bool trace = std::getenv("XFER_TRACE_SQL") != nullptr;
  if (trace) std::fprintf(stderr, "[sqlite] %s\n", sql.c_str());
  auto it = index_.find(sql);
  if (it != index_.end()) {
    lru_.splice(lru_.begin(), lru_, it->second);
    sqlite3_stmt* s = it->second->second;
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return s;
  }
  // Kept under the text the renderer wrote; SQLite gets it with its tokens kept apart.
  const std::string text = SeparateTokens(sql);
  sqlite3_stmt* s = nullptr;
  int rc;
  {
    profile::Timer t(profile::Phase::Prepare);
    rc = sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &s, nullptr);
  }
  if (rc != SQLITE_OK) {
    sqlite3_finalize(s);
    ThrowSqlite(db, rc);
  }
  // XFER_TRACE_PLAN=1 shows how SQLite runs each statement it prepares.
  static const bool plan = std::getenv("XFER_TRACE_PLAN") != nullptr;
  if (plan) {
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + text).c_str(), -1, &q, nullptr) ==
        SQLITE_OK) {
      std::fprintf(stderr, "[plan] %s\n", sql.c_str());
      while (sqlite3_step(q) == SQLITE_ROW)
        std::fprintf(stderr, "[plan]   %s\n",
                     reinterpret_cast<const char*>(sqlite3_column_text(q, 3)));
    }
    sqlite3_finalize(q);
  }
  lru_.emplace_front(sql, s);
  index_[sql] = lru_.begin();
  bytes_ += sql.size();
  // Long texts (a many-row INSERT ... VALUES) count by size too: their programs are large and
  // seldom run twice. The few used last stay: one may be stepping while a function it calls
  // prepares another.
  while (lru_.size() > capacity_ || (lru_.size() > 4 && bytes_ > kTextBudget)) {
    sqlite3_finalize(lru_.back().second);
    bytes_ -= lru_.back().first.size();
    index_.erase(lru_.back().first);
    lru_.pop_back();
  }
  return s;
}

void StatementCache::Clear() {
  for (auto& [sql, s] : lru_) sqlite3_finalize(s);
  lru_.clear();
  index_.clear();
  bytes_ = 0;
}

ConnectionState::ConnectionState(ServerState& server, std::string_view database)
    : server_(server), id_(server.NextConnectionId()) {
  fault::Arm();
  ReservePageMemory();
  ownerTag_ = std::to_string(::getpid()) + ":" + std::to_string(id_);
  int rc = sqlite3_open_v2(
      ":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) throw SqlError(701, "There is insufficient system memory.");
  fault::Watch(db_);
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  sqlite3_extended_result_codes(db_, 0);
  // "name" is always an identifier, never SQLite's fallback string literal.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  if (RegisterFunctions(db_) != SQLITE_OK) throw SqlError(50001, "Cannot install functions.");
  RegisterEngineFunctions(db_, this);
  // SQLite 3.40 builds automatic indexes with the column's own collation even when the
  // comparison names another one, which loses rows of text joins against derived tables.
  Exec(db_, "PRAGMA temp_store=MEMORY; PRAGMA automatic_index=OFF; PRAGMA analysis_limit=1000");
  // A transfer commits table by table; the log is copied into the database every 32 MB
  // rather than every 4 MB, so a page written by several units is copied once.
  sqlite3_wal_autocheckpoint(db_, 8000);
  EnsureBookkeeping(db_, kTempSchema);
  frames_.push_back(std::make_unique<Frame>());
  Attach("master");
  Attach("tempdb");
  std::string want = database.empty() ? std::string("master") : std::string(database);
  auto canonical = server_.FindDatabase(want);
  if (!canonical)
    throw SqlError(err::kDatabaseMissing, "Database '" + want +
                                              "' does not exist. Make sure that the name is "
                                              "entered correctly.");
  SchemaFor(*canonical);
  frame().database = *canonical;
}

ConnectionState::~ConnectionState() {
  cache.Clear();
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  for (const auto& name : ownedGlobals_) {
    std::string drop = "DROP TABLE IF EXISTS tempdb." + QuoteIdent(name);
    // A table that could not be dropped keeps its owner row, so the next connection drops it.
    if (sqlite3_exec(db_, drop.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) continue;
    for (const char* sql : {"DELETE FROM tempdb.__xfer_owner WHERE name = ?",
                            "DELETE FROM tempdb.__xfer_identity WHERE tbl = ?"}) {
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(st);
      }
      sqlite3_finalize(st);
    }
  }
  sqlite3_close_v2(db_);
}

bool ConnectionState::InTransaction() const {
  return !sqlite3_get_autocommit(db_);
}

void ConnectionState::Attach(const std::string& canonical) {
  ++catalogEpoch_;
  std::string lower = Lower(canonical);
  std::string schema = lower;
  if (schema == "main" || schema == "temp") schema = "db_" + schema;
  if (attached_.size() >= kMaxAttached) {
    // Let go of the database used least recently; master and tempdb stay.
    for (auto it = attachOrder_.begin(); it != attachOrder_.end(); ++it) {
      if (*it == "master" || *it == "tempdb" || *it == Lower(frame().database)) continue;
      cache.Clear();
      TablesChanged(attached_[*it]);
      Exec(db_, "DETACH DATABASE " + QuoteIdent(attached_[*it]));
      attached_.erase(*it);
      canonical_.erase(*it);
      attachOrder_.erase(it);
      break;
    }
  }
  sqlite3_stmt* raw = nullptr;
  std::string sql = "ATTACH DATABASE ? AS " + QuoteIdent(schema);
  sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr);
  std::string path = server_.FilePath(canonical);
  sqlite3_bind_text(raw, 1, path.c_str(), -1, SQLITE_TRANSIENT);
  int rc = sqlite3_step(raw);
  sqlite3_finalize(raw);
  if (rc != SQLITE_DONE) {
    if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)
      ThrowDamaged(path, rc, sqlite3_errmsg(db_));
    ThrowSqlite(db_, rc);
  }
  std::string q = QuoteIdent(schema);
  // A damaged file is refused here, by name, rather than failing some later statement. Every
  // database the server made has the bookkeeping tables, so an empty file is damaged too.
  {
    sqlite3_stmt* st = nullptr;
    std::string count = "SELECT count(*) FROM " + q + ".sqlite_master";
    int prc = sqlite3_prepare_v2(db_, count.c_str(), -1, &st, nullptr);
    int src = prc == SQLITE_OK ? sqlite3_step(st) : prc;
    long long objects = src == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    std::string detail = sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    if (src != SQLITE_ROW || objects == 0) {
      sqlite3_exec(db_, ("DETACH DATABASE " + q).c_str(), nullptr, nullptr, nullptr);
      if (src == SQLITE_ROW) ThrowDamaged(path, SQLITE_NOTADB, "the file is empty");
      if ((src & 0xff) == SQLITE_NOTADB || (src & 0xff) == SQLITE_CORRUPT)
        ThrowDamaged(path, src, detail);
      ThrowMessage(src, detail);
    }
  }
  // tempdb is scratch, made afresh when damaged (PrepareTempdb): nothing there waits for a flush.
  Exec(db_, "PRAGMA " + q + ".synchronous=" + (lower == "tempdb" ? "OFF" : "NORMAL") + "; PRAGMA " +
                q + ".cache_size=-32000");
  // Databases made by earlier versions lack the newer bookkeeping tables (views); one that
  // cannot be written now is still read as it is.
  try {
    EnsureBookkeeping(db_, schema);
  } catch (const SqlError&) {
  }
  Analyze(schema);
  attached_[lower] = schema;
  canonical_[lower] = canonical;
  attachOrder_.push_back(lower);
}

// SQLite plans joins from table statistics, as SQL Server does from the statistics it keeps
// by itself; without them SQLite takes every table for a million rows and every index key for
// ten, and walks a whole detail table per call where one account's rows would do. A database
// never measured (or measured while still empty) is measured when first opened, on a sample of
// each index, so it costs milliseconds; one that another connection is writing is left alone.
void ConnectionState::Analyze(const std::string& schema) {
  const std::string q = QuoteIdent(schema);
  auto count = [&](const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    long long n = -1;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
  };
  if (count("SELECT count(*) FROM " + q + ".sqlite_master WHERE type = 'index'") <= 0) return;
  if (count("SELECT count(*) FROM " + q + ".sqlite_master WHERE name = 'sqlite_stat1'") > 0 &&
      count("SELECT count(*) FROM " + q + ".sqlite_stat1") > 0)
    return;
  sqlite3_busy_timeout(db_, 0);
  sqlite3_exec(db_, ("ANALYZE " + q).c_str(), nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(db_, kBusyWaitMs);
}

std::string ConnectionState::SchemaFor(std::string_view database) {
  std::string lower = DbKey(database);
  auto it = attached_.find(lower);
  if (it != attached_.end()) {
    auto pos = std::find(attachOrder_.begin(), attachOrder_.end(), lower);
    if (pos != attachOrder_.end()) attachOrder_.splice(attachOrder_.end(), attachOrder_, pos);
    return it->second;
  }
  auto canonical = server_.FindDatabase(database);
  if (!canonical)
    throw SqlError(err::kDatabaseMissing, "Database '" + std::string(database) +
                                              "' does not exist. Make sure that the name is "
                                              "entered correctly.");
  if (InTransaction()) {
    // SQLite cannot attach inside a transaction: the batch's implicit one is committed first.
    if (trancount_ > 0 || !implicitOpen_)
      throw SqlError(err::kUnsupported, "Database '" + std::string(database) +
                                            "' cannot be opened inside a transaction; "
                                            "name it before BEGIN TRANSACTION.");
    Exec(db_, "COMMIT");
    Attach(*canonical);
    Exec(db_, "BEGIN");
  } else {
    Attach(*canonical);
  }
  return attached_[lower];
}

std::string ConnectionState::TsqlName(const std::string& schema, const std::string& table) const {
  if (schema == kTempSchema || (schema == kTempdbSchema && table.starts_with("##"))) return table;
  for (const auto& [lower, s] : attached_)
    if (s == schema) {
      auto canonical = canonical_.find(lower);
      return (canonical != canonical_.end() ? canonical->second : lower) + ".." + table;
    }
  return table;
}

std::string ConnectionState::CanonicalName(std::string_view database) {
  // Attached databases answer without a look at the server's directory.
  SchemaFor(database);
  return canonical_.at(DbKey(database));
}

std::optional<std::string> ConnectionState::AttachedSchema(std::string_view database) const {
  auto it = attached_.find(DbKey(database));
  if (it == attached_.end()) return std::nullopt;
  return it->second;
}

void ConnectionState::Prepare(const std::vector<std::string>& names) {
  for (const auto& n : names) {
    if (attached_.count(DbKey(n))) continue;
    if (attached_.size() >= kMaxAttached) break;
    if (server_.FindDatabase(n)) SchemaFor(n);
  }
}

void ConnectionState::Use(std::string_view database) {
  std::string schema = SchemaFor(database);
  (void)schema;
  frame().database = CanonicalName(database);
}

void ConnectionState::Forget(std::string_view database) {
  ++catalogEpoch_;
  std::string lower = DbKey(database);
  auto it = attached_.find(lower);
  if (it == attached_.end()) return;
  cache.Clear();
  bool reopen = InTransaction() && implicitOpen_ && trancount_ == 0;
  if (reopen) Exec(db_, "COMMIT");
  Exec(db_, "DETACH DATABASE " + QuoteIdent(it->second));
  attached_.erase(it);
  canonical_.erase(lower);
  attachOrder_.remove(lower);
  tableCache_.clear();
  if (reopen) Exec(db_, "BEGIN");
}

std::optional<TableInfo> ConnectionState::LoadTable(const std::string& schema,
                                                    std::string_view name) {
  profile::Timer timer(profile::Phase::Catalog);
  std::string key = Lower(schema) + '\x1f' + Lower(name);
  // Asked for every table a statement names. A shape is reused while its schema's version is
  // the one it was read at: work tables come and go in temp without the others being read again.
  long long version = SchemaVersion(schema);
  if (auto it = tableCache_.find(key); it != tableCache_.end() && it->second.version == version)
    return it->second.info;

  TableInfo info;
  info.schema = schema;
  bool view = false;
  {
    CachedStmt s(*this, "SELECT name, type FROM " + QuoteIdent(schema) +
                            ".sqlite_master WHERE type IN ('table','view') AND name = ? "
                            "COLLATE NOCASE");
    sqlite3_bind_text(s.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    if (!s.Step()) {
      tableCache_.erase(key);
      return std::nullopt;
    }
    info.name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
    view =
        std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1))) == "view";
  }
  {
    CachedStmt s(*this,
                 "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?, ?)");
    sqlite3_bind_text(s.get(), 1, info.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s.get(), 2, schema.c_str(), -1, SQLITE_TRANSIENT);
    while (s.Step()) {
      ColumnInfo c;
      c.name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
      const unsigned char* type = sqlite3_column_text(s.get(), 1);
      c.type = ParseTypeText(type ? reinterpret_cast<const char*>(type) : "");
      c.notNull = sqlite3_column_int(s.get(), 2) != 0;
      const unsigned char* dflt = sqlite3_column_text(s.get(), 3);
      if (dflt) c.defaultSql = reinterpret_cast<const char*>(dflt);
      c.primaryKey = sqlite3_column_int(s.get(), 4) != 0;
      info.columns.push_back(std::move(c));
    }
  }
  if (view) {
    // SQLite knows the types of a view's plain columns only; the engine kept them all.
    CachedStmt s(*this, "SELECT types FROM " + QuoteIdent(schema) + ".__xfer_views WHERE name = ?");
    sqlite3_bind_text(s.get(), 1, info.name.c_str(), -1, SQLITE_TRANSIENT);
    if (s.Step() && sqlite3_column_text(s.get(), 0)) {
      std::string types = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
      size_t start = 0;
      for (auto& c : info.columns) {
        size_t tab = types.find('\t', start);
        std::string text = types.substr(start, tab == std::string::npos ? tab : tab - start);
        if (!text.empty()) c.type = ParseTypeText(text);
        if (tab == std::string::npos) break;
        start = tab + 1;
      }
    }
  }
  {
    CachedStmt s(*this, "SELECT col FROM " + QuoteIdent(schema) + ".__xfer_identity WHERE tbl = ?");
    sqlite3_bind_text(s.get(), 1, info.name.c_str(), -1, SQLITE_TRANSIENT);
    while (s.Step()) {
      std::string col = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
      for (auto& c : info.columns)
        if (Lower(c.name) == Lower(col)) c.identity = true;
    }
  }
  tableCache_[key] = CachedShape{version, info};
  return info;
}

long long ConnectionState::SchemaVersion(const std::string& schema) {
  try {
    sqlite3_stmt* v = cache.Get(db_, "PRAGMA " + QuoteIdent(schema) + ".schema_version");
    long long version = sqlite3_step(v) == SQLITE_ROW ? sqlite3_column_int64(v, 0) : -1;
    sqlite3_reset(v);
    return version;
  } catch (const SqlError&) {
    return -1;  // a schema no longer attached
  }
}

void ConnectionState::SchemaChanged() {
  ++catalogEpoch_;
  tableCache_.clear();
}

void ConnectionState::TablesChanged(std::string_view schema) {
  const std::string prefix = Lower(schema) + '\x1f';
  for (auto it = tableCache_.lower_bound(prefix);
       it != tableCache_.end() && it->first.compare(0, prefix.size(), prefix) == 0;)
    it = tableCache_.erase(it);
}

CachedStmt::CachedStmt(ConnectionState& conn, const std::string& sql)
    : db_(conn.db()), stmt_(conn.cache.Get(conn.db(), sql)) {}

CachedStmt::~CachedStmt() {
  sqlite3_reset(stmt_);
}

bool CachedStmt::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  ThrowSqlite(db_, rc);
}

void ConnectionState::PushFrame(std::string database) {
  if (frames_.size() > 32)
    throw SqlError(217,
                   "Maximum stored procedure, function, trigger, or view nesting level "
                   "exceeded (limit 32).");
  auto f = std::make_unique<Frame>();
  f->database = std::move(database);
  f->depth = static_cast<int>(frames_.size());
  frames_.push_back(std::move(f));
}

void ConnectionState::PopFrame() {
  if (frames_.size() > 1) frames_.pop_back();
}

void ConnectionState::BeginBatch() {
  if (!InTransaction()) {
    Exec(db_, "BEGIN");
    implicitOpen_ = true;
  }
}

void ConnectionState::EndBatch(bool ok) {
  if (!InTransaction()) {
    trancount_ = 0;
    return;
  }
  if (!ok && (trancount_ == 0 || xactAbort)) {
    Exec(db_, "ROLLBACK");
    trancount_ = 0;
    implicitOpen_ = false;
    SchemaChanged();
    return;
  }
  if (trancount_ == 0) {
    Exec(db_, "COMMIT");
    implicitOpen_ = false;
  }
}

void ConnectionState::BeginTran(const std::string& name) {
  // The outermost BEGIN TRAN takes the write locks at once, waiting for another connection
  // that holds them: once a transaction has read, SQLite refuses its upgrade to a writer
  // without waiting, and the unit would fail the moment another transfer held the database.
  // What the batch did before stands committed, as each statement of it would in SQL Server,
  // so the transaction is SQLite's own and not a savepoint inside the batch's: SQLite keeps in
  // memory every page a savepoint may have to give back, a whole period's for a long unit.
  if (trancount_ == 0) {
    if (InTransaction()) Exec(db_, "COMMIT");
    Exec(db_, "BEGIN IMMEDIATE");
    implicitOpen_ = true;
    tranName_ = Lower(name);
    savepoints_.clear();
  }
  ++trancount_;
}

void ConnectionState::SaveTran(const std::string& name) {
  if (trancount_ == 0)
    throw SqlError(628, "Cannot issue SAVE TRANSACTION when there is no active transaction.");
  savepoints_.push_back(Lower(name));
  Exec(db_, "SAVEPOINT " + QuoteIdent("xfer_save_" + savepoints_.back()));
}

void ConnectionState::CommitTran() {
  if (trancount_ == 0)
    throw SqlError(3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
  // The rest of the batch runs in a transaction of its own again.
  if (--trancount_ == 0) Exec(db_, "COMMIT; BEGIN");
}

void ConnectionState::RollbackTran(const std::string& name) {
  if (trancount_ == 0)
    throw SqlError(3903,
                   "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
  std::string lower = Lower(name);
  if (!lower.empty() && lower != tranName_) {
    auto it = std::find(savepoints_.rbegin(), savepoints_.rend(), lower);
    if (it == savepoints_.rend())
      throw SqlError(6401, "Cannot roll back " + name +
                               ". No transaction or savepoint of that name was found.");
    // Back to the savepoint; the transaction and the savepoint itself stay.
    Exec(db_, "ROLLBACK TO " + QuoteIdent("xfer_save_" + lower));
    savepoints_.erase(it.base(), savepoints_.end());
    SchemaChanged();
    return;
  }
  savepoints_.clear();
  Exec(db_, "ROLLBACK; BEGIN");
  trancount_ = 0;
  SchemaChanged();
}

void ConnectionState::OwnGlobal(const std::string& name) {
  std::string lower = Lower(name);
  if (std::find(ownedGlobals_.begin(), ownedGlobals_.end(), lower) == ownedGlobals_.end())
    ownedGlobals_.push_back(lower);
  Stmt s(db_, "INSERT OR REPLACE INTO tempdb.__xfer_owner (name, owner) VALUES (?, ?)");
  sqlite3_bind_text(s.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(s.get(), 2, ownerTag_.c_str(), -1, SQLITE_TRANSIENT);
  s.Step();
}

void ConnectionState::DisownGlobal(const std::string& name) {
  std::string lower = Lower(name);
  ownedGlobals_.erase(std::remove(ownedGlobals_.begin(), ownedGlobals_.end(), lower),
                      ownedGlobals_.end());
  Stmt s(db_, "DELETE FROM tempdb.__xfer_owner WHERE name = ?");
  sqlite3_bind_text(s.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  s.Step();
}

}  // namespace xfer::engine
