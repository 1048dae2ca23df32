// The frame the three document imports share: the source period and server, the ranges by date
// and by number, the two radio groups, the two-step run (load the candidates, then apply them)
// and the automatic mode that repeats both on a timer. The forms, the command-line tool and the
// tests drive it alike; it talks to the user through Dialogs and a status sink only, and owns no
// timer: whoever holds the timer calls Tick().
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/session.h"
#include "transfer/base/base_transfer.h"
#include "transfer/run/run_report.h"

namespace xfer::import {

// Colours of the status texts and grid rows, as the suite's colour values.
inline constexpr int kBlack = 0;
inline constexpr int kRed = 255;
inline constexpr int kGreen = 32768;
inline constexpr int kFuchsia = 0xFF00FF;

struct Status {
  std::string text;
  int colour = kBlack;
};

// What one run of automatic mode did: the start's first run or a timer tick.
struct TickResult {
  bool connected = true;      // the source answered (the start does not ask)
  bool loaded = false;        // the load step ran to its end
  long long loadedRows = -1;  // rows the load left to apply; -1 when the import does not count
  bool applied = false;       // an apply ran and was not refused
  long long writtenRows = 0;  // rows the apply wrote, over all its units
  bool stopped = false;       // a stop request ended the run before its apply
  Status status;              // the status text the run ended with (empty: none shown)
};

// A range of the frame: its check box and its two edits as typed.
struct Range {
  bool ticked = false;
  std::string from;
  std::string to;
};

class ImportFrame {
 public:
  ImportFrame(db::HostGlobal& global, db::HostDate& date, db::HostDatabase& database,
              db::Dialogs& dialogs);
  virtual ~ImportFrame() = default;
  ImportFrame(const ImportFrame&) = delete;
  ImportFrame& operator=(const ImportFrame&) = delete;

  // What showing the form does: the temporary-name suffix, the period list, automatic mode idle.
  virtual void Prepare();
  // "##" + suffix names the form's import table; fixed by Prepare.
  const std::string& suffix() const { return suffix_; }

  // Another server as the source (a null connection: the current server again). The period
  // list is refilled from that server's registry and no period is chosen.
  void UseSourceServer(transfer::SourceServer server);
  bool RemoteSource() const;
  // The source server's connection (the current one for a source on this server). Throws when
  // the source is another server whose connection was lost and not yet found again.
  db::Backend& RemoteQuery();
  const std::string& sourceServerName() const { return source_.name; }

  // Items of the period combo: sYear + "-" + sCode + " : " + sName.
  const std::vector<std::string>& periods() const { return periods_; }
  // Chooses item `index` (-1: none): reads the ranges of the source, drops loaded candidates
  // and returns automatic mode to idle. False for an index outside the list.
  bool ChoosePeriod(int index);
  // Chooses the item whose database is `database` (case ignored); false when none is.
  bool ChoosePeriodByDatabase(const std::string& database);
  int periodIndex() const { return periodIndex_; }
  // "KELVARO_" + code + "_" + year of the chosen item; empty without one.
  std::string SourceDatabase() const;
  // "[" + year + "_" + code + "]" of the chosen item.
  std::string SourceTag() const;

  Range dates;            // Solar Hijri YYYY/MM/DD texts
  Range numbers;          // document numbers as typed
  int numberWidth = 0;    // the stored width of document numbers in the source
  int priorMode = 0;      // rg_PriorImport
  int afterMode = 0;      // rg_AfterImport
  bool copyBase = false;  // chbEntegalPaye

  // A typed number as the suite stores it: left-padded with blanks to numberWidth, a longer text
  // cut to it.
  std::string PaddedNumber(const std::string& typed) const;
  // year/month/day joined with "/".
  static std::string JoinDate(const std::string& year, const std::string& month,
                              const std::string& day);
  // False, with the status text, when a ticked date bound is not a Solar Hijri date.
  bool CheckDates();

  // The load step and the apply step of the form.
  virtual bool Load() = 0;
  virtual bool Apply() = 0;
  // cmdOk: a load found something to apply, and it has not been applied yet.
  bool applyEnabled() const { return applyEnabled_; }
  // Rows the last load left to apply; -1 when the import does not count them.
  virtual long long candidateCount() const { return -1; }

  // Automatic mode. The minutes edit (any change returns to idle), the start that the automatic
  // transfer form calls, the check it makes first, and one timer tick.
  void SetAutoMinutes(const std::string& minutes);
  const std::string& autoMinutes() const { return autoMinutes_; }
  void Idle();
  virtual bool CheckBeforeAuto();
  // The start runs the load, and the apply when the load left something, at once. A tick first
  // reaches the source afresh (another server is connected to again, so one restarted or moved
  // back since the last tick is found) and probes it; an unreachable source ends the tick with
  // the lost-connection status, and the next tick tries again. A server error inside the run
  // ends it with that error on the status label: nobody is there to answer a dialog.
  TickResult StartAuto();
  TickResult Tick();
  // Asked between the load and the apply: once requested, a run ends before applying, so an
  // apply is never cut short. Null: no stop.
  void SetStopRequest(const transfer::StopRequest* stop) { stop_ = stop; }
  bool timerEnabled() const { return timerEnabled_; }
  int timerInterval() const { return timerInterval_; }  // milliseconds
  const Status& state() const { return state_; }        // lblState
  const Status& runCount() const { return runCount_; }  // EdtAutoNo
  // plTop is disabled while a schedule has runs behind it.
  bool choicesLocked() const;

  // The status label of the module on the automatic transfer form. Without one, failures go to
  // the message dialog as errors and other texts as notices.
  std::function<void(const Status&)> statusSink;
  const Status& lastStatus() const { return lastStatus_; }

  // The report of the last apply.
  const transfer::RunReport& lastReport() const { return report_; }

 protected:
  // Shows a status text (red for a failure, green for success).
  void Report(const std::string& text, int colour);
  // Per form: reads the ranges of the chosen source; closes the candidates.
  virtual void ReadRanges() = 0;
  virtual void CloseCandidates() = 0;
  void SetApplyEnabled(bool on) { applyEnabled_ = on; }
  // The loaded candidates as the grid and the preview read them: run `sql` on the destination
  // once after a load (an empty set, nothing read, when `any` is false), then served as read
  // until ForgetCandidates.
  const db::ResultSet& CachedCandidates(const std::string& sql, bool any) const;
  void ForgetCandidates();
  // One apply done: counts it when automatic mode is on; returns the count text.
  std::string CountRun();
  void RefillPeriods();
  // The ranges as the source reads them: the latest and earliest date in columns `at` and
  // `at` + 1 of the first row, the highest and lowest number in the two after them.
  void TakeRanges(const db::ResultSet& rs, size_t at);
  // Reads the ranges from `sql` on the source, which selects the latest and earliest date and
  // the highest and lowest number, in that order; the width of the number column is kept too.
  void ReadRangesFrom(const std::string& sql);
  // The load and, when it left something, the apply, as automatic mode runs them.
  TickResult RunOnce();
  // Opens the source server's connection again; false (connection dropped) when it is not there.
  bool ReconnectSource();

  db::HostGlobal& g_;
  db::HostDate& date_;
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  transfer::SourceServer source_;
  std::string suffix_;
  transfer::RunReport report_;

 private:
  std::vector<std::string> periods_;
  int periodIndex_ = -1;
  bool applyEnabled_ = false;
  std::string autoMinutes_;
  bool timerEnabled_ = false;
  int timerInterval_ = 0;
  Status state_;
  Status runCount_;
  Status lastStatus_;
  bool sourceLost_ = false;
  const transfer::StopRequest* stop_ = nullptr;
  mutable db::ResultSet candidates_;
  mutable bool candidatesRead_ = false;
};

}  // namespace xfer::import
