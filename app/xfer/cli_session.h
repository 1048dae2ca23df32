// The host session the command-line tool makes for itself: the session record of a period
// database on a server directory, its database link, and a source server when one is named.
#pragma once

#include <memory>
#include <string>

#include "db/session.h"
#include "transfer/base/base_transfer.h"

namespace xfer::cli {

struct CliSession {
  db::HostGlobal global;
  db::HostDate date;
  db::HostDatabase link;
};

// Refuses, with a message on standard error, a server path that is missing or a plain file;
// true for a server directory or host,port. Called before anything is opened.
bool CheckServerPath(const std::string& path);
// The current period's server and, when one is named, the source's: every command that opens
// a session checks both this way before it opens anything.
bool CheckServerPaths(const std::string& server, const std::string& sourceServer = {});

// Connects to `database` on `server` (a directory, or host,port of a network server); company and
// year come from the database name (KELVARO_<code>_<year>), work files go to a per-user temporary
// folder, the workstation name is made safe for temporary table names.
std::unique_ptr<CliSession> OpenCliSession(const std::string& server, const std::string& database);

// The server `directory` (or host,port) as a source server of `session`.
transfer::SourceServer CliSourceServer(const CliSession& session, const std::string& directory);

}  // namespace xfer::cli
