// The base-information form inside a stand-in of the host's window (a menu bar, a container with
// another form beside it), driven as a user drives it: what waits while a run executes, a
// confirmed close that stops between tables, the summary's counts against the databases, the
// questions and refusals before a run, reopening the form, and dialogs placed on their window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include "db/dialogs.h"
#include "db/registry.h"
#include "form_fixture.h"
#include "transfer/base/base_transfer.h"
#include "transfer/forms/kol_form.h"
#include "transfer/forms/kol_form_text.h"
#include "transfer/modules/forms/conflict_form.h"
#include "ui/persian_display.h"
#include "ui/run_guard.h"
#include "ui/run_summary.h"
#include "ui/run_text.h"

namespace xfer::transfer {
namespace {

using testing::DialogRecorder;
using testing::HostSession;
using testing::ServerFixture;
using testing::TestDir;

const char* kOld = "KELVARO_7_1402";
const char* kNew = "KELVARO_7_1403";

// Accounting tables in the order the block carries them, with rows in the older period.
const char* const kFilled[] = {"GROH", "KOLL", "MOEIN", "TAFSILY"};

void FillAccounting(ServerFixture& s, const std::string& db) {
  s.Run(db,
        "INSERT INTO GROH (Groh, NamHesab) VALUES ('1', 'دارايي'), ('2', 'بدهي'), ('3', 'سرمايه') "
        "INSERT INTO KOLL (Koll, NamHesab) VALUES ('11', 'K11'), ('12', 'K12') "
        "INSERT INTO MOEIN (Koll, Moein, NamHesab) VALUES ('11', '01', 'M1'), ('11', '02', 'M2') "
        "INSERT INTO TAFSILY (Tafsily, NamHesab) VALUES ('T1', 'one'), ('T2', 'two')");
}

class RunDisciplineTest : public ::testing::Test {
 protected:
  // The host's window logged into `dest`; the kol form and another form in its container.
  void Open(const char* dest) {
    server_ = std::make_unique<ServerFixture>(TestDir("run"));
    server_->Period("7", "1402");
    server_->Period("7", "1403");
    FillAccounting(*server_, kOld);
    session_ = std::make_unique<HostSession>(server_->directory, dest);
    session_->global.today = "1403/02/03";
    window_.setMenuBar(new QMenuBar);
    window_.menuBar()->addMenu("menu")->addAction("open");
    auto* container = new QWidget;
    window_.setCentralWidget(container);
    auto* stack = new QStackedLayout(container);
    other_ = new QWidget;
    other_->setObjectName("OtherForm");
    stack->addWidget(other_);
    form_ = new TXferKolForm([s = session_.get()] {
      return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    });
    stack->addWidget(form_);
    stack->setCurrentWidget(form_);
    window_.resize(1000, 700);
    window_.move(40, 30);
    window_.show();
    QApplication::processEvents();
  }
  void TearDown() override {
    if (form_) form_->summary() ? form_->summary()->close() : false;
    QApplication::processEvents();
  }

  template <typename T>
  T* Child(const char* name) {
    T* w = form_->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void ChoosePeriod(const std::string& db) {
    auto* combo = Child<QComboBox>("cmbCompany");
    for (int i = 0; i < combo->count(); ++i)
      if (db::SourceDatabaseOf(combo->itemData(i).toString().toStdString()) == db)
        combo->setCurrentIndex(i);
  }
  void PressOk() { QTest::mouseClick(Child<QPushButton>("cmdOk"), Qt::LeftButton); }
  long long Count(const std::string& db, const std::string& table) {
    return std::stoll(server_->Value(db, "SELECT COUNT(*) FROM " + table));
  }
  // Calls `step` at every turn of the event loop while a run pumps it.
  void DuringRun(std::function<void()> step) {
    spy_.setInterval(0);
    QObject::connect(&spy_, &QTimer::timeout, std::move(step));
    spy_.start();
  }
  std::string Caption(const char* table) {
    const BaseTableDescriptor* d = FindDescriptor(table);
    return ExpandLevelNames(d->name, form_->transfer()->namTafsily2(),
                            form_->transfer()->namProject());
  }

  DialogRecorder recorder_;
  QTimer spy_;
  std::unique_ptr<ServerFixture> server_;
  std::unique_ptr<HostSession> session_;
  QMainWindow window_;
  QWidget* other_ = nullptr;
  TXferKolForm* form_ = nullptr;
};

TEST_F(RunDisciplineTest, MenuAndOtherFormsWaitWhileARunExecutes) {
  Open(kNew);
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  struct Seen {
    std::string unit;
    QString counter;
    bool menu, other, running, stopShown;
  };
  std::vector<Seen> seen;
  DuringRun([&] {
    ui::TShowStateForm& state = session_->stateForm;
    if (!state.isVisible() || state.unit().isEmpty()) return;
    seen.push_back({state.unit().toStdString(), state.unitLine(), window_.menuBar()->isEnabled(),
                    other_->isEnabled(), ui::RunGuard::Running(&window_),
                    state.stopButton()->isVisible()});
  });
  PressOk();
  spy_.stop();
  ASSERT_FALSE(seen.empty());
  for (const Seen& s : seen) {
    EXPECT_FALSE(s.menu) << s.unit;
    EXPECT_FALSE(s.other) << s.unit;
    EXPECT_TRUE(s.running) << s.unit;
    EXPECT_TRUE(s.stopShown) << s.unit;
  }
  // The progress window named the tables by caption and counted them, done of all.
  const size_t units = form_->transfer()->report().units.size();
  EXPECT_EQ(seen.front().unit, Caption("GROH"));
  EXPECT_EQ(seen.front().counter, ui::ForDisplay(Caption("GROH")) + "  (" + ui::PersianNumber(0) +
                                      QString::fromUtf8(ui::run_text::kOf) +
                                      ui::PersianNumber(static_cast<long long>(units)) + ")");
  const long long all = static_cast<long long>(units);
  EXPECT_EQ(seen.back().counter, ui::ForDisplay(form_->transfer()->report().units.back().name) +
                                     "  (" + ui::PersianNumber(all - 1) +
                                     QString::fromUtf8(ui::run_text::kOf) + ui::PersianNumber(all) +
                                     ")");
  // Afterwards everything is back and the summary is open on the window.
  EXPECT_TRUE(window_.menuBar()->isEnabled());
  EXPECT_TRUE(other_->isEnabled());
  EXPECT_TRUE(form_->isEnabled());
  EXPECT_FALSE(ui::RunGuard::Running(&window_));
  EXPECT_FALSE(session_->stateForm.stopButton()->isVisible());
  ASSERT_NE(form_->summary(), nullptr);
  EXPECT_TRUE(form_->summary()->isVisible());
}

TEST_F(RunDisciplineTest, ConfirmedCloseStopsBetweenTablesWithEveryTableWhole) {
  Open(kNew);
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  const std::string third = Caption("MOEIN");
  bool asked = false;
  DuringRun([&] {
    if (asked || session_->stateForm.unit().toStdString() != third) return;
    asked = true;
    window_.close();  // answered Yes by the recorder
  });
  PressOk();
  spy_.stop();
  ASSERT_TRUE(asked);
  ASSERT_FALSE(recorder_.messages.empty());
  EXPECT_EQ(recorder_.messages[0].text, ui::run_text::kCloseQuestion);
  EXPECT_EQ(recorder_.messages[0].kind, 'Q');
  // No completion message: the block did not end.
  for (const auto& m : recorder_.messages) EXPECT_NE(m.kind, 'I') << m.text;

  const RunReport& report = form_->transfer()->report();
  EXPECT_TRUE(report.stopped);
  ASSERT_EQ(report.units.size(), 3u);  // the table in progress finished, no other began
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(report.units[i].table, kFilled[i]);
    EXPECT_EQ(Count(kNew, kFilled[i]), Count(kOld, kFilled[i])) << kFilled[i];
  }
  EXPECT_EQ(Count(kNew, "TAFSILY"), 0);
  // The window stayed open through the run and closes once it has ended; no summary.
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(form_->summary(), nullptr);
  QTest::qWait(20);
  EXPECT_FALSE(window_.isVisible());
}

TEST_F(RunDisciplineTest, StopButtonAsksAndStopsAfterTheTableInProgress) {
  Open(kNew);
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  const std::string second = Caption("KOLL");
  bool pressed = false;
  DuringRun([&] {
    if (pressed || session_->stateForm.unit().toStdString() != second) return;
    pressed = true;
    session_->stateForm.stopButton()->click();
  });
  PressOk();
  spy_.stop();
  ASSERT_TRUE(pressed);
  ASSERT_FALSE(recorder_.messages.empty());
  EXPECT_EQ(recorder_.messages[0].text, ui::run_text::kStopQuestion);
  const RunReport& report = form_->transfer()->report();
  EXPECT_TRUE(report.stopped);
  ASSERT_EQ(report.units.size(), 2u);
  EXPECT_EQ(Count(kNew, "KOLL"), Count(kOld, "KOLL"));
  EXPECT_EQ(Count(kNew, "MOEIN"), 0);
  // The window stays; the summary says the run was stopped.
  EXPECT_TRUE(window_.isVisible());
  ASSERT_NE(form_->summary(), nullptr);
  EXPECT_EQ(form_->summary()->findChild<QLabel*>("lblOutcome")->text(),
            ui::ForDisplay(ui::run_text::kOutcomeStopped));
}

TEST_F(RunDisciplineTest, SummaryCountsMatchTheDatabases) {
  Open(kNew);
  // Two rows already in the destination: one clashing key, one of its own.
  server_->Run(kNew, "INSERT INTO GROH (Groh, NamHesab) VALUES ('2', 'kept'), ('9', 'own')");
  const long long before = Count(kNew, "GROH");
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  PressOk();
  ASSERT_NE(form_->summary(), nullptr);
  auto* table = form_->summary()->findChild<QTableWidget*>("tblUnits");
  ASSERT_NE(table, nullptr);
  const RunReport& report = form_->transfer()->report();
  ASSERT_EQ(table->rowCount(), static_cast<int>(report.units.size()) + 1);
  using S = ui::TRunSummary;
  auto cell = [&](const char* tableName, int column) {
    for (int r = 0; r < table->rowCount() - 1; ++r)
      if (table->item(r, S::kCaption)->toolTip() == tableName)
        return table->item(r, column)->text();
    return QString("<missing>");
  };
  const long long source = Count(kOld, "GROH"), after = Count(kNew, "GROH");
  const long long clashing =
      std::stoll(server_->Value(kNew, "SELECT COUNT(*) FROM GROH WHERE NamHesab = 'kept'"));
  EXPECT_EQ(cell("GROH", S::kSourceRows), ui::PersianNumber(source));
  EXPECT_EQ(cell("GROH", S::kCarried), ui::PersianNumber(after - before));
  EXPECT_EQ(cell("GROH", S::kKept), ui::PersianNumber(clashing));
  for (const char* t : {"KOLL", "MOEIN", "TAFSILY"}) {
    EXPECT_EQ(cell(t, S::kSourceRows), ui::PersianNumber(Count(kOld, t))) << t;
    EXPECT_EQ(cell(t, S::kCarried), ui::PersianNumber(Count(kNew, t))) << t;
    EXPECT_EQ(cell(t, S::kKept), ui::PersianNumber(0)) << t;
  }
  // The caption in Persian display; the kept rows explained; no unit chosen, nothing to open.
  for (int r = 0; r < table->rowCount() - 1; ++r) {
    if (table->item(r, S::kCaption)->toolTip() == "KOLL") {
      EXPECT_EQ(table->item(r, S::kCaption)->text(), ui::ForDisplay(Caption("KOLL")));
    }
  }
  EXPECT_TRUE(form_->summary()->findChild<QLabel*>("lblKept")->isVisibleTo(form_->summary()));
  auto* conflicts = form_->summary()->findChild<QPushButton*>("cmdConflicts");
  EXPECT_FALSE(conflicts->isEnabled());
  // The completion message still came, as before.
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0].kind, 'I');
}

TEST_F(RunDisciplineTest, KeptRowsGoFromTheSummaryToTheConflictWindow) {
  Open(kNew);
  server_->Run(kNew, "INSERT INTO GROH (Groh, NamHesab) VALUES ('1', 'kept'), ('2', 'kept')");
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  PressOk();
  ASSERT_NE(form_->summary(), nullptr);
  auto* table = form_->summary()->findChild<QTableWidget*>("tblUnits");
  auto* conflicts = form_->summary()->findChild<QPushButton*>("cmdConflicts");
  auto choose = [&](const char* tableName) {
    for (int r = 0; r < table->rowCount() - 1; ++r)
      if (table->item(r, ui::TRunSummary::kCaption)->toolTip() == tableName)
        table->setCurrentCell(r, 0);
  };
  choose("KOLL");  // nothing kept
  EXPECT_FALSE(conflicts->isEnabled());
  choose("GROH");
  ASSERT_TRUE(conflicts->isEnabled());
  EXPECT_EQ(conflicts->toolTip(), ui::ForDisplay(ui::run_text::kConflictsHint));

  // The window is the accounting form's own: every source row whose key is here now, the kept
  // ones among them. The user marks the kept row '1' and replaces the marked.
  int offered = 0;
  bool running = false;
  recorder_.On("THesabNotXferForm", [&](QWidget* w) {
    FrameGrid* grid = static_cast<THesabNotXferForm*>(w)->grid();
    offered = grid->model()->rowCount();
    running = ui::RunGuard::Running(&window_);
    db::RecordSet* rs = grid->dataSet();
    for (long long r = 0; r < rs->RecordCount(); ++r) {
      rs->MoveTo(r);
      if (rs->Text("Groh") != "1") continue;
      grid->setCurrentIndex(grid->model()->index(static_cast<int>(r), 0));
      QTest::keyClick(grid, Qt::Key_Space);
      break;
    }
    QTest::mouseClick(w->findChild<QPushButton*>("cmdOkCheck"), Qt::LeftButton);
  });
  QTest::mouseClick(conflicts, Qt::LeftButton);
  EXPECT_EQ(offered, Count(kOld, "GROH"));
  EXPECT_TRUE(running);
  EXPECT_EQ(server_->Value(kNew, "SELECT NamHesab FROM GROH WHERE Groh = '1'"),
            server_->Value(kOld, "SELECT NamHesab FROM GROH WHERE Groh = '1'"));
  EXPECT_EQ(server_->Value(kNew, "SELECT NamHesab FROM GROH WHERE Groh = '2'"), "kept");
  EXPECT_EQ(Count(kNew, "GROH"), Count(kOld, "GROH"));
  EXPECT_TRUE(window_.menuBar()->isEnabled());

  // Once the period holds an opening voucher its accounts are frozen: said, nothing replaced.
  server_->Run(kNew, "INSERT INTO Asnad (TypeSys, WhatDoc, SanadNo) VALUES ('M', '2', '1')");
  recorder_.messages.clear();
  QTest::mouseClick(conflicts, Qt::LeftButton);
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0].text, form_text::kKeptRowsGated);
  EXPECT_EQ(server_->Value(kNew, "SELECT COUNT(*) FROM GROH WHERE NamHesab = 'kept'"), "1");
}

TEST_F(RunDisciplineTest, ServerErrorEndsTheRunWithAPersianLineAndTheSummary) {
  Open(kNew);
  server_->Run(kNew, "DROP TABLE MOEIN");
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  PressOk();
  ASSERT_EQ(recorder_.messages.size(), 1u);
  const std::string& shown = recorder_.messages[0].text;
  EXPECT_EQ(shown.rfind(db::kCommandErrorLine, 0), 0u) << shown;
  EXPECT_NE(shown.find("MOEIN"), std::string::npos) << shown;
  EXPECT_EQ(recorder_.messages[0].kind, 'E');
  // The tables before stay carried; the summary names the one that failed.
  EXPECT_EQ(Count(kNew, "KOLL"), Count(kOld, "KOLL"));
  EXPECT_EQ(Count(kNew, "TAFSILY"), 0);
  EXPECT_TRUE(window_.menuBar()->isEnabled());
  EXPECT_TRUE(form_->isEnabled());
  EXPECT_FALSE(session_->stateForm.isVisible());
  ASSERT_NE(form_->summary(), nullptr);
  const RunReport& report = form_->transfer()->report();
  ASSERT_EQ(report.units.size(), 3u);
  EXPECT_EQ(report.units[2].name, Caption("MOEIN"));
  EXPECT_FALSE(report.units[2].error.empty());
}

TEST_F(RunDisciplineTest, RefusalsAndTheBackwardsQuestionBeforeARun) {
  Open(kOld);  // logged into the older period; the newer one is offered as source
  server_->Run(kNew, "INSERT INTO KOLL (Koll, NamHesab) VALUES ('77', 'newer')");
  ChoosePeriod(kNew);
  // The form shows both periods with their dates.
  EXPECT_EQ(Child<QLabel>("lblSourceDates")->text(),
            ui::ForDisplay(form_text::kSourceDatesLabel) + ui::ForDisplay("1403/01/01") +
                ui::ForDisplay(form_text::kDatesTo) + ui::ForDisplay("1403/12/29"));
  EXPECT_TRUE(Child<QLabel>("lblDestination")->text().contains(kOld));
  EXPECT_TRUE(Child<QLabel>("lblDestination")->text().contains(ui::ForDisplay("1402/01/01")));

  PressOk();  // nothing ticked
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0].text, text::kChooseModule);
  EXPECT_EQ(recorder_.messages[0].kind, 'E');
  EXPECT_EQ(form_->summary(), nullptr);

  Child<QCheckBox>("chkMaly")->setChecked(true);
  PressOk();  // the recorder answers Yes
  ASSERT_GE(recorder_.messages.size(), 2u);
  const std::string& question = recorder_.messages[1].text;
  EXPECT_EQ(recorder_.messages[1].kind, 'Q');
  EXPECT_NE(question.find(kNew), std::string::npos) << question;
  EXPECT_NE(question.find(kOld), std::string::npos) << question;
  EXPECT_EQ(server_->Value(kOld, "SELECT NamHesab FROM KOLL WHERE Koll = '77'"), "newer");
}

TEST_F(RunDisciplineTest, ReopeningKeepsTheSourceAndTheOptionsPanel) {
  Open(kNew);
  ChoosePeriod(kOld);
  Child<QCheckBox>("chkSazmandehi")->setChecked(true);
  auto* stack = qobject_cast<QStackedLayout*>(window_.centralWidget()->layout());
  stack->setCurrentWidget(other_);
  stack->setCurrentWidget(form_);  // shown again, as the menu does
  QApplication::processEvents();
  auto* combo = Child<QComboBox>("cmbCompany");
  ASSERT_GE(combo->currentIndex(), 0);
  EXPECT_EQ(db::SourceDatabaseOf(combo->currentData().toString().toStdString()), kOld);
  EXPECT_TRUE(Child<QWidget>("pnlCondSazmandehi")->isVisible());
  Child<QCheckBox>("chkSazmandehi")->setChecked(false);
  stack->setCurrentWidget(other_);
  stack->setCurrentWidget(form_);
  EXPECT_FALSE(Child<QWidget>("pnlCondSazmandehi")->isVisible());
}

TEST_F(RunDisciplineTest, DialogsSitInsideTheirWindowAndShowTheirWholeText) {
  Open(kNew);
  const QRect frame = window_.frameGeometry();
  ui::TDlgMsg dlg(&window_);
  // The structure message is the longest the form shows before a run.
  dlg.Prepare(QString::fromStdString(db::StructureMessage(kNew)), "", "1ER");
  EXPECT_TRUE(frame.contains(dlg.geometry())) << dlg.geometry().x() << "," << dlg.geometry().y();
  EXPECT_LE(std::abs(dlg.geometry().center().x() - frame.center().x()), 1);
  EXPECT_LE(std::abs(dlg.geometry().center().y() - frame.center().y()), 1);
  dlg.show();
  QApplication::processEvents();
  auto* memo = dlg.findChild<QTextEdit*>("Memo1");
  EXPECT_GT(dlg.memoLineCount(), 4);
  EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0) << "every line shows";
  EXPECT_LE(memo->geometry().bottom(), dlg.findChild<QPushButton*>("BBtnOK1")->geometry().top());
  dlg.hide();

  // The server button's connection form opens on the window too.
  QRect remote;
  recorder_.On("RemoteForm", [&](QWidget* w) {
    remote = w->frameGeometry();
    w->findChild<QPushButton*>("CancelBitBtn")->click();
  });
  QTest::mouseClick(Child<QPushButton>("cmdServer"), Qt::LeftButton);
  ASSERT_FALSE(remote.isEmpty());
  EXPECT_TRUE(frame.contains(remote));

  ChoosePeriod(kOld);
  Child<QCheckBox>("chkMaly")->setChecked(true);
  PressOk();
  ASSERT_NE(form_->summary(), nullptr);
  EXPECT_TRUE(frame.contains(form_->summary()->frameGeometry()));
}

}  // namespace
}  // namespace xfer::transfer
