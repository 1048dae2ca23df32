// An in-memory SQLite database with the engine's functions installed, and a one-value query
// that renders its result so table-driven tests can compare it as text: NULL, integers as
// digits, floats with a point ("750.0"), text in quotes, errors as "!NNN message".
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "engine/func/functions.h"

namespace xfer::engine {

struct EvalCase {
  const char* expr;
  const char* expected;
};

class SqlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(RegisterFunctions(db_), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  void Exec(const std::string& sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
        << sql << ": " << (err ? err : "");
  }

  // Checks every case and names the failing expression.
  template <size_t N>
  void ExpectAll(const EvalCase (&cases)[N]) {
    for (const EvalCase& c : cases) EXPECT_EQ(Eval(c.expr), c.expected) << "SELECT " << c.expr;
  }

  // The first column of the first row of `SELECT <expr>`.
  std::string Eval(const std::string& expr) { return Query("SELECT " + expr); }

  std::string Query(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      return "prepare failed: " + std::string(sqlite3_errmsg(db_));
    std::string out;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
      out = Render(st, 0);
    } else if (rc == SQLITE_DONE) {
      out = "no row";
    } else {
      int number = 0;
      std::string message;
      out = DecodeFunctionError(sqlite3_errmsg(db_), &number, &message)
                ? "!" + std::to_string(number) + " " + message
                : "sqlite error: " + std::string(sqlite3_errmsg(db_));
    }
    sqlite3_finalize(st);
    return out;
  }

  // Every row's first column, joined by '|'.
  std::string Column(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      return "prepare failed: " + std::string(sqlite3_errmsg(db_));
    std::string out;
    while (sqlite3_step(st) == SQLITE_ROW) out += (out.empty() ? "" : "|") + Render(st, 0);
    sqlite3_finalize(st);
    return out;
  }

  static std::string Render(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
      case SQLITE_NULL:
        return "NULL";
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(st, col));
      case SQLITE_FLOAT: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", sqlite3_column_double(st, col));
        std::string s = buf;
        if (s.find_first_of(".e") == std::string::npos) s += ".0";
        return s;
      }
      case SQLITE_BLOB: {
        std::string hex = "0x";
        const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(st, col));
        for (int i = 0; i < sqlite3_column_bytes(st, col); ++i) {
          char b[3];
          std::snprintf(b, sizeof b, "%02X", p[i]);
          hex += b;
        }
        return hex;
      }
      default:
        return "'" + std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, col))) + "'";
    }
  }

  sqlite3* db_ = nullptr;
};

}  // namespace xfer::engine
