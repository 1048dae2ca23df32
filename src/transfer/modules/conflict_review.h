// The rows a table transfer did not carry because their key already exists in the destination:
// the conflict table left by the first phase of sp_Sayer_XferHesab, the marks the user sets on
// it, and the decision (replace the marked rows, all rows, or none) that ends the transfer. The
// conflict window and `xfer move --replace` both drive this.
#pragma once

#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/session.h"

namespace xfer::transfer {

// The mark character of chosen rows ("ض").
inline constexpr const char* kMark = "ض";

// What sp_Sayer_XferHesab is given for one table.
struct ConflictCall {
  std::string conflictTable;  // "##" + workstation + stamp + tag
  std::string sourceDb;
  std::string table;
  std::string columns;
  std::string key;
};

enum class ReplaceMode { kNone, kAll, kMarked };

class ConflictReview {
 public:
  ConflictReview(db::HostDatabase& destination, db::Dialogs& dialogs, ConflictCall call)
      : db_(destination), dialogs_(dialogs), call_(std::move(call)) {}

  const ConflictCall& call() const { return call_; }
  // The statement the window's grid is opened with.
  std::string SelectSql() const;
  long long RowCount();
  long long MarkedCount();
  // Every mark flipped.
  void InvertMarks();
  // Marks the rows whose key (the key expression's value) is one of `keys`; returns how many
  // rows are marked afterwards.
  long long MarkKeys(const std::vector<std::string>& keys);

  // The decision, each one atomic on the destination. Returns the rows that replaced
  // destination rows (0 for kNone). kMarked and kAll show the progress window as the window
  // does; kNone releases the conflict table without it.
  long long Decide(ReplaceMode mode);

 private:
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  ConflictCall call_;
};

// "none", "all", "marked" (case-insensitive); false for anything else.
bool ParseReplaceMode(const std::string& text, ReplaceMode& mode);

}  // namespace xfer::transfer
