// The crash walk: one `xfer` run is made to end at every statement (or commit, or failing
// write) in turn, and after each abrupt end every database of the server must be exactly as it
// was at some unit boundary of a clean run (before the first unit and after the last included),
// and a rerun must reach the clean run's end state. A transfer or import adds its own walk by
// naming its server and arguments:
//
//   CrashWalk walk({"kol", demoServer, {"kol", "--server", "{server}", ...}}, workDir);
//   walk.Learn();
//   EXPECT_EQ(walk.Walk(Fault::kStatement, walk.Points(Fault::kStatement, 60)), "");
#pragma once

#include <map>
#include <string>
#include <vector>

#include "server_digest.h"

namespace xfer::crash {

enum class Fault { kStatement, kCommit, kDiskFull, kIoError };

struct WalkSetup {
  std::string name;                 // for messages
  std::string templateServer;       // copied afresh before every run, never written
  std::vector<std::string> args;    // xfer arguments; "{server}" stands for the copy
  bool rerunEveryPoint = true;      // false: only every fourth point is rerun
  std::string sourceTemplate = {};  // a second server, "{source-server}", copied and checked too
  // Tables (lower case) left out of every comparison: a run record kept in the period, whose
  // times differ from run to run. A name ending in "%" leaves out every table it begins.
  std::vector<std::string> aside = {};
  // Tables (lower case) a rerun may leave otherwise than the clean run: what a second press of
  // a module form does by design differently from the first.
  std::vector<std::string> rerunAside = {};
};

class CrashWalk {
 public:
  CrashWalk(WalkSetup setup, std::string workDir);

  // The clean run: its counts, the state at each unit boundary and the end state.
  void Learn();
  long long Count(Fault f) const;
  size_t Units() const { return units_; }

  // Up to `wanted` points spread over 1..Count(f), the same on every run; every point when
  // `wanted` is 0 or XFER_CRASH_WALK=full is set.
  std::vector<long long> Points(Fault f, long long wanted) const;

  // Runs the fault at every point; an empty string when all held, else one line per failure.
  std::string Walk(Fault f, const std::vector<long long>& points);
  // `kill -9` from outside at each fraction of a clean run's duration, checked the same way.
  // Not deterministic, so for large servers and by hand rather than in every test run.
  std::string KillAt(const std::vector<double>& fractions);

 private:
  std::string Server() const;
  std::string SourceServer() const;
  void FreshServer() const;
  // Both servers' databases, the source server's named "source:<database>".
  ServerDigest DigestAll(bool identityAside = false) const;
  std::vector<std::string> Args() const;
  // Empty when every database is at one of its boundary states; `reportsAside` for a run that
  // failed, which keeps the report of its failure.
  std::string CheckAtBoundary(bool reportsAside) const;
  std::string CheckRerun() const;

  WalkSetup setup_;
  std::string workDir_;
  std::string binary_;
  std::map<std::string, long long> counts_;
  std::map<std::string, std::vector<DatabaseState>> boundaries_;  // per database
  ServerDigest endState_;                                         // identity and run reports aside
  size_t units_ = 0;
};

const char* FaultName(Fault f);

}  // namespace xfer::crash
