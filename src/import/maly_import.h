// The accounting voucher import: vouchers of another company, period or server are prepared by
// the source period (sp_M_Asnad_Import_Perpar) into the form's import table, shown for review,
// and written by this period (sp_M_Asnad_Import) under one of four numberings. An apply is one
// transaction: every loaded voucher is written, with the base records it needs, or none is.
// Before anything is written the vouchers are checked: each balanced, every account present here
// (or copied from the source when asked), the new numbers fitting the number column.
#pragma once

#include <string>
#include <vector>

#include "import/import_frame.h"

namespace xfer::import {

// rg_PriorImport: summarising before sending, in the order of the radio items.
enum PriorMode { kNoChange = 0, kDaily = 1, kMonthly = 2, kYearly = 3 };
// rg_AfterImport: numbering after sending, in the order of the radio items.
enum AfterMode { kNewId = 0, kOldId = 1, kOldIdNoChange = 2, kReplace = 3 };

// The procedure's names of the modes.
const char* PriorModeName(int priorMode);  // NOCHANGE, DEAILY, MONTLY, YEARLY
const char* AfterModeName(int afterMode);  // NEWID, OLDID, OLDID_NOCHANGE, REPLACE
// The mode index of a name (either list, case ignored); -1 for none.
int PriorModeOf(const std::string& name);
int AfterModeOf(const std::string& name);

// What one apply wrote.
struct MalyOutcome {
  long long vouchers = 0;  // vouchers written (new, merged or replacing)
  long long lines = 0;     // voucher lines written
  long long kept = 0;      // vouchers left out because their number is taken here
  long long replaced = 0;  // vouchers of this period replaced
  long long merged = 0;    // vouchers added to a voucher of the same number here
  long long baseRows = 0;  // base records copied from the source
};

class MalyImport : public ImportFrame {
 public:
  using ImportFrame::ImportFrame;

  // Also makes the import table with its companions and the selection table.
  void Prepare() override;
  const std::string& importTable() const { return importTable_; }
  const std::string& selectionTable() const { return selectionTable_; }
  // Captions of the second-detail and project levels, from the accounting options.
  const std::string& namTafsily2() const { return namTafsily2_; }
  const std::string& namProject() const { return namProject_; }
  // The form's caption: the fixed text, with the source's year and code after a load.
  const std::string& caption() const { return caption_; }

  // Voucher numbers (as the source stores them) chosen in the selection form; when not empty
  // only these vouchers are prepared.
  std::vector<std::string> chosenVouchers;

  bool Load() override;
  bool Apply() override;

  // The loaded candidate lines, ordered by sOrder, ProgOrder and Raj; empty before a load. Read
  // from the import table when first asked for (a grid shows them; a timer run never does).
  const db::ResultSet& candidates() const;
  long long candidateLines() const { return candidateLines_; }
  long long candidateCount() const override { return candidateLines_; }
  long long candidateVouchers() const { return candidateVouchers_; }
  // The font colour of a candidate row from its TypeSys and sOrder markers.
  static int RowColour(const std::string& typeSys, const std::string& sOrder);
  const MalyOutcome& outcome() const { return outcome_; }

 protected:
  void ReadRanges() override;
  void CloseCandidates() override;

 private:
  bool CheckClosed();
  bool CheckWidths();
  std::string Filter() const;
  void FetchFromRemote();
  void MarkMissingCodes();
  bool CheckNumberRoom();
  bool CheckBalances();
  bool CheckAccounts();
  // Appends the report of this apply to the destination period's run tables.
  void KeepReport();
  // The source's base tables as this server reads them: db..table, or copies here when the
  // source is on another server (made before the transaction).
  std::vector<std::string> BaseSources();
  long long CopyMissingBase(const std::vector<std::string>& sources);
  void Refuse(const std::string& message);

  std::string importTable_;
  std::string selectionTable_;
  std::string namTafsily2_, namProject_;
  std::string caption_;
  long long candidateLines_ = 0;
  long long candidateVouchers_ = 0;
  MalyOutcome outcome_;
};

}  // namespace xfer::import
