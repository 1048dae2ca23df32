// Names of key constraints and the errors that report their violation. SQLite keeps a table's
// primary key in its definition, where the engine writes the constraint's name; unique
// constraints and unique indexes are SQLite indexes named "table$name" ("table$~name" for a
// constraint). A violated one is reported as SQL Server does: 2627 for a PRIMARY KEY or UNIQUE
// KEY constraint, 2601 for a unique index, with the duplicate key value when it can be found.
#include <algorithm>

#include "engine/constraints.h"
#include "engine/error.h"
#include "engine/exec/executor.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

std::string Hex16(const std::string& text) {
  unsigned long long h = 1469598103934665603ULL;
  for (char c : LowerName(text)) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (int i = 15; i >= 0; --i) out += kHex[(h >> (i * 4)) & 15];
  return out;
}

std::string Text(sqlite3_stmt* st, int i) {
  const unsigned char* t = sqlite3_column_text(st, i);
  return t ? reinterpret_cast<const char*>(t) : std::string();
}

bool SameColumns(std::vector<std::string> a, std::vector<std::string> b) {
  for (auto& s : a) s = LowerName(s);
  for (auto& s : b) s = LowerName(s);
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

// "UNIQUE constraint failed: t.a, t.b" -> {a, b}.
std::vector<std::string> FailedColumns(const std::string& message) {
  std::vector<std::string> out;
  std::string rest = message.substr(message.find(':') + 1);
  size_t pos = 0;
  while (pos < rest.size()) {
    size_t end = rest.find(',', pos);
    std::string part = rest.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    while (!part.empty() && part.front() == ' ') part.erase(part.begin());
    if (size_t dot = part.find('.'); dot != std::string::npos) part = part.substr(dot + 1);
    out.push_back(part);
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return out;
}

std::string KeyText(const std::vector<Value>& key) {
  std::string out;
  for (const auto& v : key)
    out += (out.empty() ? "" : ", ") + (IsNull(v) ? "<NULL>" : FormatValue(v));
  return out;
}

}  // namespace

std::string GeneratedConstraintName(const std::string& prefix, const std::string& table) {
  return prefix + "__" + table.substr(0, 8) + "__" + Hex16(prefix + table);
}

std::string PrimaryKeyName(const std::string& tableSql, const std::string& table) {
  size_t at = tableSql.rfind("\" PRIMARY KEY (");
  if (at != std::string::npos) {
    size_t open = tableSql.rfind("CONSTRAINT \"", at);
    if (open != std::string::npos) {
      open += 12;
      std::string name = tableSql.substr(open, at - open);
      if (name.find('"') == std::string::npos) return name;
    }
  }
  if (tableSql.find("PRIMARY KEY") == std::string::npos) return {};
  return GeneratedConstraintName("PK", table);
}

std::string TableSql(sqlite3* db, const std::string& schema, const std::string& table) {
  Stmt s(db, "SELECT sql FROM " + QuoteIdent(schema) +
                 ".sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
  sqlite3_bind_text(s.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  return s.Step() ? Text(s.get(), 0) : std::string();
}

void Executor::FailStep(int rc, const Statement* source) {
  sqlite3* db = conn_.db();
  std::string message = sqlite3_errmsg(db);
  if (!source || !message.starts_with("UNIQUE constraint failed: ") ||
      (source->kind != StatementKind::Insert && source->kind != StatementKind::Update))
    ThrowSqlite(db, rc);
  std::vector<std::string> columns = FailedColumns(message);
  ResolvedTable t;
  std::optional<TableInfo> info;
  // The target, or for UPDATE ... FROM under an alias the table SQLite names.
  for (int attempt = 0; attempt < 2 && !info; ++attempt) {
    try {
      Renderer r(conn_);
      ObjectName n = source->target;
      if (attempt == 1) {
        n.object = message.substr(26, message.find('.', 26) - 26);
        n.schema.clear();
      }
      t = r.Resolve(n, false);
      info = r.Table(t);
    } catch (const SqlError&) {
    }
  }
  if (!info) ThrowSqlite(db, rc);

  // Which constraint or index: the primary key, or the unique index over these columns.
  std::vector<std::string> pk;
  for (const auto& c : info->columns)
    if (c.primaryKey) pk.push_back(c.name);
  std::string kind, name;
  if (SameColumns(pk, columns)) {
    kind = "PRIMARY KEY";
    name = PrimaryKeyName(TableSql(db, t.schema, info->name), info->name);
  } else {
    Stmt list(db, "SELECT name FROM pragma_index_list(?, ?) WHERE \"unique\" = 1");
    sqlite3_bind_text(list.get(), 1, info->name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(list.get(), 2, t.schema.c_str(), -1, SQLITE_TRANSIENT);
    while (list.Step()) {
      std::string index = Text(list.get(), 0);
      std::vector<std::string> cols;
      Stmt cs(db, "SELECT name FROM pragma_index_info(?, ?)");
      sqlite3_bind_text(cs.get(), 1, index.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(cs.get(), 2, t.schema.c_str(), -1, SQLITE_TRANSIENT);
      while (cs.Step()) cols.push_back(Text(cs.get(), 0));
      if (!SameColumns(cols, columns)) continue;
      std::string prefix = info->name + "$";
      if (index.size() > prefix.size() &&
          LowerName(index.substr(0, prefix.size())) == LowerName(prefix)) {
        name = index.substr(prefix.size());
        kind = name.starts_with("~") ? "UNIQUE KEY" : "index";
        if (name.starts_with("~")) name.erase(0, 1);
      } else {
        kind = "UNIQUE KEY";
        name = GeneratedConstraintName("UQ", info->name);
      }
      break;
    }
    if (kind.empty()) ThrowSqlite(db, rc);
  }

  // The duplicate value, when the statement spells the new keys as constants.
  std::string duplicate;
  try {
    std::vector<std::vector<Value>> keys;
    if (source->kind == StatementKind::Insert && !source->valuesRows.empty()) {
      std::vector<std::string> order = source->insertColumns;
      if (order.empty())
        for (const auto& c : info->columns)
          if (!c.identity) order.push_back(c.name);
      for (const auto& row : source->valuesRows) {
        std::vector<Value> key;
        for (const auto& col : columns) {
          size_t i = 0;
          while (i < order.size() && LowerName(order[i]) != LowerName(col)) ++i;
          if (i >= order.size() || i >= row.size() || !row[i]) throw SqlError(0, "");
          key.push_back(Evaluate(*row[i]));
        }
        keys.push_back(std::move(key));
      }
    } else if (source->kind == StatementKind::Update) {
      std::vector<Value> key;
      for (const auto& col : columns) {
        auto a = std::find_if(
            source->assignments.begin(), source->assignments.end(),
            [&](const Assignment& x) { return LowerName(x.target.back()) == LowerName(col); });
        if (a == source->assignments.end()) throw SqlError(0, "");
        key.push_back(Evaluate(*a->value));
      }
      keys.push_back(std::move(key));
    }
    std::string where;
    for (const auto& col : columns)
      where += (where.empty() ? "" : " AND ") + QuoteIdent(col) + " = ?";
    for (size_t k = 0; k < keys.size() && duplicate.empty(); ++k) {
      for (size_t j = 0; j < k && duplicate.empty(); ++j) {
        Stmt same(
            db, "SELECT 1 WHERE " + [&] {
              std::string w;
              for (size_t c = 0; c < columns.size(); ++c)
                w += (c ? " AND " : "") + std::string("?") + std::to_string(2 * c + 1) + " = ?" +
                     std::to_string(2 * c + 2) + " COLLATE XFER";
              return w;
            }());
        for (size_t c = 0; c < columns.size(); ++c) {
          BindValue(same.get(), static_cast<int>(2 * c + 1), keys[k][c]);
          BindValue(same.get(), static_cast<int>(2 * c + 2), keys[j][c]);
        }
        if (same.Step()) duplicate = KeyText(keys[k]);
      }
      if (!duplicate.empty()) break;
      Stmt exists(db, "SELECT 1 FROM " + QuoteIdent(t.schema) + "." + QuoteIdent(info->name) +
                          " WHERE " + where);
      for (size_t c = 0; c < columns.size(); ++c)
        BindValue(exists.get(), static_cast<int>(c + 1), keys[k][c]);
      if (exists.Step()) duplicate = KeyText(keys[k]);
    }
  } catch (const SqlError&) {
    duplicate.clear();
  }
  std::string tail = duplicate.empty() ? "" : " The duplicate key value is (" + duplicate + ").";
  if (kind == "index")
    throw SqlError(err::kUniqueIndex,
                   "Cannot insert duplicate key row in object 'dbo." + info->name +
                       "' with unique index '" + name + "'." + tail,
                   14);
  throw SqlError(err::kDuplicateKey,
                 "Violation of " + kind + " constraint '" + name +
                     "'. Cannot insert duplicate key in object 'dbo." + info->name + "'." + tail,
                 14);
}

}  // namespace xfer::engine
