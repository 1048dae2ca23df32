// Automatic mode's ticks through the voucher import, driven here instead of by a timer: a tick
// that finds nothing, one that applies, one that keeps what is already here out, a stop asked
// for before the apply, and the registry of imports the launcher and `xfer auto` walk. A lost
// source and two imports side by side are driven through the automatic transfer form.
#include "import/import_modules.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "import_fixture.h"

namespace xfer::import::testing {
namespace {

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
