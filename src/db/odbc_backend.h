// A real SQL Server (or `xfer serve`) reached over ODBC through the FreeTDS driver. Batches go
// to the server as they are; result sets come back with the same field kinds and sizes the
// embedded backend reports, errors as engine::SqlError with the server's number and state.
#pragma once

#include <memory>
#include <string>

#include "db/backend.h"

namespace xfer::db {

// True when a connection string's Data Source names a network server ("host", "host,port")
// rather than a server directory.
bool IsNetworkServer(const std::string& dataSource);

// Connects to the server named by Data Source ("host[,port]"), database Initial Catalog, with
// User ID and Password. Throws engine::SqlError (18456 for a refused login).
std::unique_ptr<Backend> OpenOdbcBackend(const std::string& connectionString);

}  // namespace xfer::db
