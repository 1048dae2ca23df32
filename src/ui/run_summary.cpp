#include "ui/run_summary.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "transfer/run/report_format.h"
#include "ui/persian_display.h"
#include "ui/run_text.h"
#include "ui/ui_font.h"

namespace xfer::ui {
namespace {

QString T(const char* utf8) {
  return ForDisplay(utf8);
}

QTableWidgetItem* Cell(const QString& text, bool number) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignCenter);
  return item;
}

}  // namespace

TRunSummary::TRunSummary(const transfer::RunReport& report, QWidget* parent)
    : QDialog(parent), report_(report) {
  setObjectName("RunSummary");
  ApplyFormStyle(this);
  setWindowTitle(T(run_text::kSummaryCaption));
  setAttribute(Qt::WA_DeleteOnClose);

  lblHeader = new QLabel(this);
  lblHeader->setObjectName("lblHeader");
  lblOutcome = new QLabel(this);
  lblOutcome->setObjectName("lblOutcome");
  lblOutcome->setWordWrap(true);
  lblKept = new QLabel(T(run_text::kKeptNote), this);
  lblKept->setObjectName("lblKept");
  lblKept->setWordWrap(true);

  tblUnits = new QTableWidget(0, kColumnCount, this);
  tblUnits->setObjectName("tblUnits");
  tblUnits->setHorizontalHeaderLabels({T(run_text::kColCaption), T(run_text::kColSource),
                                       T(run_text::kColCarried), T(run_text::kColKept),
                                       T(run_text::kColSeconds)});
  tblUnits->verticalHeader()->hide();
  tblUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblUnits->setSelectionMode(QAbstractItemView::SingleSelection);
  tblUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblUnits->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tblUnits->horizontalHeader()->setStretchLastSection(false);

  cmdConflicts = new QPushButton(T(run_text::kConflicts), this);
  cmdConflicts->setObjectName("cmdConflicts");
  cmdClose = new QPushButton(T(run_text::kClose), this);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdConflicts);
  buttons->addStretch(1);
  buttons->addWidget(cmdClose);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblHeader);
  layout->addWidget(lblOutcome);
  layout->addWidget(tblUnits, 1);
  layout->addWidget(lblKept);
  layout->addLayout(buttons);

  connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdConflicts, &QPushButton::clicked, this, [this] {
    const int row = tblUnits->currentRow();
    if (conflicts_ && row >= 0 && row < int(report_.units.size()))
      conflicts_(report_.units[size_t(row)]);
  });
  connect(tblUnits, &QTableWidget::currentCellChanged, this, [this] { UpdateConflictButton(); });
  Fill();
  UpdateConflictButton();
  FitAndCentre();
}

void TRunSummary::setConflictHandler(ConflictHandler handler, ConflictRefusal refusal) {
  conflicts_ = std::move(handler);
  refusal_ = std::move(refusal);
  UpdateConflictButton();
}

void TRunSummary::Fill() {
  QString header = T(run_text::kSource) + ForDisplay(report_.source) + "    " +
                   T(run_text::kDestination) + ForDisplay(report_.destination);
  if (!report_.started.empty())
    header += "    " + T(run_text::kStarted) + ForDisplay(report_.started);
  lblHeader->setText(header);
  if (report_.stopped)
    lblOutcome->setText(T(run_text::kOutcomeStopped));
  else if (report_.outcome == "OK")
    lblOutcome->setText(T(run_text::kOutcomeOk));
  else
    lblOutcome->setText(T(run_text::kOutcomeEnded) + ForDisplay(report_.outcome));

  const int rows = int(report_.units.size());
  tblUnits->setRowCount(rows + 1);
  for (int r = 0; r < rows; ++r) {
    const transfer::UnitResult& u = report_.units[size_t(r)];
    QString caption = ForDisplay(u.name.empty() ? u.table : u.name);
    if (!u.error.empty()) caption += " - " + ForDisplay(u.error);
    tblUnits->setItem(r, kCaption, Cell(caption, false));
    tblUnits->setItem(r, kSourceRows, Cell(PersianNumber(u.sourceRows), true));
    tblUnits->setItem(r, kCarried, Cell(PersianNumber(u.inserted), true));
    tblUnits->setItem(r, kKept, Cell(PersianNumber(u.clashing), true));
    tblUnits->setItem(r, kSeconds, Cell(PersianSeconds(u.seconds), true));
    tblUnits->item(r, kCaption)->setToolTip(QString::fromStdString(u.table));
  }
  const transfer::RunTotals t = transfer::Totals(report_);
  tblUnits->setItem(rows, kCaption, Cell(T(run_text::kTotal), false));
  tblUnits->setItem(rows, kSourceRows, Cell(PersianNumber(t.sourceRows), true));
  tblUnits->setItem(rows, kCarried, Cell(PersianNumber(t.inserted), true));
  tblUnits->setItem(rows, kKept, Cell(PersianNumber(t.clashing), true));
  tblUnits->setItem(rows, kSeconds, Cell(PersianSeconds(t.seconds), true));
  QFont bold = font();
  bold.setBold(true);
  for (int c = 0; c < kColumnCount; ++c) tblUnits->item(rows, c)->setFont(bold);
  lblKept->setVisible(t.clashing > 0);
}

void TRunSummary::UpdateConflictButton() {
  const int row = tblUnits->currentRow();
  const bool kept =
      row >= 0 && row < int(report_.units.size()) && report_.units[size_t(row)].clashing > 0;
  const QString refused =
      conflicts_ && kept && refusal_ ? refusal_(report_.units[size_t(row)]) : QString();
  cmdConflicts->setEnabled(conflicts_ && kept && refused.isEmpty());
  if (!conflicts_)
    cmdConflicts->setToolTip(T(run_text::kConflictsLater));
  else if (!refused.isEmpty())
    cmdConflicts->setToolTip(ForDisplay(refused));
  else
    cmdConflicts->setToolTip(T(run_text::kConflictsHint));
}

void TRunSummary::FitAndCentre() {
  // Wide enough for every column, as tall as the rows need, within the parent window (or
  // the screen) and centred on it.
  tblUnits->resizeColumnsToContents();
  int tableWidth = 2 * tblUnits->frameWidth() + 20;
  for (int c = 0; c < kColumnCount; ++c) tableWidth += tblUnits->columnWidth(c);
  int tableHeight = 2 * tblUnits->frameWidth() + tblUnits->horizontalHeader()->height();
  for (int r = 0; r < tblUnits->rowCount(); ++r) tableHeight += tblUnits->rowHeight(r);
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  QRect area = owner && owner->isVisible() ? owner->frameGeometry() : QRect();
  if (area.isEmpty())
    if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
  const QSize hint = layout()->sizeHint();
  const int chrome = hint.height() - tblUnits->sizeHint().height();
  const int w = std::min(std::max(tableWidth + 24, hint.width()), std::max(area.width() - 20, 300));
  const int h = std::min(tableHeight + chrome, std::max(area.height() - 20, 200));
  resize(w, h);
  if (!area.isEmpty())
    move(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
}

TRunSummary* ShowRunSummary(const transfer::RunReport& report, QWidget* parent) {
  auto* summary = new TRunSummary(report, parent ? parent->window() : nullptr);
  summary->show();
  summary->raise();
  return summary;
}

}  // namespace xfer::ui
