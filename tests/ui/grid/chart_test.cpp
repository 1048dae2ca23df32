// The chart view over real grids: the chart tables of both kinds (replaced, never appended),
// the series kinds of the toolbar, point choice in TGrafColSetForm, and the chart rendered
// offscreen to a PNG that is checked for size and drawn pixels.
#include <QAction>
#include <QChart>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <set>

#include "tests/ui/grid/grid_fixture.h"
#include "tests/ui/modal_script.h"
#include "ui/chart/graf_form.h"
#include "ui/chart/show_chart.h"

namespace xfer::testing {
namespace {

using ui::chart::ChartKind;
using ui::chart::SeriesKind;

class ChartTest : public ::testing::Test, public GridServer {
 protected:
  std::string Count(const std::string& table) {
    return db::ScalarText(*host->link.connection(), "SELECT COUNT(*) FROM " + table);
  }
};

TEST_F(ChartTest, ColumnChartTakesTheCurrentRowsNumberColumnsAndIsReplaced) {
  GridForm f(*host, dialogs, "SELECT ID, Code, Name, Price, Qty FROM Items ORDER BY ID",
             ui::grid::GridVariant::kReport,
             {{"ID", "رديف"},
              {"Code", "کد"},
              {"Name", "نام"},
              {"Price", "مبلغ"},
              {"Qty", "تعداد", 0, false, false, false, false}});
  f.rs.MoveTo(2);
  f.grid->SyncToDataSet();
  for (int run = 0; run < 2; ++run) {
    std::unique_ptr<ui::chart::TGrafForm> form(
        ui::chart::ShowChart(*f.maly, ChartKind::kVert, {}, {}, "نمودار", false));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Count("##dbgItems_Vert"), "2");  // ID and Price; Qty is hidden
    ASSERT_EQ(form->points().size(), 2u);
    EXPECT_EQ(form->points()[0].first.toStdString(), "رديف");
    EXPECT_DOUBLE_EQ(form->points()[0].second, 3);
    EXPECT_EQ(form->points()[1].first.toStdString(), "مبلغ");
    EXPECT_DOUBLE_EQ(form->points()[1].second, std::get<double>(f.rs.Get("Price")));
  }
  // Only text columns: an empty chart.
  GridForm texts(*host, dialogs, "SELECT Code, Name FROM Items", ui::grid::GridVariant::kReport);
  std::unique_ptr<ui::chart::TGrafForm> empty(
      ui::chart::ShowChart(*texts.maly, ChartKind::kVert, {}, {}, "", false));
  EXPECT_TRUE(empty->points().empty());
}

TEST_F(ChartTest, RowChartDrawsEverySeriesKindAndSavesAPicture) {
  GridForm f(*host, dialogs, "SELECT Name, Price FROM Items ORDER BY ID",
             ui::grid::GridVariant::kReport);
  std::unique_ptr<ui::chart::TGrafForm> form(
      ui::chart::ShowChart(*f.maly, ChartKind::kHoriz, "Name", "Price", "قيمت اقلام", false));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->points().size(), kItemNames.size());
  EXPECT_EQ(Count("##dbgItems_Horiz"), std::to_string(kItemNames.size()));
  for (const char* button : {"sbLine", "sbBar", "sbHorizBar", "sbArea", "sbPoint", "sbPie",
                             "sbFastLine", "sbShape", "sbGantt", "sbArrow", "sbBubble"}) {
    SCOPED_TRACE(button);
    form->findChild<QAction*>(button)->trigger();
    ASSERT_EQ(form->chart()->series().size(), 1);
  }
  form->findChild<QAction*>("sbBar")->trigger();
  EXPECT_EQ(form->chart()->series().front()->type(), QAbstractSeries::SeriesTypeBar);
  form->findChild<QAction*>("sbZoomIn")->trigger();
  form->findChild<QAction*>("sbZoomIn")->trigger();
  EXPECT_EQ(form->zoomPercent(), 110);
  form->findChild<QAction*>("sbUndoZoom")->trigger();
  EXPECT_EQ(form->zoomPercent(), 100);
  form->findChild<QAction*>("sbMarks")->trigger();
  EXPECT_TRUE(form->marksShown());

  form->resize(640, 420);
  form->show();
  QApplication::processEvents();
  const QString png = QString::fromStdString(server.directory + "/chart.png");
  ASSERT_TRUE(form->SavePng(png));
  QImage image(png);
  EXPECT_GE(image.width(), 300);
  EXPECT_GE(image.height(), 200);
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 8u);  // bars, axes, text: not a blank picture
}

TEST_F(ChartTest, ColumnChoiceMovesPointsBetweenTheLists) {
  GridForm f(*host, dialogs, "SELECT Name, Price FROM Items ORDER BY ID",
             ui::grid::GridVariant::kReport);
  std::unique_ptr<ui::chart::TGrafForm> form(
      ui::chart::ShowChart(*f.maly, ChartKind::kHoriz, "Name", "Price", "", false));
  ModalScript script;
  script.Answer("TGrafColSetForm", [](QWidget* w) {
    w->findChild<QPushButton*>("cmd_n_To_Left")->click();  // everything out
    auto* available = w->findChild<QListWidget*>("lstAvailable");
    available->setCurrentRow(1);
    w->findChild<QPushButton*>("cmd_1_To_Right")->click();  // one back
    available->setCurrentRow(0);
    w->findChild<QPushButton*>("cmd_1_To_Right")->click();
    w->findChild<QPushButton*>("cmdOk")->click();
  });
  form->ChooseColumns();
  EXPECT_EQ(script.answered(), 1);
  EXPECT_EQ(form->shownLabels(), (QStringList{QString::fromStdString(kItemNames[1]),
                                              QString::fromStdString(kItemNames[0])}));
}

}  // namespace
}  // namespace xfer::testing
