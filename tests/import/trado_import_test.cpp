// The sales document import on demo periods: every document type under every numbering to its
// end state (headers, lines, factors, payments, serial numbers), importing the same documents
// twice, summaries, pre-invoices already turned into invoices, refusals that write nothing, a
// source on another server giving what the same period gives locally, and a process killed
// inside the apply.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include "temp_tree.h"

#include <algorithm>
#include <map>
#include <set>

#include "db/text_util.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "import/trado_import.h"
#include "import/trado_text.h"
#include "import_fixture.h"
#include "suite/demo.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"
#include "transfer/run/report_store.h"

namespace xfer::import::testing {
namespace {

namespace fs = std::filesystem;

// What a period holds of one document type, one "number|rest" text per row, the number trimmed.
struct Holdings {
  std::vector<std::string> lines, factors, payments, serials;
};

class TradoTest : public ImportTest {
 protected:
  Holdings Read(const std::string& db, const TradoType& type);
  std::unique_ptr<TradoImport> OpenTrado(const std::string& database = kDest) {
    size_t a = database.find('_'), b = database.rfind('_');
    g_.companyCode = database.substr(a + 1, b - a - 1);
    g_.fiscalYear = database.substr(b + 1);
    link_.ConnectDatabase(g_, g_.serverName, database, "SQL", "", "");
    auto t = std::make_unique<TradoImport>(g_, date_, link_, dialogs_);
    t->Prepare();
    return t;
  }
};

Holdings TradoTest::Read(const std::string& db, const TradoType& type) {
  std::string ta = std::string("'") + type.typeAction + "'";
  Holdings h;
  h.lines = Rows(
      "SELECT LTRIM(RTRIM(H.SanadNoForosh)), H.SanadDate, H.CustomerCod, "
      "H.AnbarCod, L.Raj, L.KalaCod, L.Qty, L.SellValue, L.SellTax FROM " +
      db + ".." + type.header + " H LEFT JOIN " + db + ".." + type.lines +
      " L ON L.SanadNoForosh = H.SanadNoForosh AND L.TypeAction = H.TypeAction "
      "WHERE H.TypeAction = " +
      ta);
  h.factors = Rows("SELECT LTRIM(RTRIM(SanadNoForosh)), CatgagoryCod, RowValue FROM " + db + ".." +
                   type.factors + " WHERE TypeAction = " + ta);
  h.payments = Rows("SELECT LTRIM(RTRIM(SanadNoForosh)), CustomerCod, PayValue FROM " + db +
                    "..R_NaghdPay WHERE TypeAction = " + ta);
  h.serials = Rows("SELECT LTRIM(RTRIM(SanadNoForosh)), SellRaj, Raj, KalaSerialNo FROM " + db +
                   "..R_SellSerial WHERE TypeAction = " + ta + " AND TypeFactor = '" +
                   type.serialKind + "'");
  for (auto* v : {&h.lines, &h.factors, &h.payments, &h.serials}) std::sort(v->begin(), v->end());
  return h;
}

std::string NumberOf(const std::string& row) {
  return row.substr(0, row.find('|'));
}

// `before` without the documents in `gone`, plus the rows of `source` whose document `numbers`
// maps (to its number here).
std::vector<std::string> Expected(const std::vector<std::string>& before,
                                  const std::vector<std::string>& source,
                                  const std::set<std::string>& gone,
                                  const std::map<std::string, std::string>& numbers) {
  std::vector<std::string> out;
  for (const auto& r : before)
    if (!gone.contains(NumberOf(r))) out.push_back(r);
  for (const auto& r : source) {
    auto it = numbers.find(NumberOf(r));
    if (it != numbers.end()) out.push_back(it->second + r.substr(r.find('|')));
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(TradoTest, EachTypeAndNumberingLeavesItsEndState) {
  for (int typeIndex = 0; typeIndex < 4; ++typeIndex) {
    for (int mode : {kTradoNewId, kTradoOldIdNew, kTradoOldIdReplace}) {
      const TradoType& type = kTradoTypes[typeIndex];
      SCOPED_TRACE(std::string(type.kind) + " " + type.typeAction + " " + TradoAfterModeName(mode));
      TearDown();
      SetUp();
      // Document 2 of the destination is gone, so its number is free for the source's.
      for (const char* table : {type.lines, type.header})
        Sql().Execute(std::string("DELETE FROM ") + kDest + ".." + table +
                      " WHERE LTRIM(SanadNoForosh) = '2' AND TypeAction = '" + type.typeAction +
                      "'");
      Holdings source = Read(kSource, type);
      Holdings before = Read(kDest, type);
      ASSERT_FALSE(source.serials.empty()) << "the demo sells serial-numbered items";

      // Source documents in date-then-number order, and which of them the destination holds.
      auto docs = Rows(std::string("SELECT LTRIM(RTRIM(SanadNoForosh)) FROM ") + kSource + ".." +
                       type.header + " WHERE TypeAction = '" + type.typeAction +
                       "' ORDER BY SanadDate, RIGHT(SPACE(20) + LTRIM(RTRIM(SanadNoForosh)), 20)");
      std::set<std::string> here;
      for (const auto& r : before.lines) here.insert(NumberOf(r));
      long long max =
          std::stoll(Value(std::string("SELECT MAX(CAST(SanadNoForosh AS int)) FROM ") + kDest +
                           ".." + type.header + " WHERE TypeAction = '" + type.typeAction + "'"));
      std::map<std::string, std::string> numbers;
      std::set<std::string> gone;
      long long kept = 0;
      for (const auto& d : docs) {
        std::string no = NumberOf(d);
        if (mode == kTradoNewId)
          numbers[no] = std::to_string(++max);
        else if (!here.contains(no))
          numbers[no] = no;
        else if (mode == kTradoOldIdReplace)
          numbers[no] = no, gone.insert(no);
        else
          ++kept;
      }

      auto m = OpenTrado();
      ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
      ASSERT_TRUE(m->ChooseType(typeIndex));
      m->afterMode = mode;
      m->copyBase = true;
      ASSERT_TRUE(m->Load());
      EXPECT_EQ(m->candidateDocuments(), static_cast<long long>(docs.size()));
      ASSERT_TRUE(m->Apply()) << (dialogs_.messages.empty() ? "" : dialogs_.messages.back().text);
      EXPECT_EQ(m->outcome().kept, kept);
      EXPECT_EQ(m->outcome().documents, static_cast<long long>(numbers.size()));
      EXPECT_EQ(m->outcome().replaced, static_cast<long long>(gone.size()));
      EXPECT_EQ(m->lastStatus().text,
                m->typeNames()[static_cast<size_t>(typeIndex)] + text::kTradoDoneTail);

      Holdings after = Read(kDest, type);
      EXPECT_EQ(after.lines, Expected(before.lines, source.lines, gone, numbers));
      EXPECT_EQ(after.factors, Expected(before.factors, source.factors, gone, numbers));
      EXPECT_EQ(after.serials, Expected(before.serials, source.serials, gone, numbers));
      // Cash payments belong to invoices: a pre-invoice never brings the payments of the
      // invoice of the same number.
      EXPECT_EQ(after.payments, std::string(type.kind) == "FACTOR"
                                    ? Expected(before.payments, source.payments, gone, numbers)
                                    : before.payments);
      EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest + ".." + type.header +
                      " WHERE LEN(SanadNoForosh) <> 10"),
                "0")
          << "numbers right-aligned to the column";
      if (std::string(type.kind) == "FACTOR") {
        EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest +
                        "..R_FactorForosh F WHERE NOT EXISTS (SELECT * FROM " + kDest +
                        "..R_Factor_Relate_TypeFactor R WHERE R.SanadNoforosh = F.SanadNoForosh "
                        "AND R.TypeAction = F.TypeAction)"),
                  "0")
            << "every invoice has its type";
      }
      EXPECT_FALSE(m->applyEnabled()) << "an applied load is not applied twice";
      auto kept_reports = transfer::ReadRunReports(*link_.connection(), 5);
      ASSERT_EQ(kept_reports.size(), 1u);
      EXPECT_EQ(kept_reports.back().report.outcome, "OK");
      EXPECT_EQ(kept_reports.back().report.units.front().table, type.header);
    }
  }
}

TEST_F(TradoTest, ImportingTheSameDocumentsTwice) {
  struct Case {
    int mode;
    long long documentsSecondTime;  // of the source's invoices
    bool secondEqualsFirst;         // the second import leaves the destination as the first
  } cases[] = {{kTradoNewId, 10, false}, {kTradoOldIdNew, 0, true}, {kTradoOldIdReplace, 10, true}};
  const TradoType& type = kTradoTypes[2];
  for (const Case& c : cases) {
    SCOPED_TRACE(TradoAfterModeName(c.mode));
    TearDown();
    SetUp();
    // A destination without invoices of its own, so every old number is free the first time.
    for (const char* t : {"R_DetailFactorForosh", "R_Factor_Relate_FactCata", "R_NaghdPay",
                          "R_SellSerial", "R_Factor_Relate_TypeFactor", "R_FactorForosh"})
      Sql().Execute(std::string("DELETE FROM ") + kDest + ".." + t);
    auto m = OpenTrado();
    ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
    ASSERT_TRUE(m->ChooseType(2));
    m->afterMode = c.mode;
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    ASSERT_TRUE(m->Apply());
    EXPECT_EQ(m->outcome().documents, 10);
    Holdings first = Read(kDest, type);
    ASSERT_TRUE(m->Load());
    ASSERT_TRUE(m->Apply());
    EXPECT_EQ(m->outcome().documents, c.documentsSecondTime);
    Holdings second = Read(kDest, type);
    if (c.secondEqualsFirst) {
      EXPECT_EQ(second.lines, first.lines);
      EXPECT_EQ(second.serials, first.serials);
      EXPECT_EQ(second.payments, first.payments);
    } else {
      EXPECT_EQ(second.lines.size(), 2 * first.lines.size());
      EXPECT_EQ(second.serials.size(), 2 * first.serials.size());
    }
    // The procedure sorts what already existed from what did not.
    std::string repeated =
        Value("SELECT COUNT(DISTINCT SanadNoForosh) FROM tempdb.." + m->importTable() + "_Repeaty");
    EXPECT_EQ(repeated, c.mode == kTradoNewId ? "0" : "10");
  }
}

TEST_F(TradoTest, SummariesKeepEveryLineSerialAndPayment) {
  struct Case {
    int prior;
    const char* period;  // what documents of one summary share
  } cases[] = {
      {kDaily, "SanadDate"}, {kMonthly, "LEFT(SanadDate, 7)"}, {kYearly, "LEFT(SanadDate, 4)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period);
    TearDown();
    SetUp();
    const TradoType& type = kTradoTypes[2];
    // Invoice 3 (a serial-numbered item on its second line) joins invoice 1 (one on its first).
    Sql().Execute(std::string("UPDATE T SET SanadDate = S.SanadDate, CustomerCod = S.CustomerCod, "
                              "AnbarCod = S.AnbarCod, BazaryabCod = S.BazaryabCod, Abtal = S.Abtal "
                              "FROM ") +
                  kSource + "..R_FactorForosh T INNER JOIN " + kSource +
                  "..R_FactorForosh S ON LTRIM(S.SanadNoForosh) = '1' AND S.TypeAction = '1' "
                  "WHERE LTRIM(T.SanadNoForosh) = '3' AND T.TypeAction = '1'");
    ASSERT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                    "..R_SellSerial WHERE LTRIM(SanadNoForosh) = '3' AND TypeAction = '1' "
                    "AND SellRaj > 1"),
              "3");
    Holdings source = Read(kSource, type);
    std::string groups = Value(std::string("SELECT COUNT(*) FROM (SELECT DISTINCT ") + c.period +
                               " AS M, "
                               "CustomerCod, AnbarCod, BazaryabCod, Abtal FROM " +
                               kSource + "..R_FactorForosh WHERE TypeAction = '1') X");
    std::string max = Value(std::string("SELECT MAX(CAST(SanadNoForosh AS int)) FROM ") + kDest +
                            "..R_FactorForosh WHERE TypeAction = '1'");
    auto m = OpenTrado();
    ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
    ASSERT_TRUE(m->ChooseType(2));
    m->priorMode = c.prior;
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    EXPECT_EQ(std::to_string(m->candidateDocuments()), groups);
    ASSERT_TRUE(m->Apply());
    std::string added = " WHERE TypeAction = '1' AND CAST(SanadNoForosh AS int) > " + max;
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..R_FactorForosh" + added),
              groups);
    EXPECT_EQ(
        Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..R_DetailFactorForosh" + added),
        std::to_string(source.lines.size()));
    EXPECT_EQ(Value(std::string("SELECT SUM(SellValue) FROM ") + kDest + "..R_DetailFactorForosh" +
                    added),
              Value(std::string("SELECT SUM(SellValue) FROM ") + kSource +
                    "..R_DetailFactorForosh WHERE TypeAction = '1'"));
    // Lines numbered from 1 without gaps; every serial number on the line of its item.
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM (SELECT SanadNoForosh FROM ") + kDest +
                    "..R_DetailFactorForosh" + added +
                    " GROUP BY SanadNoForosh HAVING MIN(Raj) <> 1 OR MAX(Raj) <> COUNT(*)) X"),
              "0");
    auto serialItems = [&](const std::string& db, const std::string& where) {
      return Rows("SELECT S.KalaSerialNo, L.KalaCod FROM " + db + "..R_SellSerial S INNER JOIN " +
                  db +
                  "..R_DetailFactorForosh L ON L.SanadNoForosh = S.SanadNoForosh AND L.TypeAction "
                  "= S.TypeAction AND L.Raj = S.SellRaj WHERE S.TypeFactor = '2' AND "
                  "S.TypeAction = '1'" +
                  where + " ORDER BY 1");
    };
    EXPECT_EQ(serialItems(kDest, " AND CAST(S.SanadNoForosh AS int) > " + max),
              serialItems(kSource, ""));
    EXPECT_EQ(Value(std::string("SELECT SUM(PayValue) FROM ") + kDest + "..R_NaghdPay" + added),
              Value(std::string("SELECT SUM(PayValue) FROM ") + kSource +
                    "..R_NaghdPay WHERE TypeAction = '1'"));
  }
}

TEST_F(TradoTest, PreInvoicesTurnedIntoInvoicesCanBeLeftOut) {
  auto m = OpenTrado();
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(m->ChooseType(0));
  m->skipConverted = true;
  ASSERT_TRUE(m->Load());
  EXPECT_EQ(std::to_string(m->candidateDocuments()),
            Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                  "..R_PreFactorForosh P WHERE TypeAction = '1' AND NOT EXISTS (SELECT * FROM " +
                  kSource +
                  "..R_FactorForosh F WHERE F.PreSanadNoForosh = P.SanadNoForosh AND "
                  "F.TypeAction = '1')"));
  EXPECT_LT(m->candidateDocuments(), 5);
  // Only the pre-invoice sales know the choice.
  ASSERT_TRUE(m->ChooseType(2));
  EXPECT_FALSE(m->skipConverted);
}

TEST_F(TradoTest, RangesAndRefusals) {
  auto m = OpenTrado();
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(m->ChooseType(2));
  EXPECT_EQ(m->numberWidth, 10);
  EXPECT_EQ(m->numbers.from, "1");
  EXPECT_EQ(m->numbers.to, "10");
  m->numbers = {true, "3", "7"};
  ASSERT_TRUE(m->Load());
  EXPECT_EQ(m->candidateDocuments(), 5);
  m->numbers = {};
  m->dates = {true, "1402/01/01", "1402/06/31"};
  ASSERT_TRUE(m->Load());
  EXPECT_EQ(std::to_string(m->candidateDocuments()),
            Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                  "..R_FactorForosh WHERE TypeAction = '1' AND SanadDate <= '1402/06/31'"));

  // Items, customers and marketers missing here and not copied: nothing is written.
  auto before = Read(kDest, kTradoTypes[2]);
  m->dates = {};
  m->copyBase = false;
  ASSERT_TRUE(m->Load());
  EXPECT_EQ(m->lastStatus().text, text::kMissingBase);
  EXPECT_EQ(m->lastStatus().colour, kGreen);
  // The rows naming a code missing here are drawn green, the others black.
  const db::ResultSet& rows = m->candidates();
  size_t sOrder = 0;
  while (sOrder < rows.fields.size() && rows.fields[sOrder].name != "sOrder") ++sOrder;
  ASSERT_LT(sOrder, rows.fields.size());
  std::set<int> colours;
  for (const auto& r : rows.rows)
    colours.insert(TradoImport::RowColour(engine::FormatValue(r[sOrder])));
  EXPECT_EQ(colours, (std::set<int>{kBlack, kGreen}));
  EXPECT_FALSE(m->Apply());
  EXPECT_EQ(m->lastStatus().colour, kRed);
  EXPECT_EQ(Read(kDest, kTradoTypes[2]).lines, before.lines);

  // New numbers that would not fit the number column.
  Sql().Execute(std::string("UPDATE ") + kDest +
                "..R_FactorForosh SET SanadNoForosh = '9999999995' WHERE LTRIM(SanadNoForosh) = "
                "'1' AND TypeAction = '1'");
  m->copyBase = true;
  ASSERT_TRUE(m->Load());
  EXPECT_FALSE(m->Apply());
  EXPECT_EQ(m->lastStatus().text, text::kNoFactorNumberRoom);

  // No type chosen.
  ASSERT_TRUE(m->ChooseType(-1));
  EXPECT_FALSE(m->Load());
  EXPECT_FALSE(m->CheckBeforeAuto());
  EXPECT_EQ(m->lastStatus().text, text::kNoType);
}

TEST_F(TradoTest, DifferentNumberWidthsStopTheLoad) {
  {
    auto server = engine::Server::Open(dir_, false);
    engine::Connection c(server);
    suite::CodeWidths widths;
    widths.factorNo = 12;
    suite::CreatePeriod(suite::EngineRunner(c),
                        {"5", "1403", "شرکت O'Neil", "", "", "3.2.1", widths});
  }
  auto m = OpenTrado("KELVARO_5_1403");
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(m->ChooseType(2));
  EXPECT_FALSE(m->Load());
  EXPECT_EQ(m->lastStatus().text, std::string(text::kWidthSanadNoForosh2) + "12" + text::kWidthEnd);
  EXPECT_FALSE(m->applyEnabled());
}

TEST_F(TradoTest, ASourceOnAnotherServerGivesWhatTheSamePeriodGivesLocally) {
  std::string remote = dir_ + "_remote";
  xfer_test::RemoveTree(remote);
  suite::BuildRemoteDemoServer(remote, dir_, suite::DemoOptions{});
  std::string local = CopyOfDemo("local_remote_trado");
  fs::copy_file(fs::path(remote) / "KELVARO_1_1401.db", fs::path(local) / "KELVARO_1_1401.db");
  auto read = [&](const std::string& dir, const std::string& sql) {
    auto server = engine::Server::Open(dir, false);
    engine::Connection c(server);
    std::vector<std::string> out;
    auto sets = c.Execute(sql);
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row) line += (engine::IsNull(v) ? "NULL" : engine::FormatValue(v)) + "|";
      out.push_back(line);
    }
    return out;
  };
  read(local,
       "INSERT INTO KELVARO_Hub..Hub_Company (sCode, sYear, sName, DBName, sVer) VALUES ('1', "
       "'1401', 'بازرگاني آريا', 'KELVARO_1_1401', '3.2.1') SELECT 1");
  auto import = [&](bool viaRemote) {
    auto m = OpenTrado();
    if (viaRemote) {
      transfer::SourceServer s;
      s.name = remote;
      s.connection = db::OpenBackend(db::ConnectionString(g_, remote, "master", "SQL", "", ""));
      m->UseSourceServer(std::move(s));
      EXPECT_TRUE(m->RemoteSource());
    }
    ASSERT_TRUE(m->ChoosePeriodByDatabase("KELVARO_1_1401"));
    ASSERT_TRUE(m->ChooseType(2));
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    ASSERT_TRUE(m->Apply());
    EXPECT_GT(m->outcome().serials, 0);
    EXPECT_GT(m->outcome().payments, 0);
  };
  const std::string tables[] = {
      std::string("SELECT * FROM ") + kDest + "..R_FactorForosh ORDER BY SanadNoForosh, TypeAction",
      std::string("SELECT SanadNoForosh, TypeAction, Raj, KalaCod, Qty, SellValue FROM ") + kDest +
          "..R_DetailFactorForosh ORDER BY SanadNoForosh, TypeAction, Raj",
      std::string("SELECT * FROM ") + kDest + "..R_SellSerial ORDER BY SanadNoForosh, KalaSerialNo",
      std::string("SELECT * FROM ") + kDest + "..R_NaghdPay ORDER BY SanadNoForosh, SerialSanadog",
      std::string("SELECT * FROM ") + kDest +
          "..R_Factor_Relate_FactCata ORDER BY SanadNoForosh, CatgagoryCod",
      std::string("SELECT KalaCod, KalaNam FROM ") + kDest + "..Kala ORDER BY KalaCod"};
  import(true);
  std::vector<std::vector<std::string>> viaRemote;
  for (const auto& t : tables) viaRemote.push_back(read(dir_, t));
  g_.serverName = local;
  import(false);
  link_ = db::HostDatabase{};
  for (size_t i = 0; i < std::size(tables); ++i) {
    SCOPED_TRACE(tables[i]);
    EXPECT_EQ(viaRemote[i], read(local, tables[i]));
  }
  EXPECT_GT(viaRemote[0].size(), 12u);
  xfer_test::RemoveTree(remote);
  xfer_test::RemoveTree(local);
}

// Kills itself when the apply reports progress inside its transaction.
class KillingDialogs : public db::ScriptedDialogs {
 public:
  void Progress(long long done, long long total) override {
    if (armed && done == 2 && total == 3) ::kill(::getpid(), SIGKILL);
  }
  bool armed = false;
};

TEST_F(TradoTest, AProcessKilledInsideTheApplyLeavesNothing) {
  Holdings before = Read(kDest, kTradoTypes[2]);
  auto items = Rows(std::string("SELECT KalaCod FROM ") + kDest + "..Kala ORDER BY KalaCod");
  ::fflush(nullptr);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    KillingDialogs dialogs;
    db::HostDatabase link;
    db::HostGlobal g = g_;
    g.companyCode = "1";
    g.fiscalYear = "1403";
    link.ConnectDatabase(g, g.serverName, kDest, "SQL", "", "");
    TradoImport m(g, date_, link, dialogs);
    m.Prepare();
    if (!m.ChoosePeriodByDatabase(kSource) || !m.ChooseType(2)) ::_exit(3);
    m.copyBase = true;
    if (!m.Load()) ::_exit(4);
    dialogs.armed = true;
    m.Apply();
    ::_exit(5);  // not reached
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
  Holdings after = Read(kDest, kTradoTypes[2]);
  EXPECT_EQ(after.lines, before.lines);
  EXPECT_EQ(after.serials, before.serials);
  EXPECT_EQ(after.payments, before.payments);
  EXPECT_EQ(Rows(std::string("SELECT KalaCod FROM ") + kDest + "..Kala ORDER BY KalaCod"), items);
}

}  // namespace
}  // namespace xfer::import::testing
