// The data grid and its toolkit driven offscreen over record sets of the embedded engine:
// title-click sorting, the popup menu and its commands, rights, row memory across requery,
// lazy fetching and the mark shown as a check mark.
#include <QAction>
#include <QApplication>
#include <QMenu>

#include "tests/ui/grid/grid_fixture.h"
#include "ui/grid/grid_text.h"

namespace xfer::testing {
namespace {

using ui::grid::GridCommand;

class GridTest : public ::testing::Test, public GridServer {};

constexpr char kAll[] = "SELECT ID, Code, Name, Price, Qty, Mark FROM Items";

TEST_F(GridTest, TitleClickSortsAscendingThenDescendingAndRestartsOnAnotherTitle) {
  GridForm f(*host, dialogs, kAll);
  struct Step {
    const char* title;
    const char* serverOrder;  // the same order asked of the server
    QRgb titleColour;
  };
  const Step steps[] = {{"Name", "Name", 0xFF0000},        {"Name", "Name DESC", 0x0000FF},
                        {"Name", "Name", 0xFF0000},        {"Price", "Price", 0xFF0000},
                        {"Price", "Price DESC", 0x0000FF}, {"Qty", "Qty", 0xFF0000},
                        {"Name", "Name", 0xFF0000}};
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.title) + " -> " + s.serverOrder);
    f.ClickTitle(s.title);
    EXPECT_EQ(f.Column("Name"), ServerOrder(s.serverOrder));
    const int c = f.grid->columnOf(s.title);
    EXPECT_EQ(f.model()->headerData(c, Qt::Horizontal, Qt::ForegroundRole).value<QColor>().rgb() &
                  0xFFFFFF,
              s.titleColour);
    const int other = f.grid->columnOf(std::string(s.title) == "Code" ? "Name" : "Code");
    EXPECT_EQ(f.model()->headerData(other, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(Qt::black));
  }
}

TEST_F(GridTest, SortKeepsTheCurrentRecord) {
  GridForm f(*host, dialogs, kAll);
  f.rs.MoveTo(3);
  f.grid->SyncToDataSet();
  const std::string code = f.rs.Text("Code");
  f.ClickTitle("Name");
  EXPECT_EQ(f.rs.Text("Code"), code);
  EXPECT_EQ(f.grid->currentIndex().row(), f.rs.RecNo());
}

TEST_F(GridTest, MenuItemsFollowRecordCountAndRights) {
  // An empty grid: everything but help is off.
  {
    GridForm f(*host, dialogs, "SELECT * FROM Items WHERE 1 = 0");
    ASSERT_TRUE(f.maly->PopupAt({5, 5}));
    for (QAction* a : f.maly->menu()->findChildren<QAction*>()) {
      if (a->objectName().isEmpty()) continue;  // separators, submenu entries
      EXPECT_EQ(a->isEnabled(), a->objectName() == "actHelp") << a->objectName().toStdString();
    }
    f.maly->menu()->close();
  }
  // One row: search needs two.
  {
    GridForm f(*host, dialogs, "SELECT * FROM Items WHERE Code = 'C1'");
    f.maly->PopupAt({5, 5});
    EXPECT_FALSE(f.maly->action(GridCommand::kSearch)->isEnabled());
    EXPECT_TRUE(f.maly->action(GridCommand::kDeleteRow)->isEnabled());
    f.maly->menu()->close();
  }
  // Rights come from the user's option string each time the menu opens.
  struct Case {
    const char* options;
    bool copy, print;
  };
  for (const Case& c : {Case{"COPY=NO;PRINT=YES;", false, true}, Case{"PRINT=NO;", true, false},
                        Case{"", true, true}}) {
    SCOPED_TRACE(c.options);
    server.Run(kDb,
               "DELETE FROM UserHub INSERT INTO UserHub (UserID, User_Pass1, Kelvaro) "
               "VALUES (1, 'K1', " +
                   db::Quote(c.options) + ")");
    GridForm f(*host, dialogs, kAll);
    f.maly->PopupAt({5, 5});
    EXPECT_EQ(host->global.canCopy, c.copy);
    EXPECT_EQ(host->global.canPrint, c.print);
    for (GridCommand cmd : {GridCommand::kCopyRow, GridCommand::kCopyCell, GridCommand::kSendExcel,
                            GridCommand::kDbfWin})
      EXPECT_EQ(f.maly->action(cmd)->isEnabled(), c.copy);
    for (GridCommand cmd : {GridCommand::kPrint, GridCommand::kAdvancedPrint})
      EXPECT_EQ(f.maly->action(cmd)->isEnabled(), c.print);
    EXPECT_TRUE(f.maly->action(GridCommand::kSearch)->isEnabled());
    f.maly->menu()->close();
  }
  // A closed dataset opens no menu.
  GridForm f(*host, dialogs, kAll);
  f.rs.Close();
  EXPECT_FALSE(f.maly->PopupAt({5, 5}));
}

TEST_F(GridTest, MenusCarryTheCaptionsAndShortcutsOfEachVariant) {
  struct Item {
    GridCommand command;
    const char* caption;
    const char* shortcut;
  };
  GridForm query(*host, dialogs, kAll);
  for (const Item& i :
       {Item{GridCommand::kHelp, "راهنما", "F1"}, Item{GridCommand::kSearch, "جستجو ...", "Ctrl+F"},
        Item{GridCommand::kSaveLayout, "ثبت وضعيت ستونها", "Ctrl+G"},
        Item{GridCommand::kResetLayout, "بازگشت به وضعيت اوليه ستونها", "Alt+G"},
        Item{GridCommand::kCopyRow, "کپي رديف به حافظه", "Ctrl+Ins"},
        Item{GridCommand::kRestoreRow, "بازيابي رديف از حافظه", "Shift+Ins"},
        Item{GridCommand::kCopyCell, "کپي خانه به حافظه", "Ctrl+C"},
        Item{GridCommand::kRestoreCell, "بازيابي خانه از حافظه", "Ctrl+V"},
        Item{GridCommand::kDeleteRow, "حذف رديف", "Ctrl+Del"},
        Item{GridCommand::kFilter, "پالايش گزارش ...", "Ctrl+L"},
        Item{GridCommand::kPrint, "چاپ ...", "Ctrl+P"},
        Item{GridCommand::kSendClipboard, "Clipboard (محيط ديگر ...)", ""},
        Item{GridCommand::kDbfDos, "Dbf->Dos", ""}}) {
    QAction* a = query.maly->action(i.command);
    ASSERT_NE(a, nullptr) << i.caption;
    EXPECT_EQ(a->text().toStdString(), i.caption);
    EXPECT_EQ(a->shortcut().toString().toStdString(), i.shortcut);
  }
  EXPECT_EQ(query.maly->action(GridCommand::kSms), nullptr);
  GridForm report(*host, dialogs, kAll, ui::grid::GridVariant::kReport);
  for (const Item& i : {Item{GridCommand::kSearch, "جستجو...", "Ctrl+F"},
                        Item{GridCommand::kHideColumn, "حذف ستون", "Ctrl+D"},
                        Item{GridCommand::kColumns, "ستونها ...", "Ctrl+K"},
                        Item{GridCommand::kColumnChart, "نمودار ستوني اطلاعات ...", ""},
                        Item{GridCommand::kRowChart, "نمودار سطري اطلاعات ...", ""},
                        Item{GridCommand::kSendClipboard, "Clipboard ( محيط ديگر ...)", ""},
                        Item{GridCommand::kSms, "ارسال SMS", ""}}) {
    QAction* a = report.maly->action(i.command);
    ASSERT_NE(a, nullptr) << i.caption;
    EXPECT_EQ(a->text().toStdString(), i.caption);
    EXPECT_EQ(a->shortcut().toString().toStdString(), i.shortcut);
  }
  EXPECT_EQ(report.maly->action(GridCommand::kDeleteRow), nullptr);
}

TEST_F(GridTest, RowAndCellMemoryRestoreThroughShortcutsAndKeepTheIdentity) {
  GridForm f(*host, dialogs, kAll);
  f.Focus();
  f.grid->setCurrentIndex(f.model()->index(2, f.grid->columnOf("Name")));
  QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ControlModifier);  // copy row
  EXPECT_NE(f.maly->rowMemory().find("Name=" + kItemNames[2] + "\t"), std::string::npos);
  f.grid->setCurrentIndex(f.model()->index(5, f.grid->columnOf("Name")));
  QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ShiftModifier);  // restore row
  EXPECT_EQ(
      server.Value(kDb, "SELECT COUNT(*) FROM Items WHERE Name = " + db::Quote(kItemNames[2]) +
                            " AND Code = 'C2' AND Qty = " + std::to_string(2 * 7 % 11)),
      "2");
  EXPECT_EQ(server.Value(kDb, "SELECT Name FROM Items WHERE ID = 6"), kItemNames[2]);

  // The cell of row 1's price goes into row 8's price.
  f.grid->setCurrentIndex(f.model()->index(0, f.grid->columnOf("Price")));
  QTest::keyClick(f.grid, Qt::Key_C, Qt::ControlModifier);
  f.grid->setCurrentIndex(f.model()->index(7, f.grid->columnOf("Price")));
  QTest::keyClick(f.grid, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(server.Value(kDb, "SELECT Price FROM Items WHERE ID = 8"),
            server.Value(kDb, "SELECT Price FROM Items WHERE ID = 1"));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridTest, DeleteAsksAndHonoursTheTurnoverCheck) {
  server.Run(kDb,
             "CREATE TABLE Moves (Code varchar(10), Qty int) "
             "INSERT INTO Moves VALUES ('C3', 1)");
  GridForm f(*host, dialogs, kAll);
  f.maly->setTurnoverCheck({{"Code"}, "Name", "Select Count(*) From Moves Where Code = "});
  auto count = [&] { return server.Value(kDb, "SELECT COUNT(*) FROM Items"); };
  struct Case {
    int row;
    int answer;
    std::string message;
    const char* left;
  };
  const Case cases[] = {
      {3, db::kResultYes, kItemNames[3] + " گردش دارد.", "10"},  // has turnover: refused
      {4, db::kResultNo, "آيا حذف شود؟", "10"},                  // asked, answered no
      {4, db::kResultYes, "آيا حذف شود؟", "9"},                  // asked, answered yes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    dialogs.messages.clear();
    dialogs.answers = {c.answer};
    f.grid->setCurrentIndex(f.model()->index(c.row, 1));
    f.maly->Run(GridCommand::kDeleteRow);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, c.message);
    EXPECT_EQ(count(), c.left);
    EXPECT_EQ(f.model()->rowCount(), std::stoi(c.left));
  }
  EXPECT_EQ(server.Value(kDb, "SELECT COUNT(*) FROM Items WHERE Code = 'C4'"), "0");
}

TEST_F(GridTest, RequeryKeepsTheRowAndCellAfterRowsArriveBeforeIt) {
  GridForm f(*host, dialogs, std::string(kAll) + " ORDER BY Code");
  f.grid->setCurrentIndex(f.model()->index(4, f.grid->columnOf("Price")));
  server.Run(kDb,
             "INSERT INTO Items (Code, Name) VALUES ('A1', 'x') "
             "INSERT INTO Items (Code, Name) VALUES ('A2', 'y')");
  f.grid->Requery();
  EXPECT_EQ(f.rs.RecordCount(), 12);
  EXPECT_EQ(f.rs.Text("Code"), "C4");
  EXPECT_EQ(f.grid->currentIndex().row(), 6);
  EXPECT_EQ(f.grid->currentIndex().column(), f.grid->columnOf("Price"));
}

TEST_F(GridTest, LargeSetsAreFetchedInChunksAndMarksDrawAsChecks) {
  server.Run(kDb,
             "CREATE TABLE Many (N int, Mark varchar(1)) "
             "DECLARE @i int SET @i = 0 WHILE @i < 10000 BEGIN "
             "INSERT INTO Many VALUES (@i, CASE WHEN @i % 3 = 0 THEN 'ض' ELSE '' END) "
             "SET @i = @i + 1 END");
  GridForm f(*host, dialogs, "SELECT N, Mark FROM Many ORDER BY N");
  EXPECT_EQ(f.model()->rowCount(), ui::grid::RecordSetModel::kChunk);
  f.grid->scrollToBottom();
  while (f.model()->canFetchMore({})) f.model()->fetchMore({});
  EXPECT_EQ(f.model()->rowCount(), 10000);
  EXPECT_EQ(f.model()->index(3, 1).data().toString(), QString::fromUtf8("✔"));
  EXPECT_EQ(f.model()->index(4, 1).data().toString(), QString());
  // Jumping to a far row fetches up to it.
  GridForm g(*host, dialogs, "SELECT N, Mark FROM Many ORDER BY N");
  g.rs.MoveTo(9000);
  g.grid->SyncToDataSet();
  EXPECT_EQ(g.grid->currentIndex().row(), 9000);
}

TEST_F(GridTest, FittingWidthsWidensToTheLongestValueAndIsStable) {
  server.Run(kDb, "INSERT INTO Items (Code, Name) VALUES ('C99', REPLICATE('ب', 40))");
  GridForm f(*host, dialogs, std::string(kAll) + " ORDER BY Code", ui::grid::GridVariant::kQuery,
             {{"Code", "کد", 30}, {"Name", "نام", 30}, {"Price", "مبلغ", 30, false, true, true}});
  f.maly->FitColumnWidths();
  const int name = f.grid->columnWidth(1);
  EXPECT_GE(name, QFontMetrics(f.grid->font()).horizontalAdvance(QString(40, QChar(0x628))) + 8);
  EXPECT_GE(f.grid->columnWidth(2),
            QFontMetrics(f.grid->font()).horizontalAdvance(ui::grid::DelimitedNumber(1234567.5)));
  const std::vector<int> first = {f.grid->columnWidth(0), name, f.grid->columnWidth(2)};
  f.maly->FitColumnWidths();
  EXPECT_EQ(
      (std::vector<int>{f.grid->columnWidth(0), f.grid->columnWidth(1), f.grid->columnWidth(2)}),
      first);
  // Narrow content never shrinks a wide column.
  f.grid->setColumnWidth(0, 500);
  f.maly->FitColumnWidths();
  EXPECT_EQ(f.grid->columnWidth(0), 500);
}

}  // namespace
}  // namespace xfer::testing
