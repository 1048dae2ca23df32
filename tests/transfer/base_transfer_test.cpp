// The base-information transfer on real period databases: which tables each choice of modules
// carries, width checks stopping the run, the organizing block, treasury openings, users, print
// layouts, a source on another server, and values with apostrophes.
#include "transfer/base/base_transfer.h"
#include <unistd.h>
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/registry.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"

namespace xfer::transfer {
namespace {

namespace fs = std::filesystem;
using suite::CodeWidths;

std::string Dir(const std::string& tag) {
  return (fs::temp_directory_path() /
          ("xfer_base_" + tag + "_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name()))
      .string();
}

// A server directory with the registry and the periods asked for.
struct ServerFixture {
  explicit ServerFixture(const std::string& dir) : directory(dir) {
    xfer_test::RemoveTree(dir);
    server = engine::Server::Open(dir, true);
    conn = std::make_unique<engine::Connection>(server);
    suite::InstallRegistry(suite::EngineRunner(*conn));
  }
  ~ServerFixture() {
    conn.reset();
    server.reset();
    xfer_test::RemoveTree(directory);
  }
  void Period(const std::string& code, const std::string& year, const CodeWidths& w = {}) {
    suite::CreatePeriod(suite::EngineRunner(*conn),
                        {code, year, "شرکت O'Neil", "", "", "3.2.1", w});
  }
  void Run(const std::string& db, const std::string& sql) {
    conn->Execute("USE " + db + " " + sql);
  }
  std::string Value(const std::string& db, const std::string& sql) {
    auto sets = conn->Execute("USE " + db + " " + sql);
    if (sets.empty() || sets.back().rows.empty()) return "<none>";
    return engine::FormatValue(sets.back().rows[0][0]);
  }
  // Every row of a table as text, sorted, for comparing two periods.
  std::vector<std::string> Rows(const std::string& db, const std::string& table) {
    auto sets = conn->Execute("SELECT * FROM " + db + ".." + table);
    std::vector<std::string> out;
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row) line += engine::FormatValue(v) + "|";
      out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  std::string directory;
  std::shared_ptr<engine::Server> server;
  std::unique_ptr<engine::Connection> conn;
};

const char* kSource = "KELVARO_7_1402";
const char* kDest = "KELVARO_7_1403";

// Master rows in the source period, a few of them clashing with the destination.
void FillSource(ServerFixture& s) {
  s.Run(kSource,
        "INSERT INTO GROH (Groh, NamHesab) VALUES ('1', 'دارايي'), ('2', 'بدهي') "
        "INSERT INTO KOLL (Koll, NamHesab) VALUES ('11', 'صندوق'), ('12', 'بانک') "
        "INSERT INTO MOEIN (Koll, Moein, NamHesab) VALUES ('11', '01', 'صندوق ريالي') "
        "INSERT INTO KALA (KalaCod, KalaNam) VALUES ('K1', 'O''Brien''s tea'), ('K2', 'برنج') "
        "INSERT INTO ANBAR (AnbarCod, AnbarNam) VALUES ('A1', 'انبار مرکزي') "
        "INSERT INTO MEGYAS (MegyasCod, MegyasNam) VALUES ('1', 'عدد') "
        "INSERT INTO CITY (CityCod, CityNam) VALUES ('1', 'تهران') "
        "INSERT INTO Country (CountryCod, CountryNam) VALUES ('1', 'ايران') "
        "INSERT INTO KALAGROH (KalaGrohCod, KalaGrohNam) VALUES ('G1', 'غذايي') "
        "INSERT INTO A_SELLERS (SellersCod, SellersNam) VALUES ('S1', 'فروشنده') "
        "INSERT INTO R_CUSTOMER (CustomerCod, CustomerNam) VALUES ('C1', 'مشتري') "
        "DELETE FROM UserHub DELETE FROM UserHubDetail DELETE FROM UserPrivilege "
        "INSERT INTO UserHub (UserID, User_Name, User_Pass1, Kelvaro) VALUES "
        "(1, 'مدير', 'ADMIN', 'OPERATOR_ASNAD_MALY=T;ROZ_SANAD_NO=5;CHANGE_NAMHESAB=T;X=1;'), "
        "(2, 'حسابدار', 'ACC', 'A=1;B=2;') "
        "INSERT INTO UserHubDetail (RowId, UserID) VALUES (1, 1) "
        "INSERT INTO UserPrivilege (UserID, sItem) VALUES (1, 'ALL')");
  s.Run(kDest, "INSERT INTO KOLL (Koll, NamHesab) VALUES ('11', 'صندوق قديم')");
}

class BaseTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    local_ = std::make_unique<ServerFixture>(Dir("local"));
    local_->Period("7", "1402");
    local_->Period("7", "1403");
    FillSource(*local_);
  }

  // A transfer into kDest of `server`, the session as the host would set it up.
  std::unique_ptr<BaseTransfer> Start(ServerFixture& server, db::HostDatabase& link,
                                      ServerFixture* remote = nullptr) {
    g_.workstation = "WS";
    g_.companyCode = "7";
    g_.fiscalYear = "1403";
    g_.serverName = server.directory;
    g_.appFolder = server.directory;
    date_.clock = [] { return db::ClockTime{1, 1, 1, 5}; };
    link.ConnectDatabase(g_, server.directory, kDest, "SQL", "", "");
    auto t = std::make_unique<BaseTransfer>(g_, date_, link, dialogs_);
    t->Prepare();
    if (remote) {
      SourceServer s;
      s.name = remote->directory;
      s.connection =
          db::OpenBackend(db::ConnectionString(g_, remote->directory, "master", "SQL", "", ""));
      t->UseSourceServer(std::move(s));
    }
    for (const auto& e : t->Periods())
      if (db::SourceDatabaseOf(e) == kSource) t->ChoosePeriod(e);
    return t;
  }

  std::vector<std::string> Tables(const BaseTransfer& t) {
    std::vector<std::string> out;
    for (const auto& s : t.stats()) out.push_back(s.table);
    return out;
  }

  db::HostGlobal g_;
  db::HostDate date_;
  db::ScriptedDialogs dialogs_;
  std::unique_ptr<ServerFixture> local_;
};

TEST_F(BaseTransferTest, ChosenModulesDecideTheTables) {
  db::HostDatabase link;
  auto t = Start(*local_, link);
  EXPECT_EQ(t->tempName(), "##WS36615");
  ASSERT_TRUE(t->Run({Module::kTrado}, {}));
  auto tables = Tables(*t);
  // Sales alone also carries what the sales tables refer to, inventory not being ticked.
  for (const char* needed : {"KALAGROH", "JOZCODEKALA", "JOZCOMMANDKALA", "KALA", "Country",
                             "ANBAR", "MEGYAS", "CITY", "UserHub", "R_CUSTOMER"})
    EXPECT_NE(std::find(tables.begin(), tables.end(), needed), tables.end()) << needed;
  EXPECT_EQ(std::find(tables.begin(), tables.end(), "A_SELLERS"), tables.end());
  EXPECT_EQ(local_->Value(kDest, "SELECT KalaNam FROM KALA WHERE KalaCod = 'K1'"), "O'Brien's tea");
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM GROH"), "0");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].code, "1IR");
  EXPECT_EQ(dialogs_.hides, 1);
  EXPECT_FALSE(dialogs_.stateVisible);
}

TEST_F(BaseTransferTest, UsersOnceWithAccountingAndInventoryAndOptionsReset) {
  db::HostDatabase link;
  auto t = Start(*local_, link);
  ASSERT_TRUE(t->Run({Module::kMaly, Module::kStore}, {}));
  auto tables = Tables(*t);
  EXPECT_EQ(std::count(tables.begin(), tables.end(), "UserHub"), 1);
  // Clashing keys keep the destination's row; new keys arrive.
  EXPECT_EQ(local_->Value(kDest, "SELECT NamHesab FROM KOLL WHERE Koll = '11'"), "صندوق قديم");
  EXPECT_EQ(local_->Value(kDest, "SELECT NamHesab FROM KOLL WHERE Koll = '12'"), "بانک");
  EXPECT_EQ(local_->Value(kDest, "SELECT Kelvaro FROM UserHub WHERE User_Pass1 = 'ADMIN'"),
            "OPERATOR_ASNAD_MALY=F;ROZ_SANAD_NO=;CHANGE_NAMHESAB=T;X=1;");
  EXPECT_EQ(local_->Value(kDest, "SELECT Kelvaro FROM UserHub WHERE User_Pass1 = 'ACC'"),
            "OPERATOR_ASNAD_MALY=F;ROZ_SANAD_NO=A=1;B=2;");
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM UserPrivilege"), "1");
  // The keys are back: a duplicate user is refused.
  EXPECT_THROW(local_->Run(kDest, "INSERT INTO UserHub (UserID, User_Pass1) VALUES (9, 'ACC')"),
               engine::SqlError);
  EXPECT_EQ(dialogs_.messages.size(), 2u);
}

TEST_F(BaseTransferTest, WidthMismatchStopsTheWholeRun) {
  local_.reset();
  local_ = std::make_unique<ServerFixture>(Dir("width"));
  CodeWidths wide;
  wide.koll = 6;
  local_->Period("7", "1402");
  local_->Period("7", "1403", wide);
  FillSource(*local_);
  db::HostDatabase link;
  auto t = Start(*local_, link);
  EXPECT_FALSE(t->Run({Module::kMaly, Module::kStore}, {}));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "طول کد حساب کل مبدا و مقصد متفاوت مي باشد");
  EXPECT_EQ(dialogs_.messages[0].code, "1ER");
  EXPECT_EQ(Tables(*t), std::vector<std::string>{"GROH"});
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM KALA"), "0");
  EXPECT_FALSE(dialogs_.stateVisible);
}

TEST_F(BaseTransferTest, ChecksBeforeAnything) {
  db::HostDatabase link;
  auto t = Start(*local_, link);
  BaseTransfer none(g_, date_, link, dialogs_);
  EXPECT_FALSE(none.Run({Module::kMaly}, {}));
  EXPECT_EQ(dialogs_.messages.back().text, text::kChooseCompany);
  local_->conn->Execute("UPDATE KELVARO_Hub..Hub_Company SET sVer = '9' WHERE sYear = '1402'");
  EXPECT_FALSE(t->Run({Module::kMaly}, {}));
  EXPECT_EQ(dialogs_.messages.back().text, db::StructureMessage(kDest));
  EXPECT_TRUE(t->stats().empty());
}

TEST_F(BaseTransferTest, OrganizingBlockCopiesOnlyTickedColumns) {
  local_->Run(kSource,
              "INSERT INTO Options (SCode, Forosh, Anbar) VALUES ('71402', 'AUTO=YES;', "
              "'QTYNAME=عدد;')");
  local_->Run(kDest,
              "INSERT INTO Options (SCode, Forosh, Anbar) VALUES ('71403', 'AUTO=NO;', 'X=1;')");
  db::HostDatabase link;
  auto t = Start(*local_, link);
  ASSERT_TRUE(t->Run({Module::kSazmandehi}, {}));  // empty panel: progress and notice only
  EXPECT_EQ(dialogs_.states.size(), 1u);
  EXPECT_EQ(dialogs_.messages.back().code, "1IR");
  EXPECT_EQ(local_->Value(kDest, "SELECT Forosh FROM Options"), "AUTO=NO;");
  ASSERT_TRUE(t->Run({Module::kSazmandehi}, {"Forosh"}));
  EXPECT_EQ(local_->Value(kDest, "SELECT Forosh FROM Options"), "AUTO=YES;");
  EXPECT_EQ(local_->Value(kDest, "SELECT Anbar FROM Options"), "X=1;");
}

TEST_F(BaseTransferTest, TreasuryOpeningsBecomeTheSourceBalances) {
  local_->Run(
      kSource,
      "INSERT INTO N_Bank (BankCod, BankNam) VALUES ('01', 'ملي') "
      "INSERT INTO N_BankHesab (BankCod, ShobehCod, AcountCod, FirstBed, FirstBes) VALUES "
      "('01', '100', '555', 1500, 0), ('01', '100', '666', 0, 0) "
      "INSERT INTO N_Cash (CashCod, CashNam, FirstBed, FirstBes) VALUES ('C''1', 'صندوق', 0, 200) "
      "INSERT INTO N_Tankhah (PersonCod, FirstBed, FirstBes) VALUES ('P1', 30, 10)");
  // A destination account the source does not know keeps its openings.
  local_->Run(
      kDest,
      "INSERT INTO N_Cash (CashCod, CashNam, FirstBed, FirstBes) VALUES ('C9', 'جديد', 7, 0) "
      "INSERT INTO N_BankHesab (BankCod, ShobehCod, AcountCod, FirstBed, FirstBes) VALUES "
      "('01', '100', '666', 40, 0)");
  db::HostDatabase link;
  auto t = Start(*local_, link);
  ASSERT_TRUE(t->Run({Module::kNaghd}, {}));
  auto openings = [&](const std::string& table, const std::string& where) {
    return local_->Value(
        kDest, "SELECT STR(FirstBed) + '/' + STR(FirstBes) FROM " + table + " WHERE " + where);
  };
  EXPECT_EQ(openings("N_BankHesab", "AcountCod = '555'"), "      1500/         0");
  EXPECT_EQ(openings("N_BankHesab", "AcountCod = '666'"), "         0/         0");
  EXPECT_EQ(openings("N_Cash", "CashCod = 'C''1'"), "         0/       200");
  EXPECT_EQ(openings("N_Cash", "CashCod = 'C9'"), "         7/         0");
  EXPECT_EQ(openings("N_Tankhah", "PersonCod = 'P1'"), "        20/         0");
}

TEST_F(BaseTransferTest, PrintLayoutsEndAsTheSourceHasThem) {
  local_->Run(kSource,
              "INSERT INTO Prn_Form_T (WhatDoc, FrmID, FrmName) VALUES ('M', 1, 'سند'), ('M', 4, "
              "'سند دوم'), ('S', 1, 'رسيد') "
              "INSERT INTO Prn_Object_T (WhatDoc, FrmID, Kind) VALUES ('M', 1, 1), ('M', 4, 2) "
              "INSERT INTO N_Prn_Cheque_Forms (FrmID, FrmName) VALUES (3, 'چک ملي') "
              "INSERT INTO N_Prn_Cheque_Obj (Titr, FrmID, ObjName) VALUES ('مبلغ', 3, 'A')");
  local_->Run(kDest,
              "INSERT INTO Prn_Form_T (WhatDoc, FrmID, FrmName) VALUES ('M', 1, 'قديمي'), ('M', 9, "
              "'اضافه'), ('N', 2, 'نقد') "
              "INSERT INTO N_Prn_Cheque_Forms (FrmID, FrmName) VALUES (8, 'قديمي')");
  db::HostDatabase link;
  auto t = Start(*local_, link);
  t->CopyPrintForms("M");
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM Prn_Form_T WHERE WhatDoc = 'M'"), "2");
  EXPECT_EQ(
      local_->Value(kDest, "SELECT FrmName FROM Prn_Form_T WHERE WhatDoc = 'M' AND FrmID = 4"),
      "سند دوم");
  EXPECT_EQ(local_->Value(kDest, "SELECT FrmName FROM Prn_Form_T WHERE WhatDoc = 'N'"), "نقد");
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM Prn_Object_T WHERE WhatDoc = 'M'"), "2");
  EXPECT_EQ(local_->Rows(kDest, "N_Prn_Cheque_Forms"), local_->Rows(kSource, "N_Prn_Cheque_Forms"));
}

TEST_F(BaseTransferTest, RemoteSourceLeavesTheSameDestination) {
  // The same two periods on two servers: the source on one, the destination on the other.
  ServerFixture source(Dir("remote_src")), dest(Dir("remote_dst"));
  source.Period("7", "1402");
  source.Period("7", "1403");
  dest.Period("7", "1402");
  dest.Period("7", "1403");
  FillSource(source);
  FillSource(dest);
  dest.Run(kSource, "DELETE FROM KALA DELETE FROM KOLL");  // only the other server has them
  const std::set<Module> all = {Module::kMaly, Module::kStore, Module::kTrado};

  db::HostDatabase localLink, remoteLink;
  auto localRun = Start(*local_, localLink);
  ASSERT_TRUE(localRun->Run(all, {}));
  auto remoteRun = Start(dest, remoteLink, &source);
  ASSERT_TRUE(remoteRun->RemoteSource());
  ASSERT_TRUE(remoteRun->Run(all, {}));
  for (const char* table : {"GROH", "KOLL", "MOEIN", "KALA", "ANBAR", "CITY", "R_CUSTOMER",
                            "UserHub", "UserHubDetail", "A_SELLERS"})
    EXPECT_EQ(dest.Rows(kDest, table), local_->Rows(kDest, table)) << table;
  EXPECT_EQ(Tables(*remoteRun), Tables(*localRun));
}

}  // namespace
}  // namespace xfer::transfer

namespace xfer::transfer {
namespace {

// Dialogs that ask for a stop when a unit of the given caption starts, as the stop button or a
// confirmed close does while the progress window names that unit.
class StoppingDialogs : public db::ScriptedDialogs {
 public:
  StoppingDialogs(StopRequest& stop, std::string at) : stop_(stop), at_(std::move(at)) {}
  void UnitStarted(const std::string& caption, long long done, long long total) override {
    started.push_back(caption);
    totals.push_back(total);
    dones.push_back(done);
    if (caption == at_) stop_.Request();
  }
  std::vector<std::string> started;
  std::vector<long long> totals, dones;

 private:
  StopRequest& stop_;
  std::string at_;
};

long long Rows(ServerFixture& s, const char* db, const std::string& table) {
  return std::stoll(s.Value(db, "SELECT COUNT(*) FROM " + table));
}

TEST_F(BaseTransferTest, StopBetweenUnitsLeavesEveryTableWholeAndTheReportSaysSo) {
  StopRequest stop;
  const std::string moein = FindDescriptor("MOEIN")->name;
  StoppingDialogs dialogs(stop, moein);
  db::HostDatabase link;
  link.ConnectDatabase(g_, local_->directory, kDest, "SQL", "", "");
  g_.companyCode = "7";
  g_.fiscalYear = "1403";
  g_.workstation = "WS";
  BaseTransfer t(g_, date_, link, dialogs);
  t.Prepare();
  t.SetStopRequest(&stop);
  for (const auto& e : t.Periods())
    if (db::SourceDatabaseOf(e) == kSource) t.ChoosePeriod(e);
  const long long kollBefore = Rows(*local_, kDest, "KOLL");
  const std::string usersBefore =
      local_->Value(kDest, "SELECT COUNT(*) FROM UserHub WHERE User_Pass1 = 'ACC'");
  EXPECT_FALSE(t.Run({Module::kMaly, Module::kStore}, {}));

  const RunReport& r = t.report();
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.outcome, "STOPPED");
  EXPECT_EQ(r.source, kSource);
  EXPECT_EQ(r.destination, kDest);
  // GROH, KOLL and MOEIN (the unit in progress when the stop came) ran; nothing after.
  ASSERT_EQ(r.units.size(), 3u);
  EXPECT_EQ(dialogs.started.back(), moein);
  EXPECT_EQ(dialogs.dones, (std::vector<long long>{0, 1, 2}));
  // All units of both blocks were counted up front.
  EXPECT_GT(dialogs.totals.front(), 30);
  for (const UnitResult& u : r.units) {
    EXPECT_EQ(u.sourceRows, Rows(*local_, kSource, u.table)) << u.table;
    EXPECT_EQ(u.inserted + u.clashing, u.sourceRows) << u.table;
  }
  EXPECT_EQ(r.units[1].inserted, Rows(*local_, kDest, "KOLL") - kollBefore);
  EXPECT_EQ(Rows(*local_, kDest, "KALA"), 0);
  EXPECT_EQ(local_->Value(kDest, "SELECT COUNT(*) FROM UserHub WHERE User_Pass1 = 'ACC'"),
            usersBefore);
  // No completion message: the block did not end.
  for (const auto& m : dialogs.messages) EXPECT_NE(m.code, "1IR") << m.text;
}

TEST_F(BaseTransferTest, CarryingIntoAnOlderPeriodAsksFirstAndNothingTickedIsRefused) {
  // Logged into the older period; the newer one chosen as the source.
  db::HostDatabase link;
  g_.companyCode = "7";
  g_.fiscalYear = "1402";
  g_.workstation = "WS";
  link.ConnectDatabase(g_, local_->directory, kSource, "SQL", "", "");
  local_->Run(kDest, "INSERT INTO GROH (Groh, NamHesab) VALUES ('77', 'newer')");
  BaseTransfer t(g_, date_, link, dialogs_);
  t.Prepare();
  for (const auto& e : t.Periods())
    if (db::SourceDatabaseOf(e) == kDest) t.ChoosePeriod(e);
  ASSERT_TRUE(t.CarriesBackwards());
  EXPECT_EQ(t.sourceFirstDate(), "1403/01/01");
  EXPECT_EQ(t.destinationFirstDate(), "1402/01/01");

  EXPECT_FALSE(t.Run({}, {}));
  EXPECT_EQ(dialogs_.messages.back().text, text::kChooseModule);
  EXPECT_EQ(dialogs_.messages.back().code, "1ER");

  struct Case {
    int answer;
    bool carried;
  };
  for (const Case c : {Case{db::kResultNo, false}, Case{db::kResultYes, true}}) {
    dialogs_.messages.clear();
    dialogs_.answers = {c.answer};
    EXPECT_EQ(t.Run({Module::kMaly}, {}), c.carried);
    ASSERT_FALSE(dialogs_.messages.empty());
    const auto& question = dialogs_.messages.front();
    EXPECT_EQ(question.code, "3QR");
    EXPECT_NE(question.text.find(kDest), std::string::npos) << question.text;
    EXPECT_NE(question.text.find(kSource), std::string::npos) << question.text;
    EXPECT_NE(question.text.find("1403/01/01"), std::string::npos) << question.text;
    EXPECT_EQ(local_->Value(kSource, "SELECT COUNT(*) FROM GROH WHERE Groh = '77'"),
              c.carried ? "1" : "0");
    EXPECT_EQ(t.report().units.empty(), !c.carried);
  }
}

}  // namespace
}  // namespace xfer::transfer
