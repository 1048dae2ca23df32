// Column layouts kept in Grid_State, the colour options file and the suite's dialog libraries,
// each driven through a real grid over the embedded engine.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "tests/ui/grid/grid_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/grid/colour_options.h"
#include "ui/grid/form_libraries.h"

namespace xfer::testing {
namespace {

using ui::grid::GridCommand;

class GridServicesTest : public ::testing::Test, public GridServer {};

constexpr char kAll[] = "SELECT ID, Code, Name, Price, Qty, Mark FROM Items";

struct Layout {
  std::vector<std::string> order;  // display order of the visible columns
  std::vector<int> widths;
  bool operator==(const Layout&) const = default;
};

Layout LayoutOf(const GridForm& f) {
  Layout l;
  for (int c : f.grid->displayOrder()) {
    if (f.grid->isColumnHidden(c)) continue;
    l.order.push_back(f.grid->fieldOf(c));
    l.widths.push_back(f.grid->columnWidth(c));
  }
  return l;
}

TEST_F(GridServicesTest, SavedLayoutComesBackInANewFormAndResetForgetsIt) {
  Layout saved;
  Layout design;
  {
    GridForm f(*host, dialogs, kAll);
    design = LayoutOf(f);
    QHeaderView* h = f.grid->horizontalHeader();
    h->moveSection(h->visualIndex(f.grid->columnOf("Price")), 0);
    f.grid->setColumnHidden(f.grid->columnOf("Code"), true);
    f.grid->setColumnWidth(f.grid->columnOf("Name"), 222);
    saved = LayoutOf(f);
    f.Focus();
    QTest::keyClick(f.grid, Qt::Key_G, Qt::ControlModifier);
    f.maly->Run(GridCommand::kSaveLayout);  // saving twice replaces, never duplicates
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "وضعيت ستونها ثبت شد.");
    EXPECT_EQ(dialogs.messages[0].code, "1ER");
  }
  EXPECT_EQ(server.Value(kDb,
                         "SELECT COUNT(*) FROM Grid_State WHERE UserId = '1' AND "
                         "sPart = 'dbgItems'"),
            "6");
  EXPECT_EQ(server.Value(kDb, "SELECT sVisible FROM Grid_State WHERE sColName = 'Code'"), "F");
  {
    GridForm f(*host, dialogs, kAll);
    EXPECT_EQ(LayoutOf(f), saved);
    EXPECT_TRUE(f.grid->isColumnHidden(f.grid->columnOf("Code")));
    f.maly->Run(GridCommand::kResetLayout);
    EXPECT_EQ(dialogs.messages.back().text,
              "ستونها به وضعيت اوليه بازگشت. \nلطفا براي مشاهده ستونهاي اوليه\nاز فرم خارج شده و "
              "دوباره وارد شويد.");
  }
  GridForm f(*host, dialogs, kAll);
  EXPECT_EQ(LayoutOf(f), design);
  // Another user's layout is not this user's.
  host->global.userId = "2";
  GridForm other(*host, dialogs, kAll);
  EXPECT_EQ(LayoutOf(other), design);
}

TEST_F(GridServicesTest, DamagedAndForeignRowsAreSkippedWithoutLeavingGaps) {
  const std::string head =
      "INSERT INTO Grid_State (UserId, sVisible, sProg, sItem, sForm, sPart, sColName, iLen, "
      "iRaj) VALUES ('1', ";
  const std::string keys = "'M', 'SAYER', 'XFER', 'dbgItems', ";
  server.Run(kDb, head + "'T', " + keys + "'Qty', 90, 0) " +        // applied first
                      head + "'T', " + keys + "'Gone', 50, 1) " +   // a column the grid lacks
                      head + "'X', " + keys + "'Code', 50, 2) " +   // visibility not T/F
                      head + "'T', " + keys + "NULL, 50, 3) " +     // no field name
                      head + "'T', " + keys + "'Price', -7, 4) " +  // negative width
                      head + "'T', " + keys + "'ID', 99999, 5) " +  // absurd width
                      head + "'T', " + keys + "'Name', 130, 6) " +  // applied second
                      head + "NULL, " + keys + "'Mark', NULL, NULL)");
  GridForm f(*host, dialogs, kAll);
  const Layout l = LayoutOf(f);
  ASSERT_GE(l.order.size(), 2u);
  EXPECT_EQ(l.order[0], "Qty");
  EXPECT_EQ(l.widths[0], 90);
  EXPECT_EQ(l.order[1], "Name");
  EXPECT_EQ(l.widths[1], 130);
  EXPECT_EQ(l.order.size(), 6u);  // nothing hidden by the damaged rows
  EXPECT_TRUE(dialogs.messages.empty());

  // A period without the table shows the design-time layout.
  server.Run(kDb, "DROP TABLE Grid_State");
  GridForm g(*host, dialogs, kAll);
  EXPECT_EQ(LayoutOf(g).order,
            (std::vector<std::string>{"ID", "Code", "Name", "Price", "Qty", "Mark"}));
}

TEST_F(GridServicesTest, ColourFileMissingMalformedOrGiven) {
  const QString folder = QString::fromStdString(server.directory);
  const QString file = ui::grid::ColourOptionsFile(folder);
  EXPECT_TRUE(file.endsWith("/Data/OptionsColor.ini"));
  struct Case {
    const char* name;
    const char* content;  // null: no file
    QRgb gridBack, readOnlyText, sortedTitle, dialog;
  };
  const Case cases[] = {
      {"missing", nullptr, 0xFFFFE1, 0xFFFF00, 0xFF0000, 0xF0F0F0},
      {"garbage", "\x01\x02[[[Color\nGridTextBAColor===\n", 0xFFFFE1, 0xFFFF00, 0xFF0000, 0xF0F0F0},
      {"bad values", "[Color]\nGridTextBAColor=clNoSuch\nGridTextFRColor=0xZZ\n", 0xFFFFE1,
       0xFFFF00, 0xFF0000, 0xF0F0F0},
      {"given",
       "[Color]\nGridTextBAColor=0x00112233\nGridTextFRColor=clNavy\n"
       "GridCaptionFSColor=clGreen\nDialogColor=$00FFFFFF\n",
       0x332211, 0x000080, 0x008000, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(file);
    if (c.content) {
      QDir().mkpath(folder + "/Data");
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.content);
    }
    const ui::grid::ColourOptions o = ui::grid::ReadColourOptions(file);
    EXPECT_EQ(o.gridTextBA.rgb() & 0xFFFFFF, c.gridBack);
    EXPECT_EQ(o.gridTextFR.rgb() & 0xFFFFFF, c.readOnlyText);
    EXPECT_EQ(o.dialog.rgb() & 0xFFFFFF, c.dialog);
    EXPECT_EQ(o.gridTextBR.rgb() & 0xFFFFFF, 0x63789Cu);  // never given: its default

    GridForm f(*host, dialogs, kAll, ui::grid::GridVariant::kQuery,
               {{"Code", "کد", 0, true}, {"Name", "نام"}});
    const auto [readOnlyTitle, sortedTitle] = ui::grid::ApplyFormColours(&f.form, o);
    EXPECT_EQ(sortedTitle.rgb() & 0xFFFFFF, c.sortedTitle);
    EXPECT_EQ(readOnlyTitle, o.gridCaptionFR);
    // Read-only columns take the R colours, the others the grid's.
    EXPECT_EQ(f.model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), o.gridTextFR);
    EXPECT_EQ(f.model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), o.gridTextBA);
    EXPECT_EQ(f.form.palette().color(QPalette::Window), o.dialog);
  }
}

// The suite's libraries, copied where the application folder keeps them.
void InstallLibraries(const std::string& appFolder) {
  const QString target = QDir(QString::fromStdString(appFolder)).filePath("Lib");
  QDir().mkpath(target);
  for (const QString& name : QDir(XFER_GRID_LIBRARY_DIR).entryList({"libGrid*.so"}))
    QFile::copy(QDir(XFER_GRID_LIBRARY_DIR).filePath(name), QDir(target).filePath(name));
}

TEST_F(GridServicesTest, MissingLibraryLeavesTheGridAsItWas) {
  GridForm f(*host, dialogs, kAll, ui::grid::GridVariant::kReport);
  const Layout before = LayoutOf(f);
  const long long row = f.rs.RecNo();
  for (GridCommand c : {GridCommand::kSearch, GridCommand::kColumns, GridCommand::kFilter,
                        GridCommand::kAdvancedSort, GridCommand::kProperties}) {
    f.maly->Run(c);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  ui::grid::GridLibraryCall call;
  EXPECT_FALSE(ui::grid::CallLibrary(ui::grid::GridService::kColumns, server.directory, call));
  EXPECT_EQ(LayoutOf(f), before);
  EXPECT_EQ(f.rs.RecNo(), row);
  EXPECT_FALSE(f.maly->filtered());
  EXPECT_TRUE(dialogs.messages.empty());
  // The SMS command first asks whether the SMS program runs.
  f.maly->Run(GridCommand::kSms);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "نرم افزار مديريت پيامک  اجرا نشده !");
}

TEST_F(GridServicesTest, SearchFilterColumnsAndSortThroughTheLibraries) {
  InstallLibraries(server.directory);
  GridForm f(*host, dialogs, std::string(kAll) + " ORDER BY ID", ui::grid::GridVariant::kReport);
  ModalScript script;

  // Search positions the grid on the first row showing the value.
  script.Answer("SearchDialog", [](QWidget* d) {
    auto* field = d->findChild<QComboBox*>("cmbField");
    field->setCurrentIndex(field->findData("Name"));
    d->findChild<QLineEdit*>("edtValue")->setText(QString::fromUtf8("پرت"));
    d->findChild<QPushButton*>("cmdOk")->click();
  });
  f.maly->Run(GridCommand::kSearch);
  EXPECT_EQ(f.rs.Text("Name"), "پرتقال");
  EXPECT_EQ(f.grid->currentIndex().row(), f.rs.RecNo());

  // The column chooser hides Code and moves Name first.
  script.Answer("ColumnsDialog", [](QWidget* d) {
    auto* list = d->findChild<QListWidget*>("lstColumns");
    list->item(1)->setCheckState(Qt::Unchecked);
    list->setCurrentRow(2);
    d->findChild<QPushButton*>("cmdUp")->click();
    d->findChild<QPushButton*>("cmdUp")->click();
    d->findChild<QPushButton*>("cmdOk")->click();
  });
  f.maly->Run(GridCommand::kColumns);
  EXPECT_EQ(LayoutOf(f).order, (std::vector<std::string>{"Name", "ID", "Price", "Qty", "Mark"}));

  // Advanced sort: quantity descending, then name.
  script.Answer("SortDialog", [](QWidget* d) {
    auto* first = d->findChild<QComboBox*>("cmbField1");
    first->setCurrentIndex(first->findData("Qty"));
    d->findChild<QCheckBox*>("chkDesc1")->setChecked(true);
    auto* second = d->findChild<QComboBox*>("cmbField2");
    second->setCurrentIndex(second->findData("Name"));
    d->findChild<QPushButton*>("cmdOk")->click();
  });
  f.maly->Run(GridCommand::kAdvancedSort);
  EXPECT_EQ(f.Column("Name"), ServerOrder("Qty DESC, Name"));

  // The filter narrows to a new query and the same item gives the rows back.
  script.Answer("FilterDialog", [](QWidget* d) {
    auto* field = d->findChild<QComboBox*>("cmbField");
    field->setCurrentIndex(field->findData("Name"));
    d->findChild<QComboBox*>("cmbOperator")->setCurrentIndex(0);
    d->findChild<QLineEdit*>("edtValue")->setText("O'Neil");
    d->findChild<QPushButton*>("cmdOk")->click();
  });
  f.Focus();
  QTest::keyClick(f.grid, Qt::Key_L, Qt::ControlModifier);
  ASSERT_TRUE(f.maly->filtered());
  EXPECT_EQ(f.grid->dataSet()->RecordCount(), 1);
  EXPECT_EQ(f.grid->dataSet()->Text("Name"), "O'Neil");
  EXPECT_EQ(f.maly->action(GridCommand::kFilter)->text().toStdString(), "بازگشت از پالايش");
  f.maly->Run(GridCommand::kFilter);
  EXPECT_FALSE(f.maly->filtered());
  EXPECT_EQ(f.grid->dataSet(), &f.rs);
  EXPECT_EQ(f.maly->action(GridCommand::kFilter)->text().toStdString(), "پالايش گزارش ...");
  EXPECT_EQ(script.answered(), 4);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridServicesTest, SmsQueuesOneMessagePerNumberWhenTheProgramRuns) {
  InstallLibraries(server.directory);
  host->link.RunSql("CREATE TABLE ##TSMS (Mobile varchar(20), Msg varchar(500))");
  GridForm f(*host, dialogs, std::string(kAll) + " ORDER BY ID", ui::grid::GridVariant::kReport);
  ModalScript script;
  script.Answer("SmsDialog", [](QWidget* d) {
    auto* field = d->findChild<QComboBox*>("cmbMobile");
    field->setCurrentIndex(field->findData("Qty"));
    d->findChild<QPlainTextEdit*>("edtMessage")->setPlainText(QString::fromUtf8("سلام 'دوست'"));
    d->findChild<QPushButton*>("cmdOk")->click();
  });
  f.maly->Run(GridCommand::kSms);
  EXPECT_EQ(script.answered(), 1);
  EXPECT_EQ(db::ScalarText(*host->link.connection(), "SELECT COUNT(DISTINCT Mobile) FROM ##TSMS"),
            db::ScalarText(*host->link.connection(), "SELECT COUNT(DISTINCT Qty) FROM Items"));
  EXPECT_EQ(db::ScalarText(*host->link.connection(), "SELECT TOP 1 Msg FROM ##TSMS"),
            "سلام 'دوست'");
}

}  // namespace
}  // namespace xfer::testing
