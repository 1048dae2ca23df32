// What a crash test compares: each database file of a server read as a digest per table (its
// definition and its rows, in any order), so two states are equal exactly when every table
// holds the same rows. "Identity aside" leaves out identity columns and the identity counters,
// which a rerun numbers anew. The times a run report records (when the run started, when the
// report was kept, how long each unit took) are always left out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace xfer::crash {

// Table name (lower case) -> digest.
using DatabaseState = std::map<std::string, std::uint64_t>;
// Database name (lower case, the file name without ".db") -> its tables.
using ServerDigest = std::map<std::string, DatabaseState>;

// The identity counter of table t is digested as kCounterPrefix + t.
inline constexpr const char* kCounterPrefix = "__xfer_identity.";

// Every database of the server directory but tempdb, whose tables are work tables.
ServerDigest DigestServer(const std::string& directory, bool identityAside = false);
DatabaseState DigestDatabase(const std::string& file, bool identityAside = false);
// The global temporary tables (##name) tempdb holds.
std::vector<std::string> WorkTables(const std::string& directory);

// The state without the run reports (Xfer_Run, Xfer_RunUnit): each run, a failed one too,
// keeps its own, so they are left aside where runs are not one to one.
DatabaseState WithoutRunReports(DatabaseState state);

// Tables whose digests differ between two states of a database ("+t" only in `b`, "-t" only in
// `a`, "t" different), for messages.
std::vector<std::string> Differences(const DatabaseState& a, const DatabaseState& b);

}  // namespace xfer::crash
