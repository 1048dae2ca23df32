// The chart-of-accounts transfer form driven as a user drives it on demo periods: the period
// grid and its single mark, the confirm button per tab and under the voucher gate, a press whose
// clashing rows go through the conflict window (marks by key and double click, invert, replace
// marked / all / none, Escape), a close asked for during a press, and the account turnover of a
// code cell.
#include "transfer/modules/forms/maly_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "form_fixture.h"
#include "suite/demo.h"
#include "transfer/modules/forms/conflict_form.h"
#include "ui/run_guard.h"
#include "ui/run_text.h"
#include "ui/show_state_form.h"

namespace xfer::transfer {
namespace {

namespace fs = std::filesystem;
using testing::DialogRecorder;
using testing::HostSession;
using testing::TestDir;

const char* kSource = "KELVARO_1_1402";
const char* kDest = "KELVARO_1_1403";

class MalyFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TestDir("maly");
    xfer_test::RemoveTree(dir_);
    suite::BuildDemoServer(dir_, {});
    server_ = engine::Server::Open(dir_, false);
    conn_ = std::make_unique<engine::Connection>(server_);
  }
  void TearDown() override {
    form_.reset();
    session_.reset();
    conn_.reset();
    server_.reset();
    xfer_test::RemoveTree(dir_);
  }
  void Show() {
    session_ = std::make_unique<HostSession>(dir_, kDest);
    session_->global.companyCode = "1";
    session_->global.periodStart = "1403/01/01";
    session_->global.periodEnd = "1403/12/29";
    form_ = std::make_unique<TXferMalyForm>([s = session_.get()] {
      return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    });
    form_->resize(900, 560);
    form_->show();
  }
  std::string Value(const std::string& sql) {
    auto sets = conn_->Execute("USE " + std::string(kDest) + " " + sql);
    if (sets.empty() || sets.back().rows.empty()) return "<none>";
    return engine::FormatValue(sets.back().rows[0][0]);
  }
  QTabWidget* Pages() { return form_->findChild<QTabWidget*>("Hesab_PageControl"); }
  QPushButton* Ok() { return form_->findChild<QPushButton*>("cmdOk"); }
  void Tab(const char* sheet) { Pages()->setCurrentWidget(form_->findChild<QWidget*>(sheet)); }
  // Marks a period the way the user does: its mark cell, then the space key.
  void MarkPeriod(const std::string& db) {
    auto* grid = form_->findChild<FrameGrid*>("dbgDorhMale");
    db::RecordSet* rs = grid->dataSet();
    for (long long r = 0; r < rs->RecordCount(); ++r) {
      rs->MoveTo(r);
      if (rs->Text("DBName") == db) {
        grid->setCurrentIndex(grid->model()->index(static_cast<int>(r), 0));
        QTest::keyClick(grid, Qt::Key_Space);
        return;
      }
    }
    ADD_FAILURE() << "no period " << db;
  }

  std::string dir_;
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<HostSession> session_;
  std::unique_ptr<TXferMalyForm> form_;
};

TEST_F(MalyFormTest, PeriodMarkOpensTheConfirmButtonOnTableTabs) {
  Show();
  auto* periods = form_->findChild<FrameGrid*>("dbgDorhMale");
  EXPECT_EQ(periods->model()->rowCount(), 3);  // every other period of the server
  EXPECT_FALSE(Ok()->isEnabled());
  Tab("Koll_TabSheet");
  EXPECT_FALSE(Ok()->isEnabled());  // no period marked yet
  Tab("ts_DorehMale");
  EXPECT_TRUE(form_->findChild<QPushButton*>("cmdServer")->isVisible());
  MarkPeriod("KELVARO_2_1402");
  MarkPeriod(kSource);  // the second mark clears the first
  EXPECT_EQ(form_->transfer()->MarkedDatabase(), kSource);
  EXPECT_FALSE(Ok()->isEnabled());
  Tab("Koll_TabSheet");
  EXPECT_TRUE(Ok()->isEnabled());
  EXPECT_FALSE(form_->findChild<QPushButton*>("cmdServer")->isVisible());
  // The level names of the company name the second-detail tab and its combo entries.
  const std::string level = form_->transfer()->namTafsily2();
  ASSERT_FALSE(level.empty());
  auto* sheet = form_->findChild<QWidget*>("Tafsily2_TabSheet");
  EXPECT_EQ(Pages()->tabText(Pages()->indexOf(sheet)).toStdString(), level);
  auto* combo = form_->findChild<QComboBox*>("cmbTafsily2");
  EXPECT_EQ(combo->itemText(0).toStdString(), "گروه " + level);
  EXPECT_EQ(combo->currentIndex(), 1);
}

TEST_F(MalyFormTest, OpeningVoucherKeepsTheConfirmButtonDisabledOnEveryTab) {
  conn_->Execute(std::string("USE ") + kDest +
                 " INSERT INTO Asnad (TypeSys, WhatDoc, SanadNo, SanadDate) VALUES ('M', '2', "
                 "'1', '1403/01/01')");
  Show();
  MarkPeriod(kSource);
  for (const char* sheet : {"Groh_TabSheet", "Koll_TabSheet", "Moein_TabSheet", "Tafsily_TabSheet",
                            "Tafsily2_TabSheet", "Project_TabSheet", "tsFixDes"}) {
    Tab(sheet);
    EXPECT_FALSE(Ok()->isEnabled()) << sheet;
  }
}

TEST_F(MalyFormTest, ConflictWindowReplacesTheMarkedRows) {
  Show();
  MarkPeriod(kSource);
  Tab("Moein_TabSheet");
  const long long before = std::stoll(Value("SELECT COUNT(*) FROM Moein"));
  const long long fresh = std::stoll(
      Value("SELECT COUNT(*) FROM " + std::string(kSource) +
            "..Moein s WHERE NOT EXISTS (SELECT * FROM Moein d WHERE d.Koll + d.Moein = s.Koll + "
            "s.Moein)"));
  DialogRecorder recorder;
  std::string markedKey;
  int offered = 0;
  bool checkEnabledBefore = true, checkEnabledAfter = false;
  recorder.On("THesabNotXferForm", [&](QWidget* w) {
    auto* window = static_cast<THesabNotXferForm*>(w);
    auto* grid = window->grid();
    auto* check = w->findChild<QPushButton*>("cmdOkCheck");
    offered = grid->model()->rowCount();
    checkEnabledBefore = check->isEnabled();
    // The second row's mark, by space; a double click on another column changes nothing.
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Space);
    grid->setCurrentIndex(grid->model()->index(0, 3));
    window->dbg_DblClick();
    db::RecordSet* rs = grid->dataSet();
    rs->MoveTo(1);
    markedKey = rs->Text("Koll") + rs->Text("Moein");
    checkEnabledAfter = check->isEnabled();
    QTest::mouseClick(check, Qt::LeftButton);
  });
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_GT(offered, 1);
  EXPECT_FALSE(checkEnabledBefore);
  EXPECT_TRUE(checkEnabledAfter);
  ASSERT_FALSE(markedKey.empty());
  // The marked row now has the source's values; the other clashing rows keep the period's.
  const std::string where = " WHERE Koll + Moein = '" + markedKey + "'";
  EXPECT_EQ(Value("SELECT NamHesab + IsActive FROM Moein" + where),
            Value("SELECT NamHesab + IsActive FROM " + std::string(kSource) + "..Moein" + where));
  EXPECT_EQ(Value("SELECT COUNT(*) FROM Moein"), std::to_string(before + fresh));
  EXPECT_EQ(Value("SELECT COUNT(*) FROM Xfer_RunUnit WHERE Replaced = 1"), "1");
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.back().text, "حسابهاي معين منتقل شد.");
  EXPECT_EQ(recorder.messages.back().kind, 'I');
  // The tab's grid shows the merged table.
  auto* grid = form_->findChild<FrameGrid*>("dbgMoein");
  EXPECT_EQ(std::to_string(grid->model()->rowCount()), Value("SELECT COUNT(*) FROM Moein"));
}

TEST_F(MalyFormTest, UsersTabReplacesTheUserTablesOfThePeriod) {
  conn_->Execute("USE " + std::string(kSource) +
                 " INSERT INTO UserHub (UserID, User_Name, User_Pass1, IsAdmin, IsActive, Kelvaro)"
                 " VALUES (9, 'NEWUSER', 'NEW9', 'F', 'T', '')");
  conn_->Execute("USE " + std::string(kDest) +
                 " INSERT INTO UserHub (UserID, User_Name, User_Pass1, IsAdmin, IsActive, Kelvaro)"
                 " VALUES (8, 'LOCAL', 'LOCAL8', 'F', 'T', '')");
  Show();
  ASSERT_EQ(Pages()->tabText(Pages()->indexOf(form_->findChild<QWidget*>("ts_User"))).toStdString(),
            "کاربران");
  Tab("ts_User");
  EXPECT_FALSE(Ok()->isEnabled());  // no period marked yet
  auto* grid = form_->findChild<FrameGrid*>("dbgUser");
  EXPECT_EQ(std::to_string(grid->model()->rowCount()), Value("SELECT COUNT(*) FROM UserHub"));
  Tab("ts_DorehMale");
  MarkPeriod(kSource);
  Tab("ts_User");
  ASSERT_TRUE(Ok()->isEnabled());
  DialogRecorder recorder;
  QTest::mouseClick(Ok(), Qt::LeftButton);
  const std::string users = Value("SELECT COUNT(*) FROM " + std::string(kSource) + "..UserHub");
  EXPECT_EQ(Value("SELECT COUNT(*) FROM UserHub"), users);
  EXPECT_EQ(Value("SELECT COUNT(*) FROM UserHub WHERE User_Pass1 = 'NEW9'"), "1");
  EXPECT_EQ(Value("SELECT COUNT(*) FROM UserHub WHERE User_Pass1 = 'LOCAL8'"), "0");
  EXPECT_EQ(Value("SELECT Outcome FROM Xfer_Run"), "OK");
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.back().text, "کاربران منتقل شد");
  EXPECT_EQ(recorder.messages.back().kind, 'E');
  // The grid shows the new user tables.
  EXPECT_EQ(std::to_string(grid->model()->rowCount()), users);
}

TEST_F(MalyFormTest, PrintTabAsksAboutAFormOfTheSameName) {
  // The period's form 1 has the name of the source's form 1; the user carries it under a new one.
  conn_->Execute("USE " + std::string(kDest) +
                 " UPDATE Prn_Form_T SET FrmName = 'سند حسابداري 2' WHERE WhatDoc = 'M' AND "
                 "FrmID = 1");
  Show();
  Tab("ts_DorehMale");
  MarkPeriod(kSource);
  Tab("ts_Prn");
  auto* grid = form_->findChild<FrameGrid*>("dbgPrn");
  EXPECT_EQ(grid->model()->rowCount(), 1);
  DialogRecorder recorder;
  std::string offered;
  recorder.On("FrmApply", [&](QWidget* w) {
    offered = w->findChild<QLabel*>("lbl1")->text().toStdString();
    w->findChild<QRadioButton*>("rb2")->setChecked(true);
    w->findChild<QLineEdit*>("Edit1")->setText("نسخه دوم");
    QTest::mouseClick(w->findChild<QPushButton*>("Button2"), Qt::LeftButton);
  });
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_NE(offered.find("سند حسابداري 2"), std::string::npos) << offered;
  EXPECT_EQ(Value("SELECT FrmID FROM Prn_Form_T WHERE WhatDoc = 'M' AND FrmName = 'نسخه دوم'"),
            "2");
  EXPECT_EQ(Value("SELECT FrmID FROM Prn_Form_T WHERE WhatDoc = 'M' AND "
                  "FrmName = 'سند حسابداري 3'"),
            "3");
  EXPECT_EQ(Value("SELECT COUNT(*) FROM Prn_Object_T WHERE WhatDoc = 'M' AND FrmID IN (2, 3)"),
            "6");
  EXPECT_EQ(Value("SELECT Outcome FROM Xfer_Run"), "OK");
  // The grid shows the period's layouts after the copy.
  EXPECT_EQ(grid->model()->rowCount(), 3);
}

TEST_F(MalyFormTest, ConflictWindowButtons) {
  // Each button decides on a fresh press of the same tab; Escape decides nothing.
  struct Case {
    const char* button;  // null: Escape
    bool invertFirst;
    bool replacedAll;
  };
  const Case kCases[] = {{"CancelBtn", false, false},
                         {nullptr, false, false},
                         {"cmdOkAll", false, true},
                         {"cmdOkCheck", true, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.button ? c.button : "Escape");
    TearDown();
    SetUp();
    Show();
    MarkPeriod(kSource);
    Tab("Koll_TabSheet");
    DialogRecorder recorder;
    std::string conflictTable;
    recorder.On("THesabNotXferForm", [&](QWidget* w) {
      auto* window = static_cast<THesabNotXferForm*>(w);
      conflictTable = form_->transfer()->periodList() + "Koll";
      if (c.invertFirst)
        QTest::mouseClick(w->findChild<QPushButton*>("cmdReserved"), Qt::LeftButton);
      if (c.button)
        QTest::mouseClick(w->findChild<QPushButton*>(c.button), Qt::LeftButton);
      else
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QTest::mouseClick(Ok(), Qt::LeftButton);
    const std::string differing =
        "SELECT COUNT(*) FROM Koll d JOIN " + std::string(kSource) +
        "..Koll s ON s.Koll = d.Koll WHERE s.NamHesab <> d.NamHesab OR s.IsActive <> d.IsActive";
    if (c.replacedAll)
      EXPECT_EQ(Value(differing), "0");
    else
      EXPECT_NE(Value(differing), "0");
    // Escape keeps the conflict table; every decision releases it.
    EXPECT_EQ(db::TempObjectExists(*session_->link.connection(), conflictTable), !c.button);
  }
}

TEST_F(MalyFormTest, CloseDuringAPressWaitsUntilItsTableIsWhole) {
  Show();
  MarkPeriod(kSource);
  Tab("Koll_TabSheet");
  EXPECT_FALSE(ui::RunGuard::Running(form_->window()));
  DialogRecorder recorder;
  bool decided = false, running = false, stopShown = false, openAfterQuestion = false;
  recorder.On("THesabNotXferForm", [&](QWidget* w) {
    if (decided) return;
    decided = true;
    running = ui::RunGuard::Running(form_->window());
    stopShown = session_->stateForm.stopButton()->isVisibleTo(&session_->stateForm);
    // The user closes the window while the clashing rows wait: asked, answered Yes.
    form_->window()->close();
    openAfterQuestion = form_->isVisible();
    QTest::mouseClick(w->findChild<QPushButton*>("cmdOkAll"), Qt::LeftButton);
  });
  QTest::mouseClick(Ok(), Qt::LeftButton);
  ASSERT_TRUE(decided);
  EXPECT_TRUE(running);
  EXPECT_TRUE(stopShown);
  EXPECT_TRUE(openAfterQuestion);
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.front().text, ui::run_text::kCloseQuestion);
  EXPECT_EQ(recorder.messages.front().kind, 'Q');
  // The table ended whole, every clashing row replaced, and then the window closed.
  EXPECT_EQ(Value("SELECT COUNT(*) FROM Koll d JOIN " + std::string(kSource) +
                  "..Koll s ON s.Koll = d.Koll WHERE s.NamHesab <> d.NamHesab OR s.IsActive <> "
                  "d.IsActive"),
            "0");
  EXPECT_EQ(Value("SELECT COUNT(*) FROM " + std::string(kSource) +
                  "..Koll s WHERE NOT EXISTS (SELECT * FROM Koll d WHERE d.Koll = s.Koll)"),
            "0");
  EXPECT_FALSE(ui::RunGuard::Running(form_->window()));
  EXPECT_FALSE(session_->stateForm.stopButton()->isVisibleTo(&session_->stateForm));
  QTest::qWait(20);
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(MalyFormTest, DoubleClickOnAnAccountCodeShowsItsTurnover) {
  Show();
  MarkPeriod(kSource);
  Tab("Moein_TabSheet");
  auto* grid = form_->findChild<FrameGrid*>("dbgMoein");
  // The popup of an account grid offers the turnover; the period grid's does not.
  EXPECT_NE(grid->findChild<QAction*>("GardeshItem"), nullptr);
  EXPECT_EQ(form_->findChild<FrameGrid*>("dbgDorhMale")->findChild<QAction*>("GardeshItem"),
            nullptr);
  DialogRecorder recorder;
  int lines = -1;
  std::string balance, lastTitle;
  recorder.On("GardeshWindow", [&](QWidget* w) {
    // The toolkit's report grid: its lines, the running balance at the end, its own popup.
    auto* lineGrid = w->findChild<FrameGrid*>("dbgGardesh");
    db::RecordSet* rs = lineGrid->dataSet();
    lines = static_cast<int>(rs->RecordCount());
    if (lines > 0) {
      rs->MoveTo(rs->RecordCount() - 1);
      balance = rs->Text("Mande");
    }
    lastTitle = lineGrid->model()
                    ->headerData(lineGrid->columnOf("Mande"), Qt::Horizontal)
                    .toString()
                    .toStdString();
    w->close();
  });
  grid->setCurrentIndex(grid->model()->index(0, grid->columnOf("Koll")));
  form_->dbg_DblClick();
  const std::string koll = grid->dataSet()->Text("Koll");
  EXPECT_EQ(form_->lastTurnover(), "REPORT=GARDESH_HESAB;PAGE=K;K=" + koll +
                                       ";COND=SANADDATE;FR=1403/01/01;TO=1403/12/29;");
  EXPECT_EQ(std::to_string(lines),
            Value("SELECT COUNT(*) FROM Asnad WHERE TypeSys = 'M' AND Koll = '" + koll + "'"));
  ASSERT_GT(lines, 0);
  EXPECT_DOUBLE_EQ(
      std::stod(balance),
      std::stod(Value("SELECT SUM(Bed) - SUM(Bes) FROM Asnad WHERE TypeSys = 'M' "
                      "AND Koll = '" +
                      koll + "' AND SanadDate BETWEEN '1403/01/01' AND '1403/12/29'")));
  EXPECT_EQ(lastTitle, "مانده");
  // A name cell opens nothing.
  lines = -1;
  grid->setCurrentIndex(grid->model()->index(0, grid->columnOf("NamHesab")));
  form_->dbg_DblClick();
  EXPECT_EQ(lines, -1);
}

}  // namespace
}  // namespace xfer::transfer
