// The inventory import form driven offscreen on a demo server: the type fills the ranges, the
// report item loads the preview with its new numbers and totals, the confirm button applies it
// once after the backups, and the receipt rule of automatic mode rewrites the numbering items.
#include "import/forms/import_store_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "db/text_util.h"
#include "engine/engine.h"
#include "import/forms/anbar_pick_form.h"
#include "import/store_backup.h"
#include "import/store_text.h"
#include "tests/import/import_fixture.h"
#include "tests/transfer/forms/form_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"

namespace xfer::import {
namespace {

using xfer::testing::DialogRecorder;
using xfer::testing::HostSession;

class ImportStoreFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::CopyOfDemo("store_form");
    session_ = std::make_unique<HostSession>(dir_, "KELVARO_1_1403");
    session_->global.companyCode = "1";
    session_->global.fiscalYear = "1403";
    session_->global.userId = "1";
    session_->link.RunSql(
        "UPDATE D SET CatgagoryName = S.CatgagoryName FROM Avamel D INNER JOIN "
        "KELVARO_1_1402..Avamel S ON S.CatgagoryCode = D.CatgagoryCode");
    form_ = std::make_unique<TImportStoreForm>([s = session_.get()] {
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
  long long Count(const std::string& where) {
    return std::stoll(db::ScalarText(*session_->link.connection(),
                                     "SELECT COUNT(*) FROM A_TranID WHERE " + where));
  }
  int Visible(const char* field) {
    int column = form_->dbgAsnad->columnOf(field);
    if (column < 0) return -1;
    return form_->dbgAsnad->horizontalHeader()->isSectionHidden(column) ? 0 : 1;
  }

  DialogRecorder recorder_;
  std::string dir_;
  std::unique_ptr<HostSession> session_;
  std::unique_ptr<TImportStoreForm> form_;
};

TEST_F(ImportStoreFormTest, LoadThenApplyThroughTheForm) {
  EXPECT_EQ(form_->objectName(), "TImportStoreForm");
  EXPECT_EQ(form_->cmbTypeAsnad->count(), 26);
  EXPECT_EQ(form_->afterButtons->buttons().size(), 4);
  form_->cmbDorehMale->setCurrentIndex(0);  // 1402 of the same company
  form_->cmbTypeAsnad->setCurrentIndex(StoreTypeOf("85"));
  EXPECT_EQ(form_->FrAnbarCod->text(), "0001");
  EXPECT_EQ(form_->mYear1->text(), "1402");
  EXPECT_EQ(Visible("Document2"), 1) << "new numbers shown for the new-number item";
  EXPECT_EQ(Visible("Document"), 0);
  form_->afterButtons->button(kStoreOldId)->click();
  EXPECT_EQ(Visible("Document2"), 0);
  form_->afterButtons->button(kStoreNewId)->click();

  form_->R_ReportItemClick();
  ASSERT_GT(form_->store()->candidateLines(), 0);
  EXPECT_EQ(form_->dbgAsnad->model()->rowCount(), form_->quAsnad.RecordCount());
  EXPECT_GT(form_->quAsnad.RecordCount(), form_->store()->candidateLines()) << "with totals";
  ASSERT_TRUE(form_->cmdOk->isEnabled());

  long long before = Count("WhatDoc IN ('85', '80')");
  QTest::mouseClick(form_->cmdOk, Qt::LeftButton);
  EXPECT_EQ(Count("WhatDoc IN ('85', '80')"), before + form_->store()->outcome().documents);
  EXPECT_GT(form_->store()->outcome().documents, 0);
  EXPECT_FALSE(form_->cmdOk->isEnabled()) << "applied once";
  EXPECT_EQ(form_->lblStatus->text().toStdString(), text::kStoreDone);
  EXPECT_EQ(ListStoreBackups(*session_->link.connection()).size(), 1u);
  EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(ImportStoreFormTest, TheReceiptRuleRewritesTheNumberingItems) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->cmbTypeAsnad->setCurrentIndex(StoreTypeOf("30"));
  form_->afterButtons->button(kStoreMerge)->click();
  form_->chbAuto->click();
  ASSERT_EQ(form_->afterButtons->buttons().size(), 3);
  EXPECT_EQ(form_->afterButtons->checkedId(), kStoreNewId);
  EXPECT_EQ(form_->afterButtons->button(2)->text().toStdString(), text::kStoreOldId);

  form_->EdtAutoMin->setText("5");
  long long before = Count("WhatDoc = '30'");
  form_->StartAuto();
  EXPECT_EQ(form_->EdtAutoNo->text(), "1");
  EXPECT_GT(Count("WhatDoc = '30'"), before);

  // Without a type the automatic mode does not start.
  form_->cmbTypeAsnad->setCurrentIndex(-1);
  form_->EdtAutoMin->setText("5");
  form_->EdtAutoMinChange();
  form_->StartAuto();
  EXPECT_EQ(form_->lblStatus->text().toStdString(), text::kNoType);
}

TEST_F(ImportStoreFormTest, ThePopupMarksPrintsAndReloads) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->cmbTypeAsnad->setCurrentIndex(StoreTypeOf("50"));
  form_->R_ReportItemClick();
  ASSERT_GT(form_->store()->candidateLines(), 0);
  auto* popup = form_->pmImportAsnad;
  ASSERT_NE(popup, nullptr);
  for (const char* name : {"SelectAll_Item", "DelAll_Item", "ReSel_Item", "R_ReportItem"})
    EXPECT_NE(popup->menu()->findChild<QAction*>(name), nullptr) << name;
  // Marks as the grid shows them, over the item lines.
  auto marked = [&] {
    long long n = 0;
    int slc = form_->quAsnad.FieldIndex("SLC"), kala = form_->quAsnad.FieldIndex("KalaCod");
    for (const auto& row : form_->quAsnad.data().rows)
      if (!engine::IsNull(row[static_cast<size_t>(kala)]) &&
          engine::FormatValue(row[static_cast<size_t>(slc)]) == "ض")
        ++n;
    return n;
  };
  const long long all = form_->store()->candidateLines();
  EXPECT_EQ(marked(), all);
  struct Step {
    QAction* item;
    long long marked;
  };
  const Step steps[] = {{form_->DelAll_Item, 0},
                        {form_->ReSel_Item, all},
                        {form_->DelAll_Item, 0},
                        {form_->SelectAll_Item, all}};
  for (const Step& st : steps) {
    st.item->trigger();
    EXPECT_EQ(marked(), st.marked) << st.item->objectName().toStdString();
  }
  ui::grid::GridLibraryCall call;
  ASSERT_TRUE(popup->PrepareCallFor(ui::grid::GridCommand::kPrint, call));
  EXPECT_EQ(call.title, std::string(text::kReportPrefix) + form_->store()->caption());
  EXPECT_EQ(call.text, text::kStoreReportKey);
  ASSERT_TRUE(popup->PrepareCallFor(ui::grid::GridCommand::kProperties, call));
  EXPECT_EQ(call.title, text::kStorePropertiesTitle);

  form_->DelAll_Item->trigger();
  popup->menu()->findChild<QAction*>("R_ReportItem")->trigger();
  EXPECT_EQ(form_->store()->candidateLines(), all) << "the report item loads again";
  EXPECT_EQ(marked(), all);
  EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(ImportStoreFormTest, AWarehouseEditOpensThePickerAndDatesKeepToTheSourceYear) {
  form_->cmbDorehMale->setCurrentIndex(0);
  form_->cmbTypeAsnad->setCurrentIndex(StoreTypeOf("30"));
  form_->chbAnbar->click();
  xfer::testing::ModalScript script;
  std::string picked;
  script.Answer("TAnbarPickForm", [&](QWidget* w) {
    auto* picker = static_cast<TAnbarPickForm*>(w);
    picker->dbgAnbar->setCurrentIndex(picker->dbgAnbar->model()->index(2, 0));
    picked = picker->chosen();
    QTest::mouseClick(picker->cmdOk, Qt::LeftButton);
  });
  QTest::mouseDClick(form_->ToAnbarCod, Qt::LeftButton);
  EXPECT_EQ(script.answered(), 1);
  EXPECT_EQ(picked, "0003");
  EXPECT_EQ(form_->ToAnbarCod->text().toStdString(), picked);

  form_->chbDate->click();
  form_->mYear2->setText("1399");
  QTest::keyClick(form_->mYear2, Qt::Key_Return);
  EXPECT_EQ(form_->lblStatus->text().toStdString(),
            std::string(text::kYearHead) + "1402" + text::kYearTail);
}

}  // namespace
}  // namespace xfer::import
