// The frame every module transfer form is built on, without its widgets: the list of source
// periods in the form's "##" table, marking one period, the server choice, the checks before a
// table moves (structure version, code widths, the form's own gate), the first phase of
// sp_Sayer_XferHesab for the table of the active tab, and the run report of each press of the
// confirm button. The forms and `xfer move` drive it alike; it talks to the user only through
// the Dialogs interface.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "db/dialogs.h"
#include "db/session.h"
#include "transfer/base/base_transfer.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/modules/module_tables.h"
#include "transfer/run/run_report.h"

namespace xfer::transfer {

// The outcome of the first phase for one table.
struct TableCopy {
  const ModuleTable* table = nullptr;
  bool carried = false;  // false: a check stopped it, nothing was written
  bool emptySource = false;
  ConflictCall call;
  long long conflicts = 0;      // rows left in the conflict table
  long long replacedWhole = 0;  // destination rows the source's replaced, for a whole-table copy
  UnitResult unit;
};

// The user's answer when a print layout of the same name already exists in the period: the
// existing-form window's result (100 replace, 200 new name, 2 skip) and the name typed for 200.
struct ExistingFormAnswer {
  int result = 2;
  std::string newName;
};
using AskExistingForm = std::function<ExistingFormAnswer(const std::string& name)>;

class ModuleTransfer {
 public:
  ModuleTransfer(db::HostGlobal& global, db::HostDate& date, db::HostDatabase& database,
                 db::Dialogs& dialogs, const ModuleForm& form);

  const ModuleForm& form() const { return form_; }
  // When the form is shown: the temporary name, the level names and the form's gate.
  void Prepare();

  // The period list: refilled from the registry of the source server (the current period left
  // out while the source is local); opened by the form's period grid on PeriodConnection().
  void FillPeriodList();
  const std::string& periodList() const { return tempName_; }
  db::Backend& PeriodConnection() { return RemoteQuery(); }
  // A double click on a period's mark: marks it (clearing every other mark) or clears it.
  void ToggleMark(const std::string& dbName);
  // The DBName of the marked period, upper-cased; empty when none is marked.
  std::string MarkedDatabase();

  void UseSourceServer(SourceServer server);
  bool RemoteSource() const;
  db::Backend& RemoteQuery();
  const std::string& sourceServerName() const { return source_.name; }

  // True while the form's gate keeps the confirm button disabled whatever the tab.
  bool Gated() const { return gated_; }
  // What a caller without the form's disabled button says of the gate.
  static constexpr const char* kGatedRefusal =
      "سند افتتاحيه يا اختتاميه در دوره جاري ثبت شده است؛ حسابها به اين دوره منتقل نمي شوند.";
  // The confirm button's state on a tab: never on the period tab, else a marked period and an
  // open gate.
  bool ConfirmEnabled(bool periodTab);

  // A text of the form's data with the company's names in place: {NAMTAFSILY2} and
  // {NAMPROJECT} (account levels), {NAMBAZARYAB} (the marketer term of the sales settings),
  // {QTYNAME}, {QTYNAME1}, {QTYNAME2} (the three quantity units of the inventory settings).
  std::string Expand(const char* text) const;
  const std::string& namTafsily2() const { return namTafsily2_; }
  const std::string& namProject() const { return namProject_; }

  // The common part of the confirm button: marked period and structure version. False, with
  // the message shown, when it stops.
  bool CheckSource(std::string& sourceDb);
  // The width checks of one table, in order; false at the first mismatch (message shown).
  bool CheckWidths(const ModuleTable& t);

  // Checks, then the first phase under the progress window: new rows carried, clashing rows
  // left in the conflict table. The progress window stays open when rows clash (the caller
  // closes it through Finish); an empty source says so and ends the run.
  TableCopy CopyFirst(const ModuleTable& t);
  // After the decision on the clashes (or none): runs the table's follow-up steps, closes the
  // progress window, says the table was carried, records `replaced` and keeps the run report
  // in the destination.
  void Finish(TableCopy& copy, long long replaced, bool afterConflicts);
  // Keeps a run that ended on an error or a refused check.
  void FinishFailed(TableCopy& copy, const std::string& outcome);

  // The users tab: the user tables of the current period replaced whole by the marked period's,
  // as the base transfer replaces them, under the progress window; the run is kept like a
  // table's. False, with the message shown, when a check stops it.
  bool CopyUsers();
  // The print tab: every layout of kind `letter` in the marked period is copied, one atomic
  // unit each; a layout whose name exists here asks `ask`; an id taken here gets the next free
  // one. False, with the message shown, when a check stops it.
  bool CopyPrintForms(const std::string& letter, const AskExistingForm& ask);
  // The same for a print tab of the form's data: its kind letter, which source ids it takes
  // and the steps that go with each layout copied.
  bool CopyPrintForms(const CopyTab& tab, const AskExistingForm& ask);

  const RunReport& lastReport() const { return report_; }

  // Bank accounts, cash boxes and petty-cash holders take their opening balances from the
  // source's closing balances once they have moved (the landed base transfer's openings), one
  // atomic unit for the whole table.
  static bool FollowedByOpenings(const std::string& table);
  void RecomputeOpenings(const std::string& table, const std::string& sourceDb);

 private:
  void Refuse(const std::string& message);
  void StartReport(const std::string& what, const std::string& sourceDb);
  void SaveReport();
  long long Count(db::Backend& b, const std::string& table);
  // The table a follow-up step reads: the source period's, or its copy fetched from the
  // source server.
  std::string FollowUpSource(const FollowUp& step, const std::string& sourceDb);
  std::string FollowUpBatch(const FollowUp& step, const std::string& source) const;
  // Ends a carried table: its follow-up steps, then the message and the kept run.
  void EndTable(TableCopy& copy, const std::string& message, const char* code);
  // Each step one atomic unit, added to the run report.
  void RunFollowUps(const std::vector<FollowUp>& steps, const std::string& sourceDb);

  db::HostGlobal& g_;
  db::HostDate& date_;
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  const ModuleForm& form_;
  SourceServer source_;
  std::string tempName_;
  std::string namTafsily2_, namProject_;
  std::map<std::string, std::string> names_;  // the other names Expand puts in
  bool gated_ = false;
  std::string refusal_;  // the last check's message
  RunReport report_;
};

}  // namespace xfer::transfer
