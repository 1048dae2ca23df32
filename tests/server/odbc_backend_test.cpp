// The ODBC backend against `xfer serve` next to the embedded backend on the same directory:
// the same fields (kind, size, declared type) and values, SQL Server's error numbers and
// messages, PRINT and informational messages, all-or-none appends, USE and a shared tempdb,
// statements with bound parameters (the driver sends them as RPC calls) and a cancel.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>
#include "temp_tree.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "db/backend.h"
#include "engine/engine.h"
#include "serve_process.h"

namespace {

namespace fs = std::filesystem;
using xfer::db::Backend;
using xfer::db::OpenBackend;
using xfer::engine::SqlError;

class OdbcBackend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new fs::path(fs::temp_directory_path() / ("xfer_odbc_" + std::to_string(getpid())));
    xfer_test::RemoveTree(*dir_);
    auto server = xfer::engine::Server::Open(dir_->string(), true);
    xfer::engine::Connection c(server);
    c.Execute("CREATE DATABASE D");
    c.Execute(
        "USE D CREATE TABLE Kala (Id int IDENTITY(1, 1) PRIMARY KEY, Code char(6) NOT NULL, Name "
        "varchar(30), Onvan nvarchar(20), Fi money, Meghdar numeric(12, 3), Vazn float, Fa bit, "
        "Tarikh datetime, Sharh text, Aks varbinary(16), Kucheck smallint, Bozorg bigint) "
        "INSERT INTO Kala (Code, Name, Onvan, Fi, Meghdar, Vazn, Fa, Tarikh, Sharh, Aks, "
        "Kucheck, Bozorg) VALUES ('A1', 'Pen', N'قلم', 12500.5, 3.125, 0.25, 1, "
        "'2024-03-20 08:30:00', 'long text', 0x0A0B, -2, 9000000000), ('B2', 'Ink', N'جوهر', "
        "NULL, NULL, NULL, 0, NULL, NULL, NULL, NULL, NULL)");
    serve_ = new xfer::testing::ServeProcess(dir_->string(), "xfer", "P@ss'word");
  }
  static void TearDownTestSuite() {
    delete serve_;
    xfer_test::RemoveTree(*dir_);
    delete dir_;
  }
  std::unique_ptr<Backend> Odbc(const std::string& database = "D") {
    return OpenBackend("Data Source=" + serve_->dataSource() + ";Initial Catalog=" + database +
                       ";User ID=xfer;Password=P@ss'word;");
  }
  std::unique_ptr<Backend> Embedded() {
    return OpenBackend("Data Source=" + dir_->string() + ";Initial Catalog=D;");
  }
  static fs::path* dir_;
  static xfer::testing::ServeProcess* serve_;
};
fs::path* OdbcBackend::dir_ = nullptr;
xfer::testing::ServeProcess* OdbcBackend::serve_ = nullptr;

TEST_F(OdbcBackend, ResultSetsMatchTheEmbeddedBackend) {
  auto odbc = Odbc();
  auto local = Embedded();
  const char* queries[] = {
      "SELECT * FROM Kala ORDER BY Id",
      "SELECT Code + '-' + Name AS Whole, Fi * 2 AS Twice, COUNT(*) AS N FROM Kala GROUP BY "
      "Code, Name, Fi ORDER BY 1",
      "SELECT 1 AS One SELECT N'دو' AS Two, CAST(2.5 AS float) AS F",
      "SELECT [name], xtype FROM sysobjects WHERE [name] = 'Kala'",
      "SELECT Id FROM Kala WHERE 1 = 0",
  };
  for (const char* q : queries) {
    SCOPED_TRACE(q);
    auto remote = odbc->Query(q);
    auto inProcess = local->Query(q);
    ASSERT_EQ(remote.size(), inProcess.size());
    for (size_t s = 0; s < remote.size(); ++s) {
      ASSERT_EQ(remote[s].fields.size(), inProcess[s].fields.size());
      for (size_t f = 0; f < remote[s].fields.size(); ++f) {
        const auto& a = remote[s].fields[f];
        const auto& b = inProcess[s].fields[f];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.kind, b.kind) << a.name;
        if (!b.declaredType.empty()) {
          EXPECT_EQ(a.size, b.size) << a.name;
          // sysname travels as what it is an alias of, as it does from SQL Server.
          EXPECT_EQ(a.declaredType, b.declaredType == "sysname" ? "nvarchar(128)" : b.declaredType)
              << a.name;
        }
      }
      ASSERT_EQ(remote[s].rows.size(), inProcess[s].rows.size());
      for (size_t r = 0; r < remote[s].rows.size(); ++r)
        for (size_t f = 0; f < remote[s].fields.size(); ++f)
          EXPECT_EQ(xfer::engine::FormatValue(remote[s].rows[r][f], remote[s].fields[f]),
                    xfer::engine::FormatValue(inProcess[s].rows[r][f], inProcess[s].fields[f]))
              << remote[s].fields[f].name;
    }
  }
}

TEST_F(OdbcBackend, ErrorsCarrySqlServerNumbersAndMessages) {
  auto odbc = Odbc();
  auto local = Embedded();
  const char* batches[] = {
      "SELECT * FROM NoSuchTable",
      "INSERT INTO Kala (Code, Name) VALUES ('C3', 'a name far longer than thirty characters')",
      "SELECT FROM WHERE",
      "RAISERROR('custom failure', 16, 1)",
      "SET IDENTITY_INSERT Kala ON INSERT INTO Kala (Id, Code) VALUES (1, 'X') "
      "SET IDENTITY_INSERT Kala OFF",
  };
  for (const char* b : batches) {
    SCOPED_TRACE(b);
    int expected = 0;
    std::string message;
    try {
      local->Execute(b);
    } catch (const SqlError& e) {
      expected = e.number();
      message = e.message();
    }
    ASSERT_NE(expected, 0);
    try {
      odbc->Execute(b);
      ADD_FAILURE() << "no error through ODBC";
    } catch (const SqlError& e) {
      EXPECT_EQ(e.number(), expected);
      EXPECT_EQ(e.message(), message);
      EXPECT_GE(e.severity(), 11);
    }
  }
  // The connection stays usable after errors.
  EXPECT_EQ(odbc->Query("SELECT COUNT(*) FROM Kala")[0].rows[0][0], xfer::engine::Value{2LL});
}

TEST_F(OdbcBackend, PrintAndInformationalMessagesAreDelivered) {
  auto odbc = Odbc();
  std::vector<std::string> messages;
  odbc->SetMessageHandler([&](const std::string& m) { messages.push_back(m); });
  auto sets = odbc->Query("PRINT N'شروع' SELECT 1 AS A RAISERROR('note %d', 10, 1, 7) PRINT 'end'");
  ASSERT_EQ(sets.size(), 1u);
  std::vector<std::string> expected{"شروع", "note 7", "end"};
  EXPECT_EQ(messages, expected);
}

TEST_F(OdbcBackend, AppendRowsIsAllOrNone) {
  auto odbc = Odbc();
  odbc->Execute("CREATE TABLE Append1 (K int PRIMARY KEY, V varchar(20), W float)");
  std::vector<std::vector<xfer::engine::Value>> rows;
  for (long long i = 0; i < 2500; ++i)
    rows.push_back({i, std::string(i % 2 ? "یک'دو" : "x"), i / 4.0});
  odbc->AppendRows("Append1", {"K", "V", "W"}, rows);
  auto local = Embedded();
  auto check = local->Query("SELECT COUNT(*), SUM(W), MAX(V) FROM Append1");
  EXPECT_EQ(check[0].rows[0][0], xfer::engine::Value{2500LL});
  EXPECT_EQ(xfer::engine::FormatValue(check[0].rows[0][1]), "780937.5");
  // A duplicate key in the last row: nothing of the call stays.
  std::vector<std::vector<xfer::engine::Value>> more;
  for (long long i = 5000; i < 6500; ++i) more.push_back({i, std::string("n"), 0.0});
  more.push_back({0LL, std::string("dup"), 0.0});
  EXPECT_THROW(odbc->AppendRows("Append1", {"K", "V", "W"}, more), SqlError);
  EXPECT_EQ(local->Query("SELECT COUNT(*) FROM Append1")[0].rows[0][0],
            xfer::engine::Value{2500LL});
  odbc->Execute("DROP TABLE Append1");
}

TEST_F(OdbcBackend, UseChangesTheDatabaseAndTempdbIsShared) {
  auto a = Odbc("master");
  auto b = Odbc("master");
  EXPECT_EQ(a->CurrentDatabase(), "master");
  a->Execute("USE D");
  EXPECT_EQ(a->CurrentDatabase(), "D");
  a->Execute("CREATE TABLE ##Shared (V int) INSERT INTO ##Shared VALUES (42)");
  EXPECT_EQ(b->Query("SELECT V FROM ##Shared")[0].rows[0][0], xfer::engine::Value{42LL});
  a.reset();  // the creator goes, and its global temporary table with it
  // The server notices the closed connection on its own thread: wait for it, boundedly.
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    try {
      b->Query("SELECT V FROM ##Shared");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } catch (const SqlError& e) {
      gone = e.number() == 208;
    }
  }
  EXPECT_TRUE(gone);
}

TEST_F(OdbcBackend, BoundParametersTravelAsRemoteProcedureCalls) {
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  std::string cs = "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=" + std::to_string(serve_->port()) +
                   ";UID=xfer;PWD={P@ss'word};DATABASE=D;ClientCharset=UTF-8";
  ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()),
                                             SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)));
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  // Executed directly (sp_executesql) and prepared then executed twice (sp_prepexec, sp_execute).
  char code[16] = "A1";
  SQLLEN codeLength = SQL_NTS;
  SQLBindParameter(st, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 6, 0, code, sizeof code,
                   &codeLength);
  const char* sql = "SELECT Fi FROM Kala WHERE Code = ?";
  ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)sql, SQL_NTS)));
  double fi = 0;
  SQLLEN ind = 0;
  ASSERT_EQ(SQLFetch(st), SQL_SUCCESS);
  SQLGetData(st, 1, SQL_C_DOUBLE, &fi, sizeof fi, &ind);
  EXPECT_EQ(fi, 12500.5);
  SQLCloseCursor(st);
  ASSERT_TRUE(SQL_SUCCEEDED(
      SQLPrepare(st, (SQLCHAR*)"SELECT COUNT(*) FROM Kala WHERE Code <> ?", SQL_NTS)));
  for (const char* c : {"A1", "ZZ"}) {
    std::snprintf(code, sizeof code, "%s", c);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(st)));
    long long n = 0;
    ASSERT_EQ(SQLFetch(st), SQL_SUCCESS);
    SQLGetData(st, 1, SQL_C_SBIGINT, &n, sizeof n, &ind);
    EXPECT_EQ(n, std::string(c) == "A1" ? 1 : 2);
    SQLCloseCursor(st);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

// A client that stops reading a long result and cancels: the server answers the attention,
// the rest of the batch never runs, and the connection serves the next statement.
TEST_F(OdbcBackend, CancelEndsTheBatchMidResultAndTheConnectionGoesOn) {
  {
    auto local = Embedded();
    local->Execute("CREATE TABLE Big (N int, Pad varchar(400)) CREATE TABLE Marks (N int)");
    std::vector<std::vector<xfer::engine::Value>> rows;
    for (long long n = 0; n < 100000; ++n)
      rows.push_back({xfer::engine::Value{n}, xfer::engine::Value{std::string(400, 'x')}});
    local->AppendRows("Big", {"N", "Pad"}, rows);  // some 40 MB: far more than a socket holds
  }
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  std::string cs = "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=" + std::to_string(serve_->port()) +
                   ";UID=xfer;PWD={P@ss'word};DATABASE=D;ClientCharset=UTF-8";
  ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()),
                                             SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)));
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  const char* batch = "SELECT N, Pad FROM Big ORDER BY N INSERT INTO Marks VALUES (1)";
  ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)batch, SQL_NTS)));
  for (int i = 0; i < 3; ++i) ASSERT_EQ(SQLFetch(st), SQL_SUCCESS);
  EXPECT_TRUE(SQL_SUCCEEDED(SQLCancel(st)));
  SQLFreeStmt(st, SQL_CLOSE);
  auto count = [&](const char* sql) {
    long long n = -1;
    SQLLEN ind = 0;
    if (!SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)sql, SQL_NTS))) return -2LL;
    if (SQLFetch(st) == SQL_SUCCESS) SQLGetData(st, 1, SQL_C_SBIGINT, &n, sizeof n, &ind);
    SQLFreeStmt(st, SQL_CLOSE);
    return n;
  };
  EXPECT_EQ(count("SELECT COUNT(*) FROM Marks"), 0);
  EXPECT_EQ(count("SELECT COUNT(*) FROM Big"), 100000);
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  Embedded()->Execute("DROP TABLE Big DROP TABLE Marks");
}

}  // namespace
