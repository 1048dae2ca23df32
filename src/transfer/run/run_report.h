// One run of a transfer or an import, as the user is shown it afterwards and as the destination
// period keeps it for audit: per unit (one table copy, one procedure call, one document batch)
// the caption, the rows of the source, what was carried, kept, replaced, the seconds and the
// error that stopped it. Every form, import and `xfer` subcommand fills one of these.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace xfer::transfer {

// What one unit did.
struct UnitResult {
  std::string table;          // table (or procedure) the unit wrote
  std::string name;           // Persian caption shown to the user
  long long sourceRows = -1;  // -1 when not counted
  long long inserted = 0;     // rows carried as new
  long long clashing = 0;     // rows kept because their key already exists
  long long replaced = 0;     // clashing rows the user chose to replace
  double seconds = 0;
  std::string error;  // empty when the unit completed
};
// The name the landed base transfer used for the same record.
using TableStats = UnitResult;

struct RunReport {
  std::string what;         // form or subcommand, e.g. "kol", "move maly KOLL"
  std::string source;       // source database (and server when remote)
  std::string destination;  // destination database
  std::string user;         // user identifier or workstation
  std::string started;      // Solar Hijri date and time of the start
  std::vector<UnitResult> units;
  bool stopped = false;  // the user asked to stop; the units done stay carried
  std::string outcome;   // "OK", "STOPPED", or the message of the check or error that ended it
};

// A stop asked for by the user (stop button, closing the window, SIGTERM). Honoured between
// units only, so every unit stays whole.
class StopRequest {
 public:
  void Request() { requested_.store(true); }
  void Clear() { requested_.store(false); }
  bool Requested() const { return requested_.load(); }

 private:
  std::atomic<bool> requested_{false};
};

}  // namespace xfer::transfer
