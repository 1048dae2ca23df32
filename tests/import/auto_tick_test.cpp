// Automatic mode's ticks through the voucher import, driven here instead of by a timer: a tick
// that applies, one that finds nothing, a source server that goes away and comes back, two
// imports ticking side by side on one thread, a stop asked for before the apply, and the
// registry of imports the launcher and `xfer auto` walk.
#include <filesystem>

#include "db/backend.h"
#include "import/import_modules.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "import_fixture.h"
#include "suite/demo.h"
#include "temp_tree.h"

namespace xfer::import::testing {
namespace {

namespace fs = std::filesystem;

std::string Done(int count) {
  return std::string(text::kDone) + " " + std::to_string(count);
}

class AutoTickTest : public ImportTest {
 protected:
  long long Vouchers(const std::string& database = kDest) {
    return std::stoll(Value("SELECT COUNT(DISTINCT SanadNo) FROM " + database + "..Asnad"));
  }
  // The import set up as the launcher leaves it: a period, copying missing accounts, a schedule.
  void SetUpSchedule(ImportFrame& m, const std::string& source, Range dates) {
    ASSERT_TRUE(m.ChoosePeriodByDatabase(source)) << source;
    m.dates = dates;
    m.copyBase = true;
    m.afterMode = kOldIdNoChange;
    m.SetAutoMinutes("1");
  }
};

TEST_F(AutoTickTest, ATickFindsNothingThenAppliesWhatArrivedAndLeavesItOnTheNext) {
  auto m = Open();
  std::vector<Status> shown;
  m->statusSink = [&](const Status& s) { shown.push_back(s); };
  const Range lastWeek{true, "1403/12/21", "1403/12/29"};
  SetUpSchedule(*m, "KELVARO_2_1403", lastWeek);
  ASSERT_EQ(Value("SELECT COUNT(*) FROM KELVARO_2_1403..Asnad WHERE SanadDate >= '1403/12/21'"),
            "0");
  long long before = Vouchers();

  TickResult start = m->StartAuto();
  EXPECT_TRUE(start.loaded);
  EXPECT_EQ(start.loadedRows, 0);
  EXPECT_FALSE(start.applied);
  EXPECT_EQ(m->state().text, text::kAutoOn);
  EXPECT_EQ(m->runCount().text, "0");
  EXPECT_EQ(Vouchers(), before);

  // A new voucher of the source period, in the range: the next tick brings it.
  Sql().Execute(
      "UPDATE KELVARO_2_1403..Asnad SET SanadDate = '1403/12/25', "
      "SanadNo = RIGHT(SPACE(10) + '41', 10) WHERE LTRIM(SanadNo) = '3'");
  long long lines =
      std::stoll(Value("SELECT COUNT(*) FROM KELVARO_2_1403..Asnad WHERE LTRIM(SanadNo) = '41'"));
  TickResult tick = m->Tick();
  EXPECT_TRUE(tick.connected);
  EXPECT_EQ(tick.loadedRows, lines);
  EXPECT_TRUE(tick.applied);
  EXPECT_GE(tick.writtenRows, lines);
  EXPECT_EQ(tick.status.text, Done(1));
  EXPECT_EQ(tick.status.colour, kGreen);
  EXPECT_EQ(shown.back().text, Done(1));
  EXPECT_EQ(m->runCount().text, "1");
  EXPECT_EQ(Vouchers(), before + 1);

  // Loaded again on the next tick, the voucher is already here and stays out.
  TickResult again = m->Tick();
  EXPECT_TRUE(again.applied);
  EXPECT_EQ(again.loadedRows, lines);
  EXPECT_EQ(Vouchers(), before + 1);
  EXPECT_EQ(m->runCount().text, "2");
}

TEST_F(AutoTickTest, ASourceServerThatGoesAwayTurnsTheStatusRedAndIsFoundAgain) {
  std::string remote = dir_ + "_remote";
  std::string away = dir_ + "_away";
  xfer_test::RemoveTree(remote);
  suite::BuildRemoteDemoServer(remote, dir_, suite::DemoOptions{});
  auto m = Open();
  std::vector<Status> shown;
  m->statusSink = [&](const Status& s) { shown.push_back(s); };
  transfer::SourceServer server{remote, "SQL", "", "", nullptr};
  server.connection = db::OpenBackend(db::ConnectionString(g_, remote, "master", "SQL", "", ""));
  m->UseSourceServer(std::move(server));
  ASSERT_TRUE(m->RemoteSource());
  ASSERT_FALSE(m->periods().empty());
  ASSERT_TRUE(m->ChoosePeriod(0));
  m->copyBase = true;
  m->afterMode = kNewId;
  m->SetAutoMinutes("2");
  long long before = Vouchers();
  TickResult start = m->StartAuto();
  ASSERT_TRUE(start.applied) << start.status.text;
  long long once = Vouchers() - before;
  ASSERT_GT(once, 0);

  fs::rename(remote, away);
  TickResult lost = m->Tick();
  EXPECT_FALSE(lost.connected);
  EXPECT_FALSE(lost.loaded);
  EXPECT_EQ(lost.status.text, text::kNoConnection);
  EXPECT_EQ(lost.status.colour, kRed);
  EXPECT_EQ(shown.back().text, text::kNoConnection);
  EXPECT_TRUE(m->timerEnabled()) << "the schedule stays on";
  EXPECT_EQ(m->state().text, text::kAutoOn);
  EXPECT_TRUE(m->RemoteSource());
  EXPECT_THROW(m->RemoteQuery(), std::exception) << "never this server in place of the source";
  EXPECT_EQ(Vouchers(), before + once);

  fs::rename(away, remote);
  TickResult back = m->Tick();
  EXPECT_TRUE(back.connected);
  EXPECT_TRUE(back.applied) << back.status.text;
  EXPECT_EQ(back.status.text, Done(2));
  EXPECT_EQ(Vouchers(), before + 2 * once);
  m.reset();
  xfer_test::RemoveTree(remote);
}

TEST_F(AutoTickTest, TwoImportsTickSideBySideIntoOnePeriod) {
  // Two imports of one period, each from its own source, shown at different times so their
  // temporary tables are apart.
  auto first = Open();
  db::HostDate later;
  later.clock = [] { return db::ClockTime{23, 59, 58, 7}; };
  MalyImport second(g_, later, link_, dialogs_);
  second.Prepare();
  ASSERT_NE(first->importTable(), second.importTable());
  std::vector<std::string> firstShown, secondShown;
  first->statusSink = [&](const Status& s) { firstShown.push_back(s.text); };
  second.statusSink = [&](const Status& s) { secondShown.push_back(s.text); };
  SetUpSchedule(*first, "KELVARO_2_1403", {true, "1403/01/01", "1403/01/31"});
  SetUpSchedule(second, "KELVARO_1_1402", {true, "1402/01/01", "1402/01/31"});
  first->afterMode = kNewId;
  second.afterMode = kNewId;
  auto vouchersIn = [&](const std::string& database, const std::string& lastDate) {
    return std::stoll(Value("SELECT COUNT(DISTINCT SanadNo) FROM " + database +
                            "..Asnad WHERE SanadDate <= '" + lastDate +
                            "' AND WhatDoc NOT IN ('10', '2')"));
  };
  long long fromFirst = vouchersIn("KELVARO_2_1403", "1403/01/31");
  long long fromSecond = vouchersIn("KELVARO_1_1402", "1402/01/31");
  ASSERT_GT(fromFirst, 0);
  ASSERT_GT(fromSecond, 0);
  long long before = Vouchers();
  ASSERT_TRUE(first->StartAuto().applied);
  ASSERT_TRUE(second.StartAuto().applied);
  EXPECT_EQ(Vouchers(), before + fromFirst + fromSecond);

  // The timers' events arrive one after another on the one thread.
  for (int round = 0; round < 2; ++round) {
    TickResult a = first->Tick();
    TickResult b = second.Tick();
    EXPECT_TRUE(a.applied) << a.status.text;
    EXPECT_TRUE(b.applied) << b.status.text;
  }
  EXPECT_EQ(Vouchers(), before + 3 * (fromFirst + fromSecond)) << "new numbers on every run";
  EXPECT_EQ(first->runCount().text, "3");
  EXPECT_EQ(second.runCount().text, "3");
  EXPECT_EQ(firstShown.back(), Done(3));
  EXPECT_EQ(secondShown.back(), Done(3));
  EXPECT_EQ(first->state().text, text::kAutoOn);
  EXPECT_EQ(second.state().text, text::kAutoOn);
}

TEST_F(AutoTickTest, AStopAskedForBeforeTheApplyLeavesThePeriodAsItWas) {
  auto m = Open();
  SetUpSchedule(*m, "KELVARO_2_1403", {true, "1403/01/01", "1403/02/31"});
  m->afterMode = kNewId;
  transfer::StopRequest stop;
  stop.Request();
  m->SetStopRequest(&stop);
  long long before = Vouchers();
  TickResult r = m->StartAuto();
  EXPECT_TRUE(r.loaded);
  EXPECT_GT(r.loadedRows, 0);
  EXPECT_TRUE(r.stopped);
  EXPECT_FALSE(r.applied);
  EXPECT_EQ(Vouchers(), before);
  stop.Clear();
  EXPECT_TRUE(m->Tick().applied);
  EXPECT_GT(Vouchers(), before);
}

TEST_F(AutoTickTest, TheRegistryMakesAndConfiguresEachImport) {
  ASSERT_FALSE(ImportModules().empty());
  EXPECT_EQ(FindImportModule(" MALY "), &ImportModules()[0]);
  EXPECT_EQ(FindImportModule("nothing"), nullptr);
  const ImportModule& maly = *FindImportModule("maly");
  EXPECT_STREQ(maly.checkCaption, "حسابداري");
  EXPECT_STREQ(maly.buttonCaption, "انتقال حسابداري");
  link_.ConnectDatabase(g_, g_.serverName, kDest, "SQL", "", "");
  std::unique_ptr<ImportFrame> frame = maly.make(g_, date_, link_, dialogs_);
  ASSERT_NE(dynamic_cast<MalyImport*>(frame.get()), nullptr);
  frame->Prepare();
  ASSERT_TRUE(frame->ChoosePeriodByDatabase(kSource));
  EXPECT_EQ(maly.configure(*frame, {}), "");
  EXPECT_EQ(frame->afterMode, kOldIdNoChange) << "a schedule keeps vouchers already here out";
  ImportSettings s;
  s.mode = "replace";
  s.summary = "MONTLY";
  s.copyBase = true;
  EXPECT_EQ(maly.configure(*frame, s), "");
  EXPECT_EQ(frame->afterMode, kReplace);
  EXPECT_EQ(frame->priorMode, kMonthly);
  EXPECT_TRUE(frame->copyBase);
  s.mode = "SOMETIMES";
  EXPECT_NE(maly.configure(*frame, s), "");
  s.mode.clear();
  s.type = "1";
  EXPECT_NE(maly.configure(*frame, s), "");
}

}  // namespace
}  // namespace xfer::import::testing
