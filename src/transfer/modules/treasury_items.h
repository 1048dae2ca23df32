// The open cheques and promissory notes of the treasury transfer form, without its widgets: the
// work tables under the form's "##" name, the listing of what is still open at the end of the
// marked source period (with each item's settlement state: "A" settled, "X" waiting for the
// user to spread it over its document's counterparty lines), and the registration of the settled
// items as opening items of the current period. Each registration is one atomic unit of the
// run mechanism. The form, `xfer treasury` and the tests drive it alike.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/dialogs.h"
#include "db/session.h"
#include "transfer/modules/module_transfer.h"
#include "transfer/run/run_report.h"

namespace xfer::transfer {

enum class ItemKind { kReceived, kPaid };

// One listed cheque, as the cheque grid shows it.
struct ChequeRow {
  int serial = 0;  // document that carries it in the source
  std::string chqNo, joz;
  std::string whatDoc, whatDocNam;  // its last action
  std::string sanadNo, sanadDate, sarResidDate;
  double value = 0;
  std::string bankCod, acountNam, acountCod;
  std::string taraf;  // counterparty name, or the one-to-many mark
  std::string mojaz;  // "A" or "X"
  std::optional<double> arzCount;
  std::string arzName;
  long long ref = 0;  // its currency line; 0 without
};

// One listed promissory note.
struct NoteRow {
  int serial = 0;
  std::string saftehNo, joz;
  std::string sanadNo, sodorDate, sarResidDate, lastActionDate, whatDocNam;
  double value = 0;
  std::string getter;
  std::string status;  // "A" or "X"
};

// Texts of the cheque and note pages.
namespace naghd_text {
inline constexpr const char* kOneToMany = "يك به چند يا ...";
inline constexpr const char* kDocName02 = "مصرفي اول دوره";
inline constexpr const char* kChequesCaption = "چكها";
inline constexpr const char* kNotesCaption = "سفته ها";
}  // namespace naghd_text

class TreasuryItems {
 public:
  TreasuryItems(ModuleTransfer& frame, db::HostGlobal& global, db::HostDatabase& database,
                db::Dialogs& dialogs);

  // When the form is shown: the counterparty-line table with the destination's widths and the
  // note work tables with their empty "_Last" copies.
  void CreateWorkTables();
  // The work table of a suffix ("_Pay", "_Taraf_Last", ...).
  std::string Table(const std::string& suffix) const;

  // The cheque page's confirm button: the open cheques of `kind` in the marked period, resolved
  // and marked. False, with the message shown, when a check stops it.
  bool ListCheques(ItemKind kind);
  std::vector<ChequeRow> Cheques();
  // The query the cheque page's grid shows (every column of the listing, in document order);
  // empty before the first listing. ChequeAt reads one of its rows.
  std::string ChequeQuery();
  static ChequeRow ChequeAt(const db::ResultSet& rs, size_t row);
  // Registers the settled cheques (one atomic unit) and lists again. False when a check stops
  // it or nothing was listed.
  bool RegisterCheques(ItemKind kind);

  bool ListNotes(ItemKind kind);
  std::vector<NoteRow> Notes(ItemKind kind);
  std::string NoteQuery(ItemKind kind);
  static NoteRow NoteAt(const db::ResultSet& rs, size_t row);
  bool RegisterNotes(ItemKind kind);

  // Rows the last listing returned (the register buttons are enabled only when some were).
  long long listed() const { return listed_; }
  const RunReport& lastReport() const { return report_; }
  ModuleTransfer& frame() { return frame_; }
  db::HostDatabase& database() { return db_; }
  db::Dialogs& dialogs() { return dialogs_; }
  const db::HostGlobal& global() const { return g_; }
  db::HostGlobal& global() { return g_; }

 private:
  // The cheque counterparty tables emptied, as every confirm button does first.
  void ResetCounterparties();
  // Runs on the source's server: the source database's procedures and tables.
  db::Backend& Source() { return frame_.RemoteQuery(); }
  // Brings a work table of the source's server here when the source is remote.
  void Fetch(const std::string& table);
  // Cheques this period already holds never show again.
  void DropCarriedCheques();
  void ResolveCheques(ItemKind kind, const std::string& src);
  std::string CurrentFirstDate();
  // First and last date of the marked source period.
  std::pair<std::string, std::string> SourceDates();
  void StartReport(const std::string& what, const std::string& sourceDb);
  long long Count(const std::string& sql);
  // Runs `work` as the report's one unit: its counts and seconds, or its error, are recorded in
  // the run report, which is kept in this period either way.
  void RecordUnit(UnitResult& unit, std::chrono::steady_clock::time_point started,
                  const std::function<void()>& work);
  // Calls `row` for every row `sql` returns; nothing for an empty query.
  void ForEachRow(const std::string& sql,
                  const std::function<void(const db::ResultSet&, size_t)>& row);

  ModuleTransfer& frame_;
  db::HostGlobal& g_;
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  long long listed_ = 0;
  RunReport report_;
};

// "get"/"pay" (case-insensitive); false for anything else.
bool ParseItemKind(const std::string& text, ItemKind& kind);

}  // namespace xfer::transfer
