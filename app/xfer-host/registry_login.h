// What the host reads from the registry to open a session: the users it may log in as, the
// periods of every company, and the session record filled from the choices.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/backend.h"
#include "db/session.h"

namespace xfer::hostapp {

struct RegistryUser {
  int id = 0;        // UserID
  std::string name;  // User_Name
  std::string key;   // User_Pass1
};

struct RegistryPeriod {
  std::string code;     // sCode
  std::string year;     // sYear
  std::string company;  // sName
  std::string dbName;   // "KELVARO_" + code + "_" + year
  std::string firstDate;
  std::string lastDate;
};

struct RegistryChoices {
  std::vector<RegistryUser> users;
  bool userTableMissing = false;  // the registry has no UserHub: log in without a user
  std::vector<RegistryPeriod> periods;
};

// Reads KELVARO_Hub..UserHub and KELVARO_Hub..Hub_Company. Server errors other than a missing
// user table are thrown.
RegistryChoices ReadRegistry(db::Backend& server);

// Server directory: the command line's, else XFER_SERVER's, else the default.
std::string ResolveServerDir(const std::optional<std::string>& argument, const char* environment,
                             const std::string& fallback);

struct SessionInput {
  std::string serverDir;
  std::string workstation;
  std::string appTitle;
  std::string appFolder;
  std::string today;
  std::optional<RegistryUser> user;
  RegistryPeriod period;
};

// The session record for the choices; the database name is left for ConnectDatabase to store.
db::HostGlobal MakeHostGlobal(const SessionInput& in);

}  // namespace xfer::hostapp
