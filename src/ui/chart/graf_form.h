// TGrafForm: the chart of a chart table, one of eleven series kinds at a time, with the toolbar
// of zoom, depth, legend, value marks, print, point choice and saving as PNG.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QChart;
class QChartView;
class QToolBar;

namespace xfer::db {
class Backend;
}

namespace xfer::ui {
class CaptionPanel;
}

namespace xfer::ui::chart {

enum class SeriesKind {
  kLine,
  kBar,
  kHorizontalBar,
  kArea,
  kPoint,
  kPie,
  kFastLine,
  kShape,
  kGantt,
  kArrow,
  kBubble
};

class TGrafForm : public QDialog {
  Q_OBJECT
 public:
  explicit TGrafForm(QWidget* parent = nullptr);
  TGrafForm(const TGrafForm&) = delete;
  TGrafForm& operator=(const TGrafForm&) = delete;

  // Reads XLabel and XData of `table` and draws them under `title`.
  void Load(db::Backend& backend, const std::string& table, const QString& title);
  void ShowSeries(SeriesKind kind);
  SeriesKind series() const { return kind_; }
  const std::vector<std::pair<QString, double>>& points() const { return points_; }
  QStringList shownLabels() const { return shown_; }
  void setShownLabels(const QStringList& labels);

  void ZoomIn();
  void ZoomOut();
  void UndoZoom();
  int zoomPercent() const { return zoom_; }
  void Toggle3D();
  void ToggleLegend();
  void ToggleMarks();
  bool marksShown() const { return marks_; }
  // Opens TGrafColSetForm; the chosen labels stay shown.
  void ChooseColumns();
  void PrintChart();
  // The chart as an image file; false when it cannot be written.
  bool SavePng(const QString& path) const;
  QChart* chart() const;

 private:
  void Redraw();

  CaptionPanel* Caption_Panel = nullptr;
  QToolBar* tbChart = nullptr;
  QChartView* chtMain = nullptr;
  std::vector<std::pair<QString, double>> points_;
  QStringList shown_;
  SeriesKind kind_ = SeriesKind::kBar;
  int zoom_ = 100;
  bool depth_ = true;
  bool legend_ = true;
  bool marks_ = false;
};

}  // namespace xfer::ui::chart
