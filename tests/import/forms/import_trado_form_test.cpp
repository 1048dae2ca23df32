// The sales import form driven offscreen as a user drives it on a demo server: the document
// types named by the sales options, the ranges of the chosen type, Enter in the last number
// loading the candidates, the new-number column following the numbering, the confirm button
// applying once, and automatic mode at its start and on a timer tick triggered here.
#include "import/forms/import_trado_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "db/text_util.h"
#include "import/import_text.h"
#include "import/trado_text.h"
#include "tests/import/import_fixture.h"
#include "tests/transfer/forms/form_fixture.h"
#include "ui/grid/db_grid.h"

namespace xfer::import {
namespace {

using xfer::testing::DialogRecorder;
using xfer::testing::HostSession;

class ImportTradoFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::CopyOfDemo("trado_form");
    session_ = std::make_unique<HostSession>(dir_, "KELVARO_1_1403");
    session_->global.companyCode = "1";
    session_->global.fiscalYear = "1403";
    session_->global.userId = "1";
    form_ = std::make_unique<TImportTradoForm>([s = session_.get()] {
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
  long long Invoices() {
    return std::stoll(db::ScalarText(*session_->link.connection(),
                                     "SELECT COUNT(*) FROM R_FactorForosh WHERE TypeAction = '1'"));
  }

  DialogRecorder recorder_;
  std::string dir_;
  std::unique_ptr<HostSession> session_;
  std::unique_ptr<TImportTradoForm> form_;
};

TEST_F(ImportTradoFormTest, LoadThenApplyThroughTheForm) {
  EXPECT_EQ(form_->objectName(), "TImportTradoForm");
  EXPECT_EQ(form_->layoutDirection(), Qt::RightToLeft);
  EXPECT_FALSE(form_->rg_PriorImport->isVisible()) << "sales documents are not summarised";
  // The types follow the sales options' names of the two documents.
  ASSERT_EQ(form_->cmbTypeAsnad->count(), 4);
  EXPECT_EQ(form_->cmbTypeAsnad->itemText(0).toStdString(), "پيش فاکتور");
  EXPECT_EQ(form_->cmbTypeAsnad->itemText(3).toStdString(), "برگشتي صورتحساب");
  EXPECT_EQ(form_->windowTitle().trimmed().toStdString(),
            "انتقال پيش فاکتور/صورتحساب فروش از دوره مالي");
  EXPECT_EQ(form_->cmbTypeAsnad->currentIndex(), 0);
  EXPECT_TRUE(form_->chbAdamEntegal->isEnabled());

  form_->cmbDorehMale->setCurrentIndex(0);  // 1402 of the same company
  EXPECT_TRUE(form_->rg_AfterImport->isEnabled());
  form_->cmbTypeAsnad->setCurrentIndex(2);
  EXPECT_FALSE(form_->chbAdamEntegal->isEnabled());
  EXPECT_EQ(form_->FCountEdit->text(), "1");
  EXPECT_EQ(form_->TCountEdit->text(), "10");
  EXPECT_EQ(form_->mYear1->text(), "1402");

  form_->chbSanad->setChecked(true);
  form_->chbSanadClick();
  form_->FCountEdit->setText("3");
  form_->chbEntegalPaye->setChecked(true);
  QTest::keyClick(form_->TCountEdit, Qt::Key_Return);  // Enter in the last number loads
  EXPECT_EQ(form_->trado()->candidateDocuments(), 8);
  EXPECT_EQ(form_->quAsnad.RecordCount(), form_->trado()->candidateLines());
  EXPECT_EQ(form_->dbgAsnad->model()->rowCount(), form_->quAsnad.RecordCount());
  ASSERT_TRUE(form_->cmdOk->isEnabled());

  // The new number shows only under new numbering.
  int column = form_->dbgAsnad->columnOf("SanadNoForosh");
  ASSERT_GE(column, 0);
  EXPECT_FALSE(form_->dbgAsnad->isColumnHidden(column));
  form_->afterButtons->button(kTradoOldIdNew)->click();
  EXPECT_TRUE(form_->dbgAsnad->isColumnHidden(column));
  form_->afterButtons->button(kTradoNewId)->click();
  EXPECT_FALSE(form_->dbgAsnad->isColumnHidden(column));

  long long before = Invoices();
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  EXPECT_EQ(Invoices(), before + 8);
  EXPECT_FALSE(form_->cmdOk->isEnabled()) << "applied once";
  EXPECT_EQ(form_->lblStatus->text().toStdString(), std::string("صورتحساب") + text::kTradoDoneTail);
  EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(ImportTradoFormTest, AutomaticModeStartsAndTicks) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->cmbTypeAsnad->setCurrentIndex(2);
  form_->afterButtons->button(kTradoOldIdReplace)->setChecked(true);
  form_->chbEntegalPaye->setChecked(true);
  form_->EdtAutoMin->setText("2");
  long long before = Invoices();
  form_->StartAuto();
  EXPECT_EQ(form_->lblState->text().toStdString(), text::kAutoOn);
  EXPECT_EQ(form_->EdtAutoNo->text(), "1");
  EXPECT_TRUE(form_->TimerAuto->isActive());
  EXPECT_EQ(form_->TimerAuto->interval(), 120000);
  EXPECT_FALSE(form_->plTop->isEnabled()) << "choices locked under a running schedule";
  EXPECT_EQ(Invoices(), before) << "the source's numbers replaced the destination's";
  std::string first = db::ScalarText(*session_->link.connection(),
                                     "SELECT SUM(SellValue) FROM R_DetailFactorForosh");

  form_->TimerAutoTimer();  // the timer's tick, triggered here
  EXPECT_EQ(form_->EdtAutoNo->text(), "2");
  EXPECT_EQ(db::ScalarText(*session_->link.connection(),
                           "SELECT SUM(SellValue) FROM R_DetailFactorForosh"),
            first)
      << "replacing again changes nothing";
  EXPECT_EQ(form_->lblStatus->text().toStdString(),
            std::string("صورتحساب") + text::kTradoDoneTail + " 2");

  form_->EdtAutoMin->setText("3");
  form_->EdtAutoMinChange();
  EXPECT_FALSE(form_->TimerAuto->isActive());
  EXPECT_EQ(form_->EdtAutoNo->text(), "0");

  // Without a document type the schedule does not start.
  form_->cmbTypeAsnad->setCurrentIndex(-1);
  EXPECT_FALSE(form_->trado()->CheckBeforeAuto());
  EXPECT_EQ(form_->trado()->lastStatus().text, text::kNoType);
}

}  // namespace
}  // namespace xfer::import
