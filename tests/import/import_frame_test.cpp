// The import frame through the voucher import: the period list and the database an item names,
// number padding, and automatic mode (start, ticks driven by the test, counting, returning to
// idle) with its status texts and colours.
#include <map>

#include "import/import_text.h"
#include "import/maly_text.h"
#include "import_fixture.h"

namespace xfer::import::testing {
namespace {

TEST_F(ImportTest, PeriodListLeavesTheOpenPeriodOutAndNamesDatabases) {
  auto m = Open();
  std::vector<std::string> items = m->periods();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], "1402-1 : بازرگاني آريا");
  EXPECT_EQ(items[1], "1402-2 : صنايع غذايي البرز");
  EXPECT_EQ(items[2], "1403-2 : صنايع غذايي البرز");
  EXPECT_EQ(m->SourceDatabase(), "");
  ASSERT_TRUE(m->ChoosePeriod(1));
  EXPECT_EQ(m->SourceDatabase(), "KELVARO_2_1402");
  EXPECT_EQ(m->SourceTag(), "[1402_2]");
  EXPECT_FALSE(m->ChoosePeriod(3));
  EXPECT_TRUE(m->ChoosePeriodByDatabase("kelvaro_1_1402"));
  EXPECT_EQ(m->periodIndex(), 0);
  // Number edits are padded to the stored width, a longer text cut to it.
  EXPECT_EQ(m->PaddedNumber("17"), "        17");
  EXPECT_EQ(m->PaddedNumber("123456789012"), "1234567890");
  EXPECT_EQ(ImportFrame::JoinDate("1402", "07", "30"), "1402/07/30");
}

TEST_F(ImportTest, LoadWithoutAPeriodIsRefused) {
  auto m = Open();
  std::vector<Status> shown;
  m->statusSink = [&](const Status& s) { shown.push_back(s); };
  EXPECT_FALSE(m->Load());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, text::kNoPeriod);
  EXPECT_EQ(shown[0].colour, kRed);
  EXPECT_FALSE(m->CheckBeforeAuto());
  EXPECT_TRUE(dialogs_.messages.empty()) << "the status sink took the messages";
}

TEST_F(ImportTest, AutomaticModeRunsAtStartAndOnEveryTickUntilIdle) {
  auto m = Open();
  std::vector<Status> shown;
  m->statusSink = [&](const Status& s) { shown.push_back(s); };
  EXPECT_EQ(m->state().text, text::kAutoOff);
  EXPECT_EQ(m->state().colour, kRed);
  ASSERT_TRUE(m->ChoosePeriodByDatabase("KELVARO_2_1403"));
  m->dates = {true, "1403/01/01", "1403/02/31"};
  m->copyBase = true;
  auto count = [&] {
    return Value(std::string("SELECT COUNT(DISTINCT SanadNo) FROM ") + kDest + "..Asnad");
  };
  std::string vouchers = Value(
      "SELECT COUNT(DISTINCT SanadNo) FROM KELVARO_2_1403..Asnad WHERE SanadDate <= '1403/02/31'");
  int before = std::stoi(count());

  m->SetAutoMinutes("");
  m->StartAuto();
  EXPECT_FALSE(m->timerEnabled()) << "no minutes, no start";

  m->SetAutoMinutes("5");
  ASSERT_TRUE(m->CheckBeforeAuto());
  m->StartAuto();
  EXPECT_TRUE(m->timerEnabled());
  EXPECT_EQ(m->timerInterval(), 300000);
  EXPECT_EQ(m->state().text, text::kAutoOn);
  EXPECT_EQ(m->state().colour, kGreen);
  EXPECT_EQ(m->runCount().text, "1");
  EXPECT_EQ(m->runCount().colour, kGreen);
  EXPECT_TRUE(m->choicesLocked());
  EXPECT_EQ(shown.back().text, std::string(text::kDone) + " 1");
  EXPECT_EQ(std::stoi(count()), before + std::stoi(vouchers));

  m->Tick();  // the timer's event, triggered here
  EXPECT_EQ(m->runCount().text, "2");
  EXPECT_EQ(std::stoi(count()), before + 2 * std::stoi(vouchers)) << "new numbers each run";

  // Another period returns to idle and frees the choices.
  ASSERT_TRUE(m->ChoosePeriodByDatabase("KELVARO_2_1402"));
  EXPECT_FALSE(m->timerEnabled());
  EXPECT_EQ(m->state().text, text::kAutoOff);
  EXPECT_EQ(m->runCount().text, "0");
  EXPECT_FALSE(m->choicesLocked());
  EXPECT_FALSE(m->applyEnabled());

  // Zero minutes: a timer that never fires, but the first run happens.
  m->dates = {true, "1402/01/01", "1402/01/31"};
  m->SetAutoMinutes("0");
  m->StartAuto();
  EXPECT_TRUE(m->timerEnabled());
  EXPECT_EQ(m->timerInterval(), 0);
  EXPECT_EQ(m->runCount().text, "1");
}

TEST_F(ImportTest, CandidateRowsAreColouredByTheirMarkers) {
  auto m = Open();
  ASSERT_TRUE(m->ChoosePeriodByDatabase("KELVARO_1_1402"));
  ASSERT_TRUE(m->Load());
  std::map<int, int> colours;
  size_t typeSys = 0, sOrder = 0;
  const auto& rs = m->candidates();
  for (size_t i = 0; i < rs.fields.size(); ++i) {
    if (rs.fields[i].name == "TypeSys") typeSys = i;
    if (rs.fields[i].name == "sOrder") sOrder = i;
  }
  for (const auto& row : rs.rows)
    ++colours[MalyImport::RowColour(engine::FormatValue(row[typeSys]),
                                    engine::FormatValue(row[sOrder]))];
  EXPECT_GT(colours[kGreen], 0) << "accounts only the first period has";
  EXPECT_GT(colours[kFuchsia], 0) << "cheque lines of the treasury";
  EXPECT_GT(colours[kBlack], 0);
  EXPECT_EQ(m->lastStatus().text, text::kMissingCodes);
}

}  // namespace
}  // namespace xfer::import::testing
