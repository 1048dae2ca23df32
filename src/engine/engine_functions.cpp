// SQL functions that need the engine rather than the function library: object ids and type
// facts for the catalog views, and OBJECT_ID / COL_LENGTH, which look names up through the
// connection (current database, db..name, #name, ##name).
#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include <string>

#include "engine/conn_state.h"
#include "engine/constraints.h"
#include "engine/func/functions.h"
#include "engine/profile.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"
#include "engine/types.h"

namespace xfer::engine {
namespace {

std::string ArgText(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? reinterpret_cast<const char*>(t) : std::string();
}

// A stable positive id for an object name (case-insensitive).
long long ObjectId(const std::string& name) {
  unsigned long long h = 1469598103934665603ULL;
  for (char c : LowerName(name)) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  long long id = static_cast<long long>(h & 0x7fffffffULL);
  return id == 0 ? 1 : id;
}

// SQL Server's type codes as syscolumns.xtype reports them.
int TypeCode(const std::string& base) {
  static const std::pair<const char*, int> kCodes[] = {
      {"image", 34},    {"text", 35},       {"uniqueidentifier", 36},
      {"date", 40},     {"tinyint", 48},    {"smallint", 52},
      {"int", 56},      {"integer", 56},    {"smalldatetime", 58},
      {"real", 59},     {"money", 60},      {"datetime", 61},
      {"float", 62},    {"ntext", 99},      {"bit", 104},
      {"decimal", 106}, {"numeric", 108},   {"smallmoney", 122},
      {"bigint", 127},  {"varbinary", 165}, {"varchar", 167},
      {"binary", 173},  {"char", 175},      {"nvarchar", 231},
      {"nchar", 239},   {"sysname", 231}};
  for (const auto& [name, code] : kCodes)
    if (base == name) return code;
  return 0;
}

void TypeFact(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const char* which = static_cast<const char*>(sqlite3_user_data(ctx));
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  TypeName t = ParseTypeText(ArgText(argv[0]));
  std::string w = which;
  if (w == "length") return sqlite3_result_int(ctx, StorageLength(t));
  if (w == "code") return sqlite3_result_int(ctx, TypeCode(t.name));
  if (w == "base") return sqlite3_result_text(ctx, t.name.c_str(), -1, SQLITE_TRANSIENT);
  if (w == "charlen") {
    if (ClassOf(t) == TypeClass::String) {
      int n = t.length == -2 ? -1 : t.length < 0 ? 1 : t.length;
      return sqlite3_result_int(ctx, n);
    }
    // ntext holds 2^30 - 1 characters, text 2^31 - 1.
    if (ClassOf(t) == TypeClass::Text)
      return sqlite3_result_int(ctx, t.name == "ntext" ? 1073741823 : 2147483647);
    return sqlite3_result_null(ctx);
  }
  bool numeric = t.name == "numeric" || t.name == "decimal";
  if (w == "precision") {
    if (numeric) return sqlite3_result_int(ctx, t.precision < 0 ? 18 : t.precision);
    static const std::pair<const char*, int> kPrecision[] = {
        {"tinyint", 3}, {"smallint", 5}, {"int", 10},  {"bigint", 19},
        {"float", 53},  {"real", 24},    {"money", 19}};
    for (const auto& [name, p] : kPrecision)
      if (t.name == name) return sqlite3_result_int(ctx, p);
    return sqlite3_result_null(ctx);
  }
  if (numeric) return sqlite3_result_int(ctx, t.scale < 0 ? 0 : t.scale);
  if (t.name == "money") return sqlite3_result_int(ctx, 4);
  if (ClassOf(t) == TypeClass::Int) return sqlite3_result_int(ctx, 0);
  sqlite3_result_null(ctx);
}

void PrimaryKeyOf(sqlite3_context* ctx, int, sqlite3_value** argv) {
  std::string name = PrimaryKeyName(ArgText(argv[0]), ArgText(argv[1]));
  if (name.empty()) return sqlite3_result_null(ctx);
  sqlite3_result_text(ctx, name.c_str(), -1, SQLITE_TRANSIENT);
}

// int arithmetic stays int: a result outside its range is SQL Server's overflow error.
void CheckInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
  int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (type == SQLITE_INTEGER) {
    sqlite3_int64 v = sqlite3_value_int64(argv[0]);
    if (v >= -2147483648LL && v <= 2147483647LL) return sqlite3_result_int64(ctx, v);
  } else if (type != SQLITE_FLOAT) {
    return sqlite3_result_value(ctx, argv[0]);
  }
  sqlite3_result_error(
      ctx, "@8115@Arithmetic overflow error converting expression to data type int.", -1);
}

// The level of a row a recursive query adds: past the statement's limit (0 for none) the
// statement ends with SQL Server's error 530.
void RecursionLevel(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const sqlite3_int64 level = sqlite3_value_int64(argv[0]);
  const sqlite3_int64 limit = sqlite3_value_int64(argv[1]);
  if (limit > 0 && level > limit) {
    const std::string text = "@530@The statement terminated. The maximum recursion " +
                             std::to_string(limit) +
                             " has been exhausted before statement completion.";
    return sqlite3_result_error(ctx, text.c_str(), -1);
  }
  sqlite3_result_int64(ctx, level);
}

// xf_identity_next(base, step): the identity value of the next row an INSERT writes. A counter
// rather than row_number() OVER (), which buffers every row before the first is written; the
// rows arrive in the source's order because SQLite keeps an ordered source that feeds a
// function-bearing select list as a co-routine instead of flattening it.
void IdentityNext(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* conn = static_cast<ConnectionState*>(sqlite3_user_data(ctx));
  ++conn->identityRow;
  sqlite3_result_int64(
      ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]) * conn->identityRow);
}

// The row count OFFSET (argv[1] = 1) or FETCH (0) gets from an expression.
void RowCount(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const bool offset = sqlite3_value_int(argv[1]) != 0;
  const bool null = sqlite3_value_type(argv[0]) == SQLITE_NULL;
  const sqlite3_int64 n = sqlite3_value_int64(argv[0]);
  if (offset && (null || n < 0))
    return sqlite3_result_error(
        ctx, "@10742@The offset specified in a OFFSET clause may not be negative.", -1);
  if (!offset && (null || n <= 0))
    return sqlite3_result_error(
        ctx, "@10744@The number of rows provided for a FETCH clause must be greater then zero.",
        -1);
  sqlite3_result_int64(ctx, n);
}

// A scalar subquery yields one value: a second row is SQL Server's error 512.
void SingleStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto** slot =
      static_cast<sqlite3_value**>(sqlite3_aggregate_context(ctx, sizeof(sqlite3_value*) + 1));
  if (!slot) return sqlite3_result_error_nomem(ctx);
  bool& seen = *reinterpret_cast<bool*>(slot + 1);
  if (seen) {
    sqlite3_result_error(ctx,
                         "@512@Subquery returned more than 1 value. This is not permitted when "
                         "the subquery follows =, !=, <, <= , >, >= or when the subquery is "
                         "used as an expression.",
                         -1);
    return;
  }
  seen = true;
  *slot = sqlite3_value_dup(argv[0]);
}

// STRING_AGG(value, separator, key1, desc1, ...) WITHIN GROUP (ORDER BY ...): rows are kept
// with their sort keys and joined in order when the group ends. NULL keys sort first, as
// SQL Server orders them; text keys compare by the collation.
struct AggRow {
  std::string value;
  std::vector<sqlite3_value*> keys;
};
struct AggState {
  std::string separator;
  std::vector<bool> descending;
  std::vector<AggRow> rows;
  ~AggState() {
    for (auto& r : rows)
      for (auto* k : r.keys) sqlite3_value_free(k);
  }
};

int CompareKeys(sqlite3_value* a, sqlite3_value* b) {
  int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
  if (ta == SQLITE_NULL || tb == SQLITE_NULL) return (ta != SQLITE_NULL) - (tb != SQLITE_NULL);
  bool na = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT,
       nb = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
  if (na && nb) {
    double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (na != nb) return na ? -1 : 1;
  return CompareText(ArgText(a), ArgText(b));
}

void StringAggStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto** slot = static_cast<AggState**>(sqlite3_aggregate_context(ctx, sizeof(AggState*)));
  if (!slot) return sqlite3_result_error_nomem(ctx);
  if (!*slot) {
    *slot = new AggState;
    (*slot)->separator = ArgText(argv[1]);
    for (int i = 3; i < argc; i += 2)
      (*slot)->descending.push_back(sqlite3_value_int(argv[i]) != 0);
  }
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  AggRow row;
  row.value = ArgText(argv[0]);
  for (int i = 2; i < argc; i += 2) row.keys.push_back(sqlite3_value_dup(argv[i]));
  (*slot)->rows.push_back(std::move(row));
}

void StringAggFinal(sqlite3_context* ctx) {
  auto** slot = static_cast<AggState**>(sqlite3_aggregate_context(ctx, 0));
  if (!slot || !*slot) return sqlite3_result_null(ctx);
  AggState* st = *slot;
  *slot = nullptr;
  std::stable_sort(st->rows.begin(), st->rows.end(), [&](const AggRow& a, const AggRow& b) {
    for (size_t i = 0; i < a.keys.size(); ++i) {
      int c = CompareKeys(a.keys[i], b.keys[i]);
      if (c != 0) return st->descending[i] ? c > 0 : c < 0;
    }
    return false;
  });
  if (st->rows.empty()) {
    sqlite3_result_null(ctx);
  } else {
    std::string out;
    for (size_t i = 0; i < st->rows.size(); ++i)
      out += (i ? st->separator : "") + st->rows[i].value;
    sqlite3_result_text(ctx, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
  }
  delete st;
}

void SingleFinal(sqlite3_context* ctx) {
  auto** slot = static_cast<sqlite3_value**>(sqlite3_aggregate_context(ctx, 0));
  if (!slot || !*slot) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, *slot);
  sqlite3_value_free(*slot);
  *slot = nullptr;
}

void ObjectIdOfName(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int64(ctx, ObjectId(ArgText(argv[0])));
}

// The schema and object a name refers to, when its database is attached.
bool Locate(ConnectionState* conn, const std::string& text, std::string& schema,
            std::string& object) {
  ObjectName name = ParseObjectName(text);
  object = name.object;
  if (object.empty()) return false;
  const std::string& db = name.database;
  if (object.starts_with("##")) {
    schema = kTempdbSchema;
  } else if (object.starts_with("#")) {
    schema = kTempSchema;
  } else {
    auto s = conn->AttachedSchema(db.empty() ? conn->currentDatabase() : db);
    if (!s) return false;
    schema = *s;
  }
  return true;
}

void ObjectIdOf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* conn = static_cast<ConnectionState*>(sqlite3_user_data(ctx));
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::string schema, object;
  if (!Locate(conn, ArgText(argv[0]), schema, object)) return sqlite3_result_null(ctx);
  std::string kind = argc > 1 ? LowerName(ArgText(argv[1])) : "";
  while (!kind.empty() && kind.back() == ' ') kind.pop_back();
  std::string types = kind == "u"    ? "'table'"
                      : kind == "v"  ? "'view'"
                      : kind == "tr" ? "'trigger'"
                      : kind == "p"  ? "''"
                                     : "'table','view','trigger'";
  bool found = false;
  try {
    {
      // Asked once per call of a procedure that checks its tables: the statement is kept.
      CachedStmt s(*conn, "SELECT 1 FROM " + QuoteIdent(schema) + ".sqlite_master WHERE type IN (" +
                              types +
                              ") AND name = ? COLLATE NOCASE AND substr(name, 1, 7) <> '__xfer_'");
      sqlite3_bind_text(s.get(), 1, object.c_str(), -1, SQLITE_TRANSIENT);
      found = s.Step();
    }
    if (!found && (kind.empty() || kind == "p")) {
      CachedStmt s(*conn, "SELECT 1 FROM " + QuoteIdent(schema) + ".__xfer_procs WHERE name = ?");
      sqlite3_bind_text(s.get(), 1, object.c_str(), -1, SQLITE_TRANSIENT);
      found = s.Step();
    }
  } catch (const std::exception& e) {
    return sqlite3_result_error(ctx, e.what(), -1);
  }
  if (!found) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, ObjectId(object));
}

void ColLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* conn = static_cast<ConnectionState*>(sqlite3_user_data(ctx));
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  std::string schema, object;
  if (!Locate(conn, ArgText(argv[0]), schema, object)) return sqlite3_result_null(ctx);
  try {
    auto info = conn->LoadTable(schema, object);
    if (!info) return sqlite3_result_null(ctx);
    const ColumnInfo* c = info->Find(ArgText(argv[1]));
    if (!c) return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, StorageLength(c->type));
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// xf_fit(value, n): the value unchanged when its text fits varchar(n); cut to n characters when
// only blanks lie beyond them, as SQL Server stores it; else SQL Server's truncation error.
void Fit(sqlite3_context* ctx, int, sqlite3_value** argv) {
  profile::Timer timer(profile::Phase::WidthCheck);
  int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_TEXT) {
    const unsigned char* t = sqlite3_value_text(argv[0]);
    int bytes = sqlite3_value_bytes(argv[0]);
    long long limit = sqlite3_value_int64(argv[1]);
    long long chars = 0, lastNonBlank = 0;
    int cut = bytes;  // byte length of the first `limit` characters
    for (int i = 0; i < bytes; ++i)
      if ((t[i] & 0xC0) != 0x80) {
        if (chars == limit) cut = i;
        ++chars;
        if (t[i] != ' ') lastNonBlank = chars;
      }
    if (chars > limit && lastNonBlank > limit)
      return sqlite3_result_error(ctx, "@8152@String or binary data would be truncated.", -1);
    // Blanks beyond the width are let go, as SQL Server stores the value cut to fit.
    if (chars > limit)
      return sqlite3_result_text(ctx, reinterpret_cast<const char*>(t), cut, SQLITE_TRANSIENT);
  }
  sqlite3_result_value(ctx, argv[0]);
}

// xf_pad(value, n): the value as char(n) stores it, blanks added up to n characters; a value
// longer than n is SQL Server's truncation error unless only blanks lie beyond n.
void Pad(sqlite3_context* ctx, int, sqlite3_value** argv) {
  profile::Timer timer(profile::Phase::WidthCheck);
  int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL || type == SQLITE_BLOB) return sqlite3_result_value(ctx, argv[0]);
  const unsigned char* t = sqlite3_value_text(argv[0]);
  int bytes = sqlite3_value_bytes(argv[0]);
  long long limit = sqlite3_value_int64(argv[1]);
  long long chars = 0, lastNonBlank = 0;
  int cut = bytes;  // byte length of the first `limit` characters
  for (int i = 0; i < bytes; ++i)
    if ((t[i] & 0xC0) != 0x80) {
      if (chars == limit) cut = i;
      ++chars;
      if (t[i] != ' ') lastNonBlank = chars;
    }
  if (chars > limit && lastNonBlank > limit)
    return sqlite3_result_error(ctx, "@8152@String or binary data would be truncated.", -1);
  std::string out(reinterpret_cast<const char*>(t),
                  static_cast<size_t>(chars > limit ? cut : bytes));
  if (chars < limit) out.append(static_cast<size_t>(limit - chars), ' ');
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

}  // namespace

void RegisterEngineFunctions(sqlite3* db, ConnectionState* conn) {
  const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  static const char* const kFacts[][2] = {
      {"xf_type_length", "length"},       {"xf_type_code", "code"},
      {"xf_type_base", "base"},           {"xf_type_charlen", "charlen"},
      {"xf_type_precision", "precision"}, {"xf_type_scale", "scale"}};
  for (const auto& f : kFacts)
    sqlite3_create_function(db, f[0], 1, det, const_cast<char*>(f[1]), TypeFact, nullptr, nullptr);
  sqlite3_create_function(db, "xf_object_id", 1, det, nullptr, ObjectIdOfName, nullptr, nullptr);
  sqlite3_create_function(db, "xf_fit", 2, det, nullptr, Fit, nullptr, nullptr);
  sqlite3_create_function(db, "xf_pad", 2, det, nullptr, Pad, nullptr, nullptr);
  sqlite3_create_function(db, "xf_pk_name", 2, det, nullptr, PrimaryKeyOf, nullptr, nullptr);
  sqlite3_create_function(db, "xf_int", 1, det, nullptr, CheckInt, nullptr, nullptr);
  sqlite3_create_function(db, "xf_recursion", 2, det, nullptr, RecursionLevel, nullptr, nullptr);
  sqlite3_create_function(db, "xf_row_count", 2, det, nullptr, RowCount, nullptr, nullptr);
  sqlite3_create_function(db, "xf_string_agg", -1, SQLITE_UTF8, nullptr, nullptr, StringAggStep,
                          StringAggFinal);
  sqlite3_create_function(db, "xf_single", 1, SQLITE_UTF8, nullptr, nullptr, SingleStep,
                          SingleFinal);
  sqlite3_create_function(db, "xf_object_id_of", 1, SQLITE_UTF8, conn, ObjectIdOf, nullptr,
                          nullptr);
  sqlite3_create_function(db, "xf_object_id_of", 2, SQLITE_UTF8, conn, ObjectIdOf, nullptr,
                          nullptr);
  sqlite3_create_function(db, "xf_col_length", 2, SQLITE_UTF8, conn, ColLength, nullptr, nullptr);
  sqlite3_create_function(db, "xf_identity_next", 2, SQLITE_UTF8, conn, IdentityNext, nullptr,
                          nullptr);
}

}  // namespace xfer::engine
