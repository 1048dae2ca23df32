#include "cli_session.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "db/odbc_backend.h"

namespace xfer::cli {
namespace {

// A server directory as an absolute path; a network server (host,port) as it is given.
std::string ServerName(const std::string& server) {
  return db::IsNetworkServer(server) ? server : std::filesystem::absolute(server).string();
}

}  // namespace

bool CheckServerPath(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return true;
  // A plain file here is what was meant, even when its name could also be a host's.
  if (std::filesystem::exists(path, ec)) {
    std::cerr << "مسير " << path << " يک فايل است، نه پوشه سرور.\n";
    return false;
  }
  if (db::IsNetworkServer(path)) return true;
  std::cerr << "پوشه سرور " << path << " وجود ندارد.\n";
  return false;
}

bool CheckServerPaths(const std::string& server, const std::string& sourceServer) {
  return CheckServerPath(server) && (sourceServer.empty() || CheckServerPath(sourceServer));
}

std::unique_ptr<CliSession> OpenCliSession(const std::string& server, const std::string& database) {
  auto s = std::make_unique<CliSession>();
  db::HostGlobal& g = s->global;
  g.serverName = ServerName(server);
  char host[256] = {};
  // The workstation name goes into temporary table names: letters, digits and '_' only.
  if (::gethostname(host, sizeof host - 1) == 0)
    for (const char* c = host; *c; ++c)
      if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '_') g.workstation += *c;
  if (g.workstation.empty()) g.workstation = "XFER";
  g.appTitle = "Xfer";
  if (const char* user = ::getenv("USER")) g.userId = user;
  g.appFolder =
      (std::filesystem::temp_directory_path() / ("xfer-work-" + std::to_string(::getuid())))
          .string();
  std::filesystem::create_directories(g.appFolder);
  size_t a = database.find('_'), b = database.rfind('_');
  if (a != std::string::npos && b > a) {
    g.companyCode = database.substr(a + 1, b - a - 1);
    g.fiscalYear = database.substr(b + 1);
  }
  s->link.ConnectDatabase(g, g.serverName, database, g.authKind, g.sqlUser, g.sqlPassword);
  return s;
}

transfer::SourceServer CliSourceServer(const CliSession& session, const std::string& directory) {
  transfer::SourceServer s;
  s.name = ServerName(directory);
  s.authKind = "SQL";
  s.connection =
      db::OpenBackend(db::ConnectionString(session.global, s.name, "master", "SQL", "", ""));
  return s;
}

}  // namespace xfer::cli
