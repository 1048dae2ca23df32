// The voucher import on demo periods: each numbering and each summary to its end state, ranges
// by date and number, an empty range, refusals (bad date, closed period, unbalanced voucher,
// missing accounts, no room for new numbers) that write nothing, a source on another server
// giving what the same period gives locally, and a process killed inside the apply.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include "temp_tree.h"

#include <map>

#include "db/text_util.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "import_fixture.h"
#include "suite/demo.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"
#include "transfer/run/report_store.h"

namespace xfer::import::testing {
namespace {

namespace fs = std::filesystem;

// Voucher lines of a period as the tests compare them: number, date, line, account, amounts,
// description, ordered by number and line.
const char* kLines =
    "SELECT LTRIM(RTRIM(SanadNo)), SanadDate, Raj, Koll, Moein, ISNULL(Tafsily, ''), Bed, Bes, "
    "Des FROM %s..Asnad %s ORDER BY RIGHT(SPACE(20) + LTRIM(RTRIM(SanadNo)), 20), Raj";

std::string Lines(const std::string& db, const std::string& where = "") {
  char buf[512];
  std::snprintf(buf, sizeof buf, kLines, db.c_str(), where.c_str());
  return buf;
}

bool HasMessage(const db::ScriptedDialogs& d, const std::string& text) {
  for (const auto& m : d.messages)
    if (m.text.find(text) != std::string::npos) return true;
  return false;
}

// Source lines of vouchers `from`..`to` with their number replaced by `numbers[old]`.
std::vector<std::string> Renumbered(const std::vector<std::string>& lines,
                                    const std::map<std::string, std::string>& numbers) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    std::string no = l.substr(0, l.find('|'));
    out.push_back(numbers.at(no) + l.substr(l.find('|')));
  }
  return out;
}

TEST_F(ImportTest, EachNumberingLeavesItsEndState) {
  // Vouchers 8..14 of the source: every one of them has a namesake in the destination.
  const std::string range = "WHERE LTRIM(RTRIM(SanadNo)) IN ('8','9','10','11','12','13','14')";
  for (int mode : {kNewId, kOldId, kOldIdNoChange, kReplace}) {
    SCOPED_TRACE(AfterModeName(mode));
    TearDown();
    SetUp();
    // Two of the destination's namesakes are gone, so the old numbers are free for them.
    Sql().Execute(std::string("DELETE FROM ") + kDest +
                  "..Asnad WHERE LTRIM(SanadNo) IN ('9', '13')");
    auto source = Rows(Lines(kSource, range));
    auto before = Rows(Lines(kDest));
    std::string max =
        Value(std::string("SELECT MAX(CAST(SanadNo AS int)) FROM ") + kDest + "..Asnad");

    auto m = Open();
    ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
    m->numbers = {true, "8", "14"};
    m->afterMode = mode;
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    EXPECT_EQ(m->candidateVouchers(), 7);
    ASSERT_TRUE(m->Apply()) << (dialogs_.messages.empty() ? "" : dialogs_.messages.back().text);
    auto after = Rows(Lines(kDest));

    std::vector<std::string> expected = before;
    if (mode == kNewId) {
      std::map<std::string, std::string> numbers;
      int next = std::stoi(max);
      for (const char* no : {"8", "9", "10", "11", "12", "13", "14"})
        numbers[no] = std::to_string(++next);
      auto added = Renumbered(source, numbers);
      expected.insert(expected.end(), added.begin(), added.end());
      EXPECT_EQ(m->outcome().vouchers, 7);
      EXPECT_EQ(
          Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..Asnad WHERE LEN(SanadNo) <> 10"),
          "0")
          << "numbers right-aligned to the column";
    } else if (mode == kOldIdNoChange) {
      for (const auto& l : source)
        if (l.starts_with("9|") || l.starts_with("13|")) expected.push_back(l);
      EXPECT_EQ(m->outcome().kept, 5);
    } else if (mode == kReplace) {
      std::erase_if(expected, [](const std::string& l) {
        std::string no = l.substr(0, l.find('|'));
        return std::stoi(no) >= 8 && std::stoi(no) <= 14;
      });
      expected.insert(expected.end(), source.begin(), source.end());
      EXPECT_EQ(m->outcome().replaced, 5);
    } else {
      // Merged into the namesake: after its last line, under its date.
      std::map<std::string, std::pair<std::string, int>> head;  // number -> date, last line
      for (const auto& l : before) {
        std::string no = l.substr(0, l.find('|'));
        size_t d = l.find('|') + 1, r = l.find('|', d) + 1;
        head[no] = {l.substr(d, r - d - 1), std::stoi(l.substr(r, l.find('|', r) - r))};
      }
      for (const auto& l : source) {
        std::string no = l.substr(0, l.find('|'));
        size_t d = l.find('|') + 1, r = l.find('|', d) + 1, k = l.find('|', r) + 1;
        int raj = std::stoi(l.substr(r, k - r - 1));
        auto it = head.find(no);
        std::string date = it == head.end() ? l.substr(d, r - d - 1) : it->second.first;
        int base = it == head.end() ? 0 : it->second.second;
        expected.push_back(no + "|" + date + "|" + std::to_string(base + raj) + "|" + l.substr(k));
      }
      EXPECT_EQ(m->outcome().merged, 5);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, expected);
    EXPECT_FALSE(m->applyEnabled()) << "an applied load is not applied twice";
    EXPECT_EQ(m->lastReport().outcome, "OK");
    // The destination period keeps the run: one row per apply, its units as applied.
    auto kept = transfer::ReadRunReports(*link_.connection(), 5);
    ASSERT_EQ(kept.size(), 1u);
    const transfer::RunReport& r = kept.back().report;
    EXPECT_EQ(r.what, m->lastReport().what);
    EXPECT_EQ(r.destination, kDest);
    EXPECT_EQ(r.outcome, "OK");
    ASSERT_FALSE(r.units.empty());
    EXPECT_EQ(r.units.front().table, "Asnad");
    EXPECT_EQ(r.units.front().inserted, m->outcome().lines);
    EXPECT_EQ(r.units.size(), m->lastReport().units.size());
  }
}

TEST_F(ImportTest, SummariesKeepEveryAccountsTurnoverPerPeriod) {
  struct Case {
    int prior;
    const char* period;  // the period of a source line
    const char* caption;
  } cases[] = {{kDaily, "SanadDate", "خلاصه اسناد روز "},
               {kMonthly, "LEFT(SanadDate, 7)", "خلاصه اسناد ماه "},
               {kYearly, "LEFT(SanadDate, 4)", "خلاصه اسناد سال "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(PriorModeName(c.prior));
    TearDown();
    SetUp();
    std::string period(c.period);
    std::string regular = " WHERE NOT (TypeSys = 'M' AND WhatDoc IN ('10', '2'))";
    // Per period, program, account and side, what the source's lines add up to.
    auto turnover = [&](const std::string& db, const std::string& periodOf,
                        const std::string& where) {
      return Rows("SELECT " + periodOf +
                  ", Koll, Moein, ISNULL(Tafsily, ''), SUM(Bed), SUM(Bes) "
                  "FROM " +
                  db + "..Asnad" + where + " GROUP BY " + periodOf +
                  ", Koll, Moein, ISNULL(Tafsily, '') ORDER BY 1, 2, 3, 4");
    };
    auto expected = turnover(kSource, period, regular);
    std::string groups = Value("SELECT COUNT(*) FROM (SELECT DISTINCT " + period +
                               " AS P, TypeSys FROM " + kSource + "..Asnad" + regular + ") X");
    std::string max =
        Value(std::string("SELECT MAX(CAST(SanadNo AS int)) FROM ") + kDest + "..Asnad");

    auto m = Open();
    ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
    m->priorMode = c.prior;
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    EXPECT_EQ(std::to_string(m->candidateVouchers()), groups);
    ASSERT_TRUE(m->Apply());
    std::string added = " WHERE CAST(SanadNo AS int) > " + max;
    EXPECT_EQ(
        Value(std::string("SELECT COUNT(DISTINCT SanadNo) FROM ") + kDest + "..Asnad" + added),
        groups);
    // The summary's description names its period: its lines add up as the source's did.
    std::string periodOfSummary = "SUBSTRING(Des, LEN('" + std::string(c.caption) + "') + 2, 10)";
    EXPECT_EQ(turnover(kDest, periodOfSummary, added), expected);
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM (SELECT SanadNo FROM ") + kDest + "..Asnad" +
                    added + " GROUP BY SanadNo HAVING ABS(SUM(Bed) - SUM(Bes)) > 0.001) X"),
              "0")
        << "every summary voucher balanced";
    // Debit lines come first, numbered from 1 without gaps.
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM (SELECT SanadNo FROM ") + kDest + "..Asnad" +
                    added + " GROUP BY SanadNo HAVING MIN(Raj) <> 1 OR MAX(Raj) <> COUNT(*)) X"),
              "0");
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..Asnad D INNER JOIN " + kDest +
                    "..Asnad C ON C.SanadNo = D.SanadNo AND C.Bes > 0 AND D.Bed > 0 AND C.Raj < "
                    "D.Raj WHERE CAST(D.SanadNo AS int) > " +
                    max),
              "0");
  }
}

TEST_F(ImportTest, RangesByDateAndNumberAndAnEmptyRange) {
  struct Case {
    Range dates, numbers;
    std::string where;  // the same choice over the source
  } cases[] = {
      {{true, "1402/03/01", "1402/04/31"}, {}, "SanadDate BETWEEN '1402/03/01' AND '1402/04/31'"},
      {{}, {true, "5", "12"}, "CAST(SanadNo AS int) BETWEEN 5 AND 12"},
      {{true, "1402/02/01", "1402/06/31"},
       {true, "3", "9"},
       "SanadDate BETWEEN '1402/02/01' AND '1402/06/31' AND CAST(SanadNo AS int) BETWEEN 3 AND 9"},
      {{true, "1402/05/10", "1402/05/01"}, {}, "1 = 0"},
  };
  auto m = Open();
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  EXPECT_EQ(m->numberWidth, 10);
  EXPECT_EQ(m->dates.from, Value(std::string("SELECT MIN(SanadDate) FROM ") + kSource + "..Asnad"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    m->dates = c.dates;
    m->numbers = c.numbers;
    ASSERT_TRUE(m->Load());
    EXPECT_EQ(std::to_string(m->candidateVouchers()),
              Value(std::string("SELECT COUNT(DISTINCT SanadNo) FROM ") + kSource +
                    "..Asnad WHERE " + c.where));
    EXPECT_EQ(m->applyEnabled(), m->candidateVouchers() > 0);
  }
  // The empty range left nothing to apply: neither a click nor a tick writes.
  std::string before = Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..Asnad");
  EXPECT_FALSE(m->Apply());
  m->SetAutoMinutes("5");
  m->StartAuto();
  EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..Asnad"), before);
  EXPECT_EQ(m->runCount().text, "0");
}

TEST_F(ImportTest, RefusalsWriteNothing) {
  struct Case {
    const char* name;
    std::string setup;  // run before the load
    Range dates;
    bool copyBase;
    int mode;
    std::string message;
    bool loads;
  } cases[] = {
      {"bad date", "", {true, "1402/07/31", "1402/08/01"}, true, kNewId, text::kBadDate, false},
      {"unbalanced voucher",
       std::string("UPDATE ") + kSource +
           "..Asnad SET Bed = Bed + 1 WHERE LTRIM(SanadNo) = '9' "
           "AND Raj = 1",
       {},
       true,
       kNewId,
       std::string(text::kUnbalancedHead) + "9" + text::kUnbalancedTail,
       true},
      {"missing accounts", "", {}, false, kNewId, text::kMissingCodes, true},
      {"no room for new numbers",
       std::string("UPDATE ") + kDest +
           "..Asnad SET SanadNo = '9999999990' WHERE LTRIM(SanadNo) = '40'",
       {},
       true,
       kNewId,
       text::kNoNumberRoom,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    if (!c.setup.empty()) Sql().Execute(c.setup);
    auto before = Rows(Lines(kDest));
    auto m = Open();
    ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
    m->dates = c.dates;
    m->copyBase = c.copyBase;
    m->afterMode = c.mode;
    dialogs_.messages.clear();
    EXPECT_EQ(m->Load(), c.loads);
    if (c.loads) {
      EXPECT_FALSE(m->Apply());
    }
    EXPECT_TRUE(HasMessage(dialogs_, c.message)) << c.message;
    EXPECT_EQ(m->lastStatus().colour, kRed);
    EXPECT_EQ(Rows(Lines(kDest)), before);
  }
}

TEST_F(ImportTest, AClosedPeriodTakesNoVouchers) {
  // The first period holds its year-end vouchers; the second's are carried to it.
  auto m = Open(kSource);
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kDest));
  EXPECT_FALSE(m->Load());
  EXPECT_EQ(m->lastStatus().text, text::kTemporaryClosed);
  EXPECT_FALSE(m->applyEnabled());
  // Year-end vouchers of a source never travel.
  auto into = Open();
  ASSERT_TRUE(into->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(into->Load());
  for (const auto& row : into->candidates().rows)
    EXPECT_NE(engine::FormatValue(row[2]), "10");  // WhatDoc
}

TEST_F(ImportTest, ASourceOnAnotherServerGivesWhatTheSamePeriodGivesLocally) {
  // The remote server holds period 1401 of the same companies; a copy of its database file
  // registered on a copy of this server is the same period on the local server.
  std::string remote = dir_ + "_remote";
  xfer_test::RemoveTree(remote);
  suite::BuildRemoteDemoServer(remote, dir_, suite::DemoOptions{});
  std::string local = CopyOfDemo("local_remote_test");
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
    auto m = Open();
    if (viaRemote) {
      transfer::SourceServer s;
      s.name = remote;
      s.connection = db::OpenBackend(db::ConnectionString(g_, remote, "master", "SQL", "", ""));
      m->UseSourceServer(std::move(s));
      EXPECT_TRUE(m->RemoteSource());
    }
    ASSERT_TRUE(m->ChoosePeriodByDatabase("KELVARO_1_1401"));
    m->priorMode = kMonthly;
    m->copyBase = true;
    ASSERT_TRUE(m->Load());
    ASSERT_TRUE(m->Apply());
  };
  const std::string accounts =
      std::string("SELECT Koll, NamHesab FROM ") + kDest + "..Koll ORDER BY Koll";
  import(true);
  auto viaRemote = read(dir_, Lines(kDest));
  auto kollsRemote = read(dir_, accounts);
  g_.serverName = local;
  import(false);
  link_ = db::HostDatabase{};
  EXPECT_GT(viaRemote.size(), 10u);
  EXPECT_EQ(viaRemote, read(local, Lines(kDest)));
  EXPECT_EQ(kollsRemote, read(local, accounts));
  xfer_test::RemoveTree(remote);
  xfer_test::RemoveTree(local);
}

TEST_F(ImportTest, DifferentCodeWidthsStopTheLoad) {
  // A period of another company whose general accounts are six characters wide.
  {
    auto server = engine::Server::Open(dir_, false);
    engine::Connection c(server);
    suite::CodeWidths widths;
    widths.koll = 6;
    suite::CreatePeriod(suite::EngineRunner(c),
                        {"5", "1403", "شرکت O'Neil", "", "", "3.2.1", widths});
  }
  auto m = Open("KELVARO_5_1403");
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  EXPECT_FALSE(m->Load());
  EXPECT_EQ(m->lastStatus().text, std::string(text::kWidthKoll) + "6" + text::kWidthEnd);
  EXPECT_FALSE(m->applyEnabled());
}

// Kills itself when the apply reports progress inside its transaction.
class KillingDialogs : public db::ScriptedDialogs {
 public:
  void Progress(long long done, long long total) override {
    if (armed && done == 1 && total == 2) ::kill(::getpid(), SIGKILL);
  }
  bool armed = false;
};

TEST_F(ImportTest, AProcessKilledInsideTheApplyLeavesNoVoucher) {
  auto before = Rows(Lines(kDest));
  auto kolls = Rows(std::string("SELECT Koll FROM ") + kDest + "..Koll ORDER BY Koll");
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
    MalyImport m(g, date_, link, dialogs);
    m.Prepare();
    if (!m.ChoosePeriodByDatabase(kSource)) ::_exit(3);
    m.copyBase = true;
    if (!m.Load()) ::_exit(4);
    dialogs.armed = true;
    m.Apply();
    ::_exit(5);  // not reached: the apply reports progress inside its transaction
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
  EXPECT_EQ(Rows(Lines(kDest)), before);
  EXPECT_EQ(Rows(std::string("SELECT Koll FROM ") + kDest + "..Koll ORDER BY Koll"), kolls)
      << "the base records copied inside the same transaction are gone too";
}

}  // namespace
}  // namespace xfer::import::testing
