// The treasury form driven offscreen on demo periods: the cheque page lists the open cheques in
// blue (settled) and red (waiting), Enter on a red row opens the counterparty form (its grid
// search finds a line), which refuses a distribution that does not add up and turns the row blue
// when it does, and the register button carries the blue rows; the note page lists the open
// notes; a base page carries bank accounts with their openings.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "form_fixture.h"
#include "suite/demo.h"
#include "transfer/modules/counterparty.h"
#include "transfer/modules/forms/naghd_form.h"
#include "ui/grid/db_grid.h"

namespace xfer::transfer {
namespace {

using testing::DialogRecorder;
using testing::HostSession;
using testing::TestDir;

const char* kSource = "KELVARO_1_1402";
const char* kDest = "KELVARO_1_1403";

class NaghdFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TestDir("naghd");
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

using ui::grid::TDBGrid;

QString Cell(TDBGrid* g, int row, int column) {
  return g->model()->index(row, column).data().toString();
}

double Number(TDBGrid* g, int row, int column) {
  return Cell(g, row, column).remove(',').toDouble();
}

QColor Colour(TDBGrid* g, int row) {
  return g->model()->index(row, 0).data(Qt::ForegroundRole).value<QColor>();
}

// Types an amount into a line as the grid's editor hands it over.
void Type(TDBGrid* g, int row, int column, double amount) {
  g->model()->setData(g->model()->index(row, column), QString::number(amount, 'f', 0));
}

TEST_F(NaghdFormTest, ChequesAreListedSettledByHandAndRegistered) {
  HostSession session(dir_, kDest);
  session.global.companyCode = "1";
  TXferNaghdForm form([s = &session] {
    return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
  });
  form.resize(1000, 600);
  form.show();
  form.transfer()->ToggleMark(kSource);
  auto* pages = form.findChild<QTabWidget*>("pcXfer");
  pages->setCurrentWidget(form.findChild<QWidget*>("ts_Chq"));
  auto* ok = form.findChild<QPushButton*>("cmdOk");
  ASSERT_TRUE(ok->isEnabled());
  DialogRecorder recorder;
  QTest::mouseClick(ok, Qt::LeftButton);

  auto* grid = form.findChild<TDBGrid*>("dbgChqPay");
  auto* reg = form.findChild<QPushButton*>("cmdRegChq");
  const int rows = grid->model()->rowCount();
  ASSERT_GT(rows, 0);
  EXPECT_TRUE(reg->isEnabled());
  int red = -1, blue = 0;
  for (int r = 0; r < rows; ++r) {
    const QColor c = Colour(grid, r);
    if (c == QColor(0xFF, 0, 0) && red < 0) red = r;
    blue += c == QColor(0, 0, 0xFF);
  }
  ASSERT_GE(red, 0);
  EXPECT_GT(blue, 0);
  const QString number = Cell(grid, red, 4);
  const double value = Number(grid, red, 5);

  // The suite's libraries where the application folder keeps them, for the grid search.
  const QString lib = QDir(QString::fromStdString(session.global.appFolder)).filePath("Lib");
  QDir().mkpath(lib);
  for (const QString& name : QDir(XFER_GRID_LIBRARY_DIR).entryList({"libGrid*.so"}))
    QFile::copy(QDir(XFER_GRID_LIBRARY_DIR).filePath(name), QDir(lib).filePath(name));
  bool refused = false;
  int found = -1;
  recorder.On("TTarafHesabForm", [&](QWidget* w) {
    auto* lines = w->findChild<TDBGrid*>("dbgTaraf");
    auto* confirm = w->findChild<QPushButton*>("cmdOk");
    ASSERT_GE(lines->model()->rowCount(), 2);
    // Ctrl+F: the search dialog names the second line's credit; the grid goes there.
    const QString credit = Cell(lines, 1, 3);
    recorder.On("SearchDialog", [&](QWidget* d) {
      auto* field = d->findChild<QComboBox*>("cmbField");
      field->setCurrentIndex(field->findData("ChqValue"));
      d->findChild<QLineEdit*>("edtValue")->setText(credit);
      d->findChild<QPushButton*>("cmdOk")->click();
    });
    lines->setCurrentIndex(lines->model()->index(0, 0));
    w->findChild<QAction*>("actSearch")->trigger();
    found = lines->currentIndex().row();
    const double first = std::min(Number(lines, 0, 3), value);
    Type(lines, 0, 4, first);
    Type(lines, 1, 4, value - first - 1);
    EXPECT_EQ(Number(lines, 1, 4), value - first - 1);
    confirm->click();  // one rial short: the message, the window stays
    refused = w->isVisible();
    Type(lines, 1, 4, value - first);
    confirm->click();
  });
  grid->setCurrentIndex(grid->model()->index(red, 0));
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_TRUE(refused);
  EXPECT_EQ(found, 1);
  ASSERT_FALSE(recorder.messages.empty());
  bool sawTotal = false;
  for (const auto& m : recorder.messages) sawTotal |= m.text == counterparty_text::kChequeTotal;
  EXPECT_TRUE(sawTotal);
  EXPECT_EQ(Cell(grid, red, 4), number);
  EXPECT_EQ(Colour(grid, red), QColor(0, 0, 0xFF));

  QTest::mouseClick(reg, Qt::LeftButton);
  EXPECT_EQ(Value("SELECT COUNT(*) FROM N_CHQFirst WHERE ChqNo = '" + number.toStdString() + "'"),
            "1");
  EXPECT_EQ(Value("SELECT COUNT(*) FROM N_CHQFirst"), std::to_string(blue + 1));

  // The note page lists the received notes in its own grid.
  pages->setCurrentWidget(form.findChild<QWidget*>("ts_Safteh1"));
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_GT(form.findChild<TDBGrid*>("dbgSafteh1")->model()->rowCount(), 0);
  EXPECT_TRUE(form.findChild<QPushButton*>("cmdRegSafteh")->isEnabled());
}

TEST_F(NaghdFormTest, BankAccountsMoveWithTheirOpenings) {
  HostSession session(dir_, kDest);
  session.global.companyCode = "1";
  TXferNaghdForm form([s = &session] {
    return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
  });
  form.resize(1000, 600);
  form.show();
  form.transfer()->ToggleMark(kSource);
  auto* pages = form.findChild<QTabWidget*>("pcXfer");
  pages->setCurrentWidget(form.findChild<QWidget*>("ts_Bank"));
  form.findChild<QComboBox*>("cmbBank")->setCurrentIndex(2);
  DialogRecorder recorder;
  // The accounts both periods hold take the source's rows.
  recorder.On("THesabNotXferForm",
              [](QWidget* w) { w->findChild<QPushButton*>("cmdOkAll")->click(); });
  QTest::mouseClick(form.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
  EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                  "..N_BankHesab S WHERE NOT EXISTS (SELECT * FROM N_BankHesab D WHERE "
                  "D.BankCod = S.BankCod AND D.ShobehCod = S.ShobehCod AND D.AcountCod = "
                  "S.AcountCod)"),
            "0");
  // The demo's accounts come in debit, credit and zero closing balances: openings differ from
  // the source's own openings wherever the year moved them.
  EXPECT_NE(Value(std::string("SELECT COUNT(*) FROM N_BankHesab D INNER JOIN ") + kSource +
                  "..N_BankHesab S ON S.ACOUNTID = D.ACOUNTID WHERE D.FirstBed <> S.FirstBed OR "
                  "D.FirstBes <> S.FirstBes"),
            "0");
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.back().text, "حساب هاي بانکي منتقل شد.");
}

}  // namespace
}  // namespace xfer::transfer
