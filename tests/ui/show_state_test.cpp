// The progress window: shown once and then only updated, title fallback, icons by kind, owner
// disabled until hidden, and the determinate bar.
#include "ui/show_state_form.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <QEvent>
#include <QLabel>

#include "ui/qt_dialogs.h"

namespace xfer::ui {
namespace {

// Counts the times a widget is shown.
class ShowCounter : public QObject {
 public:
  int shows = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Show) ++shows;
    return QObject::eventFilter(o, e);
  }
};

class ShowStateTest : public ::testing::Test {
 protected:
  void SetUp() override { form_.installEventFilter(&counter_); }
  QString panel() { return form_.findChild<QLabel*>("Caption_Panel")->text(); }
  QString plMsg() { return form_.findChild<QLabel*>("plMsg")->text(); }
  bool iconShown(const char* name) { return form_.findChild<QLabel*>(name)->isVisibleTo(&form_); }

  ShowCounter counter_;
  TShowStateForm form_;
  QWidget owner_;
};

TEST_F(ShowStateTest, ShownOnceThenUpdated) {
  form_.ShowState(&owner_, "STOP", "Accounts", "step 1", "App");
  EXPECT_TRUE(form_.isVisible());
  EXPECT_FALSE(owner_.isEnabled());
  form_.ShowState(&owner_, "STOP", "Accounts", "step 2", "App");
  form_.ShowState(&owner_, "INFO", "", "step 3", "App");
  EXPECT_EQ(counter_.shows, 1);
  EXPECT_EQ(plMsg(), QString::fromUtf8("step ۳"));  // shown in Persian digits
  EXPECT_EQ(form_.message(), "step 3");
  EXPECT_EQ(form_.title(), "App");
  EXPECT_EQ(panel(), "   App");

  form_.HideState(&owner_);
  EXPECT_FALSE(form_.isVisible());
  EXPECT_TRUE(owner_.isEnabled());
  form_.ShowState(nullptr, "HELP", "Again", "m", "App");
  EXPECT_EQ(counter_.shows, 2);
  form_.HideState(nullptr);
}

TEST_F(ShowStateTest, KindChoosesTheIcon) {
  struct Case {
    const char* kind;
    const char* icon;  // nullptr: none
  };
  const Case cases[] = {{"STOP", "I_Stop"}, {"INFO", "I_Info"}, {"HELP", "I_Help"}, {"X", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    form_.ShowState(nullptr, c.kind, "t", "m", "App");
    for (const char* icon : {"I_Stop", "I_Info", "I_Help"})
      EXPECT_EQ(iconShown(icon), c.icon && std::string(c.icon) == icon) << icon;
  }
  form_.HideState(nullptr);
}

TEST_F(ShowStateTest, ClientSizeAndProgressBar) {
  EXPECT_EQ(form_.size(), QSize(TShowStateForm::kClientWidth, TShowStateForm::kClientHeight));
  form_.ShowState(nullptr, "STOP", "t", "copying", "App");
  EXPECT_EQ(form_.percent(), -1);
  const std::tuple<long long, long long, int> steps[] = {{0, 200, 0},
                                                         {50, 200, 25},
                                                         {200, 200, 100},
                                                         {300, 200, 100},
                                                         {5'000'000'000LL, 10'000'000'000LL, 50},
                                                         {1, 0, -1}};
  for (const auto& [done, total, percent] : steps) {
    form_.Progress(done, total);
    EXPECT_EQ(form_.percent(), percent) << done << "/" << total;
  }
  form_.Progress(1, 4);
  form_.HideState(nullptr);
  form_.ShowState(nullptr, "STOP", "t", "next", "App");
  EXPECT_EQ(form_.percent(), -1) << "a new showing starts without the bar";
  form_.HideState(nullptr);
}

TEST_F(ShowStateTest, RunModeNamesTheUnitAndEscapeAsksToStop) {
  form_.ShowState(nullptr, "STOP", "t", "m", "App");
  int stops = 0;
  QObject::connect(form_.stopButton(), &QPushButton::clicked, [&] { ++stops; });
  struct Case {
    bool stopShown;
    int stopsAfterEscape;
  };
  for (const Case c : {Case{false, 0}, Case{true, 1}}) {
    form_.setStopVisible(c.stopShown);
    form_.ShowUnit("KOLL 2", 3, 12);
    EXPECT_EQ(form_.size(), QSize(TShowStateForm::kClientWidth, TShowStateForm::kRunClientHeight));
    EXPECT_EQ(form_.unit(), "KOLL 2");
    EXPECT_EQ(form_.unitLine(), QString::fromUtf8("KOLL ۲  (۳ از ۱۲)"));
    EXPECT_EQ(form_.percent(), 25);
    QTest::keyClick(&form_, Qt::Key_Escape);
    EXPECT_TRUE(form_.isVisible()) << "a running operation's window stays";
    EXPECT_EQ(stops, c.stopsAfterEscape);
  }
  form_.setStopVisible(false);
  form_.HideState(nullptr);
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(form_.unit(), "");
  form_.ShowState(nullptr, "STOP", "t", "m", "App");
  EXPECT_EQ(form_.size(), QSize(TShowStateForm::kClientWidth, TShowStateForm::kClientHeight));
  form_.HideState(nullptr);
}

TEST_F(ShowStateTest, QtDialogsDriveTheProgressWindow) {
  db::HostGlobal global;
  global.appTitle = "Session title";
  QtDialogs dialogs(nullptr, &form_, &owner_, &global);
  db::Dialogs& d = dialogs;
  d.ShowState("STOP", "", "working");
  EXPECT_TRUE(form_.isVisible());
  EXPECT_FALSE(owner_.isEnabled());
  EXPECT_EQ(form_.title(), "Session title");
  d.Progress(3, 4);
  EXPECT_EQ(form_.percent(), 75);
  d.HideState();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_TRUE(owner_.isEnabled());

  QtDialogs withoutWindow(nullptr, nullptr, &owner_, &global);
  owner_.setEnabled(false);
  withoutWindow.ShowState("STOP", "t", "m");
  withoutWindow.HideState();
  EXPECT_TRUE(owner_.isEnabled()) << "hiding re-enables the owner even without a window";
}

}  // namespace
}  // namespace xfer::ui
