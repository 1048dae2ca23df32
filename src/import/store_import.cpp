#include "import/store_import.h"

#include <chrono>
#include <stdexcept>

#include "db/cross_server.h"
#include "db/option_string.h"
#include "db/solar_date.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "import/import_sql.h"
#include "import/import_text.h"
#include "import/maly_import.h"
#include "import/store_backup.h"
#include "import/store_mirror.h"
#include "import/store_text.h"
#include "transfer/run/atomic_unit.h"
#include "transfer/run/report_store.h"

namespace xfer::import {
namespace {

using db::Quote;

const std::vector<StoreDocType> kTypes = {
    {"موجودي اوليه", "10"},
    {"رسيد", "30"},
    {"حواله", "50"},
    {"تحويل مستقيم", "70"},
    {"نقل و انتقال", "85"},
    {"افزايش", "16"},
    {"کاهش", "17"},
    {"برگشت از رسيد", "35"},
    {"برگشت از حواله", "55"},
    {"برگشت از تحويل مستقيم", "75"},
    {"تعديل افزايشي موجودي اوليه", "12"},
    {"تعديل کاهشي موجودي اوليه", "14"},
    {"تعديل افزايشي رسيد", "31"},
    {"تعديل کاهشي رسيد", "33"},
    {"تعديل افزايشي حواله", "51"},
    {"تعديل کاهشي حواله", "53"},
    {"تعديل افزايشي برگشت از رسيد", "36"},
    {"تعديل کاهشي برگشت از رسيد", "38"},
    {"تعديل افزايشي برگشت از حواله", "56"},
    {"تعديل کاهشي برگشت از حواله", "58"},
    {"موجودي پايان دوره", "100"},
    {"پيش نويس رسيد", "300"},
    {"پيش نويس حواله", "500"},
    {"رسيد موقت", "400"},
    {"درخواست کالا", "600"},
    {"همه اسناد", "1000"},
};

constexpr const char* kAfterNames[] = {"REPLACE", "NEWID", "OLDID", "OLDID_NOCHANGE"};

// Every column of the import tables after IDX, as they are copied between them.
constexpr const char* kColumns =
    "TranID, AnbarCod, User_Name, PersonelCod, KalaCod, MasrafCod, Tafsily2, SellersCod, "
    "CustomerCod, OldDocument, Document, Document2, DocSys, Buy_Sell_No, TransStore, AnbarNam, "
    "PersonelNam, KalaNam, MasrafNam, NamHesab, SellersNam, CustomerNam, DocDate, DesKala, "
    "OldRaj, Raj, Fee, Price, Qty, Qty1, Qty2, TQty, TQty1, TQty2, QtyReq, Qty1Req, Qty2Req, "
    "QtyOK, Qty1OK, Qty2OK, DateReq, TypeSys, TypeSys2, WhatDoc, Check_Price, SherCode, SalMale, "
    "sOrder, BuyTaxValue, BuyTaxRate, BuyAmValue, BuyAmRate, MDes, SLC";

// The mark of a chosen line ("ض"), as every grid of the suite shows it.
constexpr const char* kMark = "ض";

// Width checks of the load, in the order their messages are tried.
struct WidthCheck {
  const char* table;
  const char* column;
  const char* message;  // null: the second-detail message with its caption
};
constexpr WidthCheck kWidthChecks[] = {
    {"A_TranID", "Document", text::kWidthDocument},
    {"A_TranSanj", "KalaCod", text::kWidthKala},
    {"A_TranID", "User_Name", text::kWidthUser},
    {"A_TranID", "AnbarCod", text::kWidthAnbar},
    {"A_TranID", "PersonelCod", text::kWidthPersonel},
    {"A_TranSanj", "SellersCod", text::kWidthSellers},
    {"A_TranSanj", "Tafsily2", nullptr},
    {"A_TranSanj", "MasrafCod", text::kWidthMasraf},
    {"Avamel_Resid", "CatgagoryCode", text::kWidthAvamelCode},
    {"Avamel_Resid", "CatgagoryName", text::kWidthAvamelName},
    {"Avamel_Resid", "CatgagoryType", text::kWidthAvamelType},
    {"Avamel_Resid", "CatgagoryMetod", text::kWidthAvamelMetod},
};

// Codes of a line that this period must hold; a line missing one is marked " 1D".
struct CodeCheck {
  const char* column;
  const char* table;
  const char* key;
  const char* when;  // further condition on the line
};
constexpr CodeCheck kCodeChecks[] = {
    {"AnbarCod", "Anbar", "AnbarCod", ""},
    {"CustomerCod", "R_Customer", "CustomerCod", ""},
    {"SellersCod", "A_SELLERS", "SellersCod", ""},
    {"PersonelCod", "TahvilPerson", "Code", ""},
    {"MasrafCod", "A_MoredResid", "MoredResidCod", " And WhatDoc In ('30', '35', '300', '500')"},
    {"MasrafCod", "A_MASRAF", "MasrafCod", " And WhatDoc Not In ('30', '35', '300', '500')"},
    {"KalaCod", "Kala", "KalaCod", ""},
};

// Base records the apply copies from the source when asked: the table and the source table
// whose codes narrow the copy.
constexpr std::pair<const char*, const char*> kBaseRecords[] = {
    {"A_SELLERS", "A_TranSanj"},
    {"A_MASRAF", "A_TranSanj"},
    {"TahvilPerson", "TahvilPerson"},
    {"A_MoredResid", "A_MoredResid"},
};

// The drafts that travel with a receipt (30) or an issue (50); empty for other codes.
std::string DraftsOf(const std::string& code) {
  return code == "30" || code == "50" ? code + "0" : std::string();
}

long long Count(db::Backend& b, const std::string& table) {
  return db::ParseInteger(db::ScalarText(b, "Select Count(*) From " + table)).value_or(0);
}

}  // namespace

const std::vector<StoreDocType>& StoreDocTypes() {
  return kTypes;
}

int StoreTypeOf(const std::string& codeOrName) {
  std::string want(db::Trim(codeOrName));
  for (size_t i = 0; i < kTypes.size(); ++i)
    if (want == kTypes[i].code || want == kTypes[i].name) return static_cast<int>(i);
  return -1;
}

const char* StoreAfterName(int afterMode) {
  return afterMode >= 0 && afterMode < 4 ? kAfterNames[afterMode] : kAfterNames[1];
}

int StoreAfterOf(const std::string& name) {
  for (int i = 0; i < 4; ++i)
    if (db::UpperAscii(db::Trim(name)) == kAfterNames[i]) return i;
  return -1;
}

int StoreImport::RowColour(const std::string& sOrder, bool closingStock) {
  auto has = [&](const char* marker) { return sOrder.find(marker) != std::string::npos; };
  if (closingStock) {
    if (has("E")) return kRed;
    if (has(" 1D")) return kGreen;
    return kBlack;
  }
  if (has("ABC")) return kRed;
  if (has("AB")) return kFuchsia;
  if (has("A")) return 0x800080;
  if (has(" 1D")) return kGreen;
  return kBlack;
}

std::string StoreImport::Table(const std::string& name) const {
  auto width = [&](const char* table, const char* column) {
    std::string w = db::ScalarText(
        *db_.connection(), std::string("Select COL_LENGTH('") + table + "', '" + column + "')");
    return "Varchar(" + (db::Trim(w).empty() ? std::string("50") : std::string(db::Trim(w))) + ")";
  };
  std::string doc = width("A_TranID", "Document"), anbar = width("A_TranID", "AnbarCod");
  std::string sql =
      "Create Table " + name + " (IDX Int Identity(1, 1), TranID Int, AnbarCod " + anbar +
      ", User_Name " + width("A_TranID", "User_Name") + ", PersonelCod " +
      width("A_TranID", "PersonelCod") + ", KalaCod " + width("A_TranSanj", "KalaCod") +
      ", MasrafCod " + width("A_TranSanj", "MasrafCod") + ", Tafsily2 " +
      width("A_TranSanj", "Tafsily2") + ", SellersCod " + width("A_TranSanj", "SellersCod") +
      ", CustomerCod " + width("A_TranSanj", "CustomerCod") + ", OldDocument " + doc +
      ", Document " + doc + ", Document2 " + doc + ", DocSys " + doc + ", Buy_Sell_No " +
      width("A_TranSanj", "Buy_Sell_No") + ", TransStore " + anbar +
      ", AnbarNam Varchar(500), PersonelNam Varchar(500), KalaNam Varchar(500), "
      "MasrafNam Varchar(500), NamHesab Varchar(500), SellersNam Varchar(500), "
      "CustomerNam Varchar(500), DocDate Varchar(10), DesKala Varchar(200), "
      "OldRaj Int, Raj Int";
  for (const char* q : {"Fee", "Price", "Qty", "Qty1", "Qty2", "TQty", "TQty1", "TQty2", "QtyReq",
                        "Qty1Req", "Qty2Req", "QtyOK", "Qty1OK", "Qty2OK"})
    sql += std::string(", ") + q + " Float Default(0)";
  sql +=
      ", DateReq Varchar(10), TypeSys Varchar(2), TypeSys2 Varchar(2), WhatDoc Varchar(3), "
      "Check_Price Varchar(1), SherCode Varchar(10), SalMale Varchar(10), sOrder Varchar(100), "
      "BuyTaxValue Float, BuyTaxRate Float, BuyAmValue Float, BuyAmRate Float, MDes " +
      width("A_TranID", "MDes") + ", SLC Varchar(1))";
  return sql;
}

void StoreImport::Prepare() {
  ImportFrame::Prepare();
  importTable_ = "##" + suffix_;
  std::string movagat = "##tmpTranID_Movagat";
  for (const std::string& t :
       {std::string(kGridTable), std::string(kNotMovedTable), importTable_, movagat})
    db_.RunSql("If Exists (Select * From Tempdb..SysObjects Where [Name] Like '" + t +
               "') Drop Table " + t);
  for (const std::string& t : {std::string(kGridTable), std::string(kNotMovedTable), importTable_})
    db_.RunSql(Table(t));
  db_.RunSql("Create Table " + movagat + " (WhatDoc Varchar(3), Document Varchar(" +
             db::ScalarText(*db_.connection(), "Select COL_LENGTH('A_TranID', 'Document')") +
             "), AnbarCod Varchar(50))");
  std::string anbarOptions = db::LookupFirst(*db_.connection(), "SCode",
                                             g_.companyCode + g_.fiscalYear, "Anbar", "Options");
  namTafsily2_ = db::GetOption(anbarOptions, "NAMTAFSILY2");
  caption_ = text::kStoreCaption;
}

std::string StoreImport::TypeCode() const {
  return typeIndex_ < 0 ? std::string() : kTypes[static_cast<size_t>(typeIndex_)].code;
}

std::string StoreImport::Code() const {
  return TypeCode();
}

bool StoreImport::ChooseType(int index) {
  if (index < -1 || index >= static_cast<int>(kTypes.size())) return false;
  typeIndex_ = index;
  CloseCandidates();
  Idle();
  if (periodIndex() >= 0 && index >= 0) ReadRanges();
  return true;
}

std::vector<std::string> StoreImport::AfterItems() const {
  if (mergeRemoved_) return {text::kStoreReplace, text::kStoreNewId, text::kStoreOldId};
  return {text::kStoreReplace, text::kStoreNewId, text::kStoreMerge, text::kStoreOldId};
}

std::string StoreImport::AfterModeNameNow() const {
  if (mergeRemoved_ && afterMode == 2) return "OLDID_NOCHANGE";
  return StoreAfterName(afterMode);
}

void StoreImport::ResetAuto() {
  Idle();
  mergeRemoved_ = false;
  std::string code = Code();
  if (periodIndex() >= 0 && (code == "30" || code == "35")) {
    // Receipts on a timer never merge into receipts already here.
    afterMode = kStoreNewId;
    mergeRemoved_ = true;
  }
}

bool StoreImport::CheckBeforeAuto() {
  if (typeIndex_ < 0) {
    Report(text::kNoType, kRed);
    return false;
  }
  return ImportFrame::CheckBeforeAuto();
}

void StoreImport::ReadRanges() {
  if (typeIndex_ < 0 || periodIndex() < 0) return;
  std::string code = Code(), src = SourceDatabase();
  std::string table = src + "..A_TranID", where = "Where WhatDoc = '" + code + "' ";
  if (code == "300" || code == "500") {
    table = src + "..A_TranSanj_Movagat";
    where = "Where WhatDoc = '" + code.substr(0, 2) + "' ";
  } else if (code == "400" || code == "600") {
    table = src + (code == "400" ? "..A_InterimTranID" : "..A_TranIDKALAREQ");
  } else if (code == "1000" || code == "100") {
    where = "Where 1 = 1 ";
  } else if (code == "85") {
    where = "Where WhatDoc In ('85', '80') ";
  }
  db::ResultSet rs = Last(RemoteQuery().Query(
      "Select Max(AnbarCod) As MaxAnbarCod, Min(AnbarCod) As MinAnbarCod, Max(DocDate) As "
      "MaxDate, Min(DocDate) As MinDate, Ltrim(Max(" +
      Aligned("Document") + ")) As MaxDocument, Ltrim(Min(" + Aligned("Document") +
      ")) As MinDocument, COL_LENGTH('" + table + "', 'Document') As W From " + table + " " +
      where + "and AnbarCod is not NULL and Ltrim(Rtrim(AnbarCod)) <> '' " +
      "and Ltrim(Rtrim(Document)) <> '0' "));
  if (rs.rows.empty()) return;
  anbars.to = Text(rs, 0, 0);
  anbars.from = Text(rs, 0, 1);
  TakeRanges(rs, 2);
  numberWidth = static_cast<int>(Number(rs, 0, 6));
}

const db::ResultSet& StoreImport::candidates() const {
  return CachedCandidates("Select * From " +
                              std::string(outcome_.notMoved > 0 ? kNotMovedTable : kGridTable) +
                              " Where WhatDoc <> '80' Order By sOrder, Raj, IDX",
                          true);
}

void StoreImport::CloseCandidates() {
  ForgetCandidates();
  candidateLines_ = 0;
  candidateDocuments_ = 0;
  SetApplyEnabled(false);
}

bool StoreImport::CheckWidths() {
  auto widths = [&](db::Backend& b, const std::string& prefix) {
    std::string sql = "Select ";
    for (const WidthCheck& c : kWidthChecks)
      sql += std::string(&c == kWidthChecks ? "" : ", ") + "COL_LENGTH('" + prefix + c.table +
             "', '" + c.column + "')";
    return Last(b.Query(sql));
  };
  db::ResultSet here = widths(*db_.connection(), "");
  db::ResultSet there = widths(RemoteQuery(), SourceDatabase() + "..");
  for (size_t i = 0; i < std::size(kWidthChecks); ++i) {
    std::string mine = Text(here, 0, i);
    if (mine == Text(there, 0, i)) continue;
    std::string head = kWidthChecks[i].message
                           ? kWidthChecks[i].message
                           : text::kWidthTafsily2Head + namTafsily2_ + text::kWidthTafsily2Tail;
    Report(head + mine + text::kWidthTail, kRed);
    return false;
  }
  return true;
}

bool StoreImport::CheckAvamel() {
  // The receipt factors of the two periods must agree code by code.
  std::string source = SourceDatabase() + "..Avamel";
  bool copied = RemoteSource();
  if (copied) {
    source = importTable_ + "_Avamel";
    db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, SourceDatabase() + "..Avamel",
                               source);
  }
  std::string differ;
  for (const char* c : {"CatgagoryName", "CatgagorySign", "CatgagoryType", "CatgagoryNerkh",
                        "CatgagoryMetod", "Type"})
    differ += std::string(differ.empty() ? "" : " Or ") + "IsNull(Cast(D." + c +
              " As Varchar(200)), '') <> IsNull(Cast(S." + c + " As Varchar(200)), '')";
  db::ResultSet rs = Last(
      db_.connection()->Query("Select Top 1 D.CatgagoryCode From Avamel D Inner Join " + source +
                              " S On S.CatgagoryCode = D.CatgagoryCode Where " + differ));
  if (copied) db_.RunSql("Drop Table " + source);
  if (rs.rows.empty()) return true;
  Report(text::kAvamelDiffer, kRed);
  return false;
}

std::string StoreImport::Filter(const std::string& alias) const {
  std::string f;
  if (anbars.ticked) {
    if (!BlankDate(anbars.from))
      f += "And " + alias + "AnbarCod >= " + Quote(db::Trim(anbars.from)) + " ";
    if (!BlankDate(anbars.to))
      f += "And " + alias + "AnbarCod <= " + Quote(db::Trim(anbars.to)) + " ";
  }
  if (dates.ticked) {
    if (!BlankDate(dates.from))
      f += "And " + alias + "DocDate >= " + Quote(db::Trim(dates.from)) + " ";
    if (!BlankDate(dates.to)) f += "And " + alias + "DocDate <= " + Quote(db::Trim(dates.to)) + " ";
  }
  if (numbers.ticked) {
    if (!BlankDate(numbers.from))
      f += "And " + Aligned(alias + "Document") + " >= " + AlignedLiteral(numbers.from) + " ";
    if (!BlankDate(numbers.to))
      f += "And " + Aligned(alias + "Document") + " <= " + AlignedLiteral(numbers.to) + " ";
  }
  return f;
}

void StoreImport::LoadClosingStock() {
  db::Backend& r = RemoteQuery();
  std::string src = SourceDatabase();
  db::ResultSet kala = Last(r.Query(
      "Select Min(T.KalaCod) As MinKalaCod, Max(T.KalaCod) As MaxKalaCod, Min(TA.AnbarCod) As "
      "MinAnbarCod, Max(TA.AnbarCod) As MaxAnbarCod From " +
      src + "..A_TranID As TA Inner Join " + src +
      "..A_TranSanj As T On (TA.TranID = T.TranID) where LTrim(RTrim(TA.AnbarCod))<>'' and "
      "TA.AnbarCod is not Null"));
  db::ResultSet period = Last(
      r.Query("Select sDate1, sDate2 From KELVARO_HUB.. Hub_Company Where DBName = " + Quote(src)));
  std::string fromAnbar = Text(kala, 0, 2), toAnbar = Text(kala, 0, 3);
  if (anbars.ticked) {
    if (!BlankDate(anbars.from)) fromAnbar = std::string(db::Trim(anbars.from));
    if (!BlankDate(anbars.to)) toAnbar = std::string(db::Trim(anbars.to));
  }
  std::string card = importTable_ + "_K";
  r.Execute(src + "..sp_A_Rep_KartMojodi " + card + ", " + Quote(Text(kala, 0, 0)) + ", " +
            Quote(Text(kala, 0, 1)) + ", " + Quote(fromAnbar) + ", " + Quote(toAnbar) + ", " +
            Quote(Text(period, 0, 0)) + ", " + Quote(Text(period, 0, 1)) +
            ", 'DocDate', 'ANBAR', 'FULL', 'REFRESH'");
  std::string year = SourceDatabase().substr(SourceDatabase().size() - 4);
  r.Execute("Truncate Table " + importTable_);
  // One opening-stock document per warehouse; a negative balance is marked for review.
  r.Execute("Insert Into " + importTable_ +
            " (User_Name, AnbarCod, AnbarNam, OldDocument, Document, DocDate, Raj, OldRaj, "
            "KalaCod, DesKala, KalaNam, TypeSys, TypeSys2, WhatDoc, Qty2, Qty1, Qty, Fee, Price, "
            "SherCode, SalMale, sOrder) Select " +
            Quote(g_.userId.empty() ? g_.workstation : g_.userId) +
            ", T.AnbarCod, A.AnbarNam, '1', '1', " + Quote(year + "/01/01") +
            ", 0, 0, T.KalaCod, T.DesKala, T.KalaNam, 'S', '', '10', T.Mand2, T.Mand1, T.Mand, "
            "T.FeeMandeh, T.PriceMandeh, " +
            Quote(g_.companyCode) + ", " + Quote(g_.fiscalYear) +
            ", T.sOrder1 + Case When T.Mand < 0 Or T.Mand1 < 0 Or T.Mand2 < 0 Then 'E' Else '' "
            "End From " +
            card + " As T Inner Join " + src +
            "..Anbar As A On (A.AnbarCod = T.AnbarCod) Order By T.AnbarCod, T.KalaCod");
  r.Execute("Update T Set Raj = T.IDX - F.FirstIdx + 1, OldRaj = T.IDX - F.FirstIdx + 1 From " +
            importTable_ + " T Inner Join (Select AnbarCod, Min(IDX) As FirstIdx From " +
            importTable_ + " Group By AnbarCod) F On F.AnbarCod = T.AnbarCod");
  r.Execute("Drop Table " + card);
}

void StoreImport::LoadDocuments() {
  RemoteQuery().Execute("Truncate Table " + importTable_);
  std::string call = SourceDatabase() + "..sp_A_Asnad_Import_Perpar '" + PriorModeName(priorMode) +
                     "', " + importTable_ + ", " + Quote(Filter()) + ", '";
  RemoteQuery().Execute(call + Code() + "'");
  // Receipts and issues bring the drafts of their kind along; the apply writes them second.
  if (std::string drafts = DraftsOf(Code()); !drafts.empty())
    RemoteQuery().Execute(call + drafts + "'");
}

void StoreImport::FetchFromRemote() {
  // The rows the source server prepared come into the table this form made here, so the
  // declared widths stay as they are.
  std::string copy = importTable_ + "_R";
  db::CopyTableAcrossServers(RemoteQuery(), db_, g_.appFolder, importTable_, copy);
  db_.RunSql("Truncate Table " + importTable_);
  db_.RunSql("Insert Into " + importTable_ + " (" + kColumns + ") Select " + kColumns + " From " +
             copy + " Order By IDX");
  db_.RunSql("Drop Table " + copy);
}

void StoreImport::ReadDrafts() {
  db_.RunSql("Truncate table ##tmpTranID_Movagat");
  // Numbers count per warehouse, so a draft's number is kept with its warehouse.
  db::ResultSet rs = Last(RemoteQuery().Query("select Distinct WhatDoc, Document, AnbarCod from " +
                                              SourceDatabase() + "..A_TranSanj_Movagat"));
  std::string batch;
  for (size_t r = 0; r < rs.rows.size(); ++r)
    batch += " insert into ##tmpTranID_Movagat(WhatDoc, Document, AnbarCod) Values( " +
             Quote(Text(rs, r, 0)) + ", " + Quote(Text(rs, r, 1)) + ", " + Quote(Text(rs, r, 2)) +
             ")";
  if (!batch.empty()) db_.RunSql(batch);
}

void StoreImport::MarkMissingCodes() {
  bool any = false;
  for (const CodeCheck& c : kCodeChecks) {
    std::string col = c.column;
    db_.RunSql(" Update ##tmpTableName Set sOrder = sOrder + ' 1D' Where KalaCod Is Not Null And " +
               col + " Is Not Null And " + col + " <> '' And " + col + " Not In (Select " + c.key +
               " From " + c.table + ")" + c.when + " And sOrder Not Like '% 1D%'");
  }
  // Items whose units this period lacks.
  db_.RunSql(
      " Update ##tmpTableName Set sOrder = sOrder + ' 1D' Where KalaCod In (Select KalaCod From "
      "Kala Where (IsNull(MegyasCod1, '') <> '' And MegyasCod1 Not In (Select MegyasCod From "
      "Megyas)) Or (IsNull(MegyasCod2, '') <> '' And MegyasCod2 Not In (Select MegyasCod From "
      "Megyas)) Or (IsNull(MegyasCod3, '') <> '' And MegyasCod3 Not In (Select MegyasCod From "
      "Megyas))) And sOrder Not Like '% 1D%'");
  any = !Last(db_.connection()->Query(
                  "Select Top 1 IDX From ##tmpTableName Where sOrder Like '% 1D%'"))
             .rows.empty();
  if (any) Report(text::kStoreMissingCodes, kGreen);
}

void StoreImport::AddTotals() {
  const char* sums =
      "Sum(Qty), Sum(Qty1), Sum(Qty2), Sum(TQty), Sum(TQty1), Sum(TQty2), Sum(QtyReq), "
      "Sum(Qty1Req), Sum(Qty2Req), Sum(QtyOK), Sum(Qty1OK), Sum(Qty2OK), Sum(Price)";
  std::string head =
      " Insert Into ##tmpTableName(AnbarCod, Document, AnbarNam, WhatDoc, Qty, Qty1, Qty2, TQty, "
      "TQty1, TQty2,  QtyReq, Qty1Req, Qty2Req, QtyOK, Qty1OK, Qty2OK, Price, sOrder) ";
  db_.RunSql(head + " Select AnbarCod, Document, " + Quote(text::kTotalAnbar) +
             "+IsNull(Max(AnbarNam), '')+" + Quote(text::kTotalDocument) +
             "+LTrim(Document)+')', '', " + sums +
             ", Max(sOrder)+'A' From ##tmpTableName Where KalaCod Is Not Null And WhatDoc <> "
             "'80' Group By AnbarCod, WhatDoc, Document");
  db_.RunSql(head + " Select T.AnbarCod, Null, " + Quote(text::kTotalAnbar) +
             "+IsNull(Max(A.AnbarNam), '')+')', '', " + sums +
             ", Max(sOrder)+'B' From ##tmpTableName T Left Outer Join (Select AnbarCod, "
             "Max(AnbarNam) As AnbarNam From ##tmpTableName Where KalaCod Is Not Null Group By "
             "AnbarCod) A On A.AnbarCod = T.AnbarCod Where T.sOrder Like '%A' Group By "
             "T.AnbarCod");
  db_.RunSql(head + " Select Null, Null, " + Quote(text::kTotalAll) + ", '', " + sums +
             ", Max(sOrder)+'C' From ##tmpTableName Where sOrder Like '%AB' Having Count(*) > 0");
}

void StoreImport::Mark(Marks marks) {
  std::string to = marks == Marks::kAll    ? Quote(kMark)
                   : marks == Marks::kNone ? "''"
                                           : "Case When SLC = " + Quote(kMark) + " Then '' Else " +
                                                 Quote(kMark) + " End";
  // The incoming half of a transfer is not listed; it follows its outgoing half.
  db_.RunSql("Update ##tmpTableName Set SLC = " + to + " Where KalaCod Is Not Null");
  ForgetCandidates();
}

long long StoreImport::MarkedLines() const {
  return Number(Last(db_.connection()->Query(
                    "Select Count(*) From ##tmpTableName Where KalaCod Is Not Null And WhatDoc <> "
                    "'80' And SLC = " +
                    Quote(kMark))),
                0, 0);
}

db::ResultSet StoreImport::SourceAnbars() {
  if (periodIndex() < 0) return {};
  return Last(RemoteQuery().Query("Select AnbarCod, AnbarNam From " + SourceDatabase() +
                                  "..Anbar Order By AnbarCod"));
}

bool StoreImport::CheckDate(const std::string& date) {
  if (!db::IsValidSolarDate(date)) {
    Report(text::kStoreBadDate, kRed);
    return false;
  }
  std::string source = SourceDatabase();
  std::string year = source.size() > 4 ? source.substr(source.size() - 4) : std::string();
  if (year.empty() || date.substr(0, 4) == year) return true;
  Report(text::kYearHead + year + text::kYearTail, kRed);
  return false;
}

bool StoreImport::Load() {
  // A refused load leaves nothing of an earlier one to apply.
  CloseCandidates();
  outcome_ = StoreOutcome{};
  if (periodIndex() < 0) {
    Report(text::kNoPeriod, kRed);
    return false;
  }
  if (typeIndex_ < 0) {
    Report(text::kNoType, kRed);
    return false;
  }
  if (dates.ticked)
    for (const std::string* d : {&dates.from, &dates.to})
      if (!CheckDate(*d)) return false;
  StateGuard progress(dialogs_, caption_, text::kLoading);
  if (!CheckWidths() || !CheckAvamel()) return false;
  dialogs_.Progress(1, 5);

  if (RemoteSource()) {
    RemoteQuery().Execute("If Exists (Select * From Tempdb..SysObjects Where [Name] Like '" +
                          importTable_ + "') Drop Table " + importTable_);
    RemoteQuery().Execute(Table(importTable_));
  }
  if (Code() == "100")
    LoadClosingStock();
  else
    LoadDocuments();
  dialogs_.Progress(2, 5);
  if (RemoteSource()) FetchFromRemote();

  db_.RunSql("Truncate Table ##tmpTableName");
  db_.RunSql(std::string("Insert into ##tmpTableName (") + kColumns + ") select " + kColumns +
             " from " + importTable_ + " Order By IDX");
  db_.RunSql("delete from ##tmpTableName where SOrder is NULL ");
  db_.RunSql(
      "Update ##tmpTableName Set Fee = 0, Price = 0 Where (Qty = 0) And (Qty1 = 0) And (Qty2 = "
      "0) and ((WhatDoc = '10') or (WhatDoc = '100')) ");
  ReadDrafts();
  dialogs_.Progress(3, 5);

  db_.RunSql(
      " UPDATE T SET TYPESYS = DES.TYPESYS, TYPESYS2 = DES.TYPESYS2 FROM ##tmpTableName T INNER "
      "JOIN A_TranID Des ON T.Anbarcod = Des.Anbarcod and LTrim(RTrim(T.Document)) = "
      "LTrim(RTrim(Des.Document)) and T.Whatdoc = Des.Whatdoc");
  if (havalehDest)
    db_.RunSql(
        " UPDATE T SET Buy_Sell_No = X.No FROM ##tmpTableName T INNER JOIN (Select Des.WhatDoc, "
        "Ltrim(Des.AnbarCod) As A, Ltrim(Rtrim(Des.Document)) As D, "
        "Max(Ltrim(Rtrim(Det.Buy_Sell_No))) As No From A_TranID Des Inner Join A_TranSanj Det On "
        "Des.TranID = Det.TranID Where Des.WhatDoc In ('50', '55') Group By Des.WhatDoc, "
        "Ltrim(Des.AnbarCod), Ltrim(Rtrim(Des.Document))) X On X.WhatDoc = T.WhatDoc And X.A = "
        "Ltrim(T.AnbarCod) And X.D = Ltrim(Rtrim(T.Document)) Where T.WhatDoc In ('50', '55')");
  MarkMissingCodes();
  db_.RunSql("sp_A_Asnad_Import_NewNo '##tmpTableName'");
  std::string sDate1 = db::ScalarText(
      *db_.connection(),
      "Select sDate1 From KELVARO_HUB.. Hub_Company Where DBName = " + Quote(g_.databaseName));
  if (!db::Trim(sDate1).empty())
    db_.RunSql("Update ##tmpTableName Set DocDate = " + Quote(sDate1) + " Where Whatdoc = '10' ");
  dialogs_.Progress(4, 5);

  Mark(Marks::kAll);
  db::ResultSet counts = Last(db_.connection()->Query(
      "Select Count(*), Count(Distinct WhatDoc + '_' + AnbarCod + '_' + LTrim(RTrim(OldDocument))) "
      "From ##tmpTableName Where KalaCod Is Not Null And WhatDoc <> '80'"));
  candidateLines_ = Number(counts, 0, 0);
  candidateDocuments_ = Number(counts, 0, 1);
  AddTotals();
  SetApplyEnabled(candidateLines_ > 0);
  dialogs_.Progress(5, 5);
  caption_ = std::string(text::kTransfer) + kTypes[static_cast<size_t>(typeIndex_)].name +
             text::kFromPeriod + SourceDatabase();
  return true;
}

bool StoreImport::CheckApply() {
  std::string code = Code(), mode = AfterModeNameNow();
  if (code != "10" && code != "100") return true;
  if (mode == "NEWID") {
    Refuse(text::kOpeningNoNewId);
    return false;
  }
  if (mode == "OLDID" &&
      !Last(db_.connection()->Query(
                " Select Top 1 * From A_TranSanj Where tranid in (Select Tranid from A_Tranid "
                "Where Whatdoc='10' ) "))
           .rows.empty()) {
    Refuse(text::kOpeningHasLines);
    return false;
  }
  return true;
}

void StoreImport::HoldBackFactorDocuments(const std::string& sourceDb) {
  // Documents a receipt factor refers to, here or in the source, stay where they are.
  std::string key = "WhatDoc +'_'+ AnbarCod +'_'+ LTrim(RTrim(Document))";
  db_.RunSql(" Truncate table ##tmpNotMoved ");
  db_.RunSql(std::string("Insert Into ##tmpNotMoved (") + kColumns + ") Select " + kColumns +
             " From ##tmpTableName Where KalaCod Is Not Null And sOrder Not Like '%E%' And "
             "sOrder Not Like '%D%' And sOrder Not Like '%A%' And (" +
             key +
             " In (Select LTrim(RTrim(Serial)) From Avamel_Resid) Or TranID In (Select TranID "
             "From " +
             sourceDb +
             "..Avamel_Resid Where LTrim(RTrim(Serial)) In (Select WhatDoc +'_'+ AnbarCod +'_'+ "
             "LTrim(RTrim(Document)) From A_TranID)))");
  db_.RunSql(" delete from ##tmpTableName where " + key + " in ( select " + key +
             " from ##tmpNotMoved ) ");
  db::ResultSet rs =
      Last(db_.connection()->Query("Select Count(Distinct " + key + ") From ##tmpNotMoved"));
  outcome_.notMoved = Number(rs, 0, 0);
}

void StoreImport::FillImportTable(const std::string& code) {
  std::string where = "where KalaCod Is Not Null and SLC = " + Quote(kMark) + " ";
  std::string drafts =
      "AnbarCod + '_' + LTrim(RTrim(Document)) %s (select AnbarCod + '_' + LTrim(RTrim(Document)) "
      "from ##tmpTranID_Movagat where WhatDoc = '" +
      code.substr(0, 2) + "')";
  if (code == "30" || code == "50")
    where += "and WhatDoc = '" + code + "' and " + Replace(drafts, "%s", "not in");
  else if (code == "300" || code == "500")
    where += "and WhatDoc = '" + code + "' and " + Replace(drafts, "%s", "in");
  else if (code == "85")
    where += "and ((WhatDoc = '85') or (WhatDoc = '80')) ";
  else if (code != "1000")
    where += "and WhatDoc = '" + code + "' ";
  db_.RunSql("truncate table " + importTable_);
  db_.RunSql("Insert into " + importTable_ + " (" + kColumns + ") select " + kColumns +
             " from ##tmpTableName " + where + " Order By IDX");
}

void StoreImport::MakeCondTables() {
  // What this period holds of the chosen type and ranges, per code and warehouse: a replacing
  // import replaces documents inside these bounds only.
  std::string code = Code(), filter = Filter("");
  std::string what = code == "1000"  ? ""
                     : code == "85"  ? "And WhatDoc In ('85', '80') "
                     : code == "100" ? "And WhatDoc = '10' "
                                     : "And WhatDoc = '" + code + "' ";
  std::string draftWhat = "And WhatDoc = '" + code.substr(0, 2) + "' ";
  // Drafts travel only with their own types and with receipts and issues.
  bool draftsToo = code == "300" || code == "500" || !DraftsOf(code).empty();
  const std::pair<std::string, std::string> conds[] = {
      {importTable_ + "_Cond", "A_TranId Where 1=1 " + what},
      {importTable_ + "_CondMovagat",
       "A_TranSanj_Movagat Where " + std::string(draftsToo ? "1=1 " : "1=2 ") + draftWhat}};
  for (const auto& [name, from] : conds) {
    db_.RunSql("If Exists (Select * From Tempdb..SysObjects Where [Name] Like '" + name +
               "') Drop Table " + name);
    db_.RunSql(" Select Min(Docdate) MinDate, Max(DocDate) MaxDate, Min(" + Aligned("Document") +
               ") MinDoc, Max(" + Aligned("Document") + ") MaxDoc, Whatdoc, AnbarCod Into " + name +
               " From " + from + filter + " Group By WhatDoc,AnbarCod ");
  }
}

long long StoreImport::CopyMissingBase(const std::string& sourceDb) {
  long long total = 0;
  for (const auto& [table, related] : kBaseRecords) {
    long long before = Count(*db_.connection(), table);
    db::CopyMissingCodes(db_, RemoteSource() ? &RemoteQuery() : nullptr, g_.appFolder, sourceDb,
                         table, related);
    total += Count(*db_.connection(), table) - before;
  }
  return total;
}

void StoreImport::Refuse(const std::string& message) {
  Report(message, kRed);
  report_.outcome = message;
}

void StoreImport::KeepReport() {
  transfer::SaveRunReport(*db_.connection(), report_);
}

bool StoreImport::Apply() {
  if (!applyEnabled()) return false;
  auto started = std::chrono::steady_clock::now();
  outcome_ = StoreOutcome{};
  ForgetCandidates();
  report_ = transfer::RunReport{};
  report_.what = "import store " + Code() + " " + AfterModeNameNow();
  report_.source = (RemoteSource() ? source_.name + ":" : std::string()) + SourceDatabase();
  report_.destination = g_.databaseName;
  report_.user = g_.userId.empty() ? g_.workstation : g_.userId;
  report_.started = g_.today + " " + date_.CurrentTime();
  if (!CheckApply()) return false;

  StateGuard progress(dialogs_, caption_, text::kLoading);

  std::string sourceDb = SourceDatabase();
  bool remote = RemoteSource();
  if (remote) {
    std::string code = Code() == "100" ? "10" : Code();
    if (!MirrorStoreSource(RemoteQuery(), db_, dialogs_, g_.appFolder, sourceDb, code, Filter(),
                           [&](const Status& s) { Report(s.text, s.colour); })) {
      DropStoreMirror(db_);
      Refuse(text::kNoRemote);
      return false;
    }
    sourceDb = kStoreMirror;
  }
  dialogs_.Progress(1, 4);
  // Receipt factors belong to documents of A_TranID only.
  bool documents = Code() != "300" && Code() != "500" && Code() != "400" && Code() != "600";
  if (AfterModeNameNow() == "OLDID" && documents) HoldBackFactorDocuments(sourceDb);
  std::string from = anbars.ticked ? std::string(db::Trim(anbars.from)) : "";
  std::string to = anbars.ticked ? std::string(db::Trim(anbars.to)) : "";
  std::string code = Code() == "100" ? "10" : Code();

  MakeCondTables();

  transfer::UnitResult unit;
  unit.table = "A_TranID";
  unit.name = caption_;
  unit.sourceRows = candidateLines_;
  // One call per code; receipts and issues make a second one for their drafts. Both belong to
  // one transaction, so the documents never arrive without their drafts.
  auto import = [&](const std::string& what) {
    FillImportTable(what);
    db::ResultSet rs = Last(db_.connection()->Query(
        "sp_A_Asnad_Import '" + AfterModeNameNow() + "', " + importTable_ + ", " + Quote(sourceDb) +
        ", " + Quote(from) + ", " + Quote(to) + ", '" + what + "' "));
    outcome_.documents += Number(rs, 0, 0);
    outcome_.lines += Number(rs, 0, 1);
    outcome_.kept += Number(rs, 0, 2);
    outcome_.replaced += Number(rs, 0, 3);
    outcome_.merged += Number(rs, 0, 4);
    outcome_.serials += Number(rs, 0, 5);
  };
  try {
    transfer::RunAtomic(
        db_,
        [&] {
          // The backups go with the import: a run that ends half-way leaves the earlier ones.
          backupStamp_ =
              BackupStoreTables(*db_.connection(), BackupStamp(g_.today, date_.CurrentTime()));
          dialogs_.Progress(2, 4);
          import(code);
          if (std::string drafts = DraftsOf(code); !drafts.empty()) import(drafts);
          dialogs_.Progress(3, 4);
          if (copyBase) outcome_.baseRows = CopyMissingBase(SourceDatabase());
        },
        remote ? "" : sourceDb);
  } catch (const std::exception& e) {
    report_.outcome = e.what();
    if (remote) DropStoreMirror(db_);
    try {
      KeepReport();
    } catch (const std::exception&) {
      // The error that ended the apply is the one to report.
    }
    throw;
  }
  if (remote) DropStoreMirror(db_);
  dialogs_.Progress(4, 4);
  unit.inserted = outcome_.lines;
  unit.clashing = unit.sourceRows - outcome_.lines;
  unit.replaced = outcome_.replaced;
  unit.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report_.units.push_back(unit);
  report_.outcome = "OK";
  KeepReport();
  SetApplyEnabled(false);
  std::string count = CountRun();
  std::string done =
      Code() == "30" || Code() == "35"
          ? kTypes[static_cast<size_t>(typeIndex_)].name + std::string(text::kRepricing)
          : std::string(text::kStoreDone);
  Report(state().colour == kRed ? done : done + " " + count, kGreen);
  if (outcome_.notMoved > 0) Report(text::kNotMoved, kRed);
  return true;
}

}  // namespace xfer::import
