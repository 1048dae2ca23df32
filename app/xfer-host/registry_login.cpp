// Registry reads and the session record of the host's login.
#include "registry_login.h"

#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/error.h"

namespace xfer::hostapp {
namespace {

using db::ResultSet;

int Column(const ResultSet& rs, const std::string& name) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (db::UpperAscii(rs.fields[i].name) == db::UpperAscii(name)) return int(i);
  return -1;
}

std::string Text(const ResultSet& rs, size_t row, int column) {
  if (column < 0) return {};
  const db::Value& v = rs.rows[row][size_t(column)];
  return engine::IsNull(v) ? std::string() : std::string(db::Trim(engine::FormatValue(v)));
}

bool RegistryHas(db::Backend& server, const std::string& table) {
  auto sets =
      server.Query("Select [Name] From KELVARO_Hub..SysObjects Where [Name] = " + db::Quote(table));
  return !sets.empty() && !sets.front().rows.empty();
}

}  // namespace

RegistryChoices ReadRegistry(db::Backend& server) {
  RegistryChoices out;
  if (RegistryHas(server, "UserHub")) {
    auto sets = server.Query(
        "Select UserID, User_Name, User_Pass1 From KELVARO_Hub..UserHub Order By UserID");
    if (!sets.empty()) {
      const ResultSet& rs = sets.front();
      const int id = Column(rs, "UserID"), name = Column(rs, "User_Name"),
                key = Column(rs, "User_Pass1");
      for (size_t r = 0; r < rs.rows.size(); ++r) {
        RegistryUser u;
        u.id = int(db::ParseInteger(Text(rs, r, id)).value_or(0));
        u.name = Text(rs, r, name);
        u.key = Text(rs, r, key);
        out.users.push_back(std::move(u));
      }
    }
  } else {
    out.userTableMissing = true;
  }
  auto sets = server.Query(
      "Select sCode, sYear, sName, sDate1, sDate2 From KELVARO_Hub..Hub_Company "
      "Order By sCode, sYear");
  if (!sets.empty()) {
    const ResultSet& rs = sets.front();
    const int code = Column(rs, "sCode"), year = Column(rs, "sYear"), name = Column(rs, "sName"),
              first = Column(rs, "sDate1"), last = Column(rs, "sDate2");
    for (size_t r = 0; r < rs.rows.size(); ++r) {
      RegistryPeriod p;
      p.code = Text(rs, r, code);
      p.year = Text(rs, r, year);
      p.company = Text(rs, r, name);
      p.dbName = "KELVARO_" + p.code + "_" + p.year;
      p.firstDate = Text(rs, r, first);
      p.lastDate = Text(rs, r, last);
      out.periods.push_back(std::move(p));
    }
  }
  return out;
}

std::string ResolveServerDir(const std::optional<std::string>& argument, const char* environment,
                             const std::string& fallback) {
  if (argument && !argument->empty()) return *argument;
  if (environment && *environment) return environment;
  return fallback;
}

db::HostGlobal MakeHostGlobal(const SessionInput& in) {
  db::HostGlobal g;
  g.authKind = "SQL";
  g.serverName = in.serverDir;
  g.workstation = in.workstation;
  if (in.user) {
    g.userId = std::to_string(in.user->id);
    g.userKey = in.user->key;
    g.userNumber = in.user->id;
  }
  g.appTitle = in.appTitle;
  g.appFolder = in.appFolder;
  while (g.appFolder.size() > 1 && g.appFolder.back() == '/') g.appFolder.pop_back();
  g.today = in.today;
  g.periodStart = in.period.firstDate;
  g.periodEnd = in.period.lastDate;
  g.companyCode = in.period.code;
  g.fiscalYear = in.period.year;
  return g;
}

}  // namespace xfer::hostapp
