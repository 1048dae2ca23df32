// The inventory document import: documents of another company, period or server (receipts,
// issues, transfers, returns, adjustments, drafts, temporary receipts, item requests) are
// prepared by the source period (sp_A_Asnad_Import_Perpar) into the form's import table, or the
// source's closing stock (sp_A_Rep_KartMojodi) becomes one opening-stock document per warehouse.
// The load shows them with the numbers they would get here; the apply backs the destination's
// inventory tables up (BCK_ tables, one per table) and writes them (sp_A_Asnad_Import) under one
// of four numberings, in one transaction. A source on another server is mirrored into
// Tmp_A_Remote on this server for the apply.
#pragma once

#include <string>
#include <vector>

#include "import/import_frame.h"

namespace xfer::import {

// cmbTypeAsnad: the item text and the document code, in the order of the list.
struct StoreDocType {
  const char* name;
  const char* code;
};
const std::vector<StoreDocType>& StoreDocTypes();
// The index of a type by its code ("30") or its item text; -1 for none.
int StoreTypeOf(const std::string& codeOrName);

// rg_AfterImport of the inventory form, in the order of its items.
enum StoreAfter { kStoreReplace = 0, kStoreNewId = 1, kStoreMerge = 2, kStoreOldId = 3 };
// The procedure's name of an item: REPLACE, NEWID, OLDID, OLDID_NOCHANGE.
const char* StoreAfterName(int afterMode);
int StoreAfterOf(const std::string& name);

// What one apply wrote.
struct StoreOutcome {
  long long documents = 0;  // documents written (new, merged or replacing)
  long long lines = 0;
  long long kept = 0;      // left out: their number is taken here
  long long replaced = 0;  // documents of this period replaced
  long long merged = 0;    // documents added to one of the same number here
  long long serials = 0;   // serial numbers written
  long long notMoved = 0;  // documents held back because receipt factors refer to them
  long long baseRows = 0;  // base records copied from the source
};

class StoreImport : public ImportFrame {
 public:
  using ImportFrame::ImportFrame;

  // Also makes ##tmpTableName, ##tmpNotMoved, the per-form table and ##tmpTranID_Movagat with
  // the widths of this period.
  void Prepare() override;
  static constexpr const char* kGridTable = "##tmpTableName";
  static constexpr const char* kNotMovedTable = "##tmpNotMoved";
  const std::string& importTable() const { return importTable_; }
  const std::string& caption() const { return caption_; }
  const std::string& namTafsily2() const { return namTafsily2_; }

  // cmbTypeAsnad: reads the ranges of the chosen type; -1 chooses none.
  bool ChooseType(int index);
  int typeIndex() const { return typeIndex_; }
  std::string TypeCode() const;

  Range anbars;  // chbAnbar, FrAnbarCod, ToAnbarCod
  // The warehouses of the source period (AnbarCod, AnbarNam) for the picker of the range edits;
  // none without a period.
  db::ResultSet SourceAnbars();
  bool havalehDest = false;  // chkHavaleh

  // rg_AfterImport items as they read now: the merging item is gone after the receipt rule.
  std::vector<std::string> AfterItems() const;
  // The procedure's mode of the chosen item (afterMode indexes AfterItems()).
  std::string AfterModeNameNow() const;
  // chbAutoClick: automatic mode back to idle; with a period and a receipt (or its return)
  // chosen, new numbers are selected and the merging item removed.
  void ResetAuto();
  // The check before automatic mode starts: a document type, then a period.
  bool CheckBeforeAuto() override;

  // The date check of the form: a Solar Hijri date of the source period's year (the documents
  // chosen are that period's). False, with the status text, otherwise.
  bool CheckDate(const std::string& date);

  bool Load() override;
  bool Apply() override;

  // The marks of the preview's popup items (all, none, invert). A load marks every line; the
  // apply sends the marked ones.
  enum class Marks { kAll, kNone, kInvert };
  void Mark(Marks marks);
  long long MarkedLines() const;

  // The loaded preview (incoming halves of transfers left out), ordered by sOrder and Raj.
  const db::ResultSet& candidates() const;
  long long candidateLines() const { return candidateLines_; }
  long long candidateDocuments() const { return candidateDocuments_; }
  // Font colour of a preview row from its sOrder markers; `closingStock` for the period-end
  // stock type.
  static int RowColour(const std::string& sOrder, bool closingStock);
  const StoreOutcome& outcome() const { return outcome_; }
  // The stamp of the backups the last apply made.
  const std::string& backupStamp() const { return backupStamp_; }

 protected:
  void ReadRanges() override;
  void CloseCandidates() override;

 private:
  std::string Code() const;
  bool CheckWidths();
  bool CheckAvamel();
  // The range conditions on the header columns, each headed by `alias`.
  std::string Filter(const std::string& alias = "TA.") const;
  void LoadClosingStock();
  void LoadDocuments();
  void FetchFromRemote();
  void ReadDrafts();
  void MarkMissingCodes();
  void AddTotals();
  bool CheckApply();
  void HoldBackFactorDocuments(const std::string& sourceDb);
  // The rows of the preview one call of the import writes; `code` is the call's code.
  void FillImportTable(const std::string& code);
  void MakeCondTables();
  long long CopyMissingBase(const std::string& sourceDb);
  void KeepReport();
  void Refuse(const std::string& message);
  // The statement that makes an import table `name` with this period's code widths.
  std::string Table(const std::string& name) const;

  std::string importTable_;
  std::string caption_;
  std::string namTafsily2_;
  int typeIndex_ = -1;
  bool mergeRemoved_ = false;
  long long candidateLines_ = 0;
  long long candidateDocuments_ = 0;
  StoreOutcome outcome_;
  std::string backupStamp_;
};

}  // namespace xfer::import
