// The core's Dialogs interface on the Qt message dialog: codes answered by script, the host's
// dialog when given, a temporary one otherwise; and a rendered Persian dialog saved for review.
#include "ui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QTextEdit>

#include "modal_script.h"
#include "ui/dlg_msg.h"
#include "ui/frm_apply.h"
#include "ui/ui_text.h"

namespace xfer::ui {
namespace {

TEST(QtDialogsTest, MessagesAreAnsweredThroughTheHostDialog) {
  TDlgMsg dlg;
  QtDialogs dialogs(&dlg, nullptr, nullptr, nullptr);
  testing::ModalScript script;
  const std::tuple<const char*, const char*, int> cases[] = {
      {"3QR", "BBtnYes", 6}, {"3QR", "BBtnNo", 7}, {"1IR", "BBtnOK1", 1}, {"2ER", "BBtnCancel", 2}};
  for (const auto& [code, button, result] : cases) {
    script.Click("DlgMsg", button);
    EXPECT_EQ(dialogs.ShowDlgMsg("text", "caption", code), result) << code << " " << button;
    EXPECT_EQ(dlg.findChild<QTextEdit*>("Memo1")->toPlainText(), "text");
  }
}

TEST(QtDialogsTest, WithoutAHostDialogATemporaryOneAnswers) {
  QtDialogs dialogs(nullptr, nullptr, nullptr, nullptr);
  testing::ModalScript script;
  script.Click("DlgMsg", "BBtnNo");
  EXPECT_EQ(dialogs.ShowDlgMsg("text", "", "3QR"), 7);
  EXPECT_EQ(script.answered(), 1);
}

TEST(QtDialogsTest, PersianDialogRendersForReview) {
  TDlgMsg dlg;
  const QString fourLines =
      QStringList{QString::fromUtf8(text::kApplyExists), QString::fromUtf8(text::kApplyReplace),
                  QString::fromUtf8(text::kApplySkip)}
          .join('\n');
  dlg.Prepare(fourLines, QString::fromUtf8(text::kContinue), "3QR");
  EXPECT_EQ(dlg.memoLineCount(), 4);
  dlg.show();
  QApplication::processEvents();
  const QImage image = dlg.grab().toImage();
  dlg.hide();
  AlternativeOkCaption().clear();
  const QString file = QString(XFER_TEST_OUTPUT_DIR) + "/dlg_msg_persian.png";
  ASSERT_TRUE(image.save(file, "PNG")) << file.toStdString();
  // Text was drawn: the memo area holds dark pixels on its light background.
  int dark = 0;
  for (int y = 30; y < 99; ++y)
    for (int x = 8; x < 220; ++x)
      if (qGray(image.pixel(x, y)) < 100) ++dark;
  EXPECT_GT(dark, 50);
}

}  // namespace
}  // namespace xfer::ui
