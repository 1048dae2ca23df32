// The automatic transfer form driven offscreen on a demo server: a ticked box enables its
// button, the button opens the import form in the lower panel, the final confirmation starts
// every opened import whose interval is filled, and each import's labels on the launcher take the
// texts and colours of its runs as ticks (triggered here) come: applied, source lost, found again.
#include "import/forms/xfer_auto_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "import/forms/auto_text.h"
#include "import/forms/import_maly_form.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "suite/demo.h"
#include "tests/import/import_fixture.h"
#include "tests/transfer/forms/form_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/caption_panel.h"
#include "ui/persian_display.h"

namespace xfer::import {
namespace {

namespace fs = std::filesystem;
using xfer::testing::DialogRecorder;
using xfer::testing::HostSession;

const QColor kGreenText(0, 128, 0);
const QColor kRedText(255, 0, 0);

QString Shown(const std::string& text) {
  return ui::ForDisplay(text);
}
QString Done(int count) {
  return Shown(std::string(text::kDone) + " " + std::to_string(count));
}
QColor ColourOf(const QLabel* label) {
  return label->palette().color(QPalette::WindowText);
}

class XferAutoFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::CopyOfDemo("auto_form");
    session_ = std::make_unique<HostSession>(dir_, "KELVARO_1_1403");
    session_->global.companyCode = "1";
    session_->global.userId = "1";
    source_ = [s = session_.get()] {
      return transfer::FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    };
  }
  void TearDown() override {
    form_.reset();
    ReleaseImportForms();
    session_.reset();
    xfer_test::RemoveTree(dir_);
  }
  void Show(std::span<const ImportFormEntry> forms = ImportForms()) {
    form_ = std::make_unique<TXferAutoForm>(source_, nullptr, forms);
    form_->resize(1000, 700);
    form_->show();
  }
  // Opens row `i`'s import form through its check box and button.
  TImportMalyForm* Open(size_t i) {
    const TXferAutoForm::Row& row = form_->rows().at(i);
    QTest::mouseClick(row.chk, Qt::LeftButton);
    EXPECT_TRUE(row.btn->isEnabled());
    QTest::mouseClick(row.btn, Qt::LeftButton);
    return static_cast<TImportMalyForm*>(form_->importForm(i));
  }
  // The import set up on its form: a source period, a date range, accounts copied when missing.
  static void SetUpImport(TImportMalyForm* f, int period, const QString& minutes) {
    f->cmbDorehMale->setCurrentIndex(period);
    f->chbDate->setChecked(true);
    f->chbDateClick();
    f->mMonth1->setText("01");
    f->mMonth2->setText("02");
    f->mDay2->setText("31");
    f->chbEntegalPaye->setChecked(true);
    f->EdtAutoMin->setText(minutes);
    f->EdtAutoMinChange();
  }
  long long Vouchers() {
    return std::stoll(
        db::ScalarText(*session_->link.connection(), "SELECT COUNT(DISTINCT SanadNo) FROM Asnad"));
  }

  DialogRecorder recorder_;
  std::string dir_;
  std::unique_ptr<HostSession> session_;
  transfer::SessionSource source_;
  std::unique_ptr<TXferAutoForm> form_;
};

TEST_F(XferAutoFormTest, OpensStartsAndShowsEachRunOnTheModulesLabels) {
  Show();
  EXPECT_EQ(form_->objectName(), "TXferAutoForm");
  EXPECT_EQ(form_->windowTitle().toStdString(), text::kAutoCaption);
  EXPECT_EQ(form_->Caption_Panel->text(), Shown(text::kAutoCaption));
  EXPECT_EQ(form_->cmdOk->text(), Shown(text::kAutoConfirm));
  EXPECT_EQ(form_->layoutDirection(), Qt::RightToLeft);
  ASSERT_EQ(form_->rows().size(), ImportForms().size());
  auto* chkMaly = form_->findChild<QCheckBox*>("chkMaly");
  auto* btnMaly = form_->findChild<QPushButton*>("btnMaly");
  auto* lblMaly = form_->findChild<QLabel*>("lblMaly");
  auto* lblMalyState = form_->findChild<QLabel*>("lblMalyState");
  ASSERT_TRUE(chkMaly && btnMaly && lblMaly && lblMalyState);
  EXPECT_EQ(chkMaly->text(), Shown("حسابداري"));
  EXPECT_EQ(btnMaly->text(), Shown("انتقال حسابداري"));
  EXPECT_FALSE(btnMaly->isEnabled());

  // The final confirmation before any import was opened starts nothing.
  form_->cmdOkClick();
  EXPECT_EQ(form_->importForm(0), nullptr);

  TImportMalyForm* maly = Open(0);
  ASSERT_NE(maly, nullptr);
  EXPECT_TRUE(form_->pnlBottom->isAncestorOf(maly));
  EXPECT_TRUE(maly->isVisible());
  EXPECT_EQ(lblMalyState->text(), Shown(text::kAutoOff));
  EXPECT_EQ(ColourOf(lblMalyState), kRedText);

  // The start asks for a period first, on the launcher's label.
  maly->EdtAutoMin->setText("5");
  form_->cmdOkClick();
  EXPECT_FALSE(maly->TimerAuto->isActive());
  EXPECT_EQ(lblMaly->text(), Shown(text::kNoPeriod));
  EXPECT_EQ(ColourOf(lblMaly), kRedText);

  // Opened but with a blank interval: not started.
  lblMaly->clear();
  SetUpImport(maly, 0, "");
  form_->cmdOkClick();
  EXPECT_FALSE(maly->TimerAuto->isActive());
  EXPECT_TRUE(lblMaly->text().isEmpty());

  long long before = Vouchers();
  SetUpImport(maly, 0, "5");
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  EXPECT_TRUE(maly->TimerAuto->isActive());
  EXPECT_EQ(maly->TimerAuto->interval(), 300000);
  EXPECT_EQ(lblMalyState->text(), Shown(text::kAutoOn));
  EXPECT_EQ(ColourOf(lblMalyState), kGreenText);
  EXPECT_EQ(lblMaly->text(), Done(1));
  EXPECT_EQ(ColourOf(lblMaly), kGreenText);
  long long once = Vouchers() - before;
  EXPECT_GT(once, 0);

  maly->TimerAutoTimer();  // the timer's event, triggered here
  EXPECT_EQ(lblMaly->text(), Done(2));
  EXPECT_EQ(Vouchers(), before + 2 * once);

  // Unticking disables the button and leaves the running import alone.
  QTest::mouseClick(chkMaly, Qt::LeftButton);
  EXPECT_FALSE(btnMaly->isEnabled());
  EXPECT_EQ(form_->importForm(0), maly);
  EXPECT_TRUE(maly->TimerAuto->isActive());
  EXPECT_TRUE(recorder_.messages.empty()) << "every message went to the launcher's labels";

  // Closing the launcher leaves the import running in its own variable; a new launcher shows it.
  form_.reset();
  ASSERT_EQ(ImportFormVariable("Maly").data(), maly);
  EXPECT_TRUE(maly->TimerAuto->isActive());
  Show();
  EXPECT_EQ(form_->importForm(0), maly);
  EXPECT_TRUE(form_->pnlBottom->isAncestorOf(maly));
  EXPECT_TRUE(form_->rows()[0].chk->isChecked());
  maly->TimerAutoTimer();
  EXPECT_EQ(form_->rows()[0].lbl->text(), Done(3));
}

TEST_F(XferAutoFormTest, ALostSourceTurnsTheLabelRedAndTheNextTickFindsItAgain) {
  std::string remote = dir_ + "_remote";
  std::string away = dir_ + "_away";
  xfer_test::RemoveTree(remote);
  suite::BuildRemoteDemoServer(remote, dir_, suite::DemoOptions{});
  Show();
  TImportMalyForm* maly = Open(0);
  ASSERT_NE(maly, nullptr);
  maly->setServersFile(QString::fromStdString(dir_ + "/servers.ini"));
  xfer::testing::ModalScript script;
  script.Answer("RemoteForm", [&](QWidget* w) {
    w->findChild<QComboBox*>("cmbServerName")->setEditText(QString::fromStdString(remote));
    QTest::mouseClick(w->findChild<QPushButton*>("OkBitBtn"), Qt::LeftButton);
  });
  maly->cmdServerClick();
  ASSERT_TRUE(maly->maly()->RemoteSource());
  SetUpImport(maly, 0, "1");
  maly->chbDate->setChecked(false);
  maly->chbDateClick();
  form_->cmdOkClick();
  const QLabel* lbl = form_->rows()[0].lbl;
  ASSERT_EQ(lbl->text(), Done(1));

  fs::rename(remote, away);
  maly->TimerAutoTimer();
  EXPECT_EQ(lbl->text(), Shown(text::kNoConnection));
  EXPECT_EQ(ColourOf(lbl), kRedText);
  EXPECT_TRUE(maly->TimerAuto->isActive()) << "the next tick tries again";
  EXPECT_THROW(maly->maly()->RemoteQuery(), std::exception) << "never this server instead";
  EXPECT_EQ(form_->rows()[0].lblState->text(), Shown(text::kAutoOn));

  fs::rename(away, remote);
  maly->TimerAutoTimer();
  EXPECT_EQ(lbl->text(), Done(2));
  EXPECT_EQ(ColourOf(lbl), kGreenText);
  EXPECT_TRUE(recorder_.messages.empty());
  ReleaseImportForms();
  xfer_test::RemoveTree(remote);
}

TEST_F(XferAutoFormTest, TwoImportsRunTheirTimersSideBySide) {
  // The voucher import twice, from two source periods: two forms, two timers, one thread.
  const ImportFormEntry twice[] = {
      ImportForms()[0], {"maly", "Maly2", ImportForms()[0].make, ImportForms()[0].startEdit}};
  Show(twice);
  TImportMalyForm* first = Open(0);
  // The second form is shown at another time, so its temporary tables are its own.
  session_->date.clock = [] { return db::ClockTime{2, 2, 2, 9}; };
  TImportMalyForm* second = Open(1);
  ASSERT_TRUE(first && second && first != second);
  ASSERT_NE(first->maly()->importTable(), second->maly()->importTable());
  SetUpImport(first, 0, "3");   // 1402 of this company
  SetUpImport(second, 2, "7");  // 1403 of the other company
  second->afterButtons->button(kNewId)->setChecked(true);
  long long before = Vouchers();
  form_->cmdOkClick();
  EXPECT_TRUE(first->TimerAuto->isActive());
  EXPECT_TRUE(second->TimerAuto->isActive());
  EXPECT_EQ(second->TimerAuto->interval(), 7 * 60000);
  EXPECT_EQ(form_->rows()[0].lbl->text(), Done(1));
  EXPECT_EQ(form_->rows()[1].lbl->text(), Done(1));
  long long once = Vouchers() - before;
  EXPECT_GT(once, first->maly()->candidateVouchers());

  first->TimerAutoTimer();
  second->TimerAutoTimer();
  EXPECT_EQ(form_->rows()[0].lbl->text(), Done(2));
  EXPECT_EQ(form_->rows()[1].lbl->text(), Done(2));
  EXPECT_EQ(Vouchers(), before + 2 * once);
  EXPECT_TRUE(recorder_.messages.empty());
}

}  // namespace
}  // namespace xfer::import
