// The messages a user of the xfer tool meets when a run cannot go on for a reason outside the
// transfer itself: a damaged period file, a period another transfer holds, a full disk. Each is
// one Persian sentence saying what happened and what stayed as it was, then the server's own
// words as detail.
#pragma once

#include <string>

#include "db/dialogs.h"
#include "engine/error.h"

namespace xfer::cli {

// The lines to print for `e`, or empty when the error has no plain message of its own.
// `database` is the period the run writes.
std::string PlainMessage(const engine::SqlError& e, const std::string& database);

// Shows `e` the way every command ends on a server error: the plain message as the system's
// message and its detail on standard error, or the server's own words. Returns exit status 1.
int ReportSqlError(const engine::SqlError& e, const std::string& database, db::Dialogs& dialogs);

}  // namespace xfer::cli
