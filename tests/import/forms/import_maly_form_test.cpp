// The voucher import form driven offscreen as a user drives it on a demo server: choosing the
// source fills the ranges, the report item loads the candidates into the grid, the confirm button
// applies them once, and automatic mode runs at its start and on a timer tick triggered here.
#include "import/forms/import_maly_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "db/text_util.h"
#include "import/forms/select_asnad_form.h"
#include "import/import_text.h"
#include "import/maly_text.h"
#include "suite/demo.h"
#include "tests/import/import_fixture.h"
#include "tests/transfer/forms/form_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/grid/db_grid.h"
#include "ui/run_guard.h"
#include "ui/run_text.h"

namespace xfer::import {
namespace {

using xfer::testing::DialogRecorder;
using xfer::testing::HostSession;

class ImportMalyFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::CopyOfDemo("form");
    session_ = std::make_unique<HostSession>(dir_, "KELVARO_1_1403");
    session_->global.companyCode = "1";
    session_->global.userId = "1";
    form_ = std::make_unique<TImportMalyForm>([s = session_.get()] {
      return transfer::FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    });
    form_->resize(900, 600);
    form_->show();
  }
  void TearDown() override {
    form_.reset();
    session_.reset();
    xfer_test::RemoveTree(dir_);
  }
  long long Vouchers() {
    return std::stoll(
        db::ScalarText(*session_->link.connection(), "SELECT COUNT(DISTINCT SanadNo) FROM Asnad"));
  }

  DialogRecorder recorder_;
  std::string dir_;
  std::unique_ptr<HostSession> session_;
  std::unique_ptr<TImportMalyForm> form_;
};

TEST_F(ImportMalyFormTest, LoadThenApplyThroughTheForm) {
  EXPECT_EQ(form_->objectName(), "TImportMalyForm");
  EXPECT_EQ(form_->layoutDirection(), Qt::RightToLeft);
  ASSERT_EQ(form_->cmbDorehMale->count(), 3);
  EXPECT_EQ(form_->cmbDorehMale->currentIndex(), -1);
  EXPECT_FALSE(form_->rg_PriorImport->isEnabled());
  form_->cmbDorehMale->setCurrentIndex(0);  // 1402 of the same company
  EXPECT_EQ(form_->mYear1->text(), "1402");
  EXPECT_TRUE(form_->rg_AfterImport->isEnabled());
  EXPECT_FALSE(form_->cmdOk->isEnabled());

  // Editing rules of the range edits.
  form_->chbDate->setChecked(true);
  form_->chbDateClick();
  form_->mDay1->clear();
  QTest::keyClicks(form_->mDay1, "4x5");
  EXPECT_EQ(form_->mDay1->text(), "31") << "digits only, capped at 31";
  form_->mMonth1->clear();
  QTest::keyClicks(form_->mMonth1, "7");
  QTest::keyClick(form_->mMonth1, Qt::Key_Return);
  EXPECT_EQ(form_->mMonth1->text(), "07");
  form_->chbDate->setChecked(false);
  form_->chbDateClick();

  form_->chbSanad->setChecked(true);
  form_->chbSanadClick();
  form_->FCountEdit->setText("8");
  QTest::keyClick(form_->FCountEdit, Qt::Key_Return);
  EXPECT_EQ(form_->FCountEdit->text(), "         8") << "padded to the stored width";
  form_->TCountEdit->setText("14");
  form_->chbEntegalPaye->setChecked(true);
  form_->R_ReportItemClick();
  EXPECT_EQ(form_->maly()->candidateVouchers(), 7);
  EXPECT_EQ(form_->quAsnad.RecordCount(), form_->maly()->candidateLines());
  EXPECT_EQ(form_->dbgAsnad->model()->rowCount(), form_->quAsnad.RecordCount());
  ASSERT_TRUE(form_->cmdOk->isEnabled());

  long long before = Vouchers();
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  EXPECT_EQ(Vouchers(), before + 7);
  EXPECT_FALSE(form_->cmdOk->isEnabled()) << "applied once";
  EXPECT_EQ(form_->lblStatus->text().toStdString(), text::kDone);
  EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(ImportMalyFormTest, CloseDuringAnApplyWaitsUntilEveryVoucherIsWritten) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->chbEntegalPaye->setChecked(true);
  form_->R_ReportItemClick();
  const long long loaded = form_->maly()->candidateVouchers();
  ASSERT_GT(loaded, 0);
  EXPECT_FALSE(ui::RunGuard::Running(form_->window()));
  // The user closes the window at the apply's first status, while it still writes.
  bool asked = false, running = false, openAfterQuestion = false;
  auto shown = form_->core()->statusSink;
  form_->core()->statusSink = [&, shown](const Status& s) {
    if (!asked) {
      asked = true;
      running = ui::RunGuard::Running(form_->window());
      form_->window()->close();
      openAfterQuestion = form_->isVisible();
    }
    shown(s);
  };
  const long long before = Vouchers();
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  ASSERT_TRUE(asked);
  EXPECT_TRUE(running);
  EXPECT_TRUE(openAfterQuestion);
  ASSERT_FALSE(recorder_.messages.empty());
  EXPECT_EQ(recorder_.messages.front().text, ui::run_text::kCloseQuestion);
  EXPECT_EQ(Vouchers(), before + loaded) << "the apply ended whole";
  EXPECT_FALSE(ui::RunGuard::Running(form_->window()));
  QTest::qWait(20);
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(ImportMalyFormTest, AutomaticModeStartsAndTicks) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->chbDate->setChecked(true);
  form_->chbDateClick();
  form_->mMonth1->setText("02");
  form_->mMonth2->setText("03");
  form_->mDay2->setText("31");
  form_->chbEntegalPaye->setChecked(true);
  form_->EdtAutoMin->setText("5");
  long long before = Vouchers();
  form_->StartAuto();
  EXPECT_EQ(form_->lblState->text().toStdString(), text::kAutoOn);
  EXPECT_EQ(form_->EdtAutoNo->text(), "1");
  EXPECT_TRUE(form_->TimerAuto->isActive());
  EXPECT_EQ(form_->TimerAuto->interval(), 300000);
  EXPECT_FALSE(form_->plTop->isEnabled()) << "choices locked under a running schedule";
  long long once = Vouchers() - before;
  EXPECT_GT(once, 0);

  form_->TimerAutoTimer();  // the timer's tick, triggered here
  EXPECT_EQ(form_->EdtAutoNo->text(), "2");
  EXPECT_EQ(Vouchers(), before + 2 * once);

  form_->EdtAutoMin->setText("6");
  form_->EdtAutoMinChange();
  EXPECT_FALSE(form_->TimerAuto->isActive());
  EXPECT_EQ(form_->lblState->text().toStdString(), text::kAutoOff);
  EXPECT_EQ(form_->EdtAutoNo->text(), "0");
  EXPECT_TRUE(form_->plTop->isEnabled());
}

TEST_F(ImportMalyFormTest, ChosenVouchersAndProgramsThroughTheSelectionForms) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->chbEntegalPaye->setChecked(true);
  form_->chbSelector->setChecked(true);
  form_->chbSelectorClick();
  ASSERT_TRUE(form_->btnSelector->isEnabled());

  // First one voucher by double-click on its line.
  recorder_.On("TFrmSelectAsnad", [](QWidget* w) {
    auto* dlg = static_cast<TFrmSelectAsnad*>(w);
    EXPECT_EQ(dlg->edSoftwares->text().toStdString(), text::kChooseSoftware);
    dlg->dbgTemp_DblClick(1);
    dlg->OkBitBtn->click();
  });
  form_->btnSelectorClick();
  EXPECT_EQ(form_->maly()->candidateVouchers(), 1);
  EXPECT_TRUE(form_->cmdOk->isEnabled());

  // Then every voucher of one program, chosen in the software dialog.
  std::string program;
  recorder_.On("TFrm_SelectSoftware", [&program](QWidget* w) {
    auto* dlg = static_cast<TFrm_SelectSoftware*>(w);
    program = dlg->quTemp.Text("TypeSysNam");
    dlg->dbgTemp_DblClick();
    dlg->BitBtn1->click();
  });
  recorder_.On("TFrmSelectAsnad", [&program](QWidget* w) {
    auto* dlg = static_cast<TFrmSelectAsnad*>(w);
    dlg->NotSelectAllBtn->click();
    dlg->SpeedButton1->click();
    EXPECT_EQ(dlg->edSoftwares->text().toStdString(), program);
    dlg->OkBitBtn->click();
  });
  form_->btnSelectorClick();
  ASSERT_FALSE(program.empty());
  std::string expected = db::ScalarText(
      *session_->link.connection(),
      "SELECT COUNT(DISTINCT A.SanadNo) FROM KELVARO_1_1402..Asnad A JOIN "
      "KELVARO_1_1402..ApplicationType T ON T.TypeSys = A.TypeSys WHERE T.TypeSysNam = " +
          db::Quote(program) + " AND A.WhatDoc NOT IN ('10', '2')");
  EXPECT_EQ(std::to_string(form_->maly()->candidateVouchers()), expected);
}

TEST_F(ImportMalyFormTest, ASourceOnAnotherServerChosenWithTheServerButton) {
  std::string remote = dir_ + "_remote";
  xfer_test::RemoveTree(remote);
  suite::BuildRemoteDemoServer(remote, dir_, suite::DemoOptions{});
  form_->setServersFile(QString::fromStdString(dir_ + "/servers.ini"));
  xfer::testing::ModalScript script;
  script.Answer("RemoteForm", [&](QWidget* w) {
    w->findChild<QComboBox*>("cmbServerName")->setEditText(QString::fromStdString(remote));
    QTest::mouseClick(w->findChild<QPushButton*>("OkBitBtn"), Qt::LeftButton);
  });
  form_->cmdServerClick();
  EXPECT_EQ(form_->lbServerNam->text().toStdString(), remote);
  ASSERT_TRUE(form_->maly()->RemoteSource());
  ASSERT_EQ(form_->cmbDorehMale->count(), 4) << "every period of the other server";
  EXPECT_TRUE(form_->cmbDorehMale->itemText(0).startsWith("1401-1"));
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->priorButtons->button(kYearly)->setChecked(true);
  form_->chbEntegalPaye->setChecked(true);
  form_->R_ReportItemClick();
  long long before = Vouchers();
  ASSERT_TRUE(form_->cmdOk->isEnabled());
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  EXPECT_EQ(Vouchers(), before + form_->maly()->candidateVouchers());
  EXPECT_TRUE(recorder_.messages.empty());
  xfer_test::RemoveTree(remote);
}

}  // namespace
}  // namespace xfer::import
