// The host's windows as a new user meets them: the login offers the newest period first; the
// menu offers only forms that are built (the others disabled, saying so), so no empty form is
// reachable; the status bar keeps date, period and server when the pointer passes over the
// menu; the title does not repeat the program's name; no form opens while a run holds the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "host/form_registry.h"
#include "host/xfer_api.h"
#include "host_text.h"
#include "host_window.h"
#include "login_dialog.h"
#include "transfer/run/run_report.h"
#include "ui/persian_display.h"
#include "ui/run_guard.h"

namespace xfer::hostapp {
namespace {

db::HostGlobal Session() {
  db::HostGlobal g;
  g.appTitle = text::kAppTitle;
  g.databaseName = "KELVARO_7_1403";
  g.serverName = "/srv/demo";
  g.today = "1403/02/03";
  g.periodStart = "1403/01/01";
  g.periodEnd = "1403/12/29";
  return g;
}

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QApplication::setApplicationDisplayName(QString::fromUtf8(text::kAppTitle));
    window_ = std::make_unique<HostWindow>(Session(), db::HostDatabase());
    QString error;
    ASSERT_TRUE(window_->LoadModule(XFER_MODULE_PATH, &error)) << error.toStdString();
    window_->show();
  }
  void TearDown() override { window_.reset(); }

  QAction* Action(const char* exportName) { return window_->findChild<QAction*>(exportName); }
  std::unique_ptr<HostWindow> window_;
};

TEST_F(HostWindowTest, MenuOffersOnlyBuiltFormsAndNoneOpensEmpty) {
  int enabled = 0;
  for (int i = 0; i < host::kFormCount; ++i) {
    const auto id = static_cast<host::FormId>(i);
    QAction* action = Action(host::kEntryPointNames[i]);
    ASSERT_NE(action, nullptr) << host::kEntryPointNames[i];
    EXPECT_EQ(action->isEnabled(), host::FormBuilt(id)) << host::kEntryPointNames[i];
    if (!action->isEnabled()) {
      EXPECT_EQ(action->toolTip(), ui::ForDisplay(text::kNotBuilt));
      continue;
    }
    ++enabled;
    // Reachable forms have something to press besides their caption.
    action->trigger();
    auto* stack = qobject_cast<QStackedLayout*>(window_->container()->layout());
    ASSERT_NE(stack, nullptr);
    QWidget* form = stack->currentWidget();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->objectName(), host::FormClassName(id));
    EXPECT_FALSE(form->findChildren<QPushButton*>().isEmpty()) << host::FormClassName(id);
  }
  EXPECT_GE(enabled, 1);
  EXPECT_TRUE(window_->menuBar()->findChild<QMenu*>("mnuTransfer")->toolTipsVisible());
}

TEST_F(HostWindowTest, StatusBarSurvivesTheMenuAndTitleNamesThePeriodOnce) {
  for (const char* name : {"lblToday", "lblPeriod", "lblServer"}) {
    auto* label = window_->statusBar()->findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    // A menu item's empty status tip, as hovering sends it.
    QStatusTipEvent tip{QString()};
    QApplication::sendEvent(window_.get(), &tip);
    window_->statusBar()->showMessage("hover");
    QApplication::processEvents();
    EXPECT_TRUE(label->isVisible()) << name;
  }
  EXPECT_TRUE(window_->statusBar()
                  ->findChild<QLabel*>("lblToday")
                  ->text()
                  .contains(ui::ForDisplay("1403/02/03")));
  EXPECT_TRUE(
      window_->statusBar()->findChild<QLabel*>("lblPeriod")->text().contains("KELVARO_7_1403"));
  const QString title = window_->windowTitle();
  EXPECT_FALSE(title.contains(QString::fromUtf8(text::kAppTitle))) << title.toStdString();
  EXPECT_TRUE(title.contains("KELVARO_7_1403"));
}

TEST_F(HostWindowTest, NoFormOpensWhileARunHoldsTheWindow) {
  transfer::StopRequest stop;
  auto* form = new QWidget(window_->container());
  {
    ui::RunGuard guard(form, stop, nullptr, nullptr);
    EXPECT_FALSE(window_->menuBar()->isEnabled());
    EXPECT_EQ(window_->OpenTransfer("Xfer_Kol"), 0);
    EXPECT_EQ(window_->container()->findChild<QWidget*>("TXferKolForm"), nullptr);
  }
  EXPECT_TRUE(window_->menuBar()->isEnabled());
  EXPECT_EQ(window_->OpenTransfer("Xfer_Kol"), 1);
}

TEST(LoginDialogTest, NewestPeriodFirstAndChosen) {
  RegistryChoices choices;
  for (auto [code, year] : {std::pair{"7", "1401"}, {"7", "1403"}, {"12", "1402"}, {"7", "1402"}}) {
    RegistryPeriod p;
    p.code = code;
    p.year = year;
    p.company = "شرکت " + std::string(code);
    p.dbName = "KELVARO_" + p.code + "_" + p.year;
    p.firstDate = p.year + "/01/01";
    p.lastDate = p.year + "/12/29";
    choices.periods.push_back(p);
  }
  LoginDialog login("/srv/demo", choices);
  ASSERT_TRUE(login.period().has_value());
  EXPECT_EQ(login.period()->dbName, "KELVARO_7_1403");
  QComboBox* combo = login.periodCombo();
  ASSERT_EQ(combo->count(), 4);
  EXPECT_TRUE(combo->itemText(0).startsWith("KELVARO_7_1403"));
  EXPECT_TRUE(combo->itemText(0).contains(ui::ForDisplay("1403/01/01")));
  EXPECT_TRUE(combo->itemText(3).startsWith("KELVARO_7_1401"));
  // Choosing by name still finds the registry's row.
  ASSERT_TRUE(login.selectPeriod("kelvaro_12_1402"));
  EXPECT_EQ(login.period()->company, "شرکت 12");
  EXPECT_FALSE(login.selectPeriod("KELVARO_9_1300"));
}

}  // namespace
}  // namespace xfer::hostapp
