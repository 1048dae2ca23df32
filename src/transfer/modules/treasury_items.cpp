#include "transfer/modules/treasury_items.h"

#include <chrono>
#include <functional>

#include "db/cross_server.h"
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

int FieldIndex(const db::ResultSet& rs, const char* name) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (UpperAscii(rs.fields[i].name) == UpperAscii(name)) return static_cast<int>(i);
  return -1;
}

std::string Text(const db::ResultSet& rs, size_t row, const char* name) {
  int i = FieldIndex(rs, name);
  if (i < 0) return {};
  const db::Value& v = rs.rows[row][static_cast<size_t>(i)];
  return engine::IsNull(v) ? std::string() : Trimmed(engine::FormatValue(v));
}

std::optional<double> Number(const db::ResultSet& rs, size_t row, const char* name) {
  std::string t = Text(rs, row, name);
  if (t.empty()) return std::nullopt;
  try {
    return std::stod(t);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// An index on a work table, named after it.
std::string IndexOn(const std::string& table, const char* column) {
  std::string plain;
  for (char c : table)
    if (c != '#') plain += c;
  return " Create Index IX_" + plain + " On " + table + " (" + column + ") ";
}

std::string DropIfExists(const std::string& table) {
  return " If Exists (Select [Name] From Tempdb..SysObjects Where [Name] = '" +
         EscapeQuotes(table) + "')  Drop Table " + table + " ";
}

// Currency lines as the work tables keep them: plain copies, without the source's identity.
const std::string kArzColumns =
    "Cast(N.IDX As int) As IDX, N.Serial, N.Raj, N.WhatDoc, N.ArzCod, N.ArzCount, N.Nerkh";

// The entry codes of a cheque kind as its documents carry them.
const char* EntryCodes(ItemKind kind) {
  return kind == ItemKind::kReceived ? "('71','72')" : "('81','85')";
}

}  // namespace

bool ParseItemKind(const std::string& text, ItemKind& kind) {
  const std::string t = UpperAscii(Trimmed(text));
  if (t == "GET")
    kind = ItemKind::kReceived;
  else if (t == "PAY")
    kind = ItemKind::kPaid;
  else
    return false;
  return true;
}

TreasuryItems::TreasuryItems(ModuleTransfer& frame, db::HostGlobal& global,
                             db::HostDatabase& database, db::Dialogs& dialogs)
    : frame_(frame), g_(global), db_(database), dialogs_(dialogs) {}

std::string TreasuryItems::Table(const std::string& suffix) const {
  return frame_.periodList() + suffix;
}

long long TreasuryItems::Count(const std::string& sql) {
  return db::ParseInteger(db::ScalarText(*db_.connection(), sql)).value_or(0);
}

void TreasuryItems::CreateWorkTables() {
  auto sets = db_.connection()->Query(
      "Select Col_Length('N_BankHesab', 'AcountCod') As AcountCodLen, "
      "Col_Length('N_ChqType', 'ChqTypeCod') As ChqTypeLen, "
      "Col_Length('N_Manabeh', 'ManabehCod') As ManabehLen, "
      "Col_Length('Asnad',   'Des')          As DesLen, "
      "Col_Length('Asnad',   'Koll')         As KollLen, "
      "Col_Length('Asnad',   'Moein')        As MoeinLen, "
      "Col_Length('Asnad',   'Tafsily')      As TafsilyLen, "
      "Col_Length('Asnad',   'Tafsily2')     As Tafsily2Len, "
      "Col_Length('Asnad',   'ProjectCod')   As ProjectCodLen, "
      "Col_Length('N_Bank',  'BankCod')      As BankCodLen, "
      "Col_Length('N_Bank',  'BankNam')      As BankNamLen, "
      "Col_Length('N_Shoab', 'ShobehCod')    As ShobehCodLen, "
      "Col_Length('N_Shoab', 'ShobehNam')    As ShobehNamLen, "
      "Col_Length('N_ChqLastTrans', 'Joz')    As JozLen, "
      "Col_Length('N_ChqLastTrans', 'ChqNo')    As ChqNoLen ");
  auto width = [&](const char* name) {
    std::string w = sets.empty() || sets.front().rows.empty() ? "" : Text(sets.front(), 0, name);
    return w.empty() ? std::string("50") : w;
  };
  const std::string taraf = Table("_Taraf");
  db_.RunSql(DropIfExists(taraf) + "Create Table " + taraf +
             " (Serial int NULL, IDX int identity(1,1), Raj int NULL, WhatDoc2 varchar(50) NULL, "
             "CodWhatDoc2 varchar(50) NULL, NamWhatDoc2 varchar(50) NULL, Koll varchar(" +
             width("KollLen") + ") NULL, Moein varchar(" + width("MoeinLen") +
             ") NULL, Tafsily varchar(" + width("TafsilyLen") + ") NULL, Tafsily2 varchar(" +
             width("Tafsily2Len") + ") NULL, ProjectCod varchar(" + width("ProjectCodLen") +
             ") NULL, Joz varchar(" + width("JozLen") + ") NULL, ChqNo varchar(" +
             width("ChqNoLen") + ") NULL, ChqValue float NULL, Des varchar(" + width("DesLen") +
             ") NULL, ManabehCod varchar(" + width("ManabehLen") +
             ") NULL, Ref int null, ArzCount float null, Nerkh float null)" +
             IndexOn(taraf, "Serial"));
  ResetCounterparties();
  // The note tables and their empty copies; the procedures fill them.
  for (const char* kind : {"_Safteh", "_SaftehPay"}) {
    const bool received = std::string(kind) == "_Safteh";
    const std::string t = Table(kind);
    db_.RunSql(DropIfExists(t) + "Create Table " + t + " (IDX Int NULL, IsFirst Varchar(1) NULL, " +
               (received ? "AcountID Int NULL, BankCod Varchar(50) NULL, ShobehCod Varchar(50) "
                           "NULL, AcountCod Varchar(50) NULL, AcountNam Varchar(500) NULL, "
                         : "CashCod Varchar(50) NULL, CashNam Varchar(500) NULL, ") +
               "Serial Int NULL, Joz Varchar(20) NULL, SaftehNo Varchar(20) NULL, SanadNo "
               "Varchar(20) NULL, Getter Varchar(500) NULL, SodorDate Varchar(10) NULL, "
               "SarResidDate Varchar(10) NULL, ActionDate Varchar(10) NULL, LastActionDate "
               "Varchar(10) NULL, WhatDocNam Varchar(500) NULL, LastWhatDoc Varchar(2) NULL, "
               "LastWhatDocNam Varchar(500) NULL, Des Varchar(500) NULL, Havaleh Varchar(1) NULL, "
               "Tazmin Varchar(1) NULL, SaftehValue Float NULL, sOrder Varchar(100) NULL, Status "
               "varchar(1) Null, EghamatPlace Varchar(500) Null, Address Varchar(500) Null, "
               "TahodValue float Null, Koll varchar (20) NULL, Moein varchar (20) NULL, Tafsily "
               "varchar (20) NULL, Tafsily2 varchar (20) NULL, ProjectCod varchar (20) NULL, "
               "SanadDate varchar (10) NULL, Raj int Identity(1,1))" +
               IndexOn(t, "Serial"));
  }
  const std::string noteTaraf = Table("_SaftehTaraf");
  db_.RunSql(DropIfExists(noteTaraf) + " CREATE TABLE " + noteTaraf +
             " ( IDX int, WhatDoc varchar (2) NOT NULL, CodWhatDoc varchar (50) NOT NULL, Serial "
             "int NOT NULL, Raj int NOT NULL, ManabehCod varchar (5) NULL, WhatDoc2 varchar (50) "
             "NULL, CodWhatDoc2 varchar (50) NULL, Des varchar (250) NULL, Des1 varchar (250) "
             "NULL, Des2 varchar (250) NULL, Des3 varchar (250) NULL, Des4 varchar (250) NULL, "
             "Des5 varchar (250) NULL, Des6 varchar (250) NULL, SaftehNo varchar (20) NULL, Joz "
             "varchar (20) NULL, SaftehValue float Null, TahodValue float Null, Koll varchar (20) "
             "NULL, Moein varchar (20) NULL, Tafsily varchar (20) NULL, Tafsily2 varchar (20) "
             "NULL, ProjectCod varchar (20) NULL, Radif int Identity(1,1))" +
             IndexOn(noteTaraf, "Serial"));
  for (const char* t : {"_Safteh", "_SaftehPay", "_SaftehTaraf"}) {
    const std::string last = Table(std::string(t) + "_Last");
    db_.RunSql(DropIfExists(last) + " Select * into " + last + " from " + Table(t));
  }
}

void TreasuryItems::ResetCounterparties() {
  const std::string last = Table("_Taraf_Last");
  db_.RunSql(DropIfExists(last));
  db_.RunSql(" Delete From " + Table("_Taraf"));
  db_.RunSql(" Select * into " + last + " From " + Table("_Taraf") + IndexOn(last, "ChqNo"));
}

void TreasuryItems::Fetch(const std::string& table) {
  db::CopyTableAcrossServers(Source(), db_, g_.appFolder, table, table);
}

void TreasuryItems::StartReport(const std::string& what, const std::string& sourceDb) {
  report_ = RunReport{};
  report_.what = "naghd " + what;
  report_.source = frame_.RemoteSource() ? sourceDb + " @ " + frame_.sourceServerName() : sourceDb;
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId + " @ " + g_.workstation;
  report_.started = g_.today;
}

std::pair<std::string, std::string> TreasuryItems::SourceDates() {
  auto period = frame_.PeriodConnection().Query(
      "Select sDate1, sDate2 From " + frame_.periodList() + " Where State = '" + kMark + "'");
  if (period.empty() || period.front().rows.empty()) return {};
  return {Text(period.front(), 0, "sDate1"), Text(period.front(), 0, "sDate2")};
}

std::string TreasuryItems::CurrentFirstDate() {
  if (!Trimmed(g_.periodStart).empty()) return Trimmed(g_.periodStart);
  return db::PeriodDates(*db_.connection(), g_.databaseName).first;
}

void TreasuryItems::ResolveCheques(ItemKind kind, const std::string& src) {
  const std::string P = Table("_Pay"), T = Table("_Taraf");
  // One batch: the work tables' pages are written once when it ends rather than once per
  // statement.
  std::string batch;
  const std::string sameCheque =
      ".Serial = X.Serial And Ltrim(Rtrim(C.ChqNo)) = Ltrim(Rtrim(X.ChqNo)) And "
      "Ltrim(Rtrim(IsNull(C.Joz, ''))) = Ltrim(Rtrim(IsNull(X.Joz, '')))";
  // Currency lines of the counterparty side, then those of the cheques.
  const std::string arzTaraf = Table("_Arz_Taraf"), arzChq = Table("_Arz_Chq");
  batch += DropIfExists(arzTaraf) + " select Distinct " + kArzColumns + " Into " + arzTaraf +
           " From " + src + "N_ArzTrans N Inner Join (Select P.Serial, T.Raj From " + P +
           " P Inner Join " + T +
           " T On T.Serial = P.Serial) X on N.serial = X.Serial And N.Raj = X.Raj  And "
           "N.WhatDoc in " +
           EntryCodes(kind);
  batch += DropIfExists(arzChq) + " Select " + kArzColumns + " Into " + arzChq + " From " + src +
           "N_ArzTrans N Where N.IDX Not In (Select IDX From " + arzTaraf +
           ") And N.IDX In (Select Ref From " + P + " Where Ref Is Not Null)";

  // The listing writes a cheque's number and series on its own counterparty lines exactly as on
  // the cheque, so plain comparisons find them. A cheque with lines of its own is settled, and
  // named by the most detailed level of its line when it has only one.
  const std::string own = " Exists (Select * From " + T +
                          " As C Where C.Serial = X.Serial And C.ChqNo = X.ChqNo And C.Joz = "
                          "X.Joz)";
  batch +=
      " Update X Set Taraf = IsNull((Select Case When Count(*) = 1 Then Max(Left(Case "
      "When IsNull(C.Tafsily, '') <> '' Then F.NamHesab When IsNull(C.Moein, '') <> '' Then "
      "M.NamHesab Else K.NamHesab End, 120)) Else '' End From " +
      T + " As C Left Outer Join " + src + "Koll K On K.Koll = C.Koll Left Outer Join " + src +
      "Moein M On M.Koll = C.Koll And M.Moein = C.Moein Left Outer Join " + src +
      "Tafsily F On F.Tafsily = C.Tafsily Where C.Serial = X.Serial And C.ChqNo = X.ChqNo "
      "And C.Joz = X.Joz), ''), Mojaz = 'A' From " +
      P + " As X Where" + own;
  // Any other comes from a document whose lines do not say which cheque goes where: one to
  // many, waiting for the user unless a line elsewhere already carries its number.
  batch += " Update X Set Taraf = '" + std::string(naghd_text::kOneToMany) +
           "', Mojaz = Case When Ltrim(Rtrim(X.Chqno))+'_'+Ltrim(Rtrim(X.Joz)) In (Select "
           "Ltrim(Rtrim(Chqno))+'_'+Ltrim(Rtrim(Joz)) From " +
           T + ") Then 'A' Else 'X' End From " + P + " As X Where Not" + own;
  // /*First Cheque State 1*/ an opening cheque keeps the counterparty it was carried with.
  batch += " Update " + P + " Set Taraf = Left(C.Taraf, 120) From " + P + " As X Inner Join " +
           src + "N_CHQFirst As C On C" + sameCheque + " And C.WhatDoc In " + EntryCodes(kind) +
           " Where X.Taraf = '' And IsNull(C.Taraf, '') <> ''";
  batch += " Update X Set Taraf = '' From " + P + " As X Where X.Sorder2 != 'B' And" + own;
  if (kind == ItemKind::kPaid) batch += " Update " + T + " Set Whatdoc2 = '01' ";
  Source().Execute(batch);
}

void TreasuryItems::DropCarriedCheques() {
  const std::string P = Table("_Pay"), T = Table("_Taraf");
  db_.RunSql(" Delete From " + P +
             " Where Ltrim(Rtrim(CHQNO)) +'_'+ Ltrim(Rtrim(Joz)) In (Select Ltrim(Rtrim(CHQNO)) "
             "+ '_' + Ltrim(Rtrim(Joz)) from N_CHQLastTrans) " +
             " Delete From " + T + " Where Serial Not In ( Select Serial From " + P + ") ");
}

bool TreasuryItems::ListCheques(ItemKind kind) {
  std::string sourceDb;
  if (!frame_.CheckSource(sourceDb)) return false;
  listed_ = 0;
  ResetCounterparties();
  const std::string base = frame_.periodList();
  const std::string src = sourceDb + "..";
  const std::string P = Table("_Pay"), T = Table("_Taraf");
  db_.RunSql(" Delete From " + Table("_Taraf_Last"));
  // On this server the procedure leaves out what this period already holds, so a listing right
  // after a registration does not build the registered cheques again only to drop them.
  const std::string carried = Table("_Carried");
  if (!frame_.RemoteSource())
    db_.RunSql(DropIfExists(carried) + " Select Ltrim(ChqNo) As ChqNo, Ltrim(Joz) As Joz Into " +
               carried + " From N_ChqLastTrans " + IndexOn(carried, "ChqNo"));
  Source().Execute(src +
                   (kind == ItemKind::kReceived ? "sp_N_Asnad_ChqGet_Prepare_Enteghal '"
                                                : "sp_N_Asnad_ChqPay_Prepare_Enteghal '") +
                   EscapeQuotes(base) + "'");
  if (!frame_.RemoteSource()) db_.RunSql(DropIfExists(carried));
  // A source on this server sees this period's tables, so the cheques already carried drop
  // out before they are resolved: a listing right after a registration then resolves nothing.
  if (!frame_.RemoteSource()) DropCarriedCheques();
  ResolveCheques(kind, src);
  if (frame_.RemoteSource()) {
    for (const char* t : {"_Pay", "_Taraf", "_Arz_Chq", "_Arz_Taraf"}) {
      Fetch(Table(t));
      if (std::string(t) == "_Pay" || std::string(t) == "_Taraf")
        db_.RunSql(IndexOn(Table(t), "Serial"));
    }
    DropCarriedCheques();
  }
  // Documents whose cheques are all settled need no counterparty lines for the user; what is
  // settled goes to the registration tables. One batch, as above.
  std::string batch = " Delete From " + T +
                      " Where (ChqNo Is Null Or ChqNo = '') And Exists (Select * From " + P +
                      " Where " + P + ".Serial = " + T + ".Serial And " + P +
                      ".Mojaz <> 'X') And Not Exists (Select * From " + P + " Where " + P +
                      ".Serial = " + T + ".Serial And " + P + ".Mojaz = 'X')";
  const std::string payLast = Table("_Pay_Last"), tarafLast = Table("_Taraf_Last");
  batch += DropIfExists(payLast) + " Select * Into " + payLast + " From " + P +
           " Where Mojaz = 'A' " + IndexOn(payLast, "Serial");
  batch += " Insert Into " + tarafLast +
           " (Serial, Raj, WhatDoc2, CodWhatDoc2, NamWhatDoc2, Koll, Moein, Tafsily, Tafsily2, "
           "ProjectCod, Joz, ChqNo, ChqValue, Des, ManabehCod, Ref, ArzCount, Nerkh) Select "
           "Serial, Raj, WhatDoc2, CodWhatDoc2, NamWhatDoc2, Koll, Moein, Tafsily, Tafsily2, "
           "ProjectCod, Joz, ChqNo, ChqValue, Des, ManabehCod, Ref, ArzCount, Nerkh From " +
           T + " As C Where Not Exists (Select * From " + P +
           " As X Where X.Serial = C.Serial "
           "And X.Mojaz = 'X') And (C.ChqNo Is Null Or C.ChqNo = '' Or Exists (Select * From " +
           payLast + " As X Where X.Serial = C.Serial And X.ChqNo = C.ChqNo And X.Joz = C.Joz))";
  const std::string arzChqLast = Table("_Arz_Chq_Last"), arzTarafLast = Table("_Arz_Taraf_Last");
  batch += DropIfExists(arzChqLast) + " Select * Into " + arzChqLast + " From " +
           Table("_Arz_Chq") + " Where IDX In (Select Ref From " + payLast + ")";
  batch += DropIfExists(arzTarafLast) + " Select * Into " + arzTarafLast + " From " +
           Table("_Arz_Taraf") + " Where Serial In (Select Serial From " + tarafLast + ")";
  db_.RunSql(batch);
  listed_ = Count("Select Count(*) From " + P);
  return true;
}

void TreasuryItems::ForEachRow(const std::string& sql,
                               const std::function<void(const db::ResultSet&, size_t)>& row) {
  if (sql.empty()) return;
  auto sets = db_.connection()->Query(sql);
  if (sets.empty()) return;
  for (size_t r = 0; r < sets.front().rows.size(); ++r) row(sets.front(), r);
}

std::string TreasuryItems::ChequeQuery() {
  const std::string table = Table("_Pay");
  if (!db::TempObjectExists(*db_.connection(), table)) return {};
  return " Select * from " + table + " Order by Serial ";
}

ChequeRow TreasuryItems::ChequeAt(const db::ResultSet& rs, size_t r) {
  ChequeRow c;
  c.serial = static_cast<int>(Number(rs, r, "Serial").value_or(0));
  c.chqNo = Text(rs, r, "ChqNo");
  c.joz = Text(rs, r, "Joz");
  c.whatDoc = Text(rs, r, "WhatDoc");
  c.whatDocNam = Text(rs, r, "WhatDocNam");
  c.sanadNo = Text(rs, r, "SanadNo");
  c.sanadDate = Text(rs, r, "SanadDate");
  c.sarResidDate = Text(rs, r, "SarResidDate");
  c.value = Number(rs, r, "ChqValue").value_or(0);
  c.bankCod = Text(rs, r, "BankCod");
  c.acountNam = Text(rs, r, "AcountNam");
  c.acountCod = Text(rs, r, "AcountCod");
  c.taraf = Text(rs, r, "Taraf");
  c.mojaz = Text(rs, r, "Mojaz");
  c.arzCount = Number(rs, r, "ArzCount");
  c.arzName = Text(rs, r, "ArzName");
  c.ref = static_cast<long long>(Number(rs, r, "Ref").value_or(0));
  return c;
}

std::vector<ChequeRow> TreasuryItems::Cheques() {
  std::vector<ChequeRow> out;
  ForEachRow(ChequeQuery(),
             [&](const db::ResultSet& rs, size_t r) { out.push_back(ChequeAt(rs, r)); });
  return out;
}

void TreasuryItems::RecordUnit(UnitResult& unit, std::chrono::steady_clock::time_point started,
                               const std::function<void()>& work) {
  try {
    work();
    unit.clashing = unit.sourceRows - unit.inserted;
  } catch (const std::exception& e) {
    unit.error = e.what();
    report_.units.push_back(unit);
    report_.outcome = e.what();
    try {
      SaveRunReport(*db_.connection(), report_);
    } catch (const std::exception&) {
    }
    throw;
  }
  unit.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(unit);
  report_.outcome = "OK";
  SaveRunReport(*db_.connection(), report_);
}

bool TreasuryItems::RegisterCheques(ItemKind kind) {
  std::string sourceDb;
  if (!frame_.CheckSource(sourceDb) || listed_ == 0) return false;
  StartReport(kind == ItemKind::kReceived ? "cheques get" : "cheques pay", sourceDb);
  const auto started = std::chrono::steady_clock::now();
  const std::string base = frame_.periodList();
  const std::string src = sourceDb + "..";
  UnitResult unit;
  unit.table = "N_CHQFirst";
  unit.name = naghd_text::kChequesCaption;
  RecordUnit(unit, started, [&] {
    auto range =
        Source().Query("Select Min(SanadDate) As MinDate, Max(SanadDate) As MaxDate From " + src +
                       "N_ChqLastTrans ");
    std::string minDate, maxDate;
    if (!range.empty() && !range.front().rows.empty()) {
      minDate = Text(range.front(), 0, "MinDate");
      maxDate = Text(range.front(), 0, "MaxDate");
    }
    // An action dated after the source period's end has not happened when this period starts:
    // such a cheque is carried open, never recorded as used.
    const std::string sourceEnd = SourceDates().second;
    if (!sourceEnd.empty() && (maxDate.empty() || maxDate > sourceEnd)) maxDate = sourceEnd;
    // The last action of every paid cheque of the source: its used leaves follow.
    const std::string lastAction = Table("_ChqLastAction");
    Source().Execute(src + "sp_N_Create_LastChqAction " + lastAction + ",'8','FALSE','" +
                     EscapeQuotes(minDate) + "','" + EscapeQuotes(maxDate) + "'  ");
    if (frame_.RemoteSource()) Fetch(lastAction);
    const std::string date1 = EscapeQuotes(CurrentFirstDate());
    const std::string payLast = Table("_Pay_Last"), tarafLast = Table("_Taraf_Last");
    unit.sourceRows = Count("Select Count(*) From " + payLast);
    const long long before = Count("Select Count(*) From N_CHQFirst");
    RunAtomic(
        db_,
        [&] {
          db_.RunSql(
              " Insert Into " + tarafLast +
              " (Serial , WhatDoc2, Raj, CodWhatDoc2, NamWhatDoc2, Koll, Moein,  "
              " Tafsily, Tafsily2, ProjectCod, Joz, ChqNo, Des, ManabehCod, CHQValue) Select "
              "Serial , WhatDoc2, Raj, CodWhatDoc2, NamWhatDoc2, Koll, Moein, Tafsily, Tafsily2, "
              "ProjectCod, Joz, ChqNo, Des, ManabehCod, CHQValue From " +
              Table("_Taraf") + " As C Where C.ChqNo <> '' And Exists (Select * From " + payLast +
              " As X Where X.Serial = C.Serial And X.ChqNo = C.ChqNo And X.Joz = C.Joz) And Not "
              "Exists (Select * From " +
              tarafLast +
              " As L Where L.ChqNo = C.ChqNo And IsNull(L.Joz, '') = IsNull(C.Joz, ''))");
          db_.RunSql(std::string(kind == ItemKind::kReceived
                                     ? " sp_N_Asnad_Trans_ChqGet_Enteghal_First '"
                                     : " sp_N_Asnad_Trans_ChqPay_Enteghal_First '") +
                     EscapeQuotes(base) + "' , '" + EscapeQuotes(src) + "', " + "'" +
                     EscapeQuotes(Trimmed(g_.companyCode)) + "', '" + EscapeQuotes(g_.fiscalYear) +
                     "', '" + EscapeQuotes(g_.userId) + "', '" + date1 + "'");
          db_.RunSql(std::string(" insert into N_AsnadNaghd (whatdoc,ndocnam,status,status2) "
                                 "Select '02','") +
                     naghd_text::kDocName02 +
                     "',0,1 where '02' not  in (Select whatdoc from N_AsnadNaghd) ");
          db_.RunSql(
              "Delete From N_ChqLastTrans Where WhatDoc = '02' Insert Into "
              "N_ChqLastTrans(Whatdoc ,AcountId,ChqNo,Joz,SanadDate,Serial) Select '02' "
              ",AcountId,ChqNo,Joz,'" +
              date1 + "',0 From " + lastAction + " Where WhatDoc in ('82','83','87') ");
        },
        frame_.RemoteSource() ? std::string() : sourceDb);
    unit.inserted = Count("Select Count(*) From N_CHQFirst") - before;
  });
  ListCheques(kind);
  return true;
}

bool TreasuryItems::ListNotes(ItemKind kind) {
  std::string sourceDb;
  if (!frame_.CheckSource(sourceDb)) return false;
  listed_ = 0;
  ResetCounterparties();
  const bool received = kind == ItemKind::kReceived;
  const std::string src = sourceDb + "..";
  const std::string dest = "Kelvaro_" + Trimmed(g_.companyCode) + "_" + Trimmed(g_.fiscalYear);
  const auto [date1, date2] = SourceDates();
  const std::string prefix = received ? "A1" : "B1";
  auto bound = [&](const char* fn) {
    return Trimmed(db::ScalarText(Source(), std::string("Select ") + fn +
                                                "(Cast(SoftehNo+'_'+Joz As Varchar(100))) "
                                                "MinSafteh From " +
                                                src + "N_SoftehLastTrans Where WhatDoc Like '" +
                                                prefix + "' And Serial <> 0"));
  };
  const std::string minSafteh = bound("Min"), maxSafteh = bound("Max");
  const std::string table = Table(received ? "_Safteh" : "_SaftehPay");
  const std::string taraf = Table("_SaftehTaraf");
  Source().Execute(src +
                   (received ? "sp_N_Asnad_SoftehGet_Prepare_Enteghal "
                             : "sp_N_Asnad_SoftehPay_Prepare_Enteghal ") +
                   table + ", '" + EscapeQuotes(minSafteh) + "', '" + EscapeQuotes(maxSafteh) +
                   "', '" + EscapeQuotes(date1) + "', '" + EscapeQuotes(date2) + "', '" + taraf +
                   "','" + EscapeQuotes(dest) + "'");
  if (frame_.RemoteSource()) {
    Fetch(table);
    Fetch(taraf);
    db_.RunSql(IndexOn(table, "Serial") + IndexOn(taraf, "Serial"));
    // The source's server could not see this period: notes it already holds drop out here.
    db_.RunSql(" Delete From " + table +
               " Where Exists (Select * From N_SoftehLastTrans L Where Left(L.WhatDoc, 1) = '" +
               prefix.substr(0, 1) + "' And Ltrim(Rtrim(L.SoftehNo)) = Ltrim(Rtrim(" + table +
               ".SaftehNo)) And Ltrim(Rtrim(IsNull(L.Joz, ''))) = Ltrim(Rtrim(IsNull(" + table +
               ".Joz, ''))))");
    db_.RunSql(" Delete From " + taraf + " Where Serial Not In (Select Serial From " + table + ")");
  }
  db_.RunSql(" Delete From " + table + "_Last");
  db_.RunSql(" Delete From " + taraf + "_Last");
  listed_ = Count("Select Count(*) From " + table);
  return true;
}

std::string TreasuryItems::NoteQuery(ItemKind kind) {
  const std::string table = Table(kind == ItemKind::kReceived ? "_Safteh" : "_SaftehPay");
  if (!db::TempObjectExists(*db_.connection(), table)) return {};
  return " select * from " + table + " Order by IDX ";
}

NoteRow TreasuryItems::NoteAt(const db::ResultSet& rs, size_t r) {
  NoteRow n;
  n.serial = static_cast<int>(Number(rs, r, "Serial").value_or(0));
  n.saftehNo = Text(rs, r, "SaftehNo");
  n.joz = Text(rs, r, "Joz");
  n.sanadNo = Text(rs, r, "SanadNo");
  n.sodorDate = Text(rs, r, "SodorDate");
  n.sarResidDate = Text(rs, r, "SarResidDate");
  n.lastActionDate = Text(rs, r, "LastActionDate");
  n.whatDocNam = Text(rs, r, "WhatDocNam");
  n.value = Number(rs, r, "SaftehValue").value_or(0);
  n.getter = Text(rs, r, "Getter");
  n.status = Text(rs, r, "Status");
  return n;
}

std::vector<NoteRow> TreasuryItems::Notes(ItemKind kind) {
  std::vector<NoteRow> out;
  ForEachRow(NoteQuery(kind),
             [&](const db::ResultSet& rs, size_t r) { out.push_back(NoteAt(rs, r)); });
  return out;
}

bool TreasuryItems::RegisterNotes(ItemKind kind) {
  std::string sourceDb;
  if (!frame_.CheckSource(sourceDb) || listed_ == 0) return false;
  const bool received = kind == ItemKind::kReceived;
  StartReport(received ? "notes get" : "notes pay", sourceDb);
  const auto started = std::chrono::steady_clock::now();
  const std::string table = Table(received ? "_Safteh" : "_SaftehPay");
  UnitResult unit;
  unit.table = "N_SoftehTrans";
  unit.name = naghd_text::kNotesCaption;
  unit.sourceRows = Count("Select Count(*) From " + table + " Where Status = 'A'") +
                    Count("Select Count(*) From " + table + "_Last");
  RecordUnit(unit, started, [&] {
    const long long before = Count("Select Count(*) From N_SoftehLastTrans");
    RunAtomic(db_, [&] {
      db_.RunSql(std::string(received ? "sp_N_Asnad_SoftehGet_Apply_Enteghal "
                                      : "sp_N_Asnad_SoftehPay_Apply_Enteghal ") +
                 table + ", '" + Table("_SaftehTaraf") + "','" + EscapeQuotes(g_.fiscalYear) +
                 "','" + EscapeQuotes(g_.companyCode) + "','" + EscapeQuotes(g_.userId) + "'");
    });
    unit.inserted = Count("Select Count(*) From N_SoftehLastTrans") - before;
  });
  ListNotes(kind);
  return true;
}

}  // namespace xfer::transfer
