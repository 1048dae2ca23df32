// The existing-form dialog: results per choice, the edit enabled only with the rename choice,
// and the refusal of a new name equal to the current one (blanks ignored).
#include "ui/frm_apply.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>

#include "modal_script.h"
#include "ui/dlg_msg.h"
#include "ui/ui_text.h"

namespace xfer::ui {
namespace {

class FrmApplyTest : public ::testing::Test {
 protected:
  QRadioButton* radio(const char* name) { return apply_.findChild<QRadioButton*>(name); }
  QLineEdit* edit() { return apply_.findChild<QLineEdit*>("Edit1"); }

  TDlgMsg dlgMsg_;
  TFrmApply apply_{dlgMsg_};
  testing::ModalScript script_;
};

TEST_F(FrmApplyTest, ResultsPerChoice) {
  struct Case {
    const char* radio;
    QString newName;
    const char* button;
    int result;
  };
  const Case cases[] = {
      {"rb1", "", "Button2", TFrmApply::kReplace},
      {"rb2", "Invoice 2", "Button2", TFrmApply::kRename},
      {"rb3", "", "Button2", TFrmApply::kSkip},
      {"rb1", "", "Button3", TFrmApply::kSkip},
      {"rb2", "Invoice 2", "Button3", TFrmApply::kSkip},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.radio) + " " + c.button);
    apply_.setFormName("Invoice");
    radio(c.radio)->setChecked(true);
    if (!c.newName.isEmpty()) edit()->setText(c.newName);
    script_.Click("FrmApply", c.button);
    EXPECT_EQ(apply_.exec(), c.result);
    if (c.result == TFrmApply::kRename) {
      EXPECT_EQ(apply_.newName(), c.newName);
    }
  }
}

TEST_F(FrmApplyTest, EditFollowsTheRenameChoice) {
  EXPECT_TRUE(radio("rb1")->isChecked());
  EXPECT_FALSE(edit()->isEnabled());
  radio("rb2")->setChecked(true);
  EXPECT_TRUE(edit()->isEnabled());
  radio("rb1")->setChecked(true);
  EXPECT_FALSE(edit()->isEnabled());
  radio("rb3")->setChecked(true);
  EXPECT_FALSE(edit()->isEnabled());
  // rb2 then rb1 confirms as a replacement.
  radio("rb2")->setChecked(true);
  radio("rb1")->setChecked(true);
  script_.Click("FrmApply", "Button2");
  EXPECT_EQ(apply_.exec(), TFrmApply::kReplace);
}

TEST_F(FrmApplyTest, SameNameIsRefusedThroughTheMessageDialog) {
  const QString refused[] = {"Invoice", "  Invoice ", "Invoice\t"};
  for (const QString& name : refused) {
    SCOPED_TRACE(name.toStdString());
    apply_.setFormName("Invoice");
    radio("rb2")->setChecked(true);
    edit()->setText(name);
    bool stayedOpen = false;
    QString message;
    bool errorIcon = false;
    // Confirm: the refusal appears; after it the dialog is still open, then a new name passes.
    script_.Click("FrmApply", "Button2");
    script_.Answer("DlgMsg", [&](QWidget* w) {
      message = static_cast<TDlgMsg*>(w)->message();
      errorIcon = w->findChild<QWidget*>("I_Error")->isVisibleTo(w);
      QTest::mouseClick(w->findChild<QPushButton*>("BBtnOK1"), Qt::LeftButton);
    });
    script_.Answer("FrmApply", [&](QWidget* w) {
      stayedOpen = w->isVisible();
      w->findChild<QLineEdit*>("Edit1")->setText("Invoice (1402)");
      QTest::mouseClick(w->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(apply_.exec(), TFrmApply::kRename);
    EXPECT_EQ(message, QString::fromUtf8(text::kApplyChangeName));
    EXPECT_TRUE(errorIcon);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(apply_.newName(), "Invoice (1402)");
  }
}

TEST_F(FrmApplyTest, ShowsTheCurrentName) {
  apply_.setFormName("Sales slip");
  EXPECT_EQ(apply_.formName(), "Sales slip");
  EXPECT_EQ(apply_.findChild<QLabel*>("lbl1")->text(), "Sales slip");
  EXPECT_EQ(apply_.findChild<QLabel*>("Label5")->text(), QString::fromUtf8(text::kApplyExists));
}

}  // namespace
}  // namespace xfer::ui
