#include "server_digest.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::uint64_t Fnv(const void* data, size_t n, std::uint64_t h = 1469598103934665603ull) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// Spreads a row hash so that a sum of them stays order-free yet sensitive.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

class Db {
 public:
  explicit Db(const std::string& file) {
    // Opened as the next run would open it, so a killed run's log is recovered first.
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + file + ": " + sqlite3_errmsg(db_));
    sqlite3_busy_timeout(db_, 10000);
  }
  ~Db() { sqlite3_close_v2(db_); }
  sqlite3* get() const { return db_; }

  // Runs `sql`, handing each row's statement to `row`.
  template <class F>
  void Rows(const std::string& sql, F row) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string Text(sqlite3_stmt* st, int i) {
  const unsigned char* t = sqlite3_column_text(st, i);
  return t ? reinterpret_cast<const char*>(t) : "";
}

std::string QuoteIdent(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

DatabaseState DigestDatabase(const std::string& file, bool identityAside) {
  Db db(file);
  std::vector<std::pair<std::string, std::string>> tables;  // name, definition
  db.Rows("SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'",
          [&](sqlite3_stmt* st) { tables.emplace_back(Text(st, 0), Text(st, 1)); });
  std::set<std::string> skipped{"xfer_run\x1fstarted", "xfer_run\x1frecorded",
                                "xfer_rununit\x1fseconds"};  // "table\x1fcolumn", lower case
  if (identityAside) {
    skipped.insert("__xfer_identity\x1flast");
    for (const auto& t : tables)
      if (Lower(t.first) == "__xfer_identity")
        db.Rows("SELECT tbl, col FROM __xfer_identity", [&](sqlite3_stmt* st) {
          skipped.insert(Lower(Text(st, 0)) + '\x1f' + Lower(Text(st, 1)));
        });
  }
  DatabaseState state;
  for (const auto& [name, definition] : tables) {
    std::string lower = Lower(name);
    // The kept run reports record each run's own times: they differ between any two runs and
    // are written after the run's units, so they are no part of the data the walk compares.
    if (lower == "xfer_run" || lower == "xfer_rununit") continue;
    std::uint64_t sum = 0, rows = 0;
    std::vector<bool> skip;
    db.Rows("SELECT * FROM " + QuoteIdent(name), [&](sqlite3_stmt* st) {
      int n = sqlite3_column_count(st);
      if (skip.empty())
        for (int i = 0; i < n; ++i)
          skip.push_back(skipped.count(lower + '\x1f' + Lower(sqlite3_column_name(st, i))) > 0);
      // The run reports' identity counter goes with them: the reports have their own digest.
      if (lower == "__xfer_identity" && Lower(Text(st, 0)) == "xfer_run") return;
      // Each identity counter is digested on its own, beside its table, so a walk that leaves a
      // table aside leaves its counter aside too.
      std::string counter = lower == "__xfer_identity" ? kCounterPrefix + Lower(Text(st, 0)) : "";
      std::uint64_t h = 1469598103934665603ull;
      for (int i = 0; i < n; ++i) {
        if (skip[static_cast<size_t>(i)]) continue;
        int type = sqlite3_column_type(st, i);
        h = Fnv(&type, sizeof type, h);
        if (type == SQLITE_INTEGER) {
          sqlite3_int64 v = sqlite3_column_int64(st, i);
          h = Fnv(&v, sizeof v, h);
        } else if (type == SQLITE_FLOAT) {
          double v = sqlite3_column_double(st, i);
          h = Fnv(&v, sizeof v, h);
        } else if (type != SQLITE_NULL) {
          const void* p = sqlite3_column_blob(st, i);
          h = Fnv(p, static_cast<size_t>(sqlite3_column_bytes(st, i)), h);
        }
      }
      if (!counter.empty()) {
        state[counter] += Mix(h);
        return;
      }
      sum += Mix(h);
      ++rows;
    });
    state[lower] = Mix(Fnv(definition.data(), definition.size()) ^ Mix(rows)) + sum;
  }
  return state;
}

ServerDigest DigestServer(const std::string& directory, bool identityAside) {
  ServerDigest out;
  for (const auto& entry : fs::directory_iterator(directory)) {
    std::string file = entry.path().filename().string();
    if (!file.ends_with(".db")) continue;
    std::string name = Lower(file.substr(0, file.size() - 3));
    if (name == "tempdb") continue;
    out[name] = DigestDatabase(entry.path().string(), identityAside);
  }
  return out;
}

std::vector<std::string> WorkTables(const std::string& directory) {
  std::vector<std::string> out;
  Db db((fs::path(directory) / "tempdb.db").string());
  db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE '##%'",
          [&](sqlite3_stmt* st) { out.push_back(Text(st, 0)); });
  return out;
}

DatabaseState WithoutRunReports(DatabaseState state) {
  state.erase("xfer_run");
  state.erase("xfer_rununit");
  return state;
}

std::vector<std::string> Differences(const DatabaseState& a, const DatabaseState& b) {
  std::vector<std::string> out;
  for (const auto& [t, d] : a) {
    auto it = b.find(t);
    if (it == b.end())
      out.push_back("-" + t);
    else if (it->second != d)
      out.push_back(t);
  }
  for (const auto& [t, d] : b)
    if (!a.count(t)) out.push_back("+" + t);
  return out;
}

}  // namespace xfer::crash
