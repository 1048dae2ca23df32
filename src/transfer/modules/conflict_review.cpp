#include "transfer/modules/conflict_review.h"

#include "db/text_util.h"
#include "transfer/run/atomic_unit.h"

namespace xfer::transfer {
namespace {

using db::EscapeQuotes;

const char* kReplaceMarkedTitle = "جايگزيني اطلاعات انتخاب شده";
const char* kReplaceAllTitle = "جايگزيني تمامي اطلاعات";
const char* kWait = "لطفا صبر كنيد";

long long CountOf(db::Backend& b, const std::string& sql) {
  return db::ParseInteger(db::ScalarText(b, sql)).value_or(0);
}

}  // namespace

std::string ConflictReview::SelectSql() const {
  return "Select bCheck, " + call_.columns + " From " + call_.conflictTable;
}

long long ConflictReview::RowCount() {
  if (!db::TempObjectExists(*db_.connection(), call_.conflictTable)) return 0;
  return CountOf(*db_.connection(), "Select Count(*) From " + call_.conflictTable);
}

long long ConflictReview::MarkedCount() {
  return CountOf(*db_.connection(),
                 "Select Count(*) From " + call_.conflictTable + " Where bCheck = '" + kMark + "'");
}

void ConflictReview::InvertMarks() {
  db_.RunSql("Update " + call_.conflictTable + " Set " + "bCheck = Case When bCheck = '" + kMark +
             "' Then '' Else '" + kMark + "' End ");
}

long long ConflictReview::MarkKeys(const std::vector<std::string>& keys) {
  // In slices, so a long key file never makes one statement too long.
  const size_t kSlice = 500;
  for (size_t i = 0; i < keys.size(); i += kSlice) {
    std::string list;
    for (size_t j = i; j < keys.size() && j < i + kSlice; ++j)
      list += (list.empty() ? "" : ", ") + db::Quote(keys[j]);
    db_.RunSql("Update " + call_.conflictTable + " Set bCheck = '" + kMark + "' Where (" +
               call_.key + ") In (" + list + ")");
  }
  return MarkedCount();
}

long long ConflictReview::Decide(ReplaceMode mode) {
  const std::string args = "'" + EscapeQuotes(call_.conflictTable) + "', " + "'" +
                           EscapeQuotes(call_.sourceDb) + "', '" + EscapeQuotes(call_.table) +
                           "', '" + EscapeQuotes(call_.columns) + "', '" + EscapeQuotes(call_.key) +
                           "' ";
  if (mode == ReplaceMode::kNone) {
    RunAtomic(db_, [&] {
      db_.RunSql("sp_Sayer_XferHesab 'THIRD', '', '" + EscapeQuotes(call_.conflictTable) + "', " +
                 "'', '" + EscapeQuotes(call_.table) + "', '" + EscapeQuotes(call_.columns) +
                 "', '" + EscapeQuotes(call_.key) + "' ");
    });
    return 0;
  }
  const bool marked = mode == ReplaceMode::kMarked;
  const long long replaced = marked ? MarkedCount() : RowCount();
  dialogs_.ShowState("STOP", marked ? kReplaceMarkedTitle : kReplaceAllTitle, kWait);
  try {
    RunAtomic(db_, [&] {
      db_.RunSql(std::string(marked ? "sp_Sayer_XferHesab 'SECOND', 'CHECK', "
                                    : "sp_Sayer_XferHesab 'SECOND', 'ALL', ") +
                 args);
    });
  } catch (...) {
    dialogs_.HideState();
    throw;
  }
  dialogs_.HideState();
  return replaced;
}

bool ParseReplaceMode(const std::string& text, ReplaceMode& mode) {
  const std::string t = db::LowerAscii(db::Trim(text));
  if (t == "none")
    mode = ReplaceMode::kNone;
  else if (t == "all")
    mode = ReplaceMode::kAll;
  else if (t == "marked")
    mode = ReplaceMode::kMarked;
  else
    return false;
  return true;
}

}  // namespace xfer::transfer
