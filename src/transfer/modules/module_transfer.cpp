#include "transfer/modules/module_transfer.h"

#include <algorithm>
#include <chrono>

#include "db/cross_server.h"
#include "db/option_string.h"
#include "db/registry.h"
#include "db/settings.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "transfer/run/atomic_unit.h"
#include "transfer/run/report_store.h"

namespace xfer::transfer {
namespace {

using db::EscapeQuotes;
using db::UpperAscii;

const char* kWait = "لطفا صبر کنيد";
const char* kCarryTitle = "انتقال ";
const char* kEmptySource = " داراي اطلاعاتي براي انتقال نمي باشد.";
const char* kCarried = " منتقل شد.";
const char* kNoSource = "شركت مبدا انتخاب نشده !";
const char* kUsersTitle = "انتقال کابران";
const char* kUsersCarried = "کاربران منتقل شد";
const char* kWidthPrefix = "طول ";
const char* kWidthSuffix = " مبدا و مقصد متفاوت مي باشد";
const char* kStructure1 = "ساختار فايل شرکت انتخاب شده با شرکت جاري متفاوت مي باشد. ";
const char* kStructure2 = "براي انتقال اطلاعات پايه حسابها بايد به شرکت";
const char* kStructure3 = " و دوره مالي ";
const char* kStructure4 = " وصل شويد و گزينه تغيير ساختار را اجرا کنيد . ";

std::string Trimmed(const std::string& s) {
  return std::string(db::Trim(s));
}

// The base transfer owns the openings and the users copy. It borrows the form's source server
// for one unit and gives it back however the unit ends.
class BorrowedBase {
 public:
  BorrowedBase(db::HostGlobal& g, db::HostDate& date, db::HostDatabase& database,
               db::Dialogs& dialogs, SourceServer& source)
      : base(g, date, database, dialogs), source_(source) {
    base.Prepare();
    base.UseSourceServer(std::move(source));
  }
  ~BorrowedBase() { source_ = base.TakeSourceServer(); }
  BorrowedBase(const BorrowedBase&) = delete;
  BorrowedBase& operator=(const BorrowedBase&) = delete;

  BaseTransfer base;

 private:
  SourceServer& source_;
};

std::string TextOf(const db::ResultSet& rs, size_t row, const char* field) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (UpperAscii(rs.fields[i].name) == UpperAscii(field)) {
      const db::Value& v = rs.rows[row][i];
      return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
    }
  return {};
}

}  // namespace

ModuleTransfer::ModuleTransfer(db::HostGlobal& global, db::HostDate& date,
                               db::HostDatabase& database, db::Dialogs& dialogs,
                               const ModuleForm& form)
    : g_(global), date_(date), db_(database), dialogs_(dialogs), form_(form) {}

void ModuleTransfer::Prepare() {
  tempName_ = "##" + g_.workstation + date_.TimeStamp();
  std::string kelvaro = db::LookupFirst(*db_.connection(), "SCode", g_.companyCode + g_.fiscalYear,
                                        "Kelvaro", "Options");
  namTafsily2_ = db::GetOption(kelvaro, "NAMTAFSILY2");
  namProject_ = db::GetOption(kelvaro, "NAMPROJECT");
  names_.clear();
  const db::ModuleSettings sales = db::ReadSalesSettings(*db_.connection(), g_);
  const db::ModuleSettings store = db::ReadInventorySettings(*db_.connection(), g_);
  names_["{NAMBAZARYAB}"] = sales.Get("NAMBAZARYAB");
  for (const char* unit : {"QTYNAME", "QTYNAME1", "QTYNAME2"})
    names_[std::string("{") + unit + "}"] = store.Get(unit);
  gated_ = false;
  if (form_.gate == FormGate::kYearVouchers) {
    db::YearVouchers v = db::FindYearVouchers(*db_.connection());
    gated_ = !Trimmed(v.kind2Number).empty() || !Trimmed(v.otherNumber).empty();
  }
}

void ModuleTransfer::FillPeriodList() {
  if (!form_.serverChoice) {
    // A form without a server choice makes its list once, on the current connection, and
    // never drops or refills it.
    if (db::TempObjectExists(*db_.connection(), tempName_)) return;
    db_.RunSql(
        "Select X.*, ' ' As State Into " + tempName_ +
        " From KELVARO_Hub..Hub_Company As X Where X.DBName <> '" + EscapeQuotes(g_.databaseName) +
        "' And X.DBName In (Select [Name] From Master..SysDatabases) Order By sCode, sYear ");
    return;
  }
  // The local list leaves the current period out; another server's list shows all of its.
  db::ListRemotePeriods(RemoteQuery(), tempName_, g_.databaseName, !RemoteSource());
}

void ModuleTransfer::ToggleMark(const std::string& dbName) {
  db::Backend& b = PeriodConnection();
  const std::string where = " Where Upper(DBName) = '" + EscapeQuotes(UpperAscii(dbName)) + "'";
  const std::string state = db::ScalarText(b, "Select State From " + tempName_ + where);
  if (Trimmed(state) == kMark) {
    b.Execute("Update " + tempName_ + " Set State = ''" + where);
    return;
  }
  b.Execute("Update " + tempName_ + " Set State = ''");
  b.Execute("Update " + tempName_ + " Set State = '" + kMark + "'" + where);
}

std::string ModuleTransfer::MarkedDatabase() {
  auto sets =
      PeriodConnection().Query("Select * From " + tempName_ + " Where State = '" + kMark + "' ");
  if (sets.empty() || sets.front().rows.empty()) return {};
  return UpperAscii(Trimmed(TextOf(sets.front(), 0, "DBName")));
}

void ModuleTransfer::UseSourceServer(SourceServer server) {
  source_ = std::move(server);
}

bool ModuleTransfer::RemoteSource() const {
  if (!form_.serverChoice) return false;
  std::string name = UpperAscii(Trimmed(source_.name));
  return source_.connection && !name.empty() && name != UpperAscii(Trimmed(g_.serverName));
}

db::Backend& ModuleTransfer::RemoteQuery() {
  if (!form_.serverChoice) return *db_.connection();
  return source_.connection ? *source_.connection : *db_.connection();
}

bool ModuleTransfer::ConfirmEnabled(bool periodTab) {
  if (periodTab || gated_) return false;
  return db::ParseInteger(db::ScalarText(PeriodConnection(), "Select Count(*) As sCount From " +
                                                                 tempName_ + " Where State = '" +
                                                                 kMark + "'"))
             .value_or(0) > 0;
}

std::string ModuleTransfer::Expand(const char* text) const {
  std::string out = ExpandLevelNames(text, namTafsily2_, namProject_);
  for (const auto& [mark, value] : names_)
    for (size_t at; (at = out.find(mark)) != std::string::npos;)
      out.replace(at, mark.size(), value);
  return out;
}

void ModuleTransfer::Refuse(const std::string& message) {
  refusal_ = message;
  dialogs_.ShowDlgMsg(message, "", "1ER");
}

bool ModuleTransfer::CheckSource(std::string& sourceDb) {
  sourceDb = MarkedDatabase();
  if (sourceDb.empty()) {
    Refuse(kNoSource);
    return false;
  }
  if (!db::SameStructure(*db_.connection(), g_.databaseName, sourceDb)) {
    auto sets = PeriodConnection().Query("Select * From " + tempName_ + " Where Upper(DBName) = '" +
                                         EscapeQuotes(sourceDb) + "'");
    std::string code, year;
    if (!sets.empty() && !sets.front().rows.empty()) {
      code = TextOf(sets.front(), 0, "sCode");
      year = TextOf(sets.front(), 0, "sYear");
    }
    Refuse(std::string(*form_.structureFirst ? form_.structureFirst : kStructure1) + kStructure2 +
           code + kStructure3 + year + kStructure4);
    return false;
  }
  return true;
}

bool ModuleTransfer::CheckWidths(const ModuleTable& t) {
  const std::string sourceDb = MarkedDatabase();
  for (const WidthCheck& c : t.checks) {
    int source = db::CodeLength(RemoteQuery(), sourceDb + ".." + c.table, c.column);
    int local = db::CodeLength(*db_.connection(), c.table, c.column);
    if (source != local) {
      Refuse(kWidthPrefix + Expand(c.caption) + kWidthSuffix + form_.widthEnd);
      return false;
    }
  }
  return true;
}

long long ModuleTransfer::Count(db::Backend& b, const std::string& table) {
  return db::ParseInteger(db::ScalarText(b, "SELECT COUNT(*) FROM " + table)).value_or(0);
}

void ModuleTransfer::StartReport(const std::string& what, const std::string& sourceDb) {
  report_ = RunReport{};
  report_.what = std::string(form_.name) + " " + what;
  report_.source = RemoteSource() ? sourceDb + " @ " + source_.name : sourceDb;
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId + " @ " + g_.workstation;
  report_.started = (g_.today.empty() ? std::string() : g_.today + " ") + date_.CurrentTime();
}

void ModuleTransfer::SaveReport() {
  // The record (and its tables, the first time) is one unit: a broken run leaves none of it.
  RunAtomic(db_, [&] { SaveRunReport(*db_.connection(), report_); });
}

TableCopy ModuleTransfer::CopyFirst(const ModuleTable& t) {
  TableCopy c;
  c.table = &t;
  refusal_.clear();
  std::string sourceDb;
  const bool sourceOk = CheckSource(sourceDb);
  StartReport(t.table, sourceDb);
  c.unit.table = t.table;
  c.unit.name = Expand(t.caption);
  if (!sourceOk || gated_ || !CheckWidths(t)) {
    report_.outcome = gated_ && refusal_.empty() ? "GATED" : refusal_;
    SaveReport();
    return c;
  }
  const std::string caption = c.unit.name;
  c.call = {tempName_ + t.tag, sourceDb, t.table, t.columns, t.key};
  const std::string& T = c.call.conflictTable;
  auto started = std::chrono::steady_clock::now();
  dialogs_.ShowState("STOP", *t.progressTitle ? Expand(t.progressTitle) : kCarryTitle + caption,
                     kWait);
  try {
    const long long before = Count(*db_.connection(), t.table);
    long long sourceRows = 0;
    if (RemoteSource()) {
      // The procedure of the source period offers every row there; the rows come here through
      // a work file, and the new keys are carried as the procedure carries them on one server,
      // so the conflict table ends up holding the clashing rows only.
      RemoteQuery().Execute(sourceDb + "..sp_Sayer_XferHesab 'FIRST', '', '" + EscapeQuotes(T) +
                            "', " + "'" + EscapeQuotes(sourceDb) + "', '" + EscapeQuotes(t.table) +
                            "', '" + EscapeQuotes(t.columns) + "', '' ");
      sourceRows = db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, T, T);
      RemoteQuery().Execute("If Object_Id('tempdb.." + EscapeQuotes(T) +
                            "') Is Not Null Drop Table " + T);
      const std::string key = std::string("(") + t.key + ")";
      RunAtomic(db_, [&] {
        db_.RunSql("Update " + T + " Set bCheck = 'N' Where " + key + " Not In (Select " + key +
                   " From " + t.table + " Where " + key + " Is Not Null) " + "Insert Into " +
                   t.table + " (" + t.columns + ") Select " + t.columns + " From " + T +
                   " Where bCheck = 'N' " + "Delete From " + T + " Where bCheck = 'N'");
      });
    } else {
      // Counting names the source database before the transaction opens.
      sourceRows = Count(*db_.connection(), sourceDb + ".." + t.table);
      RunAtomic(
          db_,
          [&] {
            db_.RunSql("sp_Sayer_XferHesab 'FIRST', '', '" + EscapeQuotes(T) + "', " + "'" +
                       EscapeQuotes(sourceDb) + "', '" + EscapeQuotes(t.table) + "', '" +
                       EscapeQuotes(t.columns) + "', '" + EscapeQuotes(t.key) + "' ");
            if (t.wholeWithoutConflicts && !db::TempObjectExists(*db_.connection(), T)) {
              c.replacedWhole = before;
              db_.RunSql(" Delete From " + g_.databaseName + ".." + t.table + "  ");
              db_.RunSql(" Insert Into " + g_.databaseName + ".." + t.table + " " +
                         " Select * From " + sourceDb + ".." + t.table + " ");
            }
          },
          sourceDb);
    }
    c.unit.sourceRows = sourceRows;
    c.unit.inserted = Count(*db_.connection(), t.table) - before + c.replacedWhole;
    c.conflicts = db::TempObjectExists(*db_.connection(), T) ? Count(*db_.connection(), T) : 0;
    c.unit.clashing = c.conflicts;
    c.unit.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    c.carried = true;
    c.emptySource = sourceRows == 0 && form_.emptySourceMessage;
  } catch (const std::exception& e) {
    dialogs_.HideState();
    FinishFailed(c, e.what());
    throw;
  }
  if (c.emptySource) EndTable(c, caption + kEmptySource, "1IR");
  return c;
}

void ModuleTransfer::Finish(TableCopy& copy, long long replaced, bool afterConflicts) {
  copy.unit.replaced = replaced + copy.replacedWhole;
  if (FollowedByOpenings(copy.unit.table)) {
    try {
      RecomputeOpenings(copy.unit.table, copy.call.sourceDb);
    } catch (const std::exception& e) {
      dialogs_.HideState();
      FinishFailed(copy, e.what());
      throw;
    }
  }
  const bool own = copy.table && *copy.table->doneMessage;
  EndTable(copy, own ? Expand(copy.table->doneMessage) : copy.unit.name + kCarried,
           afterConflicts ? form_.conflictDoneCode : form_.doneCode);
}

void ModuleTransfer::EndTable(TableCopy& copy, const std::string& message, const char* code) {
  report_.units.push_back(copy.unit);
  try {
    if (copy.table) RunFollowUps(copy.table->followUps, copy.call.sourceDb);
  } catch (const std::exception& e) {
    dialogs_.HideState();
    report_.outcome = e.what();
    try {
      SaveReport();
    } catch (const std::exception&) {
      // The step's own error is the one to report.
    }
    throw;
  }
  dialogs_.HideState();
  dialogs_.ShowDlgMsg(message, "", code);
  report_.outcome = "OK";
  SaveReport();
}

std::string ModuleTransfer::FollowUpSource(const FollowUp& step, const std::string& sourceDb) {
  if (!RemoteSource()) return sourceDb + ".." + step.source;
  const std::string local = tempName_ + step.fetchTag;
  db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, sourceDb + ".." + step.source,
                             local);
  return local;
}

std::string ModuleTransfer::FollowUpBatch(const FollowUp& step, const std::string& source) const {
  std::string batch = step.batch;
  const std::pair<std::string, std::string> marks[] = {{"{SOURCE}", source},
                                                       {"{CURRENT}", g_.databaseName}};
  for (const auto& [mark, value] : marks)
    for (size_t at; (at = batch.find(mark)) != std::string::npos;)
      batch.replace(at, mark.size(), value);
  return batch;
}

void ModuleTransfer::RunFollowUps(const std::vector<FollowUp>& steps, const std::string& sourceDb) {
  for (const FollowUp& step : steps) {
    UnitResult u;
    u.table = step.table;
    u.name = step.caption;
    const auto started = std::chrono::steady_clock::now();
    try {
      const std::string source = FollowUpSource(step, sourceDb);
      // Counting names the source before the transaction opens.
      u.sourceRows = Count(*db_.connection(), source);
      RunAtomic(db_, [&] { db_.RunSql(FollowUpBatch(step, source)); });
      // A step rewrites the rows it carries: no more than the source offers, no more than the
      // table holds afterwards.
      u.inserted = std::min(u.sourceRows, Count(*db_.connection(), step.table));
    } catch (const std::exception& e) {
      u.error = e.what();
      u.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      report_.units.push_back(u);
      throw;
    }
    u.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    report_.units.push_back(u);
  }
}

void ModuleTransfer::FinishFailed(TableCopy& copy, const std::string& outcome) {
  copy.unit.error = outcome;
  report_.units.push_back(copy.unit);
  report_.outcome = outcome;
  try {
    SaveReport();
  } catch (const std::exception&) {
    // The error that ended the run is the one to report; a destination that cannot take the
    // record either has already said why.
  }
}

bool ModuleTransfer::FollowedByOpenings(const std::string& table) {
  const std::string t = UpperAscii(Trimmed(table));
  return t == "N_BANKHESAB" || t == "N_CASH" || t == "N_TANKHAH";
}

void ModuleTransfer::RecomputeOpenings(const std::string& table, const std::string& sourceDb) {
  // The report tables of the openings are named after this form's conflict table of the page.
  BorrowedBase borrowed(g_, date_, db_, dialogs_, source_);
  BaseTransfer& base = borrowed.base;
  base.ChoosePeriod(sourceDb);
  const std::string name = Trimmed(table) == "N_BankHesab"          ? "N_BankHesab"
                           : UpperAscii(Trimmed(table)) == "N_CASH" ? "N_Cash"
                                                                    : "N_Tankhah";
  RunAtomic(
      db_, [&] { base.RecomputeOpenings(name, sourceDb); },
      RemoteSource() ? std::string() : sourceDb);
}

bool ModuleTransfer::CopyUsers() {
  refusal_.clear();
  std::string sourceDb;
  const bool sourceOk = CheckSource(sourceDb);
  StartReport("UserHub", sourceDb);
  if (!sourceOk || gated_) {
    report_.outcome = gated_ && refusal_.empty() ? "GATED" : refusal_;
    SaveReport();
    return false;
  }
  BorrowedBase borrowed(g_, date_, db_, dialogs_, source_);
  BaseTransfer& base = borrowed.base;
  bool carried = false;
  dialogs_.ShowState("STOP", kUsersTitle, kWait);
  try {
    base.ChoosePeriod(sourceDb);
    carried = base.TransferUsers();
  } catch (const std::exception& e) {
    dialogs_.HideState();
    TableCopy failed;
    failed.unit.table = "UserHub";
    FinishFailed(failed, e.what());
    throw;
  }
  dialogs_.HideState();
  report_.units = base.stats();
  report_.outcome =
      carried ? std::string("OK")
              : std::string(text::kWidthPrefix) + text::kUsersCaption + text::kWidthSuffix;
  SaveReport();
  if (carried) dialogs_.ShowDlgMsg(kUsersCarried, "", "1ER");
  return carried;
}

bool ModuleTransfer::CopyPrintForms(const std::string& letter, const AskExistingForm& ask) {
  const CopyTab tab{"ts_Prn", "", CopyKind::kPrintForms, "", "", {}, letter.c_str()};
  return CopyPrintForms(tab, ask);
}

bool ModuleTransfer::CopyPrintForms(const CopyTab& tab, const AskExistingForm& ask) {
  const std::string letter = tab.printLetter;
  refusal_.clear();
  std::string sourceDb;
  const bool sourceOk = CheckSource(sourceDb);
  StartReport("Prn_Form_T", sourceDb);
  if (!sourceOk || gated_) {
    report_.outcome = gated_ && refusal_.empty() ? "GATED" : refusal_;
    SaveReport();
    return false;
  }
  auto started = std::chrono::steady_clock::now();
  std::string forms = sourceDb + "..Prn_Form_T", objects = sourceDb + "..Prn_Object_T";
  if (RemoteSource()) {
    // Layouts of another server come here through work files first.
    forms = tempName_ + "PrnForm";
    objects = tempName_ + "PrnObject";
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, sourceDb + "..Prn_Form_T", forms);
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, sourceDb + "..Prn_Object_T",
                               objects);
  }
  // What goes with each layout copied reads its source once.
  std::vector<std::string> withEach;
  for (const FollowUp& step : tab.afterEach)
    withEach.push_back(FollowUpBatch(step, FollowUpSource(step, sourceDb)));
  const std::string c = g_.databaseName;
  const std::string kind = EscapeQuotes(letter);
  UnitResult unit;
  unit.table = "Prn_Form_T";
  unit.name = "فرمهاي چاپ";
  auto list =
      db_.connection()->Query(" Select A.Frmid,a.FrmName from " + forms + " a " +
                              " where A.whatdoc = '" + kind + "' And a.Frmid " + tab.firstId + " ");
  const db::ResultSet none;
  const db::ResultSet& rs = list.empty() ? none : list.front();
  unit.sourceRows = static_cast<long long>(rs.rows.size());
  auto removeOf = [&](const std::string& id) {
    return " Delete From " + c + "..Prn_Form_T Where FrmId = " + id + " And Whatdoc = '" + kind +
           "'  Delete From " + c + "..Prn_Object_T Where FrmId = " + id + " And Whatdoc = '" +
           kind + "' ";
  };
  try {
    for (size_t r = 0; r < rs.rows.size(); ++r) {
      const auto number = db::ParseInteger(Trimmed(TextOf(rs, r, "Frmid")));
      if (!number) continue;
      const std::string sourceId = std::to_string(*number);
      std::string name = Trimmed(TextOf(rs, r, "FrmName"));
      std::string before;  // the statements that clear room for this layout
      const std::string existing =
          Trimmed(db::ScalarText(*db_.connection(), " Select FrmId from  " + c +
                                                        "..Prn_Form_T Where Ltrim(rtrim(FrmName)) "
                                                        "= '" +
                                                        EscapeQuotes(name) + "'"));
      if (!existing.empty()) {
        ExistingFormAnswer answer = ask ? ask(name) : ExistingFormAnswer{};
        if (answer.result == 100) {
          before = removeOf(existing);
          ++unit.replaced;
        } else if (answer.result == 200) {
          name = Trimmed(answer.newName);
        } else {
          ++unit.clashing;
          continue;
        }
      }
      std::string id = sourceId;
      RunAtomic(db_, [&] {
        if (!before.empty()) db_.RunSql(before);
        const bool taken =
            !db::ScalarText(*db_.connection(), " Select FrmId from  " + c +
                                                   "..Prn_Form_T Where Frmid = " + sourceId +
                                                   " And WhatDoc = '" + kind + "'")
                 .empty();
        if (taken) {
          id = Trimmed(db::ScalarText(*db_.connection(),
                                      " Select Max(FrmId)+1 M From " + c + "..Prn_Form_T "));
        } else {
          db_.RunSql(removeOf(sourceId));
        }
        const std::string target = taken ? id : std::string("FrmID");
        db_.RunSql(" Insert Into " + c +
                   "..Prn_Form_T (WhatDoc,TypeSys,FrmID,FrmName,sRepParam,sHdr,sData,sSubData,"
                   "sPgFooter,sFooter,Arm,sArm)  Select  WhatDoc,TypeSys," +
                   target + ",'" + EscapeQuotes(name) +
                   "',sRepParam,sHdr,sData,sSubData,sPgFooter,sFooter,Arm,sArm  From " + forms +
                   "  Where Frmid=" + sourceId + " And WhatDoc = '" + kind + "' ");
        db_.RunSql(" Insert Into " + c +
                   "..Prn_Object_T (WhatDoc,TypeSys,FrmID,Kind,sOpt)  Select WhatDoc,TypeSys," +
                   target + ",Kind,sOpt From " + objects + "  Where Frmid=" + sourceId +
                   " And WhatDoc = '" + kind + "' ");
        for (const std::string& batch : withEach) db_.RunSql(batch);
      });
      ++unit.inserted;
    }
  } catch (const std::exception& e) {
    TableCopy failed;
    failed.unit = unit;
    FinishFailed(failed, e.what());
    throw;
  }
  unit.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(unit);
  report_.outcome = "OK";
  SaveReport();
  return true;
}

}  // namespace xfer::transfer
