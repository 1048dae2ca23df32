// The sales, fixed-assets and inventory forms driven offscreen on demo periods: each opens on its
// tabs in its own order with the company's names in the grid titles, and the confirm button on a
// table tab (or a combo box's entry) carries that table into the current period; on the print
// and users tabs it copies the layouts and the users.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "form_fixture.h"
#include "suite/demo.h"
#include "transfer/modules/forms/anbar_form.h"
#include "transfer/modules/forms/dara_form.h"
#include "transfer/modules/forms/sell_form.h"

namespace xfer::transfer {
namespace {

namespace fs = std::filesystem;
using testing::DialogRecorder;
using testing::HostSession;
using testing::TestDir;

const char* kSource = "KELVARO_1_1402";
const char* kDest = "KELVARO_1_1403";

using Factory = std::function<TModuleForm*(SessionSource)>;

class ModuleFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TestDir("modules");
    xfer_test::RemoveTree(dir_);
    suite::BuildDemoServer(dir_, {});
    server_ = engine::Server::Open(dir_, false);
    conn_ = std::make_unique<engine::Connection>(server_);
  }
  void TearDown() override {
    conn_.reset();
    server_.reset();
    xfer_test::RemoveTree(dir_);
  }
  // The form `make` gives, shown on the demo's current period with the source marked.
  std::unique_ptr<TModuleForm> Open(const Factory& make) {
    session_ = std::make_unique<HostSession>(dir_, kDest);
    session_->global.companyCode = "1";
    std::unique_ptr<TModuleForm> form(make([s = session_.get()] {
      return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    }));
    form->resize(900, 560);
    form->show();
    form->transfer()->ToggleMark(kSource);
    return form;
  }
  std::string Value(const std::string& sql) {
    auto sets = conn_->Execute("USE " + std::string(kDest) + " " + sql);
    if (sets.empty() || sets.back().rows.empty()) return "<none>";
    return engine::FormatValue(sets.back().rows[0][0]);
  }

  std::string dir_;
  std::unique_ptr<HostSession> session_;
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> conn_;
};

const Factory kSell = [](SessionSource s) { return new TXferSellForm(std::move(s)); };
const Factory kDara = [](SessionSource s) { return new TXferDaraForm(std::move(s)); };
const Factory kAnbar = [](SessionSource s) { return new TXferAnbarForm(std::move(s)); };

TEST_F(ModuleFormsTest, ConfirmOnATabCarriesItsTable) {
  const struct {
    const char* className;
    const Factory& make;
    const char* sheet;
    const char* combo;  // "" on a tab without one
    int entry;
    const char* table;
    const char* message;
  } kCases[] = {
      {"TXferSellForm", kSell, "ts_Megyas", "", 0, "Megyas", "مقياسها منتقل شد."},
      {"TXferSellForm", kSell, "ts_Kala", "cmbKalaJoz", 2, "JozCommandKala",
       "شرح اجزاي كالا/خدمات منتقل شد."},
      {"TXferSellForm", kSell, "ts_Customer", "cmbCustomer", 1, "R_State", "استان ها منتقل شد."},
      {"TXferDaraForm", kDara, "ts_Makan", "", 0, "D_Makan", "مکان استقرار دارايي منتقل شد"},
      {"TXferDaraForm", kDara, "ts_Person", "cmbPersonel", 0, "Depart_1",
       "واحدهاي سازماني منتقل شد"},
      {"TXferAnbarForm", kAnbar, "ts_Anbar", "", 0, "Anbar", "انبارها منتقل شد."},
      {"TXferAnbarForm", kAnbar, "ts_Sellers", "cmbCity", 2, "A_SellersGroh",
       "گروه فروشندگان منتقل شد."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.className) + " " + c.table);
    std::unique_ptr<TModuleForm> form = Open(c.make);
    EXPECT_EQ(form->metaObject()->className(), std::string("xfer::transfer::") + c.className);
    auto* pages = form->findChild<QTabWidget*>("pcXfer");
    ASSERT_NE(pages, nullptr);
    ASSERT_NE(form->findChild<QWidget*>(c.sheet), nullptr);
    conn_->Execute(std::string("USE ") + kDest + " DELETE FROM " + c.table);
    pages->setCurrentWidget(form->findChild<QWidget*>(c.sheet));
    if (*c.combo) form->findChild<QComboBox*>(c.combo)->setCurrentIndex(c.entry);
    auto* ok = form->findChild<QPushButton*>("cmdOk");
    ASSERT_TRUE(ok->isEnabled());
    DialogRecorder recorder;
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + c.table),
              Value(std::string("SELECT COUNT(*) FROM ") + kSource + ".." + c.table));
    EXPECT_NE(Value(std::string("SELECT COUNT(*) FROM ") + c.table), "0");
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.back().text, c.message);
  }
}

TEST_F(ModuleFormsTest, FormsOpenOnTheirTabsWithTheCompanysNames) {
  const struct {
    const Factory& make;
    bool server;                                      // the form offers another server
    std::vector<std::pair<const char*, int>> combos;  // the entry each shows first
    const char* grid;
    const char* field;
    const char* title;
  } kCases[] = {
      {kSell,
       true,
       {{"cmbKalaJoz", 3}, {"cmbCustomer", 6}},
       "dbgBazaryab",
       "BazaryabNam",
       "نام بازارياب"},
      {kDara,
       false,
       {{"cmbTafsily2", 0}, {"cmbPersonel", 1}},
       "dbgTafsily2",
       "NamHesab",
       "نام حساب مرکز هزينه"},
      {kAnbar,
       true,
       {{"cmbKalaJoz", 3}, {"cmbPersonel", 1}, {"cmbTafsily2", 1}, {"cmbCity", 0}},
       "dbgKala",
       "MinimumQty2",
       "حداقل موجودي بسته"},
  };
  for (const auto& c : kCases) {
    std::unique_ptr<TModuleForm> form = Open(c.make);
    SCOPED_TRACE(form->objectName().toStdString());
    auto* pages = form->findChild<QTabWidget*>("pcXfer");
    const ModuleForm& data = form->transfer()->form();
    // Every tab of the form's order stands where the order puts it.
    for (size_t i = 0; i < data.tabOrder.size(); ++i)
      EXPECT_EQ(pages->widget(static_cast<int>(i))->objectName(), data.tabOrder[i]) << i;
    EXPECT_EQ(form->findChild<QPushButton*>("cmdServer") != nullptr, c.server);
    for (const auto& [combo, entry] : c.combos)
      EXPECT_EQ(form->findChild<QComboBox*>(combo)->currentIndex(), entry) << combo;
    bool titled = false;
    for (const auto& column : form->findChild<FrameGrid*>(c.grid)->columns())
      if (column.field == c.field) titled = column.caption == c.title;
    EXPECT_TRUE(titled) << c.grid << "." << c.field;
  }
  // The inventory grids come in their display order.
  std::unique_ptr<TModuleForm> anbar = Open(kAnbar);
  auto* anbarPages = anbar->findChild<QTabWidget*>("pcXfer");
  anbarPages->setCurrentWidget(anbar->findChild<QWidget*>("ts_ChedAnbar"));
  db::RecordSet* layout = anbar->findChild<FrameGrid*>("dbgChedAnbar")->dataSet();
  ASSERT_NE(layout, nullptr);
  std::vector<std::string> keys;
  for (layout->First(); !layout->Eof(); layout->Next())
    keys.push_back(layout->Text("AnbarCod") + "|" + layout->Text("KalaCod"));
  EXPECT_GT(keys.size(), 1u);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  anbar.reset();
  // The assets form names its cost-centre tab and combo after the company's level.
  std::unique_ptr<TModuleForm> dara = Open(kDara);
  auto* pages = dara->findChild<QTabWidget*>("pcXfer");
  EXPECT_EQ(pages->tabText(pages->indexOf(dara->findChild<QWidget*>("ts_Tafsily2"))),
            QString("مرکز هزينه          "));
  EXPECT_EQ(dara->findChild<QComboBox*>("cmbTafsily2")->itemText(0), QString("گروه مرکز هزينه"));
}

TEST_F(ModuleFormsTest, PrintAndUsersTabsCopyOnConfirm) {
  std::unique_ptr<TModuleForm> form = Open(kAnbar);
  auto* pages = form->findChild<QTabWidget*>("pcXfer");
  auto* ok = form->findChild<QPushButton*>("cmdOk");
  pages->setCurrentWidget(form->findChild<QWidget*>("ts_Prn"));
  ASSERT_TRUE(ok->isEnabled());
  DialogRecorder recorder;
  std::vector<std::string> offered;
  recorder.On("FrmApply", [&](QWidget* w) {
    offered.push_back(w->findChild<QLabel*>("lbl1")->text().toStdString());
    QTest::mouseClick(w->findChild<QPushButton*>("Button2"), Qt::LeftButton);  // replace
  });
  QTest::mouseClick(ok, Qt::LeftButton);
  // Layout 0 of the source replaces the period's of that name; the others come along.
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_NE(offered[0].find("رسيد انبار 1"), std::string::npos) << offered[0];
  EXPECT_EQ(Value("SELECT COUNT(*) FROM Prn_Form_T WHERE WhatDoc = 'S'"), "4");
  EXPECT_EQ(form->findChild<FrameGrid*>("dbgPrn")->model()->rowCount(), 4);

  conn_->Execute(std::string("USE ") + kDest + " DELETE FROM UserHub");
  pages->setCurrentWidget(form->findChild<QWidget*>("ts_User"));
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(Value("SELECT COUNT(*) FROM UserHub"),
            Value(std::string("SELECT COUNT(*) FROM ") + kSource + "..UserHub"));
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.back().text, "کاربران منتقل شد");
}

}  // namespace
}  // namespace xfer::transfer
