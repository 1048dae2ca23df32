// The send-to and DBF commands of a real grid: only visible columns in display order, captions
// as headings, display texts as values; files land in the application folder and go to the
// (replaced) opener; the DBF copy goes to the folder picked in TSelForm.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <filesystem>
#include "temp_tree.h"

#include "tests/ui/grid/grid_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/grid/grid_export.h"
#include "ui/grid/sel_form.h"

namespace xfer::testing {
namespace {

using ui::grid::GridCommand;

class GridExportTest : public ::testing::Test, public GridServer {
 protected:
  void SetUp() override {
    ui::grid::SetFileOpener([this](const QString& path) {
      opened.push_back(path);
      return true;
    });
  }
  void TearDown() override { ui::grid::SetFileOpener({}); }
  std::vector<QString> opened;
};

// Name first, Code hidden, ordered by ID: what every format must show.
std::unique_ptr<GridForm> ArrangedGrid(HostSession& host, db::Dialogs& dialogs) {
  auto f = std::make_unique<GridForm>(
      host, dialogs, "SELECT ID, Code, Name, Mark FROM Items WHERE ID <= 3 ORDER BY ID",
      ui::grid::GridVariant::kQuery,
      std::vector<ui::grid::GridColumn>{
          {"ID", "رديف"}, {"Code", "کد"}, {"Name", "نام"}, {"Mark", "انتخاب"}});
  QHeaderView* h = f->grid->horizontalHeader();
  h->moveSection(h->visualIndex(2), 0);
  f->grid->setColumnHidden(1, true);
  return f;
}

TEST_F(GridExportTest, ClipboardAndTabFilesCarryVisibleColumnsInDisplayOrder) {
  auto f = ArrangedGrid(*host, dialogs);
  const std::string expected = "نام\tرديف\tانتخاب\t  |" + kItemNames[0] + "\t1\t\t  |" +
                               kItemNames[1] + "\t2\tض\t  |" + kItemNames[2] + "\t3\t\t  |";
  auto with = [&](const std::string& end) {
    std::string s = expected;
    for (size_t at; (at = s.find('|')) != std::string::npos;) s.replace(at, 1, end);
    return s;
  };
  f->maly->Run(GridCommand::kSendClipboard);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), with("\n"));
  f->maly->Run(GridCommand::kSendExcel);
  f->maly->Run(GridCommand::kSendWord);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], QString::fromStdString(server.directory + "/dbgItems.XLS"));
  EXPECT_EQ(opened[1], QString::fromStdString(server.directory + "/dbgItems.DOC"));
  for (const QString& file : opened) {
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll().toStdString(), "\xEF\xBB\xBF" + with("\r\n"));
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridExportTest, HtmlAndWorkbookGoUnderTheApplicationFolder) {
  auto f = ArrangedGrid(*host, dialogs);
  host->global.today = "1403/05/06";
  f->maly->setTitle("فهرست اقلام");
  f->maly->Run(GridCommand::kSendHtml);
  f->maly->Run(GridCommand::kSendExcelBook);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], QString::fromStdString(server.directory + "/html/dbgItems.html"));
  QFile page(opened[0]);
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  EXPECT_TRUE(html.contains(QString::fromUtf8("<TITLE> فهرست اقلام</TITLE>")));
  EXPECT_TRUE(html.contains(QString::fromUtf8("در تاريخ:1403/05/06")));
  EXPECT_FALSE(html.contains(QString::fromUtf8("کد")));  // the hidden column
  EXPECT_EQ(html.count("<TR>"), 4);
  EXPECT_TRUE(std::filesystem::file_size(opened[1].toStdString()) > 0);
}

TEST_F(GridExportTest, DbfIsCopiedToTheChosenFolderOrNotAtAll) {
  auto f = ArrangedGrid(*host, dialogs);
  const std::string target = server.directory + "/copies";
  std::filesystem::create_directories(target);
  ModalScript script;
  script.Answer("TSelForm", [&](QWidget* w) {
    static_cast<ui::grid::TSelForm*>(w)->setDirectory(QString::fromStdString(target));
    w->findChild<QPushButton*>("cmdOk")->click();
  });
  f->maly->Run(GridCommand::kDbfWin);
  EXPECT_TRUE(std::filesystem::exists(target + "/dbgItems.DBF"));
  EXPECT_TRUE(std::filesystem::exists(target + "/dbgItems.cpg"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "کپي فايلها با موفقيت انجام شد");
  EXPECT_EQ(dialogs.messages[0].code, "1IR");

  xfer_test::RemoveTree(target);
  std::filesystem::create_directories(target);
  script.Click("TSelForm", "cmdCancel");
  f->maly->Run(GridCommand::kDbfDos);
  EXPECT_FALSE(std::filesystem::exists(target + "/dbgItems.DBF"));
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(script.answered(), 2);
}

}  // namespace
}  // namespace xfer::testing
