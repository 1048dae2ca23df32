// The host's session objects as the module sees them: the session record, the date service and
// the database link with its statement runner and catalog probes. The host owns them and hands
// them to every entry point; the module never frees them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "db/backend.h"
#include "db/solar_date.h"

namespace xfer::db {

// The host's session record, fields in the order the host fills them.
struct HostGlobal {
  std::string platformName = "Linux";
  std::string keyboardMode = "WIN";  // "WIN": typed Persian letters need no conversion
  std::string authKind = "SQL";      // "SQL" or "WIN"
  std::string serverName;            // embedded backend: the server directory
  std::string sqlUser;
  std::string sqlPassword;
  std::string workstation;
  std::string userId;
  std::string userKey;       // UserHub.User_Pass1 of the current user
  std::string databaseName;  // current period database
  std::string appTitle;
  std::string appFolder;  // no trailing separator; work files go here
  std::string today;      // Solar Hijri YYYY/MM/DD
  std::string periodStart;
  std::string periodEnd;
  std::string companyCode;
  std::string fiscalYear;
  int userNumber = 0;   // UserHub.UserID
  bool canCopy = true;  // written by the grid toolkit
  bool canPrint = true;
};

// The host's date service; the clock is replaceable so time stamps can be tested.
class HostDate {
 public:
  std::function<ClockTime()> clock = NowClock;
  std::string TimeStamp() const { return db::TimeStamp(clock()); }
  std::string CurrentTime() const { return db::CurrentTime(clock()); }
};

// The connection string the suite composes: four CR LF terminated lines; empty for an unknown
// authentication kind.
std::string ConnectionString(const HostGlobal& g, const std::string& server,
                             const std::string& database, const std::string& authKind,
                             const std::string& user, const std::string& password);

// The host's database link: one connection to the current period database, and the shared
// statement runner every statement without a result set goes through.
class HostDatabase {
 public:
  HostDatabase() = default;
  explicit HostDatabase(std::unique_ptr<Backend> connection) : conn_(std::move(connection)) {}

  Backend* connection() const { return conn_.get(); }
  // Runs one statement. An empty statement succeeds without touching the server; without a
  // connection the call fails. Server errors are thrown (engine::SqlError).
  bool RunSql(const std::string& sql);
  // (Re)connects to `database` on `server`; stores the database name into `g`.
  bool ConnectDatabase(HostGlobal& g, const std::string& server, const std::string& database,
                       const std::string& authKind, const std::string& user,
                       const std::string& password);

 private:
  std::unique_ptr<Backend> conn_;
};

// Drops ##name when any tempdb object whose name ends with `name` exists.
void DropTempTable(HostDatabase& db, const std::string& name);
// A table, view, procedure or trigger of that name (case and surrounding blanks ignored).
bool ObjectExists(Backend& b, const std::string& name);
bool TempObjectExists(Backend& b, const std::string& name);
// `field` of the first row of `table` whose `keyField` equals `keyValue`, as text.
std::string LookupFirst(Backend& b, const std::string& keyField, const std::string& keyValue,
                        const std::string& field, const std::string& table);
// Numbers of the last vouchers of the two special kinds: kind "2", and the other ("10").
struct YearVouchers {
  std::string kind2Number;
  std::string otherNumber;
  std::string otherDate;
};
YearVouchers FindYearVouchers(Backend& b);
// Declared width of a column ("db..table" allowed); 0 when there is no such column.
int CodeLength(Backend& b, const std::string& table, const std::string& column);

// First column of the first row of a query, as display text ("" for none or NULL).
std::string ScalarText(Backend& b, const std::string& sql);

}  // namespace xfer::db
