#include "ui/chart/graf_form.h"

#include <QAction>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScatterSeries>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <array>

#include "db/backend.h"
#include "engine/engine.h"
#include "ui/caption_panel.h"
#include "ui/chart/graf_col_set_form.h"
#include "ui/ui_font.h"

namespace xfer::ui::chart {
namespace {

struct SeriesButton {
  SeriesKind kind;
  const char* name;
  const char* caption;
};

constexpr std::array<SeriesButton, 11> kSeries = {{
    {SeriesKind::kLine, "sbLine", "خطي"},
    {SeriesKind::kBar, "sbBar", "ستوني"},
    {SeriesKind::kHorizontalBar, "sbHorizBar", "افقي"},
    {SeriesKind::kArea, "sbArea", "سطح"},
    {SeriesKind::kPoint, "sbPoint", "نقطه"},
    {SeriesKind::kPie, "sbPie", "دايره"},
    {SeriesKind::kFastLine, "sbFastLine", "خط سريع"},
    {SeriesKind::kShape, "sbShape", "شكل"},
    {SeriesKind::kGantt, "sbGantt", "گانت"},
    {SeriesKind::kArrow, "sbArrow", "پيكان"},
    {SeriesKind::kBubble, "sbBubble", "حباب"},
}};

double AsNumber(const engine::Value& v) {
  if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<std::string>(&v)) return std::atof(s->c_str());
  return 0;
}

}  // namespace

TGrafForm::TGrafForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TGrafForm");
  ApplyFormStyle(this);
  Caption_Panel = new CaptionPanel(this);
  Caption_Panel->setObjectName("Caption_Panel");
  tbChart = new QToolBar(this);
  tbChart->setObjectName("tbChart");
  for (const SeriesButton& b : kSeries) {
    QAction* a = tbChart->addAction(QString::fromUtf8(b.caption));
    a->setObjectName(b.name);
    connect(a, &QAction::triggered, this, [this, k = b.kind] { ShowSeries(k); });
  }
  tbChart->addSeparator();
  auto add = [this](const char* name, const char* caption, void (TGrafForm::*slot)()) {
    QAction* a = tbChart->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
  };
  add("sbZoomIn", "بزرگنمايي", &TGrafForm::ZoomIn);
  add("sbZoomOut", "كوچك نمايي", &TGrafForm::ZoomOut);
  add("sbUndoZoom", "اندازه اوليه", &TGrafForm::UndoZoom);
  add("sb3D", "سه بعدي", &TGrafForm::Toggle3D);
  add("sbLegend", "راهنما", &TGrafForm::ToggleLegend);
  add("sbMarks", "نمايش مقادير", &TGrafForm::ToggleMarks);
  add("sbColumns", "ستونها", &TGrafForm::ChooseColumns);
  add("sbPrint", "چاپ", &TGrafForm::PrintChart);
  chtMain = new QChartView(new QChart, this);
  chtMain->setObjectName("chtMain");
  chtMain->setRenderHint(QPainter::Antialiasing);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Caption_Panel);
  layout->addWidget(tbChart);
  layout->addWidget(chtMain, 1);
  resize(720, 480);
}

QChart* TGrafForm::chart() const {
  return chtMain->chart();
}

void TGrafForm::Load(db::Backend& backend, const std::string& table, const QString& title) {
  points_.clear();
  auto sets = backend.Query("Select XLabel, XData From " + table);
  if (!sets.empty())
    for (const auto& row : sets.front().rows)
      points_.emplace_back(
          QString::fromStdString(engine::IsNull(row[0]) ? "" : engine::FormatValue(row[0])),
          AsNumber(row[1]));
  shown_.clear();
  for (const auto& p : points_) shown_ << p.first;
  setWindowTitle(title);
  Caption_Panel->setText("     " + title);
  chart()->setTitle(title);
  Redraw();
}

void TGrafForm::setShownLabels(const QStringList& labels) {
  shown_ = labels;
  Redraw();
}

void TGrafForm::ShowSeries(SeriesKind kind) {
  kind_ = kind;
  Redraw();
}

void TGrafForm::Redraw() {
  QChart* c = chart();
  c->removeAllSeries();
  for (QAbstractAxis* axis : c->axes()) {
    c->removeAxis(axis);
    delete axis;
  }
  std::vector<std::pair<QString, double>> pts;
  for (const auto& p : points_)
    if (shown_.contains(p.first)) pts.push_back(p);
  QStringList labels;
  for (const auto& p : pts) labels << p.first;

  QAbstractSeries* series = nullptr;
  switch (kind_) {
    case SeriesKind::kBar:
    case SeriesKind::kHorizontalBar:
    case SeriesKind::kGantt: {
      auto* set = new QBarSet(c->title());
      for (const auto& p : pts) *set << p.second;
      QAbstractBarSeries* bars =
          kind_ == SeriesKind::kBar ? static_cast<QAbstractBarSeries*>(new QBarSeries)
          : kind_ == SeriesKind::kHorizontalBar
              ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
              : static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries);
      bars->append(set);
      bars->setLabelsVisible(marks_);
      series = bars;
      c->addSeries(series);
      auto* categories = new QBarCategoryAxis;
      categories->append(labels);
      auto* values = new QValueAxis;
      const bool vertical = kind_ == SeriesKind::kBar;
      c->addAxis(categories, vertical ? Qt::AlignBottom : Qt::AlignLeft);
      c->addAxis(values, vertical ? Qt::AlignLeft : Qt::AlignBottom);
      series->attachAxis(categories);
      series->attachAxis(values);
      break;
    }
    case SeriesKind::kPie: {
      auto* pie = new QPieSeries;
      for (const auto& p : pts) pie->append(p.first, std::max(0.0, p.second));
      pie->setLabelsVisible(marks_);
      series = pie;
      c->addSeries(series);
      break;
    }
    default: {
      QXYSeries* xy = nullptr;
      if (kind_ == SeriesKind::kPoint || kind_ == SeriesKind::kShape ||
          kind_ == SeriesKind::kBubble) {
        auto* scatter = new QScatterSeries;
        scatter->setMarkerShape(kind_ == SeriesKind::kShape ? QScatterSeries::MarkerShapeRectangle
                                                            : QScatterSeries::MarkerShapeCircle);
        scatter->setMarkerSize(kind_ == SeriesKind::kBubble ? 24 : 10);
        xy = scatter;
      } else {
        auto* line = new QLineSeries;
        line->setPointsVisible(kind_ == SeriesKind::kArrow);
        xy = line;
      }
      for (size_t i = 0; i < pts.size(); ++i) xy->append(static_cast<double>(i), pts[i].second);
      xy->setPointLabelsVisible(marks_);
      xy->setName(c->title());
      if (kind_ == SeriesKind::kArea) {
        auto* area = new QAreaSeries(static_cast<QLineSeries*>(xy));
        series = area;
      } else {
        series = xy;
      }
      c->addSeries(series);
      auto* categories = new QBarCategoryAxis;
      categories->append(labels);
      auto* values = new QValueAxis;
      c->addAxis(categories, Qt::AlignBottom);
      c->addAxis(values, Qt::AlignLeft);
      series->attachAxis(values);
      auto* index = new QValueAxis;
      index->setRange(-0.5, std::max<double>(0.5, static_cast<double>(pts.size()) - 0.5));
      index->setVisible(false);
      c->addAxis(index, Qt::AlignBottom);
      series->attachAxis(index);
      break;
    }
  }
  c->legend()->setVisible(legend_);
  c->legend()->setAlignment(Qt::AlignBottom);
  c->setDropShadowEnabled(depth_);
  c->zoomReset();
  if (zoom_ != 100) c->zoom(zoom_ / 100.0);
}

void TGrafForm::ZoomIn() {
  zoom_ += 5;
  Redraw();
}

void TGrafForm::ZoomOut() {
  zoom_ = std::max(5, zoom_ - 5);
  Redraw();
}

void TGrafForm::UndoZoom() {
  zoom_ = 100;
  Redraw();
}

void TGrafForm::Toggle3D() {
  depth_ = !depth_;
  Redraw();
}

void TGrafForm::ToggleLegend() {
  legend_ = !legend_;
  Redraw();
}

void TGrafForm::ToggleMarks() {
  marks_ = !marks_;
  Redraw();
}

void TGrafForm::ChooseColumns() {
  QStringList available;
  for (const auto& p : points_)
    if (!shown_.contains(p.first)) available << p.first;
  TGrafColSetForm choose(shown_, available, this);
  if (choose.exec() == QDialog::Accepted) setShownLabels(choose.chosen());
}

void TGrafForm::PrintChart() {
  QPrinter printer;
  QPrintPreviewDialog preview(&printer, this);
  preview.setObjectName("ChartPrintPreview");
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
    QPainter painter(p);
    chtMain->render(&painter);
  });
  preview.exec();
}

bool TGrafForm::SavePng(const QString& path) const {
  return chtMain->grab().save(path, "PNG");
}

}  // namespace xfer::ui::chart
