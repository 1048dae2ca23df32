#include "import/maly_import.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

#include "db/cross_server.h"
#include "db/option_string.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "import/import_sql.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "transfer/run/atomic_unit.h"
#include "transfer/run/report_store.h"

namespace xfer::import {
namespace {

using db::Quote;

constexpr const char* kPriorNames[] = {"NOCHANGE", "DEAILY", "MONTLY", "YEARLY"};
constexpr const char* kAfterNames[] = {"NEWID", "OLDID", "OLDID_NOCHANGE", "REPLACE"};

// The import table's columns after IDX, as the remote copy writes them.
constexpr const char* kImportColumns =
    "TypeSys, WhatDoc, DocToDate, Document, SanadNo, LastNo, FirstNo, SanadDate, Koll, Moein, "
    "Tafsily, Tafsily2, ProjectCod, Des, Bes, Bed, AtfCh, AtfNum, AtfDate, SherCode, SalMale, "
    "[User_Name], LClose, NoBat, Raj, TypeSysNam, ProgOrder, sOrder";

// Base records an apply copies from the source when asked, in this order: the table, its key
// and which source rows the vouchers need (%I the import table, %K the source's Koll table).
struct BaseRecord {
  const char* table;
  const char* key;
  const char* needed;
};
constexpr BaseRecord kBaseRecords[] = {
    {"Groh", "Groh", "Groh In (Select K.Groh From %K K Where K.Koll In (Select Koll From %I))"},
    {"Koll", "Koll", "Koll In (Select Koll From %I)"},
    {"Moein", "Koll+Moein", "Koll+Moein In (Select Koll+Moein From %I)"},
    {"Tafsily", "Tafsily", "Tafsily In (Select Tafsily From %I)"},
    {"Tafsily2", "Tafsily2", "Tafsily2 In (Select Tafsily2 From %I)"},
    {"M_Project", "ProjectCod", "ProjectCod In (Select ProjectCod From %I)"},
};

// Codes of a voucher line that this period must hold: the condition on the import table that
// finds a line whose code is missing, and the columns that name it.
struct CodeCheck {
  const char* missing;
  const char* shown;
};
constexpr CodeCheck kCodeChecks[] = {
    {"Koll+'_'+Moein Not in(Select Koll+'_'+Moein From Moein) ", "Koll+'/'+Moein"},
    {"Ltrim(Rtrim(ProjectCod)) <> '' And ProjectCod Not in(Select ProjectCod From M_Project) ",
     "ProjectCod"},
    {"Ltrim(Rtrim(Tafsily2)) <> '' And Tafsily2 Not in(Select Tafsily2 From Tafsily2) ",
     "Tafsily2"},
    {"Ltrim(Rtrim(Tafsily)) <> '' And Tafsily Not in(Select Tafsily From Tafsily) ", "Tafsily"},
};

// Width checks of the load, in the order their messages are tried.
struct WidthCheck {
  const char* alias;
  const char* table;
  const char* column;
};
constexpr WidthCheck kWidthChecks[] = {
    {"AtfCh", "Asnad", "AtfCh"},     {"Des", "Asnad", "Des"},
    {"SanadNo", "Asnad", "SanadNo"}, {"PLen", "Asnad", "ProjectCod"},
    {"T2Len", "Asnad", "Tafsily2"},  {"TLen", "Asnad", "Tafsily"},
    {"MLen", "Asnad", "Moein"},      {"KLen", "Asnad", "Koll"},
    {"GLen", "Groh", "Groh"},
};

}  // namespace

const char* PriorModeName(int priorMode) {
  return priorMode >= 0 && priorMode < 4 ? kPriorNames[priorMode] : kPriorNames[0];
}
const char* AfterModeName(int afterMode) {
  return afterMode >= 0 && afterMode < 4 ? kAfterNames[afterMode] : kAfterNames[0];
}
int PriorModeOf(const std::string& name) {
  for (int i = 0; i < 4; ++i)
    if (db::UpperAscii(db::Trim(name)) == kPriorNames[i]) return i;
  return -1;
}
int AfterModeOf(const std::string& name) {
  for (int i = 0; i < 4; ++i)
    if (db::UpperAscii(db::Trim(name)) == kAfterNames[i]) return i;
  return -1;
}

int MalyImport::RowColour(const std::string& typeSys, const std::string& sOrder) {
  if (sOrder.find('A') != std::string::npos) return kGreen;
  if (db::Trim(typeSys) == "XXX") return kFuchsia;
  return kBlack;
}

void MalyImport::Prepare() {
  ImportFrame::Prepare();
  importTable_ = "##" + suffix_;
  selectionTable_ = "##SLCASNADI_" + suffix_;
  for (const std::string& t :
       {importTable_ + "_Pic", importTable_ + "_Info", importTable_, selectionTable_})
    db_.RunSql("If Object_Id('tempdb.." + t + "') Is Not Null Drop Table " + t);
  db_.RunSql("Create Table " + importTable_ +
             " (IDX Int Identity(1, 1), TypeSys Varchar(10), WhatDoc Varchar(20), "
             "DocToDate Varchar(20), Document Varchar(20), SanadNo Varchar(20), "
             "LastNo Varchar(20), FirstNo Varchar(20), SanadDate Varchar(10), Koll Varchar(10), "
             "Moein Varchar(10), Tafsily Varchar(20), Tafsily2 Varchar(20), "
             "ProjectCod Varchar(20), Des Varchar(500), Bes Float, Bed Float, "
             "AtfCh Varchar(100), AtfNum Float, AtfDate Varchar(10), SherCode Varchar(10), "
             "SalMale Varchar(10), [User_Name] Varchar(100), LClose Varchar(10), NoBat SmallInt, "
             "Raj Int, TypeSysNam Varchar(50), ProgOrder Varchar(10), sOrder Varchar(100))");
  db_.RunSql("Create Table " + importTable_ +
             "_Pic (SanadNo Varchar(20), SanadPic Image, DocId Int)");
  db_.RunSql("Create Table " + importTable_ + "_Info (SanadNo Varchar(20), sDes Text)");
  db_.RunSql(
      " Select Cast('' As Varchar(1)) As SLC,A.SanadNo, A.SanadDate, A.Koll, A.Moein, A.Tafsily, "
      "A.Tafsily2, A.ProjectCod, A.Des, A.Bed,  A.Bes, A.AtfCh, A.AtfDate, T.TypeSysNam Into " +
      selectionTable_ +
      " From Asnad A Left Outer Join ApplicationType T On (A.Typesys = T.Typesys) where 1>2 ");
  std::string kelvaro = db::LookupFirst(*db_.connection(), "SCode", g_.companyCode + g_.fiscalYear,
                                        "Kelvaro", "Options");
  namTafsily2_ = db::GetOption(kelvaro, "NAMTAFSILY2");
  namProject_ = db::GetOption(kelvaro, "NAMPROJECT");
  caption_ = text::kMalyCaption;
}

void MalyImport::ReadRanges() {
  ReadRangesFrom(
      "Select Max(SanadDate) As MaxDate, Min(SanadDate) As MinDate, Max(SanadNo) As MaxSanadNo, "
      "Min(SanadNo) As MinSanadNo From " +
      SourceDatabase() + "..Asnad ");
}

const db::ResultSet& MalyImport::candidates() const {
  return CachedCandidates("Select * From " + importTable_ + " Order By sOrder, ProgOrder, Raj, IDX",
                          candidateLines_ > 0);
}

void MalyImport::CloseCandidates() {
  ForgetCandidates();
  candidateLines_ = 0;
  candidateVouchers_ = 0;
  SetApplyEnabled(false);
}

bool MalyImport::Load() {
  if (periodIndex() < 0) {
    Report(text::kNoPeriod, kRed);
    return false;
  }
  if (!CheckDates()) return false;
  CloseCandidates();
  StateGuard progress(dialogs_, caption_, text::kLoading);
  if (!CheckClosed() || !CheckWidths()) return false;
  dialogs_.Progress(1, 4);

  db_.RunSql("Truncate Table " + importTable_);
  RemoteQuery().Execute(SourceDatabase() + "..sp_M_Asnad_Import_Perpar '" +
                        PriorModeName(priorMode) + "', " + importTable_ + ", 'ASNAD', " +
                        Quote(Filter()));
  dialogs_.Progress(2, 4);
  if (RemoteSource()) FetchFromRemote();
  MarkMissingCodes();
  dialogs_.Progress(3, 4);

  db::ResultSet counts = Last(
      db_.connection()->Query("Select Count(*), Count(Distinct SanadNo) From " + importTable_));
  candidateLines_ = counts.rows.empty() ? 0 : Number(counts, 0, 0);
  candidateVouchers_ = counts.rows.empty() ? 0 : Number(counts, 0, 1);
  SetApplyEnabled(candidateLines_ > 0);
  dialogs_.Progress(4, 4);
  caption_ = std::string(text::kMalyCaption) + " " + SourceTag();
  return true;
}

bool MalyImport::CheckClosed() {
  db::ResultSet rs = Last(db_.connection()->Query(
      "Select Distinct WhatDoc, SanadDate From Asnad Where TypeSys='M' And WhatDoc In ('10', "
      "'2') Order By SanadDate "));
  if (rs.rows.empty()) return true;
  Report(db::Trim(Text(rs, 0, 0)) == "10" ? text::kClosed : text::kTemporaryClosed, kRed);
  return false;
}

bool MalyImport::CheckWidths() {
  auto widths = [&](db::Backend& b, const std::string& prefix) {
    std::string sql = "Select ";
    for (const WidthCheck& c : kWidthChecks)
      sql += std::string(&c == kWidthChecks ? "" : ", ") + "COL_LENGTH('" + prefix + c.table +
             "', '" + c.column + "') As " + c.alias;
    return Last(b.Query(sql));
  };
  db::ResultSet here = widths(*db_.connection(), "");
  db::ResultSet there = widths(RemoteQuery(), SourceDatabase() + "..");
  if (here.rows.empty() || there.rows.empty()) return true;
  const std::string heads[] = {text::kWidthAtfCh,
                               text::kWidthDes,
                               text::kWidthSanadNo,
                               text::kWidthProjectHead + namProject_ + text::kWidthLevelTail,
                               text::kWidthTafsily2Head + namTafsily2_ + text::kWidthLevelTail,
                               text::kWidthTafsily,
                               text::kWidthMoein,
                               text::kWidthKoll,
                               text::kWidthGroh};
  for (size_t i = 0; i < std::size(kWidthChecks); ++i) {
    std::string mine = Text(here, 0, i);
    if (mine == Text(there, 0, i)) continue;
    Report(heads[i] + mine + text::kWidthEnd, kRed);
    return false;
  }
  return true;
}

std::string MalyImport::Filter() const {
  std::vector<std::string> parts;
  if (dates.ticked) {
    std::string d;
    if (!BlankDate(dates.from)) d += "SanadDate >= " + Quote(db::Trim(dates.from));
    if (!BlankDate(dates.to))
      d += (d.empty() ? "" : " And ") + std::string("SanadDate <= ") + Quote(db::Trim(dates.to));
    if (!d.empty()) parts.push_back(d);
  }
  if (numbers.ticked) {
    std::string n;
    if (!db::Trim(numbers.from).empty())
      n += Aligned("A.SanadNo") + " >= " + AlignedLiteral(PaddedNumber(numbers.from));
    if (!db::Trim(numbers.to).empty())
      n += (n.empty() ? "" : " And ") + Aligned("A.SanadNo") +
           " <= " + AlignedLiteral(PaddedNumber(numbers.to));
    if (!n.empty()) parts.push_back(n);
  }
  if (!chosenVouchers.empty()) {
    std::string in;
    for (const std::string& no : chosenVouchers)
      in += (in.empty() ? "" : ", ") + Quote(db::Trim(no));
    parts.push_back("Ltrim(Rtrim(A.SanadNo)) In (" + in + ")");
  }
  std::string filter;
  for (const std::string& p : parts) filter += (filter.empty() ? "" : " And ") + p;
  return filter;
}

void MalyImport::FetchFromRemote() {
  // The rows the source server prepared come here through work files, into the tables this
  // form made, so the identity and the declared widths stay as they are.
  const std::pair<std::string, std::string> tables[] = {
      {importTable_, kImportColumns},
      {importTable_ + "_Pic", "SanadNo, SanadPic, DocId"},
      {importTable_ + "_Info", "SanadNo, sDes"}};
  for (const auto& [table, columns] : tables) {
    std::string copy = table + "_R";
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, table, copy);
    if (table != importTable_) db_.RunSql("Delete From " + table);
    db_.RunSql("Insert Into " + table + " (" + columns + ") Select " + columns + " From " + copy +
               (table == importTable_ ? " Order By IDX" : ""));
    db_.RunSql("Drop Table " + copy);
  }
}

void MalyImport::MarkMissingCodes() {
  // One pass for the four kinds of code: a line missing several gets one mark.
  std::string missing;
  for (const CodeCheck& c : kCodeChecks)
    missing += (missing.empty() ? "(" : " Or (") + std::string(c.missing) + ")";
  db_.RunSql("Update " + importTable_ + " Set SOrder = Sorder +'A' " + "Where " + missing);
  if (!Last(db_.connection()->Query("Select Top 1 IDX From " + importTable_ +
                                    " Where sOrder Like '%A%' "))
           .rows.empty())
    Report(text::kMissingCodes, kGreen);
}

bool MalyImport::CheckNumberRoom() {
  if (afterMode != kNewId) return true;
  std::string mlen =
      db::ScalarText(*db_.connection(),
                     " select Len(LTrim(RTrim(cast(MaxSanadNo+Cnt as nvarchar(15))))) MLen from "
                     " (select Max(cast(SanadNo as decimal)) MaxSanadNo from Asnad) S, "
                     " (select Count(*) Cnt from " +
                         importTable_ + ") tmp ");
  std::string clen = db::ScalarText(*db_.connection(), "select Col_Length('Asnad','SanadNo') CLen");
  // An empty Asnad leaves MLen NULL: the first numbers always fit.
  if (db::Trim(mlen).empty()) return true;
  if (db::ParseInteger(clen).value_or(0) < db::ParseInteger(mlen).value_or(0)) {
    Refuse(text::kNoNumberRoom);
    return false;
  }
  return true;
}

bool MalyImport::CheckBalances() {
  // Amounts are rials in float columns: sums of them are exact far beyond any real voucher.
  db::ResultSet rs = Last(db_.connection()->Query(
      "Select Top 1 SanadNo From " + importTable_ +
      " Group By SanadNo Having Abs(Sum(IsNull(Bed, 0)) - Sum(IsNull(Bes, 0))) >= 0.005 " +
      "Order By " + Aligned("SanadNo")));
  if (rs.rows.empty()) return true;
  Refuse(text::kUnbalancedHead + std::string(db::Trim(Text(rs, 0, 0))) + text::kUnbalancedTail);
  return false;
}

// The first code a voucher line needs and this period lacks, as "code (voucher number)"; only
// lines under `where` are looked at.
static std::string MissingCode(db::Backend& b, const std::string& table, const std::string& where) {
  for (const CodeCheck& c : kCodeChecks) {
    db::ResultSet rs =
        Last(b.Query("Select Top 1 " + std::string(c.shown) + ", Ltrim(Rtrim(SanadNo)) From " +
                     table + " Where " + where + c.missing + " Order By IDX"));
    if (!rs.rows.empty()) return Text(rs, 0, 0) + " (" + Text(rs, 0, 1) + ")";
  }
  return {};
}

bool MalyImport::CheckAccounts() {
  // The load marked the lines whose codes are missing; only the first of them is named.
  db::ResultSet marked = Last(db_.connection()->Query("Select Top 1 IDX From " + importTable_ +
                                                      " Where sOrder Like '%A%' Order By IDX"));
  if (marked.rows.empty()) return true;
  std::string code =
      MissingCode(*db_.connection(), importTable_, "IDX = " + Text(marked, 0, 0) + " And ");
  if (code.empty()) return true;
  Refuse(std::string(text::kMissingCodes) + " " + text::kMissingAccount + code);
  return false;
}

std::vector<std::string> MalyImport::BaseSources() {
  std::vector<std::string> sources;
  std::string src = SourceDatabase();
  for (const BaseRecord& r : kBaseRecords) {
    std::string source = src + ".." + r.table;
    if (RemoteSource()) {
      std::string copy = "##" + suffix_ + "_B" + r.table;
      db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, source, copy);
      source = copy;
    }
    sources.push_back(source);
  }
  return sources;
}

long long MalyImport::CopyMissingBase(const std::vector<std::string>& sources) {
  long long total = 0;
  const std::string& kollSource = sources[1];
  for (size_t i = 0; i < std::size(kBaseRecords); ++i) {
    const BaseRecord& r = kBaseRecords[i];
    auto started = std::chrono::steady_clock::now();
    std::string columns = db::TableColumns(*db_.connection(), r.table);
    std::string needed = Replace(Replace(r.needed, "%I", importTable_), "%K", kollSource);
    long long before = db::ParseInteger(db::ScalarText(*db_.connection(), "Select Count(*) From " +
                                                                              std::string(r.table)))
                           .value_or(0);
    db_.RunSql("Insert Into " + std::string(r.table) + " (" + columns + ") Select " + columns +
               " From " + sources[i] + " As X Where " + r.key + " Not In(Select " + r.key +
               " From " + r.table + ") And " + needed);
    transfer::UnitResult unit;
    unit.table = r.table;
    unit.name = r.table;
    unit.inserted = db::ParseInteger(db::ScalarText(*db_.connection(),
                                                    "Select Count(*) From " + std::string(r.table)))
                        .value_or(0) -
                    before;
    unit.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    total += unit.inserted;
    report_.units.push_back(unit);
  }
  return total;
}

void MalyImport::Refuse(const std::string& message) {
  Report(message, kRed);
  report_.outcome = message;
}

void MalyImport::KeepReport() {
  // The destination period keeps the run, so the accountant can read back what was loaded. The
  // record is one unit: a run ended while keeping it leaves none of it.
  transfer::RunAtomic(db_, [&] { transfer::SaveRunReport(*db_.connection(), report_); });
}

bool MalyImport::Apply() {
  if (!applyEnabled()) return false;
  auto started = std::chrono::steady_clock::now();
  outcome_ = MalyOutcome{};
  report_ = transfer::RunReport{};
  report_.what = std::string("import maly ") + AfterModeName(afterMode);
  report_.source = (RemoteSource() ? source_.name + ":" : std::string()) + SourceDatabase();
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId;
  report_.started = g_.today + " " + date_.CurrentTime();

  if (!CheckNumberRoom() || !CheckBalances()) return false;
  if (!copyBase && !CheckAccounts()) return false;
  StateGuard progress(dialogs_, caption_, text::kLoading);
  std::vector<std::string> sources;
  if (copyBase) sources = BaseSources();

  transfer::UnitResult vouchers;
  vouchers.table = "Asnad";
  vouchers.name = caption_;
  vouchers.sourceRows = candidateLines_;
  try {
    transfer::RunAtomic(
        db_,
        [&] {
          // Lines already of the accounting program are left as they are.
          db_.RunSql(" Update " + importTable_ +
                     " Set TypeSys = 'M' Where TypeSys != 'XXX' And TypeSys != 'M' ");
          db::ResultSet rs = Last(db_.connection()->Query(
              std::string("sp_M_Asnad_Import '") + AfterModeName(afterMode) + "', " + importTable_ +
              ", " + Quote(g_.fiscalYear) + "," + Quote(g_.userId) + ", " +
              Quote(date_.CurrentTime())));
          if (!rs.rows.empty() && rs.rows[0].size() >= 5) {
            outcome_.vouchers = Number(rs, 0, 0);
            outcome_.lines = Number(rs, 0, 1);
            outcome_.kept = Number(rs, 0, 2);
            outcome_.replaced = Number(rs, 0, 3);
            outcome_.merged = Number(rs, 0, 4);
          }
          dialogs_.Progress(1, 2);
          if (copyBase) {
            outcome_.baseRows = CopyMissingBase(sources);
            std::string code =
                MissingCode(*db_.connection(), importTable_, "sOrder Like '%A%' And ");
            if (!code.empty())
              throw Refusal(std::string(text::kMissingCodes) + " " + text::kMissingAccount + code);
          }
          dialogs_.Progress(2, 2);
        },
        RemoteSource() ? "" : SourceDatabase());
  } catch (const Refusal& r) {
    report_.units.clear();
    Refuse(r.what());
    KeepReport();
    return false;
  } catch (const std::exception& e) {
    report_.units.clear();
    report_.outcome = e.what();
    try {
      KeepReport();
    } catch (const std::exception&) {
      // The error that ended the apply is the one to report.
    }
    throw;
  }
  vouchers.inserted = outcome_.lines;
  vouchers.clashing = vouchers.sourceRows - outcome_.lines;
  vouchers.replaced = outcome_.replaced;
  vouchers.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.insert(report_.units.begin(), vouchers);
  report_.outcome = "OK";
  KeepReport();
  SetApplyEnabled(false);
  std::string count = CountRun();
  Report(state().colour == kRed ? std::string(text::kDone) : std::string(text::kDone) + " " + count,
         kGreen);
  return true;
}

}  // namespace xfer::import
