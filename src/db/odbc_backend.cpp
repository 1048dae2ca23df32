// The ODBC backend. One environment handle for the process, one connection per backend, one
// statement per batch: every result set is read whole into memory (client-side, like every
// record set of the module), informational messages go to the message handler, and the first
// error of a batch is thrown once the batch's results have been drained.
#include "db/odbc_backend.h"

#include <sql.h>
#include <sqlext.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <variant>

#include "db/record_set.h"
#include "db/text_util.h"
#include "engine/error.h"
#include "engine/types.h"

namespace xfer::db {
namespace {

// Driver-specific diagnostic fields of SQL Server drivers: the message's state and severity.
constexpr SQLSMALLINT kDiagMessageState = -1150;
constexpr SQLSMALLINT kDiagSeverity = -1151;
constexpr size_t kRowsPerInsert = 1000;  // SQL Server's limit for one VALUES list
constexpr size_t kInsertsPerBatch = 20;
constexpr const char* kDriverFallback = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

SQLHENV Environment() {
  static SQLHENV env = [] {
    SQLHENV e = SQL_NULL_HENV;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e);
    SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return e;
  }();
  return env;
}

struct Diagnostic {
  int number = 0;
  int state = 1;
  int severity = 0;
  std::string sqlState;
  std::string text;
};

// Removes the "[vendor][driver]" prefixes the driver manager and driver put before the text.
std::string StripPrefixes(std::string text) {
  while (!text.empty() && text[0] == '[') {
    size_t close = text.find(']');
    if (close == std::string::npos) break;
    text.erase(0, close + 1);
  }
  return text;
}

std::vector<Diagnostic> Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<Diagnostic> out;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR text[4096] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    Diagnostic d;
    d.number = static_cast<int>(native);
    d.sqlState = reinterpret_cast<char*>(state);
    d.text = StripPrefixes(reinterpret_cast<char*>(text));
    SQLINTEGER value = 0;
    if (SQL_SUCCEEDED(SQLGetDiagField(type, handle, i, kDiagMessageState, &value, 0, nullptr)))
      d.state = static_cast<int>(value);
    value = 0;
    if (SQL_SUCCEEDED(SQLGetDiagField(type, handle, i, kDiagSeverity, &value, 0, nullptr)))
      d.severity = static_cast<int>(value);
    out.push_back(std::move(d));
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The declared type text a column of this ODBC description would carry on the embedded
// engine, so that kind and size come from the one table of types.
std::string DeclaredType(const std::string& typeName, SQLSMALLINT sqlType, SQLULEN size,
                         SQLSMALLINT digits) {
  std::string name = Lower(typeName);
  if (size_t sp = name.find(' '); sp != std::string::npos) name = name.substr(0, sp);
  if (name.empty()) {
    switch (sqlType) {
      case SQL_INTEGER:
        name = "int";
        break;
      case SQL_BIGINT:
        name = "bigint";
        break;
      case SQL_SMALLINT:
        name = "smallint";
        break;
      case SQL_TINYINT:
        name = "tinyint";
        break;
      case SQL_BIT:
        name = "bit";
        break;
      case SQL_DOUBLE:
      case SQL_FLOAT:
        name = "float";
        break;
      case SQL_REAL:
        name = "real";
        break;
      case SQL_NUMERIC:
      case SQL_DECIMAL:
        name = "numeric";
        break;
      case SQL_TYPE_TIMESTAMP:
        name = "datetime";
        break;
      case SQL_WVARCHAR:
        name = "nvarchar";
        break;
      case SQL_LONGVARCHAR:
        name = "text";
        break;
      case SQL_WLONGVARCHAR:
        name = "ntext";
        break;
      case SQL_VARBINARY:
        name = "varbinary";
        break;
      case SQL_LONGVARBINARY:
        name = "image";
        break;
      default:
        name = "varchar";
    }
  }
  if (name == "numeric" || name == "decimal")
    return name + "(" + std::to_string(size) + ", " + std::to_string(digits) + ")";
  if (name == "char" || name == "varchar" || name == "nchar" || name == "nvarchar" ||
      name == "binary" || name == "varbinary") {
    if (size == 0 || size >= 0x3FFFFFFF) return name + "(max)";
    return name + "(" + std::to_string(size) + ")";
  }
  return name;
}

class OdbcBackend : public Backend {
 public:
  OdbcBackend(std::string server, SQLHDBC dbc) : server_(std::move(server)), dbc_(dbc) {}
  ~OdbcBackend() override {
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  }

  void Execute(const std::string& sql) override { Run(sql, nullptr); }
  std::vector<ResultSet> Query(const std::string& sql) override {
    std::vector<ResultSet> out;
    Run(sql, &out);
    return out;
  }

  void AppendRows(const std::string& table, const std::vector<std::string>& columns,
                  const std::vector<std::vector<Value>>& rows) override {
    if (rows.empty()) return;
    std::string head = "INSERT INTO " + table + " (";
    for (size_t i = 0; i < columns.size(); ++i) head += (i ? ", [" : "[") + columns[i] + "]";
    head += ") VALUES ";
    Execute("BEGIN TRANSACTION");
    try {
      std::string batch;
      size_t inserts = 0;
      for (size_t r = 0; r < rows.size(); r += kRowsPerInsert) {
        batch += head;
        for (size_t k = r; k < std::min(rows.size(), r + kRowsPerInsert); ++k) {
          batch += k == r ? "(" : ", (";
          for (size_t c = 0; c < rows[k].size(); ++c)
            batch += (c ? ", " : "") + SqlLiteral(rows[k][c]);
          batch += ")";
        }
        batch += "\n";
        if (++inserts == kInsertsPerBatch) {
          Execute(batch);
          batch.clear();
          inserts = 0;
        }
      }
      if (!batch.empty()) Execute(batch);
      Execute("COMMIT");
    } catch (...) {
      try {
        Execute("IF @@TRANCOUNT > 0 ROLLBACK");
      } catch (const engine::SqlError&) {
      }
      throw;
    }
  }

  std::string ServerName() const override { return server_; }
  std::string CurrentDatabase() const override {
    SQLCHAR name[256] = {};
    SQLINTEGER length = 0;
    SQLGetConnectAttr(dbc_, SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length);
    return reinterpret_cast<char*>(name);
  }
  void SetMessageHandler(std::function<void(const std::string&)> handler) override {
    onMessage_ = std::move(handler);
  }

 private:
  // Collects the diagnostics of a call: information to the handler, the first error kept.
  void Note(SQLRETURN rc, SQLHSTMT st, std::optional<engine::SqlError>& error) {
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) return;
    for (auto& d : Diagnostics(SQL_HANDLE_STMT, st)) {
      bool isError = rc == SQL_ERROR && (d.severity > 10 || d.severity == 0);
      if (isError && d.sqlState == "01000") isError = false;
      if (isError) {
        if (!error)
          error.emplace(d.number == 0 ? 50000 : d.number, d.text, d.severity == 0 ? 16 : d.severity,
                        d.state);
      } else if (onMessage_ && !d.text.empty()) {
        onMessage_(d.text);
      }
    }
    if (rc == SQL_ERROR && !error) error.emplace(50000, "The server reported an error.");
  }

  void Run(const std::string& sql, std::vector<ResultSet>* out) {
    SQLHSTMT st = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st)))
      throw engine::SqlError(10054, "The connection to the server is broken.");
    std::optional<engine::SqlError> error;
    SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                                 static_cast<SQLINTEGER>(sql.size()));
    Note(rc, st, error);
    for (int failures = 0;;) {
      SQLSMALLINT columns = 0;
      if (rc != SQL_ERROR && SQL_SUCCEEDED(SQLNumResultCols(st, &columns)) && columns > 0) {
        ResultSet rs = ReadResult(st, columns, error);
        if (out) out->push_back(std::move(rs));
      }
      rc = SQLMoreResults(st);
      Note(rc, st, error);
      if (rc == SQL_NO_DATA || rc == SQL_INVALID_HANDLE) break;
      if (rc == SQL_ERROR && ++failures > 64) break;  // a driver that never reports the end
    }
    SQLFreeHandle(SQL_HANDLE_STMT, st);
    if (error) throw *error;
  }

  ResultSet ReadResult(SQLHSTMT st, SQLSMALLINT columns, std::optional<engine::SqlError>& error) {
    ResultSet rs;
    std::vector<SQLSMALLINT> fetchAs;
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      SQLCHAR name[512] = {};
      SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      SQLDescribeCol(st, c, name, sizeof name, &nameLength, &sqlType, &size, &digits, &nullable);
      SQLCHAR typeName[128] = {};
      SQLColAttribute(st, c, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, nullptr, nullptr);
      engine::Field f;
      f.name = reinterpret_cast<char*>(name);
      f.declaredType = DeclaredType(reinterpret_cast<char*>(typeName), sqlType, size, digits);
      engine::TypeName t = engine::ParseTypeText(f.declaredType);
      f.kind = engine::KindOf(t);
      f.size = engine::StorageLength(t);
      f.declaredType = t.Text();
      SQLCHAR base[512] = {};
      if (SQL_SUCCEEDED(SQLColAttribute(st, c, SQL_DESC_BASE_TABLE_NAME, base, sizeof base, nullptr,
                                        nullptr)))
        f.baseTable = reinterpret_cast<char*>(base);
      base[0] = 0;
      if (!f.baseTable.empty() &&
          SQL_SUCCEEDED(SQLColAttribute(st, c, SQL_DESC_BASE_COLUMN_NAME, base, sizeof base,
                                        nullptr, nullptr)))
        f.baseColumn = reinterpret_cast<char*>(base);
      switch (f.kind) {
        case engine::FieldKind::Integer:
          fetchAs.push_back(SQL_C_SBIGINT);
          break;
        case engine::FieldKind::Float:
          // Exact numerics come as text, so digits beyond a double's survive.
          fetchAs.push_back(engine::ClassOf(t) == engine::TypeClass::Decimal ? kDecimalText
                                                                             : SQL_C_DOUBLE);
          break;
        case engine::FieldKind::Blob:
          fetchAs.push_back(SQL_C_BINARY);
          break;
        default:
          fetchAs.push_back(SQL_C_CHAR);
      }
      rs.fields.push_back(std::move(f));
    }
    for (;;) {
      SQLRETURN rc = SQLFetch(st);
      if (rc == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(rc)) {
        Note(rc, st, error);
        break;
      }
      std::vector<Value> row;
      row.reserve(static_cast<size_t>(columns));
      for (SQLSMALLINT c = 1; c <= columns; ++c)
        row.push_back(GetValue(st, c, fetchAs[static_cast<size_t>(c - 1)]));
      rs.rows.push_back(std::move(row));
    }
    return rs;
  }

  // Not an ODBC C type: a decimal column read as text, then held as the engine holds it.
  static constexpr SQLSMALLINT kDecimalText = -32000;

  // As the engine keeps an exact numeric: a double while it has no more significant digits than a
  // double carries, its digits as text beyond that.
  static Value DecimalValue(const std::string& text) {
    size_t digits = 0;
    bool leading = true;
    for (char ch : text) {
      if (ch < '0' || ch > '9') continue;
      if (leading && ch == '0') continue;
      leading = false;
      ++digits;
    }
    // Trailing zeros of the fraction are not significant either.
    if (text.find('.') != std::string::npos)
      for (size_t i = text.size(); i-- > 0 && text[i] == '0' && digits > 0;) --digits;
    if (digits <= 15) return Value{std::strtod(text.c_str(), nullptr)};
    return Value{text};
  }

  static Value GetValue(SQLHSTMT st, SQLSMALLINT c, SQLSMALLINT as) {
    SQLLEN indicator = 0;
    if (as == SQL_C_SBIGINT) {
      long long v = 0;
      SQLGetData(st, static_cast<SQLUSMALLINT>(c), as, &v, sizeof v, &indicator);
      return indicator == SQL_NULL_DATA ? Value{} : Value{v};
    }
    if (as == SQL_C_DOUBLE) {
      double v = 0;
      SQLGetData(st, static_cast<SQLUSMALLINT>(c), as, &v, sizeof v, &indicator);
      return indicator == SQL_NULL_DATA ? Value{} : Value{v};
    }
    if (as == kDecimalText) {
      Value text = GetValue(st, c, SQL_C_CHAR);
      if (!std::holds_alternative<std::string>(text)) return text;
      return DecimalValue(std::get<std::string>(text));
    }
    // Character and binary data in pieces; a character piece ends with a terminating zero.
    std::string data;
    char buf[8192];
    for (;;) {
      SQLRETURN rc = SQLGetData(st, static_cast<SQLUSMALLINT>(c), as, buf, sizeof buf, &indicator);
      if (rc == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(rc)) break;
      if (indicator == SQL_NULL_DATA) return Value{};
      size_t room = as == SQL_C_CHAR ? sizeof buf - 1 : sizeof buf;
      size_t got = (indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > room)
                       ? room
                       : static_cast<size_t>(indicator);
      data.append(buf, got);
      if (rc == SQL_SUCCESS) break;
    }
    if (as == SQL_C_BINARY) return Value{engine::Blob{std::move(data)}};
    return Value{std::move(data)};
  }

  std::string server_;
  SQLHDBC dbc_;
  std::function<void(const std::string&)> onMessage_;
};

}  // namespace

bool IsNetworkServer(const std::string& dataSource) {
  if (dataSource.empty() || dataSource.find('/') != std::string::npos) return false;
  std::error_code ec;
  if (std::filesystem::is_directory(dataSource, ec)) return false;
  size_t comma = dataSource.find(',');
  std::string host = dataSource.substr(0, comma);
  for (char c : host)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '\\')
      return false;
  if (comma == std::string::npos) return !host.empty();
  std::string port = dataSource.substr(comma + 1);
  return !host.empty() && !port.empty() &&
         port.find_first_not_of("0123456789") == std::string::npos;
}

std::unique_ptr<Backend> OpenOdbcBackend(const std::string& cs) {
  std::string source = ConnectionStringValue(cs, "Data Source");
  std::string database = ConnectionStringValue(cs, "Initial Catalog");
  std::string user = ConnectionStringValue(cs, "User ID");
  std::string password = ConnectionStringValue(cs, "Password");
  // Forms and tools that compose connection strings without a login (the embedded engine
  // needs none) take it from the environment.
  if (user.empty()) {
    const char* u = std::getenv("XFER_SQL_USER");
    const char* p = std::getenv("XFER_SQL_PASSWORD");
    user = u ? u : "";
    password = p ? p : "";
  }
  size_t comma = source.find(',');
  std::string host = source.substr(0, comma);
  std::string port = comma == std::string::npos ? "1433" : source.substr(comma + 1);
  auto attempt = [&](const std::string& driver, std::vector<Diagnostic>& diags) -> SQLHDBC {
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_DBC, Environment(), &dbc);
    std::string odbc = "DRIVER={" + driver + "};SERVER=" + host + ";PORT=" + port + ";UID={" +
                       user + "};PWD={" + password + "};DATABASE={" + database +
                       "};TDS_Version=7.4;ClientCharset=UTF-8;APP=Xfer";
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(odbc.data()),
                                    static_cast<SQLSMALLINT>(odbc.size()), nullptr, 0, &outLength,
                                    SQL_DRIVER_NOPROMPT);
    if (SQL_SUCCEEDED(rc)) return dbc;
    diags = Diagnostics(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    return SQL_NULL_HDBC;
  };
  static std::mutex connectMutex;  // driver loading is not reentrant in every manager
  std::vector<Diagnostic> diags;
  SQLHDBC dbc;
  {
    std::lock_guard lock(connectMutex);
    dbc = attempt("FreeTDS", diags);
    // A driver manager without the FreeTDS entry: name the driver library itself.
    if (!dbc && !diags.empty() && diags[0].sqlState == "IM002")
      dbc = attempt(kDriverFallback, diags);
  }
  if (!dbc) {
    for (const auto& d : diags)
      if (d.number != 0)
        throw engine::SqlError(d.number, d.text, d.severity ? d.severity : 14, d.state);
    std::string text = diags.empty() ? "cannot connect" : diags[0].text;
    throw engine::SqlError(53, "Cannot connect to server '" + source + "': " + text);
  }
  return std::make_unique<OdbcBackend>(source, dbc);
}

}  // namespace xfer::db
