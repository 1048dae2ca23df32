#include "transfer/base/base_transfer.h"

#include <algorithm>

#include "db/cross_server.h"
#include "db/option_string.h"
#include "db/registry.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "transfer/run/atomic_unit.h"
#include "transfer/run/report_store.h"

namespace xfer::transfer {
namespace {

using db::EscapeQuotes;
using db::UpperAscii;

std::string Trimmed(const std::string& s) {
  return std::string(db::Trim(s));
}

// The three tables whose opening balances follow their copy, with their report procedure,
// report-table suffix, balance-row condition and the key columns as the reports see them.
struct OpeningsRule {
  const char* table;
  const char* procedure;
  const char* suffix;
  const char* balanceRow;
  const char* keyColumns[3];
  const char* reportArgs;   // arguments between the report table and the key bounds
  const char* keyMatch;     // destination row of the key, as the updates join it
  const char* zeroSpacing;  // the suite's statements differ in spacing only
};

const OpeningsRule kOpenings[] = {
    {"N_BankHesab",
     "sp_N_Report_Acount",
     "T1",
     "sorder2='X'",
     {"BANKCOD", "SHOBEHCOD", "ACOUNTCOD"},
     "'REM'",
     "N.bankcod+N.shobehcod+N.acountcod",
     "firstbed=0,firstbes=0"},
    {"N_Cash",
     "sp_N_Report_Cash",
     "T2",
     "sorder1='XX'",
     {"CASHCOD", nullptr, nullptr},
     "'NO', 'NO', 'REM'",
     "N.cashcod",
     "firstbed=0,firstbes=0"},
    {"N_Tankhah",
     "sp_N_Report_Tankhah",
     "T3",
     "sorder1='XX'",
     {"PERSONCOD", nullptr, nullptr},
     "'NO', 'NO', 'REM'",
     "N.personcod",
     "firstbed=0 ,firstbes=0"},
};

const OpeningsRule* OpeningsOf(const std::string& table) {
  for (const auto& r : kOpenings)
    if (Trimmed(table) == r.table) return &r;
  return nullptr;
}

// Tables that follow each fixed asset, replaced whole after the assets.
const char* const kAssetTables[] = {
    "D_ASASECHANGE", "D_BUY_CREATE",    "D_ASNADDARA",       "D_BUY_CREATE_RELATE_GHEIMAT",
    "D_DARAEREDUCE", "D_ENDFEE_RELATE", "D_FIRSTTADIL",      "D_FOROSHDAYMEH",
    "D_KENARD",      "D_ROZ",           "D_SOULATIONCHANGE", "D_TAHVIL_XFER"};

std::string ValueText(const db::Value& v) {
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

}  // namespace

BaseTransfer::BaseTransfer(db::HostGlobal& global, db::HostDate& date, db::HostDatabase& database,
                           db::Dialogs& dialogs)
    : g_(global), date_(date), db_(database), dialogs_(dialogs) {}

void BaseTransfer::Prepare() {
  tempName_ = "##" + g_.workstation + date_.TimeStamp();
  std::string kelvaro = db::LookupFirst(*db_.connection(), "SCode", g_.companyCode + g_.fiscalYear,
                                        "Kelvaro", "Options");
  namTafsily2_ = db::GetOption(kelvaro, "NAMTAFSILY2");
  namProject_ = db::GetOption(kelvaro, "NAMPROJECT");
  db::PeriodRange current = db::PeriodDates(*db_.connection(), g_.databaseName);
  destDate1_ = current.first;
  destDate2_ = current.last;
}

std::vector<std::string> BaseTransfer::Periods() {
  if (RemoteSource())
    return db::ListRemotePeriods(
        *source_.connection, tempName_, g_.databaseName,
        UpperAscii(Trimmed(source_.name)) == UpperAscii(Trimmed(g_.serverName)));
  return db::ListPeriods(*db_.connection(), g_.databaseName);
}

void BaseTransfer::UseSourceServer(SourceServer server) {
  source_ = std::move(server);
}

bool BaseTransfer::RemoteSource() const {
  std::string name = UpperAscii(Trimmed(source_.name));
  return source_.connection && !name.empty() && name != UpperAscii(Trimmed(g_.serverName));
}

db::Backend& BaseTransfer::RemoteQuery() {
  return source_.connection ? *source_.connection : *db_.connection();
}

void BaseTransfer::ChoosePeriod(const std::string& entry) {
  periodEntry_ = entry;
  db::PeriodRange r = db::PeriodDates(RemoteSource() ? RemoteQuery() : *db_.connection(), entry);
  sDate1_ = r.first;
  sDate2_ = r.last;
}

std::string BaseTransfer::SourceDatabase() const {
  return db::SourceDatabaseUntrimmed(periodEntry_);
}

bool BaseTransfer::CarriesBackwards() const {
  return !sDate1_.empty() && !destDate1_.empty() && sDate1_ > destDate1_;
}

bool BaseTransfer::Run(const std::set<Module>& ticked, const std::set<std::string>& options) {
  report_ = RunReport{};
  report_.what = "kol";
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId;
  report_.started = (g_.today.empty() ? "" : g_.today + " ") + date_.CurrentTime();
  auto refuse = [&](const std::string& message, const char* code) {
    report_.outcome = message;
    return dialogs_.ShowDlgMsg(message, "", code);
  };
  if (periodEntry_.empty()) {
    refuse(text::kChooseCompany, "1ER");
    return false;
  }
  std::string source = Trimmed(SourceDatabase());
  report_.source = RemoteSource() ? source_.name + ":" + source : source;
  if (ticked.empty()) {
    refuse(text::kChooseModule, "1ER");
    return false;
  }
  if (!db::SameStructure(*db_.connection(), g_.databaseName, source)) {
    refuse(db::StructureMessage(g_.databaseName), "1ER");
    return false;
  }
  if (CarriesBackwards()) {
    const std::string question = std::string(text::kBackwardsSource) + source +
                                 text::kBackwardsFrom + sDate1_ + text::kBackwardsTo + sDate2_ +
                                 text::kBackwardsNewer + g_.databaseName + text::kBackwardsAsk;
    if (refuse(question, "3QR") != db::kResultYes) return false;
  }

  // Every unit is planned first, so progress can count the units done of all.
  std::vector<std::pair<const TransferBlock*, std::vector<PlannedUnit>>> plan;
  unitsDone_ = unitsTotal_ = 0;
  for (const TransferBlock& block : TransferBlocks()) {
    if (!ticked.count(block.module)) continue;
    plan.emplace_back(&block, PlanBlock(block, ticked, options));
    unitsTotal_ += static_cast<long long>(plan.back().second.size());
  }
  // Once a unit may have written, the period keeps the run's report, however it ended; the
  // record is a unit of its own, so a broken run leaves none of it.
  auto keep = [&] { RunAtomic(db_, [&] { SaveRunReport(*db_.connection(), report_); }); };
  try {
    for (const auto& [block, units] : plan)
      if (!RunBlock(*block, units)) {
        keep();
        return false;
      }
  } catch (const std::exception& e) {
    report_.outcome = e.what();
    try {
      keep();
    } catch (const std::exception&) {
      // The server that failed the run may refuse the record too; the run's own error is
      // the one to show.
    }
    throw;
  }
  report_.outcome = "OK";
  keep();
  return true;
}

std::vector<BaseTransfer::PlannedUnit> BaseTransfer::PlanBlock(
    const TransferBlock& block, const std::set<Module>& ticked,
    const std::set<std::string>& options) {
  std::vector<PlannedUnit> units;
  if (block.module == Module::kSazmandehi) {
    for (const OptionsDescriptor& o : OrganizingOptions()) {
      if (!options.count(o.column)) continue;
      // Options descriptors have no width checks, so they pass an empty source name.
      units.push_back({o.name, [this, &o] {
                         TransferBaseTable("", "Options", o.column, o.column, o.name);
                         return true;
                       }});
    }
  }
  std::vector<BlockStep> steps = block.steps;
  for (const ExtraSteps& extra : block.extras)
    if (std::none_of(extra.unless.begin(), extra.unless.end(),
                     [&](Module m) { return ticked.count(m) > 0; }))
      steps.insert(steps.end(), extra.steps.begin(), extra.steps.end());
  for (const BlockStep& step : steps) {
    if (step.kind == StepKind::kUsers) {
      units.push_back({text::kUsersCaption, [this] { return TransferUsers(); }});
      continue;
    }
    const BaseTableDescriptor* d = FindDescriptor(step.table);
    if (!d)
      throw engine::SqlError(50000, std::string("No catalogue entry for ") + step.table + ".");
    units.push_back({ExpandLevelNames(d->name, namTafsily2_, namProject_),
                     [this, d] { return RunDescriptor(*d); }});
  }
  if (*block.printLetter) {
    const std::string letter = block.printLetter;
    units.push_back({text::kPrintFormsCaption, [this, letter] {
                       RecordUnit("Prn_Form_T", text::kPrintFormsCaption,
                                  "WhatDoc = '" + EscapeQuotes(letter) + "'",
                                  [&] { CopyPrintForms(letter); });
                       return true;
                     }});
  }
  if (block.salesDocuments)
    units.push_back({text::kSalesDocumentsCaption, [this] {
                       RecordUnit("R_AsnadTrado", text::kSalesDocumentsCaption, "",
                                  [&] { CopySalesDocuments(); });
                       return true;
                     }});
  return units;
}

bool BaseTransfer::RunBlock(const TransferBlock& block, const std::vector<PlannedUnit>& units) {
  dialogs_.ShowState("STOP", block.title, text::kWait);
  try {
    for (const PlannedUnit& unit : units) {
      // Between units only: the unit before is whole, the next one has not begun.
      if (stop_ && stop_->Requested()) {
        report_.stopped = true;
        report_.outcome = "STOPPED";
        dialogs_.HideState();
        return false;
      }
      dialogs_.UnitStarted(unit.caption, unitsDone_, unitsTotal_);
      const size_t recorded = report_.units.size();
      bool done = false;
      try {
        done = unit.run();
      } catch (const std::exception& e) {
        // The unit rolled back; the report names it with the error that ended the run.
        UnitResult failed;
        failed.name = unit.caption;
        failed.error = e.what();
        if (report_.units.size() == recorded) report_.units.push_back(failed);
        throw;
      }
      if (!done) {
        dialogs_.HideState();
        return false;
      }
      ++unitsDone_;
    }
    dialogs_.Progress(unitsDone_, unitsTotal_);
  } catch (...) {
    dialogs_.HideState();
    throw;
  }
  dialogs_.HideState();
  dialogs_.ShowDlgMsg(block.doneMessage, "", "1IR");
  return true;
}

void BaseTransfer::RecordUnit(const std::string& table, const std::string& caption,
                              const std::string& where, const std::function<void()>& work) {
  auto started = std::chrono::steady_clock::now();
  const std::string count =
      "SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where);
  UnitResult u;
  u.table = table;
  u.name = caption;
  const long long before = db::ParseInteger(db::ScalarText(*db_.connection(), count)).value_or(0);
  work();
  // The destination ends up holding exactly the source's rows: all of them carried, the
  // earlier ones replaced.
  u.sourceRows = u.inserted =
      db::ParseInteger(db::ScalarText(*db_.connection(), count)).value_or(0);
  u.replaced = before;
  u.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(u);
}

bool BaseTransfer::CheckCodeLength(const std::string& table, const std::string& column,
                                   const std::string& caption, std::string& sourceDb) {
  sourceDb = SourceDatabase();
  int local = db::CodeLength(*db_.connection(), table, column);
  int source = db::CodeLength(RemoteQuery(), sourceDb + ".." + table, column);
  if (local != source && local != 0) {
    report_.outcome = std::string(text::kWidthPrefix) + caption + text::kWidthSuffix;
    dialogs_.ShowDlgMsg(report_.outcome, "", "1ER");
    return false;
  }
  return true;
}

bool BaseTransfer::RunDescriptor(const BaseTableDescriptor& d) {
  std::string sourceDb;
  for (const WidthCheck& c : d.checks) {
    std::string caption = ExpandLevelNames(c.caption, namTafsily2_, namProject_);
    if (!CheckCodeLength(c.table, c.column, caption, sourceDb)) return false;
  }
  TransferBaseTable(sourceDb, d.table, d.columns, d.key,
                    ExpandLevelNames(d.name, namTafsily2_, namProject_));
  FollowUp(d, sourceDb.empty() ? SourceDatabase() : sourceDb);
  return true;
}

void BaseTransfer::InTransaction(const std::function<void()>& work) {
  RunAtomic(db_, work, RemoteSource() || periodEntry_.empty() ? "" : SourceDatabase());
}

long long BaseTransfer::Count(db::Backend& b, const std::string& table) {
  auto v = db::ParseInteger(db::ScalarText(b, "SELECT COUNT(*) FROM " + table));
  return v.value_or(0);
}

void BaseTransfer::TransferBaseTable(std::string sourceDb, const std::string& table,
                                     const std::string& columns, const std::string& key,
                                     const std::string& name) {
  auto started = std::chrono::steady_clock::now();
  std::string mode = table == "Options" ? "OPTIONS" : "FIRST";
  TableStats st;
  st.table = table;
  st.name = name;
  bool counted = mode == "FIRST";
  long long before = counted ? Count(*db_.connection(), table) : 0;

  if (RemoteSource()) {
    // The source table comes here whole through a work file, under the form's temporary name,
    // and the new keys are added as the procedure adds them on one server. The whole table
    // rather than the procedure's offer of the column list: a key may use a column outside the
    // list (R_Agsat's IDX).
    sourceDb = Trimmed(SourceDatabase());
    st.sourceRows = db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder,
                                               sourceDb + ".." + table, tempName_);
    InTransaction([&] {
      if (mode == "OPTIONS") {
        // The source period's own row (code and year from its name), as the procedure picks it.
        std::string code = sourceDb.substr(std::min(sourceDb.find('_') + 1, sourceDb.size()));
        code.erase(std::remove(code.begin(), code.end(), '_'), code.end());
        std::string dest = EscapeQuotes(g_.companyCode + g_.fiscalYear);
        db_.RunSql("IF NOT EXISTS (SELECT * FROM Options WHERE LTRIM(RTRIM(SCode)) = '" + dest +
                   "') INSERT INTO Options (SCode) VALUES ('" + dest + "') UPDATE Options SET " +
                   columns + " = (SELECT TOP 1 " + columns + " FROM " + tempName_ +
                   " ORDER BY CASE WHEN LTRIM(RTRIM(SCode)) = '" + EscapeQuotes(code) +
                   "' THEN 0 ELSE 1 END) WHERE LTRIM(RTRIM(SCode)) = '" + dest + "'");
      } else {
        db_.RunSql("INSERT INTO " + table + " (" + columns + ") SELECT " + columns + " FROM " +
                   tempName_ + " WHERE " + key + " NOT IN (SELECT " + key + " FROM " + table +
                   " WHERE " + key + " IS NOT NULL)");
      }
      if (OpeningsOf(table)) RecomputeOpenings(table, sourceDb);
    });
  } else {
    sourceDb = SourceDatabase();
    // Counting also names the source database before the transaction opens.
    long long sourceRows = Count(*db_.connection(), Trimmed(sourceDb) + ".." + table);
    if (counted) st.sourceRows = sourceRows;
    InTransaction([&] {
      db_.RunSql("sp_Sayer_XferHesab '" + mode + "', '', '" + EscapeQuotes(tempName_) + "', " +
                 "'" + EscapeQuotes(sourceDb) + "', '" + EscapeQuotes(table) + "', '" +
                 EscapeQuotes(columns) + "', '" + EscapeQuotes(key) + "' ");
      if (OpeningsOf(table)) RecomputeOpenings(table, sourceDb);
    });
  }
  if (counted) {
    st.inserted = Count(*db_.connection(), table) - before;
    st.clashing = st.sourceRows >= 0 ? st.sourceRows - st.inserted : 0;
  }
  st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(st);
}

void BaseTransfer::RecomputeOpenings(const std::string& table, const std::string& sourceDb) {
  const OpeningsRule* rule = OpeningsOf(table);
  if (!rule) return;
  std::string report = tempName_ + rule->suffix;
  std::string src = Trimmed(sourceDb);
  auto rows = db_.connection()->Query("Select * From " + std::string(rule->table));
  if (rows.empty()) return;
  const db::ResultSet& rs = rows.front();
  auto column = [&](const char* name) {
    for (size_t i = 0; i < rs.fields.size(); ++i)
      if (UpperAscii(rs.fields[i].name) == name) return static_cast<int>(i);
    return -1;
  };
  std::vector<int> keyColumns;
  for (const char* k : rule->keyColumns)
    if (k) keyColumns.push_back(column(k));
  std::string lower = db::LowerAscii(rule->table);
  for (const auto& row : rs.rows) {
    std::string key;
    for (int c : keyColumns) key += c >= 0 ? ValueText(row[static_cast<size_t>(c)]) : "";
    std::string k = EscapeQuotes(key);
    std::string args = "'" + EscapeQuotes(report) + "', " + rule->reportArgs + ", '" + k + "', '" +
                       k + "', " +
                       (std::string(rule->table) == "N_BankHesab" ? "" : "'SANADDATE', ") + "'" +
                       EscapeQuotes(sDate1_) + "', '" + EscapeQuotes(sDate2_) + "' , 'REFRESH'";
    if (RemoteSource()) {
      // The report runs where the source period lives; its rows come here by work file.
      RemoteQuery().Execute(src + ".." + rule->procedure + " " + args);
      db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, report, report);
    } else {
      db_.RunSql(src + ".." + rule->procedure + " " + args);
    }
    std::string from = std::string(table == "N_Tankhah" ? " From " : " from ") + report + " H," +
                       lower + " N where " + rule->balanceRow + " and " + rule->keyMatch + "='" +
                       k + "' ";
    db_.RunSql("update " + lower + " set " + rule->zeroSpacing + from);
    db_.RunSql("update " + lower + " set firstbed=rem" + from + "and rem>=0 ");
    db_.RunSql("update " + lower + " set firstbes=Abs(rem)" + from + "and rem<0 ");
  }
}

bool BaseTransfer::TransferUsers() {
  std::string sourceDb;
  if (!CheckCodeLength("UserHub", "User_Name", text::kUsersCaption, sourceDb)) return false;
  std::string src = Trimmed(sourceDb);
  // The width of the key column is kept for the remote case, whose copies lose it.
  int passWidth = db::CodeLength(*db_.connection(), "UserHub", "User_Pass1");
  std::string users = src + "..UserHub", detail = src + "..UserHubDetail",
              privilege = src + "..UserPrivilege";
  bool remote = RemoteSource();
  if (remote) {
    users = tempName_ + "User";
    detail = tempName_ + "Detail";
    privilege = tempName_ + "Privilege";
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, src + "..UserHub", users);
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, src + "..UserHubDetail", detail);
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, src + "..UserPrivilege",
                               privilege);
  }
  // One unit: the user tables are never left dropped. XACT_ABORT makes a server that would
  // carry on after a failed statement stop the batch there.
  std::string batch =
      "SET XACT_ABORT ON "
      "Drop Table UserHub Drop Table UserHubDetail Drop Table UserPrivilege "
      "Select * Into UserHub From " +
      users + " Select * Into UserHubDetail From " + detail + " Select * Into UserPrivilege From " +
      privilege + " " +
      "Update UserHub Set Kelvaro = ('OPERATOR_ASNAD_MALY=F;ROZ_SANAD_NO=' + "
      "SubString(Kelvaro, CharIndex(';CHANGE_NAMHESAB=', Kelvaro), (Len(Cast(Kelvaro As "
      "Varchar(1000))) - CharIndex(';CHANGE_NAMHESAB=', Kelvaro) + 1))) ";
  if (remote)
    batch +=
        "Alter Table UserHub Alter Column UserId Int Not Null Alter Table UserHub Alter "
        "Column User_Pass1 Varchar(" +
        std::to_string(passWidth) +
        ") Not Null Alter Table "
        "UserHubDetail Alter Column RowId Int Not Null ";
  batch +=
      "Alter Table UserHub With NoCheck Add Constraint PK_UserHub Primary Key clustered "
      "(User_Pass1) Alter Table UserHubDetail With NoCheck Add Constraint PK_UserHubDetail "
      "Primary Key clustered (RowId) ";
  auto started = std::chrono::steady_clock::now();
  InTransaction([&] { db_.RunSql(batch); });
  TableStats st;
  st.table = "UserHub";
  st.name = text::kUsersCaption;
  st.sourceRows = st.inserted = Count(*db_.connection(), "UserHub");
  st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(st);
  return true;
}

std::string BaseTransfer::LocalSource(const std::string& sourceDb, const std::string& table,
                                      const std::string& suffix) {
  std::string src = Trimmed(sourceDb) + ".." + table;
  if (!RemoteSource()) return src;
  std::string local = tempName_ + suffix;
  db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, src, local);
  return local;
}

void BaseTransfer::FollowUp(const BaseTableDescriptor& d, const std::string& sourceDb) {
  std::string table = UpperAscii(d.table);
  if (table == "KALA") {
    std::string pictures = LocalSource(sourceDb, "A_Kalapic", "KalaPic");
    std::string orders = LocalSource(sourceDb, "A_KalaSefaresh", "Sefaresh");
    InTransaction([&] {
      db_.RunSql(
          " Delete From A_Kalapic  Insert Into A_Kalapic (KalaNo, KalaPic)  Select KalaNo, "
          "KalaPic From " +
          pictures +
          "  Where Ltrim(Rtrim(KalaNo)) In   (Select "
          "Ltrim(Rtrim(KalaCod)) From Kala) ");
      db_.RunSql(
          " DELETE FROM A_KalaSefaresh  WHERE LTRIM(RTRIM(AnbarCod))+'_'+LTRIM(RTRIM(KalaCod)) "
          " IN(SELECT LTRIM(RTRIM(AnbarCod))+'_'+LTRIM(RTRIM(KalaCod)) FROM " +
          orders +
          ") INSERT INTO A_KalaSefaresh(AnbarCod,KalaCod,NogteSefaresh)  SELECT "
          "AnbarCod,KalaCod,NogteSefaresh FROM " +
          orders + " ");
    });
  } else if (table == "D_AMVAL") {
    for (const char* t : kAssetTables) {
      std::string src = LocalSource(sourceDb, t, t);
      InTransaction([&] {
        db_.RunSql(std::string(" Delete from ") + t + "  Insert Into " + t + " Select * from " +
                   src + " ");
      });
    }
  }
}

void BaseTransfer::CopyPrintForms(const std::string& letter) {
  // The layouts of the letter and the cheque designs end up exactly those of the source: the
  // whole replacement below fixes the end state, so layouts are not merged one by one first.
  std::string c = g_.databaseName;
  std::string s = Trimmed(SourceDatabase());
  std::string forms = LocalSource(s, "Prn_Form_T", "PrnForm");
  std::string objects = LocalSource(s, "Prn_Object_T", "PrnObject");
  std::string chequeForms = LocalSource(s, "N_Prn_Cheque_Forms", "ChqForms");
  std::string chequeObjects = LocalSource(s, "N_Prn_Cheque_Obj", "ChqObj");
  std::string l = EscapeQuotes(letter);
  InTransaction([&] {
    db_.RunSql(" Delete From " + c + "..N_Prn_Cheque_Forms  " + " Delete From " + c +
               "..N_Prn_Cheque_Obj ");
    db_.RunSql(
        " Insert Into " + c +
        "..N_Prn_Cheque_Forms (FrmID,FrmName,ImgW,ImgH,V_Img,ImgPath,DrawKadr,V_AmountF,"
        "F_AmountF,V_AmountE,F_AmountE,Hashour,DesIdx)  Select  FrmID,FrmName,ImgW,ImgH,"
        "V_Img,ImgPath,DrawKadr,V_AmountF,F_AmountF,V_AmountE,F_AmountE,Hashour,DesIdx  From " +
        chequeForms + "  Insert Into " + c +
        "..N_Prn_Cheque_Obj (Titr,FrmID,ObjName,Font_Name,Font_Size,Font_Style,Font_Color,"
        "Width,Height,[Left],[Top])  Select Titr,FrmID,ObjName,Font_Name,Font_Size,"
        "Font_Style,Font_Color,Width,Height,[Left],[Top] From " +
        chequeObjects + " ");
    db_.RunSql(" Delete From " + c + "..Prn_Form_T Where Whatdoc = '" + l + "'  Delete From " + c +
               "..Prn_Object_T Where Whatdoc = '" + l + "' ");
    db_.RunSql(" Insert Into " + c +
               "..Prn_Form_T (WhatDoc,TypeSys,FrmID,FrmName,sRepParam,sHdr,sData,sSubData,"
               "sPgFooter,sFooter,Arm,sArm)  Select  '" +
               l +
               "',TypeSys,FrmID,FrmName,sRepParam,sHdr,sData,sSubData,sPgFooter,sFooter,Arm,sArm "
               " From " +
               forms + "  Where WhatDoc = '" + l + "'  Insert Into " + c +
               "..Prn_Object_T (WhatDoc,TypeSys,FrmID,Kind,sOpt)  Select '" + l +
               "',TypeSys,FrmID,Kind,sOpt From " + objects + "  Where WhatDoc = '" + l + "' ");
  });
}

void BaseTransfer::CopySalesDocuments() {
  std::string c = g_.databaseName;
  std::string source = LocalSource(SourceDatabase(), "R_AsnadTrado", "Trado");
  InTransaction([&] {
    db_.RunSql("DELETE " + c + "..R_AsnadTrado  " + "INSERT INTO " + c + "..R_AsnadTrado  " +
               "SELECT * FROM " + source + " ");
  });
}

}  // namespace xfer::transfer
