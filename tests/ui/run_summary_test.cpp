// The run summary window: the conflict button follows the chosen unit, the handler given and
// its refusals, the outcome line follows how the run ended, and the window fits its parent.
#include "ui/run_summary.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ui/persian_display.h"
#include "ui/run_text.h"

namespace xfer::ui {
namespace {

transfer::RunReport Report() {
  transfer::RunReport r;
  r.source = "KELVARO_7_1402";
  r.destination = "KELVARO_7_1403";
  r.outcome = "OK";
  transfer::UnitResult kept;
  kept.table = "KOLL";
  kept.name = "حسابهاي کل";
  kept.sourceRows = 5;
  kept.inserted = 3;
  kept.clashing = 2;
  transfer::UnitResult whole = kept;
  whole.table = "GROH";
  whole.clashing = 0;
  whole.inserted = 5;
  r.units = {whole, kept};
  return r;
}

TEST(RunSummaryTest, ConflictButtonFollowsTheChosenUnitAndItsHandler) {
  TRunSummary summary(Report());
  auto* table = summary.findChild<QTableWidget*>("tblUnits");
  auto* button = summary.findChild<QPushButton*>("cmdConflicts");
  table->setCurrentCell(1, 0);
  EXPECT_FALSE(button->isEnabled());  // no conflict window yet
  EXPECT_EQ(button->toolTip(), ForDisplay(run_text::kConflictsLater));

  std::vector<std::string> opened;
  summary.setConflictHandler([&](const transfer::UnitResult& u) { opened.push_back(u.table); });
  struct Case {
    int row;
    bool enabled;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{2, false}}) {  // 2: the totals row
    table->setCurrentCell(c.row, 0);
    EXPECT_EQ(button->isEnabled(), c.enabled) << c.row;
    if (c.enabled) button->click();
  }
  EXPECT_EQ(opened, std::vector<std::string>{"KOLL"});
  // A unit the handler cannot take stays closed, and the tooltip says why.
  summary.setConflictHandler(
      [&](const transfer::UnitResult& u) { opened.push_back(u.table); },
      [](const transfer::UnitResult& u) {
        return u.table == "KOLL" ? QString::fromUtf8(run_text::kConflictsRemote) : QString();
      });
  table->setCurrentCell(1, 0);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->toolTip(), ForDisplay(run_text::kConflictsRemote));
  // The totals row sums the units.
  EXPECT_EQ(table->item(2, TRunSummary::kCarried)->text(), PersianNumber(8));
  EXPECT_EQ(table->item(2, TRunSummary::kKept)->text(), PersianNumber(2));
}

TEST(RunSummaryTest, OutcomeLineAndPlacement) {
  struct Case {
    bool stopped;
    std::string outcome;
    QString line;
  };
  const Case cases[] = {
      {false, "OK", ForDisplay(run_text::kOutcomeOk)},
      {true, "STOPPED", ForDisplay(run_text::kOutcomeStopped)},
      {false, "Msg 8152", ForDisplay(run_text::kOutcomeEnded) + "Msg ۸۱۵۲"},
  };
  QWidget parent;
  parent.setGeometry(100, 80, 900, 600);
  parent.show();
  for (const Case& c : cases) {
    transfer::RunReport r = Report();
    r.stopped = c.stopped;
    r.outcome = c.outcome;
    TRunSummary* summary = ShowRunSummary(r, &parent);
    EXPECT_EQ(summary->findChild<QLabel*>("lblOutcome")->text(), c.line);
    EXPECT_TRUE(parent.frameGeometry().contains(summary->frameGeometry()));
    summary->close();
  }
}

}  // namespace
}  // namespace xfer::ui
