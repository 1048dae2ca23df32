// Routing of server directories through `xfer serve`: with XFER_SERVE_DIRECTORIES set to the
// path of the xfer tool, every server directory a connection string names is served by a child
// `xfer serve` on a free loopback port and reached over ODBC, as a real SQL Server would be.
// Test runs set it to put the transfer, suite and tool tests through the network path.
#pragma once

#include <optional>
#include <string>

namespace xfer::db {

struct ServedAddress {
  std::string dataSource;  // "127.0.0.1,port"
  std::string user;
  std::string password;
};

// The address serving `directory` when routing is on (starting the server on first use, and
// again when the directory was recreated); nullopt when routing is off.
std::optional<ServedAddress> ServedDirectoryAddress(const std::string& directory);

}  // namespace xfer::db
