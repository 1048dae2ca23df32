// The message dialog driven offscreen: buttons and icons per code, results per button, sizing
// by line count, the "continue" OK caption, captions and position.
#include "ui/dlg_msg.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <set>

#include "modal_script.h"
#include "ui/ui_text.h"

namespace xfer::ui {
namespace {

const QStringList kButtons = {"BBtnOK1", "BBtnOK2", "BBtnCancel", "BBtnYes", "BBtnNo"};
const QStringList kIcons = {"I_Info", "I_Warning", "I_Question", "I_Error", "I_Stop"};

class DlgMsgTest : public ::testing::Test {
 protected:
  void SetUp() override { AlternativeOkCaption().clear(); }
  void TearDown() override { AlternativeOkCaption().clear(); }

  std::set<QString> Visible(const QStringList& names) const {
    std::set<QString> out;
    for (const QString& n : names)
      if (QWidget* w = dlg_.findChild<QWidget*>(n); w && w->isVisibleTo(&dlg_)) out.insert(n);
    return out;
  }
  QTextEdit* memo() const { return dlg_.findChild<QTextEdit*>("Memo1"); }
  QPushButton* button(const QString& name) const { return dlg_.findChild<QPushButton*>(name); }

  TDlgMsg dlg_;
  testing::ModalScript script_;
};

TEST_F(DlgMsgTest, CodeChoosesButtonsIconAndResultCode) {
  struct Case {
    const char* code;
    std::set<QString> buttons;
    std::set<QString> icons;
    int resultCode;
  };
  const Case cases[] = {
      {"", {"BBtnOK1"}, {}, 1},
      {"1", {"BBtnOK1"}, {}, 1},
      {"1 C", {"BBtnOK1"}, {}, 1},
      {"1ER", {"BBtnOK1"}, {"I_Error"}, 1},
      {"1ir", {"BBtnOK1"}, {"I_Info"}, 1},
      {"1S", {"BBtnOK1"}, {"I_Stop"}, 1},
      {"2WR", {"BBtnOK2", "BBtnCancel"}, {"I_Warning"}, 2},
      {"3QR", {"BBtnYes", "BBtnNo"}, {"I_Question"}, 7},
      {"8OX", {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    dlg_.Prepare("message", "caption", c.code);
    EXPECT_EQ(Visible(kButtons), c.buttons);
    EXPECT_EQ(Visible(kIcons), c.icons);
    EXPECT_EQ(dlg_.resultCode(), c.resultCode);
  }
}

TEST_F(DlgMsgTest, ButtonsAndEscapeReturnTheirResults) {
  struct Case {
    const char* code;
    const char* button;  // nullptr: Escape
    int result;
  };
  const Case cases[] = {
      {"1ER", "BBtnOK1", 1}, {"2IR", "BBtnOK2", 1}, {"2IR", "BBtnCancel", 2},
      {"3QR", "BBtnYes", 6}, {"3QR", "BBtnNo", 7},  {"", "BBtnOK1", 1},
      {"1ER", nullptr, 1},   {"2WR", nullptr, 2},   {"3QR", nullptr, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + (c.button ? c.button : "Escape"));
    if (c.button) {
      script_.Click("DlgMsg", c.button);
    } else {
      script_.Answer("DlgMsg", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    }
    EXPECT_EQ(dlg_.Execute("question", "caption", c.code), c.result);
  }
  EXPECT_EQ(script_.answered(), int(std::size(cases)));
}

TEST_F(DlgMsgTest, FreeFunctionsShowTheDialog) {
  script_.Click("DlgMsg", "BBtnYes");
  EXPECT_EQ(ShowDlgMsg(dlg_, "remove?", "caption", "3QR"), 6);
  script_.Click("DlgMsg", "BBtnOK1");
  EXPECT_EQ(ShowDlgMsgSimple(dlg_, "done"), 1);
  EXPECT_EQ(Visible(kIcons), std::set<QString>{});
  EXPECT_EQ(memo()->toPlainText(), "done");
}

TEST_F(DlgMsgTest, FourLinesGiveTheShortDialogAndFiveTheScrollBar) {
  struct Case {
    QString text;
    int lines;
    bool scrollBar;
  };
  const QString longLine = QString("word ").repeated(80);
  const Case cases[] = {
      {"one", 1, false},          {"1\n2\n3\n4", 4, false}, {"1\r\n2\r\n3\r\n4\r\n", 4, false},
      {"1\n2\n3\n4\n5", 5, true}, {longLine, -1, true},  // one paragraph wrapped over many lines
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    dlg_.Prepare(c.text, "caption", "1IR");
    if (c.lines >= 0) {
      EXPECT_EQ(dlg_.memoLineCount(), c.lines);
    }
    EXPECT_GT(dlg_.memoLineCount(), 0);
    EXPECT_EQ(memo()->verticalScrollBarPolicy(),
              c.scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (!c.scrollBar) {
      // Everything is readable without scrolling.
      dlg_.show();
      QApplication::processEvents();
      EXPECT_EQ(memo()->verticalScrollBar()->maximum(), 0);
      dlg_.hide();
      EXPECT_EQ(dlg_.height(), TDlgMsg::kShortHeight);
      EXPECT_EQ(memo()->height(), TDlgMsg::kShortMemoHeight);
    }
    EXPECT_EQ(memo()->x(), 5);
    EXPECT_EQ(memo()->width(), 217);
  }
}

TEST_F(DlgMsgTest, ContinueCaptionSwitchesTheSingleOkButtonForGood) {
  const QString ok = QString::fromUtf8(text::kOk);
  const QString cont = QString::fromUtf8(text::kContinue);
  dlg_.Prepare("m", "other", "1IR");
  EXPECT_EQ(button("BBtnOK1")->text(), ok);
  dlg_.Prepare("m", cont, "1IR");
  EXPECT_EQ(button("BBtnOK1")->text(), cont);
  EXPECT_EQ(AlternativeOkCaption(), cont);
  // Module-wide: a later dialog with another caption keeps it; the two-button OK does not.
  TDlgMsg other;
  other.Prepare("m", "other", "1ER");
  EXPECT_EQ(other.findChild<QPushButton*>("BBtnOK1")->text(), cont);
  EXPECT_EQ(other.findChild<QPushButton*>("BBtnOK2")->text(), ok);
}

TEST_F(DlgMsgTest, CaptionsDefaultCaptionAndCentring) {
  auto* panel = dlg_.findChild<QLabel*>("Caption_Panel");
  ASSERT_NE(panel, nullptr);
  dlg_.Prepare("m", "title", "1IR");
  EXPECT_EQ(dlg_.windowTitle(), "title");
  EXPECT_EQ(panel->text(), "     title");
  dlg_.setDefaultCaption("fallback");
  dlg_.Prepare("m", "", "1IR");
  EXPECT_EQ(dlg_.windowTitle(), "fallback");
  EXPECT_EQ(panel->text(), "     fallback");

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(dlg_.x(), screen.left() + screen.width() / 2 - dlg_.width() / 2);
  EXPECT_EQ(dlg_.y(), screen.top() + screen.height() / 2 - dlg_.height() / 2);
  EXPECT_EQ(dlg_.layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(dlg_.font().pixelSize(), 13);
}

TEST_F(DlgMsgTest, LongMessagesShowWholeAndSitOnTheirWindow) {
  QWidget window;
  window.setGeometry(200, 150, 800, 500);
  window.show();
  TDlgMsg dlg(&window);
  struct Case {
    QString text;
    bool grows;
  };
  const Case cases[] = {
      {"1\n2\n3\n4", false},
      {"1\n2\n3\n4\n5", true},
      {QString("word ").repeated(60), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    dlg.Prepare(c.text, "", "1ER");
    EXPECT_EQ(dlg.height() > TDlgMsg::kShortHeight, c.grows);
    dlg.show();
    QApplication::processEvents();
    auto* memo = dlg.findChild<QTextEdit*>("Memo1");
    EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0) << "every line shows";
    EXPECT_LT(memo->geometry().bottom(), dlg.findChild<QPushButton*>("BBtnOK1")->y());
    dlg.hide();
    EXPECT_TRUE(window.frameGeometry().contains(dlg.geometry()));
    EXPECT_LE(std::abs(dlg.geometry().center().y() - window.frameGeometry().center().y()), 1);
  }
  // The memo shows the message in Persian display; the dialog keeps it as given.
  const QString given = QString::fromUtf8("سال 1403 كالا");
  dlg.Prepare(given, "", "1IR");
  EXPECT_EQ(dlg.findChild<QTextEdit*>("Memo1")->toPlainText(), QString::fromUtf8("سال ۱۴۰۳ کالا"));
  EXPECT_EQ(dlg.message(), given);
}

TEST_F(DlgMsgTest, ButtonCaptionsAreTheSuitesWords) {
  const std::pair<const char*, const char*> expected[] = {{"BBtnOK1", text::kOk},
                                                          {"BBtnOK2", text::kOk},
                                                          {"BBtnCancel", text::kCancel},
                                                          {"BBtnYes", text::kYes},
                                                          {"BBtnNo", text::kNo}};
  dlg_.Prepare("m", "c", "1");
  for (const auto& [name, caption] : expected) EXPECT_EQ(button(name)->text(), caption) << name;
}

}  // namespace
}  // namespace xfer::ui
