// The sales, fixed-assets and inventory forms driven offscreen on demo periods: each opens on its
// tabs, and the confirm button on a table tab carries that tab's table into the current period.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>
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
  std::string Value(const std::string& sql) {
    auto sets = conn_->Execute("USE " + std::string(kDest) + " " + sql);
    if (sets.empty() || sets.back().rows.empty()) return "<none>";
    return engine::FormatValue(sets.back().rows[0][0]);
  }

  std::string dir_;
  std::shared_ptr<engine::Server> server_;
  std::unique_ptr<engine::Connection> conn_;
};

TEST_F(ModuleFormsTest, ConfirmOnATabCarriesItsTable) {
  const struct {
    const char* className;
    Factory make;
    const char* sheet;
    const char* table;
    const char* message;
  } kCases[] = {
      {"TXferSellForm", [](auto s) { return new TXferSellForm(std::move(s)); }, "ts_Megyas",
       "Megyas", "مقياسها منتقل شد."},
      {"TXferDaraForm", [](auto s) { return new TXferDaraForm(std::move(s)); }, "ts_Makan",
       "D_Makan", "مکان استقرار دارايي منتقل شد"},
      {"TXferAnbarForm", [](auto s) { return new TXferAnbarForm(std::move(s)); }, "ts_Anbar",
       "Anbar", "انبارها منتقل شد."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.className);
    HostSession session(dir_, kDest);
    session.global.companyCode = "1";
    std::unique_ptr<TModuleForm> form(c.make([s = &session] {
      return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    }));
    form->resize(900, 560);
    form->show();
    EXPECT_EQ(form->metaObject()->className(), std::string("xfer::transfer::") + c.className);
    auto* pages = form->findChild<QTabWidget*>("pcXfer");
    ASSERT_NE(pages, nullptr);
    ASSERT_NE(form->findChild<QWidget*>(c.sheet), nullptr);
    form->transfer()->ToggleMark(kSource);
    conn_->Execute(std::string("USE ") + kDest + " DELETE FROM " + c.table);
    pages->setCurrentWidget(form->findChild<QWidget*>(c.sheet));
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

}  // namespace
}  // namespace xfer::transfer
