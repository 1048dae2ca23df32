#include "import/trado_import.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "db/cross_server.h"
#include "db/settings.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "import/import_sql.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "import/trado_text.h"
#include "transfer/run/atomic_unit.h"
#include "transfer/run/report_store.h"

namespace xfer::import {
namespace {

using db::Quote;

constexpr const char* kAfterNames[] = {"NEWID", "OLDID_NEW", "OLDID_REPLACE"};
constexpr const char* kPriorNames[] = {"NOCHANGE", "DEAILY", "MONTLY", "YEARLY"};
constexpr const char* kTypeNames[] = {"PREFACTOR", "PREFACTOR_RETURN", "FACTOR", "FACTOR_RETURN"};

// The import table's columns after IDX, as the remote copy writes them.
constexpr const char* kImportColumns =
    "OldSanadNoForosh, SanadNoForosh, SanadNoForosh2, PreSanadNoForosh, SanadDate, TypeAction, "
    "TypeConvert, Abtal, Address, sDes, AnbarCod, CustomerCod, BazaryabCod, KalaCod, "
    "SerialSanadog, RetSerialSanadog, ComputerNam, Qty, Qty1, Qty2, FeeSell, SellValue, FeeBuy, "
    "BuyValue, FeeMasraf, MasrafValue, PercentTakfif, Takfif, SellPercent, SellTax, AmRate, "
    "AmValue, Daramad, CustomerNam, AnbarNam, KalaNam, BazaryabNam, Raj, SherCode, SalMale, "
    "sOrder, User_Name, IsEshantion, DesKala, TasvieDate, Ersalnum, MasrafCod";

// The companions: suffix of the name, columns as made, columns as copied, the source table and
// the condition (%T the type action, %S the serial kind) that fills them.
struct Companion {
  const char* suffix;
  const char* definition;
  const char* columns;
  const char* source;
  const char* where;
};
constexpr Companion kCompanions[] = {
    {"Fact",
     "SanadNoForosh Varchar(20), TypeAction Varchar(1), CatgagoryCod Varchar(50), "
     "CatgagoryNam Varchar(500), CatgagoryMetod Varchar(50), CatgagoryNerkh Float, "
     "CatgagorySign Varchar(1), CatgagorySignBazaryab Varchar(1), RowValue Float",
     "SanadNoForosh, TypeAction, CatgagoryCod, CatgagoryNam, CatgagoryMetod, CatgagoryNerkh, "
     "CatgagorySign, CatgagorySignBazaryab, RowValue",
     nullptr, nullptr},
    {"Pay",
     "SanadNoForosh Varchar(20), TypeAction Varchar(1), CustomerCod Varchar(50), "
     "SerialSanadog Varchar(20), Takfif Float Default(0), PayValue Float Default(0), "
     "CustomerNam Varchar(500)",
     "SanadNoForosh, TypeAction, CustomerCod, SerialSanadog, Takfif, PayValue, CustomerNam",
     "R_NaghdPay", "TypeAction = '%T'"},
    {"Serial",
     "SanadNoForosh Varchar(20), TypeAction Varchar(1), TypeFactor Varchar(1), SellRaj Int, "
     "Raj Int, CountNo Int, KalaSerialNo Varchar(500), CreateDate Varchar(10), "
     "ExpDate Varchar(10)",
     "SanadNoForosh, TypeAction, TypeFactor, SellRaj, Raj, CountNo, KalaSerialNo, CreateDate, "
     "ExpDate",
     "R_SellSerial", "TypeAction = '%T' And TypeFactor='%S'"},
};

// Base records an apply copies from the source when asked, in this order: the table, its key
// and which source rows the documents need (%I the import table, %K the source's items).
struct BaseRecord {
  const char* table;
  const char* key;
  const char* needed;
};
constexpr BaseRecord kBaseRecords[] = {
    {"Kala", "KalaCod", "KalaCod In (Select KalaCod From %I)"},
    {"Anbar", "AnbarCod", "AnbarCod In (Select AnbarCod From %I)"},
    {"R_Customer", "CustomerCod", "CustomerCod In (Select CustomerCod From %I)"},
    {"R_Bazaryab", "BazaryabCod", "BazaryabCod In (Select BazaryabCod From %I)"},
    {"Megyas", "MegyasCod",
     "MegyasCod In (Select MegyasCod1 From %K Where KalaCod In (Select KalaCod From %I) Union "
     "Select MegyasCod2 From %K Where KalaCod In (Select KalaCod From %I) Union Select MegyasCod3 "
     "From %K Where KalaCod In (Select KalaCod From %I))"},
};

// Codes of a line that this period must hold: the condition over the import table (%K the
// source's items) that finds a line whose code is missing, and the column that names it.
struct CodeCheck {
  const char* missing;
  const char* shown;
};
constexpr CodeCheck kCodeChecks[] = {
    {"KalaCod Is Not Null And KalaCod <> '' And KalaCod Not In (Select KalaCod From Kala)",
     "KalaCod"},
    {"AnbarCod Is Not Null And AnbarCod <> '' And AnbarCod Not In (Select AnbarCod From Anbar)",
     "AnbarCod"},
    {"CustomerCod Is Not Null And CustomerCod <> '' And CustomerCod Not In (Select CustomerCod "
     "From R_Customer)",
     "CustomerCod"},
    {"BazaryabCod Is Not Null And BazaryabCod <> '' And BazaryabCod Not In (Select BazaryabCod "
     "From R_Bazaryab)",
     "BazaryabCod"},
    {"KalaCod In (Select KalaCod From %K Where (IsNull(MegyasCod1, '') <> '' And MegyasCod1 Not "
     "In (Select MegyasCod From Megyas)) Or (IsNull(MegyasCod2, '') <> '' And MegyasCod2 Not In "
     "(Select MegyasCod From Megyas)) Or (IsNull(MegyasCod3, '') <> '' And MegyasCod3 Not In "
     "(Select MegyasCod From Megyas)))",
     "KalaCod"},
};

// Width checks of the load, in the order their messages are tried.
struct WidthCheck {
  const char* table;
  const char* column;
  const char* message;
};
constexpr WidthCheck kWidthChecks[] = {
    {"R_Factor_Relate_FactCata", "CatgagoryNam", text::kWidthCatgagoryNam},
    {"R_Factor_Relate_FactCata", "CatgagoryCod", text::kWidthCatgagoryCod},
    {"R_Factor_Relate_FactCata", "CatgagoryMetod", text::kWidthCatgagoryMetod},
    {"R_DetailFactorForosh", "KalaCod", text::kWidthKalaCod},
    {"R_FactorForosh", "Address", text::kWidthAddress},
    {"R_FactorForosh", "SanadNoForosh2", text::kWidthSanadNoForosh2},
    {"R_FactorForosh", "SanadNoForosh", text::kWidthSanadNoForosh},
    {"R_FactorForosh", "CustomerCod", text::kWidthCustomerCod},
    {"R_FactorForosh", "BazaryabCod", text::kWidthBazaryabCod},
    {"R_FactorForosh", "AnbarCod", text::kWidthAnbarCod},
};

long long Count(db::Backend& b, const std::string& sql) {
  return db::ParseInteger(db::ScalarText(b, sql)).value_or(0);
}

void DropTemp(db::Backend& b, const std::string& name) {
  b.Execute("If Object_Id('tempdb.." + name + "') Is Not Null Drop Table " + name);
}

}  // namespace

const char* TradoAfterModeName(int afterMode) {
  return afterMode >= 0 && afterMode < 3 ? kAfterNames[afterMode] : kAfterNames[0];
}

int TradoAfterModeOf(const std::string& name) {
  for (int i = 0; i < 3; ++i)
    if (db::UpperAscii(db::Trim(name)) == kAfterNames[i]) return i;
  return -1;
}

int TradoTypeOf(const std::string& name) {
  for (int i = 0; i < 4; ++i)
    if (db::UpperAscii(db::Trim(name)) == kTypeNames[i]) return i;
  return -1;
}

int TradoImport::RowColour(const std::string& sOrder) {
  int colour = kBlack;
  if (sOrder.find('A') != std::string::npos) colour = kRed;
  if (sOrder.find(" 1D") != std::string::npos) colour = kGreen;
  return colour;
}

void TradoImport::Prepare() {
  ImportFrame::Prepare();
  importTable_ = "##" + suffix_;
  db::ModuleSettings sales = db::ReadSalesSettings(*db_.connection(), g_);
  std::string pre = sales.Get("NAMPREFACTOR"), fact = sales.Get("NAMFACTOR");
  if (db::Trim(pre).empty()) pre = text::kPreFactor;
  if (db::Trim(fact).empty()) fact = text::kFactor;
  typeNames_ = {pre, text::kReturnPrefix + pre, fact, text::kReturnPrefix + fact};
  caption_ = text::kTradoTitleHead + pre + "/" + fact + text::kTradoTitleTail;
  MakeImportTable(*db_.connection(), ImportDefinition(*db_.connection(), ""));
  MakeCompanions(*db_.connection());
  typeIndex_ = 0;
}

std::string TradoImport::ImportDefinition(db::Backend& b, const std::string& database) {
  std::string p = database.empty() ? "" : database + "..";
  // No rows: only the field sizes of the period's sales columns.
  db::ResultSet probe = Last(b.Query(
      "Select P.User_Name, P.AnbarCod, D.KalaCod, P.SanadNoForosh, P.BazaryabCod, P.CustomerCod, "
      "(select AnbarNam from " +
      p + "Anbar where AnbarCod = P.AnbarCod) AnbarNam, (select KalaNam from " + p +
      "Kala where KalaCod = D.KalaCod) KalaNam, (select CustomerNam from " + p +
      "R_Customer where CustomerCod = P.CustomerCod) CustomerNam, (select BazaryabNam from " + p +
      "R_Bazaryab where BazaryabCod = P.BazaryabCod) BazaryabNam From " + p +
      "R_DetailPreFactorForosh As D Inner Join " + p +
      "R_PreFactorForosh As P On (P.SanadNoForosh = D.SanadNoForosh And  P.TypeAction = "
      "D.TypeAction) Where 11 = 13 "));
  auto w = [&](const char* name) {
    int size = 0;
    for (const db::Field& f : probe.fields)
      if (db::UpperAscii(f.name) == db::UpperAscii(name)) size = f.size;
    // A name read through a subquery may come back without a declared size.
    return "Varchar(" + std::to_string(size > 0 ? size : 100) + ")";
  };
  std::string no = w("SanadNoForosh");
  return "(IDX Int Identity(1, 1), OldSanadNoForosh " + no + ", SanadNoForosh " + no +
         ", SanadNoForosh2 " + no + ", PreSanadNoForosh " + no +
         ", SanadDate Varchar(10), TypeAction Varchar(5), TypeConvert Varchar(5), "
         "Abtal Varchar(1), Address Varchar(500), sDes Varchar(500), AnbarCod " +
         w("AnbarCod") + ", CustomerCod " + w("CustomerCod") + ", BazaryabCod " + w("BazaryabCod") +
         ", KalaCod " + w("KalaCod") +
         ", SerialSanadog Varchar(20), RetSerialSanadog Varchar(20), ComputerNam Varchar(500), "
         "Qty Float, Qty1 Float, Qty2 Float, FeeSell Float, SellValue Float, FeeBuy Float, "
         "BuyValue Float, FeeMasraf Float, MasrafValue Float, PercentTakfif Float, "
         "Takfif Float, SellPercent Float, SellTax Float, AmRate Float, AmValue Float, "
         "Daramad Float, CustomerNam " +
         w("CustomerNam") + ", AnbarNam " + w("AnbarNam") + ", KalaNam " + w("KalaNam") +
         ", BazaryabNam " + w("BazaryabNam") +
         ", Raj Int, SherCode Varchar(4), SalMale Varchar(4), sOrder Varchar(500), "
         "User_Name " +
         w("User_Name") +
         ", IsEshantion Varchar(2), DesKala Varchar(200), TasvieDate varchar(10), "
         "Ersalnum varchar(10), MasrafCod varchar(20))";
}

void TradoImport::MakeImportTable(db::Backend& b, const std::string& definition) {
  DropTemp(b, importTable_);
  b.Execute("Create Table " + importTable_ + " " + definition);
  // The apply reaches rows by their identity.
  b.Execute("Create Index IX_" + suffix_ + "_IDX On " + importTable_ + " (IDX)");
}

void TradoImport::MakeCompanions(db::Backend& b) {
  for (const Companion& c : kCompanions) {
    std::string name = importTable_ + c.suffix;
    DropTemp(b, name);
    b.Execute("Create Table " + name + " (" + c.definition + ")");
  }
}

bool TradoImport::ChooseType(int index) {
  if (index < -1 || index >= 4) return false;
  typeIndex_ = index;
  if (index != 0) skipConverted = false;
  CloseCandidates();
  if (index >= 0 && periodIndex() >= 0) ReadRanges();
  return true;
}

bool TradoImport::CheckBeforeAuto() {
  if (typeIndex_ < 0) {
    Report(text::kNoType, kRed);
    return false;
  }
  return ImportFrame::CheckBeforeAuto();
}

void TradoImport::ReadRanges() {
  if (typeIndex_ < 0) return;
  ReadRangesFrom(
      "Select Max(SanadDate) As MaxSanadDate, Min(SanadDate) As MinSanadDate, "
      "Max(SanadNoForosh) As MaxSanadNoForosh, Min(SanadNoForosh) As MinSanadNoForosh From " +
      SourceDatabase() + ".." + type().header + " Where TypeAction = '" + type().typeAction + "'");
}

const db::ResultSet& TradoImport::candidates() const {
  return CachedCandidates("Select * From " + importTable_ + " Order By sOrder, SanadNoForosh, IDX",
                          candidateLines_ > 0);
}

void TradoImport::CloseCandidates() {
  ForgetCandidates();
  candidateLines_ = 0;
  candidateDocuments_ = 0;
  SetApplyEnabled(false);
}

bool TradoImport::Load() {
  if (periodIndex() < 0) {
    Report(text::kNoPeriod, kRed);
    return false;
  }
  if (typeIndex_ < 0) {
    Report(text::kNoType, kRed);
    return false;
  }
  if (!CheckDates()) return false;
  CloseCandidates();
  StateGuard progress(dialogs_, caption_, text::kLoading);
  if (!CheckWidths()) return false;
  dialogs_.Progress(1, 5);

  // The import table takes the source's widths; a source on another server fills its own
  // tables there, which come here afterwards.
  std::string definition = ImportDefinition(RemoteQuery(), SourceDatabase());
  MakeImportTable(RemoteQuery(), definition);
  if (RemoteSource()) {
    MakeImportTable(*db_.connection(), definition);
    MakeCompanions(RemoteQuery());
  }
  for (const char* copy : {"_Repeaty", "_N_Repeaty"}) {
    DropTemp(*db_.connection(), importTable_ + copy);
    db_.RunSql(" Select * Into " + importTable_ + copy + " from " + importTable_);
  }
  for (const Companion& c : kCompanions) db_.RunSql("Truncate Table " + importTable_ + c.suffix);

  std::string sMax(db::Trim(db::ScalarText(
      *db_.connection(), "Select IsNull(Max(" + Aligned("SanadNoForosh") + "), 0) As sMax From " +
                             type().header + " Where TypeAction='" + type().typeAction + "'")));
  RemoteQuery().Execute(SourceDatabase() + "..sp_R_Asnad_Import_Perpar '" +
                        kPriorNames[std::clamp(priorMode, 0, 3)] + "', '" +
                        (skipConverted && typeIndex_ == 0 ? "TRUE" : "FALSE") + "','" +
                        type().letter + "', '" + importTable_ + "', '" + type().typeAction + "', " +
                        Quote(sMax.empty() ? "0" : sMax) + ", 'IMPORT', " + Quote(Filter()) + " ");
  dialogs_.Progress(2, 5);
  FillCompanions();
  if (RemoteSource()) FetchFromRemote();
  dialogs_.Progress(3, 5);
  MarkMissingCodes(SourceItems());
  dialogs_.Progress(4, 5);

  db::ResultSet counts = Last(db_.connection()->Query(
      "Select Count(*), Count(Distinct SanadNoForosh) From " + importTable_));
  candidateLines_ = counts.rows.empty() ? 0 : Number(counts, 0, 0);
  candidateDocuments_ = counts.rows.empty() ? 0 : Number(counts, 0, 1);
  SetApplyEnabled(candidateLines_ > 0);
  dialogs_.Progress(5, 5);
  caption_ = std::string(text::kTradoTitleHead) + typeNames_[0] + "/" + typeNames_[2] +
             text::kTradoTitleTail + " " + SourceTag();
  return true;
}

bool TradoImport::CheckWidths() {
  auto widths = [&](db::Backend& b, const std::string& prefix) {
    std::string sql = "Select ";
    for (const WidthCheck& c : kWidthChecks)
      sql += std::string(&c == kWidthChecks ? "" : ", ") + "COL_LENGTH('" + prefix + c.table +
             "', '" + c.column + "') As " + c.column;
    return Last(b.Query(sql));
  };
  db::ResultSet here = widths(*db_.connection(), "");
  db::ResultSet there = widths(RemoteQuery(), SourceDatabase() + "..");
  if (here.rows.empty() || there.rows.empty()) return true;
  for (size_t i = 0; i < std::size(kWidthChecks); ++i) {
    std::string mine = Text(here, 0, i);
    if (mine == Text(there, 0, i)) continue;
    Report(kWidthChecks[i].message + mine + text::kWidthEnd, kRed);
    return false;
  }
  return true;
}

std::string TradoImport::Filter() const {
  std::string filter;
  if (dates.ticked) {
    if (!BlankDate(dates.from)) filter += "And P.SanadDate >= " + Quote(db::Trim(dates.from)) + " ";
    if (!BlankDate(dates.to)) filter += "And P.SanadDate <= " + Quote(db::Trim(dates.to)) + " ";
  }
  if (numbers.ticked) {
    if (!db::Trim(numbers.from).empty())
      filter += "And " + Aligned("P.SanadNoForosh") +
                " >= " + AlignedLiteral(PaddedNumber(numbers.from)) + " ";
    if (!db::Trim(numbers.to).empty())
      filter += "And " + Aligned("P.SanadNoForosh") +
                " <= " + AlignedLiteral(PaddedNumber(numbers.to)) + " ";
  }
  return filter;
}

void TradoImport::FillCompanions() {
  // Rows of the prepared documents only, read where the import table was filled.
  const std::string src = SourceDatabase();
  const std::string chosen = " And SanadNoForosh In (Select Distinct OldSanadNoForosh From " +
                             importTable_ + " Where IsNull(OldSanadNoForosh, '') <> '') ";
  for (const Companion& c : kCompanions) {
    std::string sql = "Insert Into " + importTable_ + c.suffix + "(" + c.columns + ") ";
    if (!c.source) {
      sql +=
          "Select F.SanadNoForosh, F.TypeAction, Fc.CatgagoryCod, Fc.CatgagoryNam, "
          "Fc.CatgagoryMetod, Fc.CatgagoryNerkh, Fc.CatgagorySign, Fc.CatgagorySignBazaryab, "
          "Fc.RowValue From " +
          src + ".." + type().header + " As F Inner Join " + src + ".." + type().factors +
          " As Fc On (F.SanadNoForosh = Fc.SanadNoForosh And F.TypeAction = Fc.TypeAction) "
          "Where F.TypeAction = '" +
          type().typeAction + "' And F.SanadNoForosh In (Select Distinct OldSanadNoForosh From " +
          importTable_ + " Where IsNull(OldSanadNoForosh, '') <> '') ";
    } else {
      std::string where =
          Replace(Replace(c.where, "%T", type().typeAction), "%S", type().serialKind);
      sql += "Select " + std::string(c.columns) + " From " + src + ".." + c.source + " Where " +
             where + chosen;
    }
    RemoteQuery().Execute(sql);
  }
}

void TradoImport::FetchFromRemote() {
  // The rows the source server prepared come here through work files, into the tables this
  // form made, so the identity and the declared widths stay as they are.
  std::vector<std::pair<std::string, std::string>> tables = {{importTable_, kImportColumns}};
  for (const Companion& c : kCompanions) tables.push_back({importTable_ + c.suffix, c.columns});
  for (const auto& [table, columns] : tables) {
    std::string copy = table + "_R";
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, table, copy);
    db_.RunSql("Delete From " + table);
    db_.RunSql("Insert Into " + table + " (" + columns + ") Select " + columns + " From " + copy +
               (table == importTable_ ? " Order By IDX" : ""));
    db_.RunSql("Drop Table " + copy);
  }
}

std::string TradoImport::SourceItems() {
  if (!RemoteSource()) return SourceDatabase() + "..Kala";
  std::string copy = importTable_ + "_BKala";
  DropTemp(*db_.connection(), copy);
  db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, SourceDatabase() + "..Kala", copy);
  return copy;
}

void TradoImport::MarkMissingCodes(const std::string& sourceItems) {
  // One pass: a line missing several codes gets one mark.
  std::string missing;
  for (const CodeCheck& c : kCodeChecks)
    missing += (missing.empty() ? "(" : " Or (") + Replace(c.missing, "%K", sourceItems) + ")";
  db_.RunSql(" Update " + importTable_ + " Set sOrder =  sOrder+' 1D' Where " + missing);
  if (Count(*db_.connection(),
            "Select Count(*) From " + importTable_ + " Where sOrder Like '% 1D%'") > 0)
    Report(text::kMissingBase, kGreen);
}

std::string TradoImport::MissingCode(const std::string& sourceItems) {
  for (const CodeCheck& c : kCodeChecks) {
    db::ResultSet rs = Last(db_.connection()->Query(
        "Select Top 1 " + std::string(c.shown) + ", Ltrim(Rtrim(OldSanadNoForosh)) From " +
        importTable_ + " Where " + Replace(c.missing, "%K", sourceItems) + " Order By IDX"));
    if (!rs.rows.empty()) return Text(rs, 0, 0) + " (" + Text(rs, 0, 1) + ")";
  }
  return {};
}

bool TradoImport::CheckNumberRoom() {
  if (afterMode != kTradoNewId) return true;
  long long max =
      Count(*db_.connection(),
            "Select IsNull(Max(Cast(Ltrim(Rtrim(SanadNoForosh)) As decimal(20, 0))), "
            "0) From " +
                std::string(type().header) + " Where TypeAction = '" + type().typeAction + "'");
  long long width = Count(*db_.connection(), "Select Col_Length('" + std::string(type().header) +
                                                 "', 'SanadNoForosh')");
  if (static_cast<long long>(std::to_string(max + candidateDocuments_).size()) <= width)
    return true;
  Refuse(text::kNoFactorNumberRoom);
  return false;
}

std::vector<std::string> TradoImport::BaseSources() {
  std::vector<std::string> sources;
  for (const BaseRecord& r : kBaseRecords) {
    std::string source = SourceDatabase() + ".." + r.table;
    if (RemoteSource()) {
      std::string copy = importTable_ + "_B" + r.table;
      DropTemp(*db_.connection(), copy);
      db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, source, copy);
      source = copy;
    }
    sources.push_back(source);
  }
  return sources;
}

long long TradoImport::CopyMissingBase(const std::vector<std::string>& sources) {
  long long total = 0;
  const std::string& items = sources[0];
  for (size_t i = 0; i < std::size(kBaseRecords); ++i) {
    const BaseRecord& r = kBaseRecords[i];
    auto started = std::chrono::steady_clock::now();
    std::string table = r.table;
    std::string columns = db::TableColumns(*db_.connection(), table);
    std::string needed = Replace(Replace(r.needed, "%I", importTable_), "%K", items);
    long long before = Count(*db_.connection(), "Select Count(*) From " + table);
    db_.RunSql("Insert Into " + table + " (" + columns + ") Select " + columns + " From " +
               sources[i] + " As X Where " + r.key + " Not In(Select " + r.key + " From " + table +
               ") And " + needed);
    transfer::UnitResult unit;
    unit.table = table;
    unit.name = table;
    unit.inserted = Count(*db_.connection(), "Select Count(*) From " + table) - before;
    unit.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    total += unit.inserted;
    report_.units.push_back(unit);
  }
  return total;
}

long long TradoImport::RelateInvoiceTypes() {
  // Every invoice without a type takes the type whose number range holds its number.
  if (std::string(type().kind) != "FACTOR") return 0;
  if (Count(*db_.connection(), " Select Count(*) From R_TypeFactor ") == 0) return 0;
  long long before = Count(*db_.connection(), "Select Count(*) From R_Factor_Relate_TypeFactor");
  db_.RunSql(
      " Insert Into R_Factor_Relate_TypeFactor (TypeFactorCode, SanadNoforosh , TypeAction) "
      " Select TypeFactorCode, SanadNoforosh , TypeAction "
      " From R_FactorForosh As F,R_TypeFactor As R Where F.SanadNoforosh+'_'+F.TypeAction Not in "
      " (Select SanadNoforosh+'_'+TypeAction From R_Factor_Relate_TypeFactor) "
      " And Cast(SanadNoForosh As Integer) Between Cast(TypeFactorFrNo As Integer) And "
      "Cast(TypeFactorToNo As Integer) ");
  return Count(*db_.connection(), "Select Count(*) From R_Factor_Relate_TypeFactor") - before;
}

void TradoImport::Refuse(const std::string& message) {
  Report(message, kRed);
  report_.outcome = message;
}

void TradoImport::KeepReport() {
  transfer::SaveRunReport(*db_.connection(), report_);
}

bool TradoImport::Apply() {
  if (!applyEnabled()) return false;
  auto started = std::chrono::steady_clock::now();
  outcome_ = TradoOutcome{};
  report_ = transfer::RunReport{};
  report_.what =
      std::string("import trado ") + kTypeNames[typeIndex_] + " " + TradoAfterModeName(afterMode);
  report_.source = (RemoteSource() ? source_.name + ":" : std::string()) + SourceDatabase();
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId;
  report_.started = g_.today + " " + date_.CurrentTime();

  if (!CheckNumberRoom()) return false;
  std::string items = SourceItems();
  if (!copyBase) {
    std::string code = MissingCode(items);
    if (!code.empty()) {
      Refuse(std::string(text::kMissingBase) + " " + text::kMissingCode + code);
      return false;
    }
  }
  StateGuard progress(dialogs_, caption_, text::kLoading);
  std::vector<std::string> sources;
  if (copyBase) sources = BaseSources();

  try {
    transfer::RunAtomic(
        db_,
        [&] {
          db::ResultSet rs = Last(db_.connection()->Query(
              "sp_R_Asnad_Import_Applay " + importTable_ + ", '" + TradoAfterModeName(afterMode) +
              "', '" + type().kind + "', '" + type().typeAction + "' "));
          if (!rs.rows.empty() && rs.rows[0].size() >= 7) {
            outcome_.documents = Number(rs, 0, 0);
            outcome_.lines = Number(rs, 0, 1);
            outcome_.kept = Number(rs, 0, 2);
            outcome_.replaced = Number(rs, 0, 3);
            outcome_.factors = Number(rs, 0, 4);
            outcome_.payments = Number(rs, 0, 5);
            outcome_.serials = Number(rs, 0, 6);
          }
          dialogs_.Progress(1, 3);
          if (copyBase) {
            outcome_.baseRows = CopyMissingBase(sources);
            std::string code = MissingCode(sources[0]);
            if (!code.empty())
              throw Refusal(std::string(text::kMissingBase) + " " + text::kMissingCode + code);
          }
          dialogs_.Progress(2, 3);
          outcome_.typeRows = RelateInvoiceTypes();
          dialogs_.Progress(3, 3);
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
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  auto unit = [&](const char* table, long long source, long long inserted, long long replaced) {
    transfer::UnitResult u;
    u.table = table;
    u.name = typeNames_[static_cast<size_t>(typeIndex_)];
    u.sourceRows = source;
    u.inserted = inserted;
    u.clashing = source < 0 ? 0 : source - inserted;
    u.replaced = replaced;
    u.seconds = seconds;
    return u;
  };
  std::vector<transfer::UnitResult> units = {
      unit(type().header, candidateDocuments_, outcome_.documents, outcome_.replaced),
      unit(type().lines, -1, outcome_.lines, 0),
      unit(type().factors, -1, outcome_.factors, 0),
      unit("R_NaghdPay", -1, outcome_.payments, 0),
      unit("R_SellSerial", -1, outcome_.serials, 0),
      unit("R_Factor_Relate_TypeFactor", -1, outcome_.typeRows, 0)};
  report_.units.insert(report_.units.begin(), units.begin(), units.end());
  report_.outcome = "OK";
  KeepReport();
  SetApplyEnabled(false);
  std::string count = CountRun();
  std::string done = typeNames_[static_cast<size_t>(typeIndex_)] + text::kTradoDoneTail;
  Report(state().colour == kRed ? done : done + " " + count, kGreen);
  return true;
}

}  // namespace xfer::import
