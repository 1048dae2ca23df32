#include "db/session.h"

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::db {

std::string ConnectionString(const HostGlobal& g, const std::string& server,
                             const std::string& database, const std::string& authKind,
                             const std::string& user, const std::string& password) {
  const std::string crlf = "\r\n";
  if (authKind == "SQL")
    return "Provider=SQLOLEDB.1;Persist Security Info=True;" + crlf + "User ID=" + user +
           ";Password=" + password + ";Initial Catalog=" + database + ";" + crlf +
           "Data Source=" + server + ";Use Procedure for Prepare=1;" + crlf +
           "Auto Translate=True;Packet Size=4096;Workstation ID=" + g.workstation + crlf;
  if (authKind == "WIN")
    return "Provider=SQLOLEDB.1;Integrated Security=SSPI;" + crlf +
           "Persist Security Info=True;Initial Catalog=" + database + ";" + crlf +
           "Data Source=" + server + ";Use Procedure for Prepare=1;" + crlf +
           "Auto Translate=True;Packet Size=4096;Workstation ID=" + g.workstation + crlf;
  return {};
}

bool HostDatabase::RunSql(const std::string& sql) {
  if (sql.empty()) return true;
  if (!conn_) return false;
  conn_->Execute(sql);
  return true;
}

bool HostDatabase::ConnectDatabase(HostGlobal& g, const std::string& server,
                                   const std::string& database, const std::string& authKind,
                                   const std::string& user, const std::string& password) {
  conn_.reset();
  std::string cs = ConnectionString(g, server, database, authKind, user, password);
  if (cs.empty())
    throw engine::SqlError(
        18456, "The connection string is empty: unknown authentication kind '" + authKind + "'.");
  conn_ = OpenBackend(cs);
  g.databaseName = database;
  return true;
}

void DropTempTable(HostDatabase& db, const std::string& name) {
  db.RunSql("If Exists(Select [Name] From Tempdb..SysObjects Where [Name] Like '%" +
            EscapeQuotes(name) + "') " + "Drop Table ##" + name);
}

static bool HasRows(Backend& b, const std::string& sql) {
  auto sets = b.Query(sql);
  return !sets.empty() && !sets.front().rows.empty();
}

bool ObjectExists(Backend& b, const std::string& name) {
  return HasRows(b,
                 "Select [Name] From Sysobjects Where (Upper(XType) = 'U' Or Upper(XType) = "
                 "'V' Or Upper(XType) = 'P' Or Upper(XType) = 'TR') And Upper([Name]) = '" +
                     EscapeQuotes(UpperAscii(Trim(name))) + "'");
}

bool TempObjectExists(Backend& b, const std::string& name) {
  return HasRows(b,
                 "Select [Name] From Tempdb..Sysobjects Where (Upper(XType) = 'U' Or "
                 "Upper(XType) = 'V' Or Upper(XType) = 'P' Or Upper(XType) = 'TR') And "
                 "Upper([Name]) = '" +
                     EscapeQuotes(UpperAscii(Trim(name))) + "'");
}

std::string ScalarText(Backend& b, const std::string& sql) {
  auto sets = b.Query(sql);
  if (sets.empty() || sets.front().rows.empty() || sets.front().rows[0].empty()) return {};
  const Value& v = sets.front().rows[0][0];
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

std::string LookupFirst(Backend& b, const std::string& keyField, const std::string& keyValue,
                        const std::string& field, const std::string& table) {
  return ScalarText(b, "Select Top 1 " + field + " From " + table + " Where " + keyField + " = '" +
                           EscapeQuotes(keyValue) + "'");
}

YearVouchers FindYearVouchers(Backend& b) {
  YearVouchers out;
  auto sets = b.Query(
      "Select Distinct WhatDoc, SanadDate, SanadNo From Asnad Where TypeSys='M' And WhatDoc In "
      "('10', '2') Order By SanadDate, SanadNo ");
  if (sets.empty()) return out;
  auto text = [](const Value& v) {
    return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
  };
  for (const auto& row : sets.front().rows) {
    if (std::string(Trim(text(row[0]))) == "2") {
      out.kind2Number = text(row[2]);
    } else {
      out.otherNumber = text(row[2]);
      out.otherDate = text(row[1]);
    }
  }
  return out;
}

int CodeLength(Backend& b, const std::string& table, const std::string& column) {
  std::string v = ScalarText(b, "Select COL_LENGTH('" + EscapeQuotes(table) + "', '" +
                                    EscapeQuotes(column) + "') As CodLen ");
  return static_cast<int>(ParseInteger(v).value_or(0));
}

}  // namespace xfer::db
