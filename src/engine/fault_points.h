// Fault points of the engine, for crash tests: the process can be made to end at once, as a
// kill would (no destructors, no rollback), at the Nth statement or before the Nth commit, and
// the Nth write to a database file can be made to fail with a full disk or an I/O error. All
// of it is chosen by environment variables read once per process; without them nothing changes
// but a counter.
//
//   XFER_FAULT_STATEMENT=N   killed when statement N (1-based, every statement run) starts
//   XFER_FAULT_TERM=N        sent SIGTERM when statement N starts (the statement goes on)
//   XFER_FAULT_COMMIT=N      killed when commit N (a transaction that wrote) is about to land
//   XFER_FAULT_WRITE=N       write N to any database file fails ...
//   XFER_FAULT_KIND=full|io  ... as a full disk (it stays full) or a one-off I/O error
//   XFER_FAULT_COUNT=path    at a normal exit, the counts of statements, commits and writes
//                            are written to `path` ("statements 812\ncommits 96\nwrites 640\n")
#pragma once

struct sqlite3;

namespace xfer::engine::fault {

// Reads the environment and registers the failing file layer when asked. Safe to call often;
// must run before the first database file is opened.
void Arm();
// Counts a statement; ends the process when it is the chosen one.
void Statement();
// Counts the commits of `db`'s write transactions and ends the process before the chosen one.
void Watch(sqlite3* db);

}  // namespace xfer::engine::fault
