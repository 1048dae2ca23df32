// The sales document import: pre-invoices or invoices (sales or returns) of another company,
// period or server are prepared by the source period (sp_R_Asnad_Import_Perpar) into the form's
// import table, with their invoice factors, cash payments and serial numbers in three companion
// tables, shown for review, and written by this period (sp_R_Asnad_Import_Applay) under one of
// three numberings. An apply is one transaction: every loaded document is written with its
// companions, the base records it needs and its invoice type, or nothing is.
#pragma once

#include <string>
#include <vector>

#include "import/import_frame.h"

namespace xfer::import {

// rg_AfterImport of the sales form, in the order of the radio items.
enum TradoAfterMode { kTradoNewId = 0, kTradoOldIdNew = 1, kTradoOldIdReplace = 2 };
const char* TradoAfterModeName(int afterMode);  // NEWID, OLDID_NEW, OLDID_REPLACE
// The mode index of a name (case ignored); -1 for none.
int TradoAfterModeOf(const std::string& name);

// One item of cmbTypeAsnad: the tables it reads and writes and what the procedures are told.
struct TradoType {
  const char* header;
  const char* lines;
  const char* factors;
  const char* letter;      // F invoices, P pre-invoices
  const char* serialKind;  // R_SellSerial.TypeFactor
  const char* typeAction;  // 1 sale, 2 return
  const char* kind;        // FACTOR, PREFACTOR
};
// Pre-invoice, pre-invoice return, invoice, invoice return.
inline constexpr TradoType kTradoTypes[] = {
    {"R_PreFactorForosh", "R_DetailPreFactorForosh", "R_PreFactor_Relate_FactCata", "P", "1", "1",
     "PREFACTOR"},
    {"R_PreFactorForosh", "R_DetailPreFactorForosh", "R_PreFactor_Relate_FactCata", "P", "1", "2",
     "PREFACTOR"},
    {"R_FactorForosh", "R_DetailFactorForosh", "R_Factor_Relate_FactCata", "F", "2", "1", "FACTOR"},
    {"R_FactorForosh", "R_DetailFactorForosh", "R_Factor_Relate_FactCata", "F", "2", "2", "FACTOR"},
};
// The type index of a name: PREFACTOR, PREFACTOR_RETURN, FACTOR, FACTOR_RETURN (case ignored).
int TradoTypeOf(const std::string& name);

// What one apply wrote.
struct TradoOutcome {
  long long documents = 0;  // documents written (new or replacing)
  long long lines = 0;      // document lines written
  long long kept = 0;       // documents left out because their number is taken here
  long long replaced = 0;   // documents of this period replaced
  long long factors = 0;    // invoice factor rows written
  long long payments = 0;   // cash payment rows written
  long long serials = 0;    // serial numbers written
  long long baseRows = 0;   // base records copied from the source
  long long typeRows = 0;   // invoice-type relations added
};

class TradoImport : public ImportFrame {
 public:
  using ImportFrame::ImportFrame;

  // Also reads the sales names and makes the import table with its companions.
  void Prepare() override;
  const std::string& importTable() const { return importTable_; }
  // The form's title, from the sales module's names of its documents.
  const std::string& caption() const { return caption_; }
  // Items of cmbTypeAsnad, in order.
  const std::vector<std::string>& typeNames() const { return typeNames_; }

  // Chooses item `index` of the document types (-1: none): reads the ranges of the chosen
  // source anew and drops loaded candidates. False for an index outside the list.
  bool ChooseType(int index);
  int typeIndex() const { return typeIndex_; }
  // chbAdamEntegal: leave out pre-invoices turned into invoices (pre-invoice sales only).
  bool skipConverted = false;

  bool Load() override;
  bool Apply() override;
  bool CheckBeforeAuto() override;

  // The loaded candidate rows (one per line), ordered by sOrder and number; empty before a load.
  const db::ResultSet& candidates() const;
  long long candidateLines() const { return candidateLines_; }
  long long candidateDocuments() const { return candidateDocuments_; }
  long long candidateCount() const override { return candidateLines_; }
  // The font colour of a candidate row from its sOrder markers.
  static int RowColour(const std::string& sOrder);
  const TradoOutcome& outcome() const { return outcome_; }

 protected:
  void ReadRanges() override;
  void CloseCandidates() override;

 private:
  const TradoType& type() const { return kTradoTypes[typeIndex_ < 0 ? 0 : typeIndex_]; }
  // The import table's columns, its number and code columns as wide as the sales tables of
  // `database` ("" for the current one), read through `b`, hold them.
  std::string ImportDefinition(db::Backend& b, const std::string& database);
  // Drops and makes the import table through `b`.
  void MakeImportTable(db::Backend& b, const std::string& definition);
  void MakeCompanions(db::Backend& b);
  bool CheckWidths();
  std::string Filter() const;
  void FillCompanions();
  void FetchFromRemote();
  // The source's item table as this server reads it (a copy when the source is remote).
  std::string SourceItems();
  void MarkMissingCodes(const std::string& sourceItems);
  bool CheckNumberRoom();
  std::string MissingCode(const std::string& sourceItems);
  std::vector<std::string> BaseSources();
  long long CopyMissingBase(const std::vector<std::string>& sources);
  long long RelateInvoiceTypes();
  void Refuse(const std::string& message);
  void KeepReport();

  std::string importTable_;
  std::string caption_;
  std::vector<std::string> typeNames_;
  int typeIndex_ = 0;
  long long candidateLines_ = 0;
  long long candidateDocuments_ = 0;
  TradoOutcome outcome_;
};

}  // namespace xfer::import
