#include "import/forms/import_frame_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

#include "db/dialogs.h"
#include "db/solar_date.h"
#include "import/import_text.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"
#include "ui/persian_display.h"
#include "ui/remote_form.h"
#include "ui/run_guard.h"

namespace xfer::import {
namespace {

class RowColourDelegate : public QStyledItemDelegate {
 public:
  using Colour = std::function<int(const TImportFrameForm::FieldText&)>;
  RowColourDelegate(db::RecordSet& rows, Colour colour, QObject* parent)
      : QStyledItemDelegate(parent), rows_(rows), colour_(std::move(colour)) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const db::ResultSet& data = rows_.data();
    if (index.row() < 0 || index.row() >= static_cast<int>(data.rows.size())) return;
    const auto& row = data.rows[static_cast<size_t>(index.row())];
    int c = colour_([&](const char* field) {
      int at = rows_.FieldIndex(field);
      const auto* s = at < 0 ? nullptr : std::get_if<std::string>(&row[static_cast<size_t>(at)]);
      return s ? *s : std::string();
    });
    option->palette.setColor(QPalette::Text, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  }

 private:
  db::RecordSet& rows_;
  Colour colour_;
};

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}
QLineEdit* Edit(int length, const QString& text, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setMaxLength(length);
  return e;
}
QString Colour(int suiteColour) {
  // The suite's colour values are 0x00BBGGRR.
  return QColor(suiteColour & 0xFF, (suiteColour >> 8) & 0xFF, (suiteColour >> 16) & 0xFF).name();
}

}  // namespace

TImportFrameForm::TImportFrameForm(transfer::SessionSource session, QWidget* parent)
    : QWidget(parent), session_(std::move(session)) {
  setLayoutDirection(Qt::RightToLeft);
  dialogs_ = std::make_unique<transfer::SessionDialogs>(session_, this);
  auto* root = new QVBoxLayout(this);

  plTop = new QWidget(this);
  auto* top = new QVBoxLayout(plTop);
  cmbDorehMale = new QComboBox(plTop);
  cmbDorehMale->setObjectName("cmbDorehMale");
  top->addWidget(cmbDorehMale);

  auto* dates = new QHBoxLayout;
  chbDate = new QCheckBox(plTop);
  mDay1 = Edit(2, "01", plTop);
  mMonth1 = Edit(2, "01", plTop);
  mYear1 = Edit(4, "1381", plTop);
  mDay2 = Edit(2, "01", plTop);
  mMonth2 = Edit(2, "01", plTop);
  mYear2 = Edit(4, "1381", plTop);
  for (QWidget* w : {static_cast<QWidget*>(chbDate), static_cast<QWidget*>(mYear1),
                     static_cast<QWidget*>(mMonth1), static_cast<QWidget*>(mDay1)})
    dates->addWidget(w);
  dates->addWidget(new QLabel(Q(text::kTo), plTop));
  for (QWidget* w : {mYear2, mMonth2, mDay2}) dates->addWidget(w);
  top->addLayout(dates);

  auto* numbers = new QHBoxLayout;
  chbSanad = new QCheckBox(plTop);
  FCountEdit = new QLineEdit(plTop);
  TCountEdit = new QLineEdit(plTop);
  numbers->addWidget(chbSanad);
  numbers->addWidget(FCountEdit);
  numbers->addWidget(new QLabel(Q(text::kTo), plTop));
  numbers->addWidget(TCountEdit);
  top->addLayout(numbers);

  rg_PriorImport = new QGroupBox(Q(text::kPriorCaption), plTop);
  priorButtons = new QButtonGroup(this);
  auto* priorLayout = new QVBoxLayout(rg_PriorImport);
  int i = 0;
  for (const char* c :
       {text::kPriorNoChange, text::kPriorDaily, text::kPriorMonthly, text::kPriorYearly}) {
    auto* b = new QRadioButton(Q(c), rg_PriorImport);
    priorButtons->addButton(b, i++);
    priorLayout->addWidget(b);
  }
  priorButtons->button(0)->setChecked(true);
  rg_PriorImport->setEnabled(false);
  top->addWidget(rg_PriorImport);
  rg_AfterImport = new QGroupBox(Q(text::kAfterCaption), plTop);
  afterButtons = new QButtonGroup(this);
  new QVBoxLayout(rg_AfterImport);
  top->addWidget(rg_AfterImport);
  chbEntegalPaye = new QCheckBox(Q(text::kCopyBaseCaption), plTop);
  top->addWidget(chbEntegalPaye);
  auto* server = new QHBoxLayout;
  cmdServer = new QPushButton("...", plTop);
  cmdServer->setToolTip(Q(text::kServerHint));
  lbServerNam = new QLabel(plTop);
  server->addWidget(cmdServer);
  server->addWidget(lbServerNam);
  top->addLayout(server);
  root->addWidget(plTop);

  dbgAsnad = new ui::grid::TDBGrid(this);
  dbgAsnad->setStyleSheet("background-color: " + Colour(14811135));
  root->addWidget(dbgAsnad, 1);

  auto* bottom = new QHBoxLayout;
  cmdOk = new QPushButton(Q(text::kOk), this);
  cmdOk->setVisible(false);
  cmdOk->setEnabled(false);
  EdtAutoMin = new QLineEdit(this);
  EdtAutoNo = new QLineEdit("0", this);
  EdtAutoNo->setReadOnly(true);
  lblState = new QLabel(this);
  lblStatus = new QLabel(this);
  TimerAuto = new QTimer(this);
  bottom->addWidget(cmdOk);
  bottom->addWidget(new QLabel(Q(text::kEvery), this));
  bottom->addWidget(EdtAutoMin);
  bottom->addWidget(new QLabel(Q(text::kMinutes), this));
  bottom->addWidget(new QLabel(Q(text::kRunCount), this));
  bottom->addWidget(EdtAutoNo);
  bottom->addWidget(lblState);
  root->addLayout(bottom);
  root->addWidget(lblStatus);

  // Editing rules: digits only in the number, date and minutes edits; a day or month edit is
  // capped as it is typed and padded to two digits when left.
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
  for (QLineEdit* e :
       {mDay1, mMonth1, mYear1, mDay2, mMonth2, mYear2, FCountEdit, TCountEdit, EdtAutoMin})
    e->setValidator(digits);
  for (QLineEdit* day : {mDay1, mDay2}) {
    connect(day, &QLineEdit::textEdited, day, [day](const QString& t) {
      if (t.toInt() > 31) day->setText("31");
    });
    connect(day, &QLineEdit::editingFinished, day,
            [day] { day->setText(Q(db::FixDayField(S(day->text())))); });
  }
  for (QLineEdit* month : {mMonth1, mMonth2}) {
    connect(month, &QLineEdit::textEdited, month, [month](const QString& t) {
      if (t.toInt() > 12) month->setText("12");
    });
    connect(month, &QLineEdit::editingFinished, month,
            [month] { month->setText(Q(db::FixMonthField(S(month->text())))); });
  }
  // A number edit is padded to the stored width when left, as the suite stores numbers.
  for (QLineEdit* number : {FCountEdit, TCountEdit})
    connect(number, &QLineEdit::editingFinished, number, [this, number] {
      if (frame() && !number->text().trimmed().isEmpty())
        number->setText(Q(frame()->PaddedNumber(S(number->text()))));
    });

  connect(cmbDorehMale, &QComboBox::currentIndexChanged, this,
          &TImportFrameForm::cmbDorehMaleChange);
  connect(chbDate, &QCheckBox::clicked, this, &TImportFrameForm::chbDateClick);
  connect(chbSanad, &QCheckBox::clicked, this, &TImportFrameForm::chbSanadClick);
  connect(cmdOk, &QPushButton::clicked, this, &TImportFrameForm::cmdOkClick);
  connect(EdtAutoMin, &QLineEdit::textEdited, this, &TImportFrameForm::EdtAutoMinChange);
  connect(TimerAuto, &QTimer::timeout, this, &TImportFrameForm::TimerAutoTimer);
  connect(cmdServer, &QPushButton::clicked, this, &TImportFrameForm::cmdServerClick);
  chbDateClick();
  chbSanadClick();
}

TImportFrameForm::~TImportFrameForm() {
  // FormDestroy: the module's label on the automatic transfer form no longer speaks for a form.
  if (statusLabel_) statusLabel_->clear();
}

void TImportFrameForm::setStatusLabel(QLabel* label) {
  statusLabel_ = label;
}

void TImportFrameForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (e->spontaneous()) return;
  // Shown again on the same host objects (brought back to the top of the launcher's panel, say),
  // the form keeps its import, its choices and its running schedule.
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  if (frame() && s.SameHostObjects(shownSession_)) return;
  shownSession_ = s;
  Guarded([&] { FormShow(); });
}

template <typename F>
void TImportFrameForm::Guarded(F&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    db::ShowCommandError(*dialogs_, e);
  }
}

template <typename F>
void TImportFrameForm::Run(F&& body) {
  // A run already holding this window (a tick fired from inside another run's progress) keeps
  // the discipline for both.
  std::optional<ui::RunGuard> guard;
  if (!ui::RunGuard::Running(window())) {
    const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
    guard.emplace(this, stop_, s.stateForm, s.dlgMsg);
  }
  Guarded(std::forward<F>(body));
}

void TImportFrameForm::SetRowColour(std::function<int(const FieldText& field)> colour) {
  dbgAsnad->setItemDelegate(new RowColourDelegate(quAsnad, std::move(colour), dbgAsnad));
}

void TImportFrameForm::FillPeriods() {
  QSignalBlocker block(cmbDorehMale);
  cmbDorehMale->clear();
  for (const auto& p : frame()->periods()) cmbDorehMale->addItem(Q(p));
  cmbDorehMale->setCurrentIndex(-1);
}

void TImportFrameForm::cmdServerClick() {
  Guarded([&] {
    const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
    if (!s.global || !frame()) return;
    ui::TRemoteForm remote(*s.global, *dialogs_, this);
    if (!serversFile_.isEmpty()) remote.setServersFile(serversFile_);
    remote.setServerName(lbServerNam->text().isEmpty() ? Q(s.global->serverName)
                                                       : lbServerNam->text());
    remote.setAuthKind(Q(s.global->authKind));
    if (remote.exec() != QDialog::Accepted) return;
    transfer::SourceServer server{S(remote.serverName()), S(remote.authKind()),
                                  S(remote.userName()), S(remote.password()),
                                  remote.takeConnection()};
    frame()->UseSourceServer(std::move(server));
    FillPeriods();
    lbServerNam->setText(remote.serverName());
    quAsnad.Close();
    dbgAsnad->setDataSet(nullptr);
    ShowAutoState();
  });
}

void TImportFrameForm::Attach() {
  if (pmImportAsnad && !R_ReportItem) {
    // The grid's popup runs the load step again from its report item.
    pmImportAsnad->menu()->addSeparator();
    R_ReportItem = pmImportAsnad->menu()->addAction(Q(text::kReportItem));
    R_ReportItem->setObjectName("R_ReportItem");
    connect(R_ReportItem, &QAction::triggered, this, &TImportFrameForm::R_ReportItemClick);
  }
  ImportFrame* f = frame();
  f->statusSink = [this](const Status& s) { ShowStatus(s); };
  f->SetStopRequest(&stop_);
  FillPeriods();
  ShowAutoState();
}

void TImportFrameForm::cmbDorehMaleChange() {
  Guarded([&] {
    ImportFrame* f = frame();
    if (!f) return;
    f->ChoosePeriod(cmbDorehMale->currentIndex());
    quAsnad.Close();
    dbgAsnad->setDataSet(nullptr);
    // The ranges of the chosen source, split into their edits.
    auto split = [](const std::string& d, QLineEdit* y, QLineEdit* m, QLineEdit* day) {
      if (d.size() < 10) return;
      y->setText(Q(d.substr(0, 4)));
      m->setText(Q(d.substr(5, 2)));
      day->setText(Q(d.substr(8, 2)));
    };
    split(f->dates.from, mYear1, mMonth1, mDay1);
    split(f->dates.to, mYear2, mMonth2, mDay2);
    FCountEdit->setText(Q(f->numbers.from));
    TCountEdit->setText(Q(f->numbers.to));
    FCountEdit->setMaxLength(std::max(1, f->numberWidth));
    TCountEdit->setMaxLength(std::max(1, f->numberWidth));
    bool chosen = cmbDorehMale->currentIndex() >= 0;
    chbDate->setEnabled(chosen);
    chbSanad->setEnabled(chosen);
    rg_PriorImport->setEnabled(chosen);
    rg_AfterImport->setEnabled(chosen);
    cmdOk->setEnabled(false);
    ShowAutoState();
  });
}

void TImportFrameForm::chbDateClick() {
  for (QWidget* w : {mDay1, mMonth1, mYear1, mDay2, mMonth2, mYear2})
    w->setEnabled(chbDate->isChecked());
}

void TImportFrameForm::chbSanadClick() {
  FCountEdit->setEnabled(chbSanad->isChecked());
  TCountEdit->setEnabled(chbSanad->isChecked());
}

void TImportFrameForm::ReadChoices() {
  ImportFrame* f = frame();
  f->dates = {chbDate->isChecked(),
              ImportFrame::JoinDate(S(mYear1->text()), S(mMonth1->text()), S(mDay1->text())),
              ImportFrame::JoinDate(S(mYear2->text()), S(mMonth2->text()), S(mDay2->text()))};
  f->numbers = {chbSanad->isChecked(), S(FCountEdit->text()), S(TCountEdit->text())};
  f->priorMode = std::max(0, priorButtons->checkedId());
  f->afterMode = std::max(0, afterButtons->checkedId());
  f->copyBase = chbEntegalPaye->isChecked();
}

void TImportFrameForm::R_ReportItemClick() {
  Run([&] {
    ImportFrame* f = frame();
    if (!f) return;
    ReadChoices();
    quAsnad.Close();
    dbgAsnad->setDataSet(nullptr);
    if (f->Load()) OpenCandidates();
    cmdOk->setVisible(true);
    cmdOk->setEnabled(f->applyEnabled());
  });
}

void TImportFrameForm::cmdOkClick() {
  Run([&] {
    ImportFrame* f = frame();
    if (!f || !f->applyEnabled()) return;
    ReadChoices();
    f->Apply();
    cmdOk->setEnabled(f->applyEnabled());
    ShowAutoState();
  });
}

void TImportFrameForm::EdtAutoMinChange() {
  if (!frame()) return;
  frame()->SetAutoMinutes(S(EdtAutoMin->text()));
  ShowAutoState();
}

void TImportFrameForm::StartAuto() {
  Run([&] {
    ImportFrame* f = frame();
    if (!f || !f->CheckBeforeAuto()) return;
    ReadChoices();
    f->SetAutoMinutes(S(EdtAutoMin->text()));
    // The first run happens inside the start, so the candidates are shown afterwards.
    f->StartAuto();
    if (f->timerEnabled()) OpenCandidates();
    ShowAutoState();
  });
}

void TImportFrameForm::TimerAutoTimer() {
  // A tick that comes while a run holds the window waits for the next one.
  if (ui::RunGuard::Running(window())) return;
  Run([&] {
    ImportFrame* f = frame();
    if (!f) return;
    f->Tick();
    if (f->applyEnabled() || f->lastStatus().colour != kRed) OpenCandidates();
    ShowAutoState();
  });
}

void TImportFrameForm::ShowAutoState() {
  ImportFrame* f = frame();
  if (!f) return;
  lblState->setText(Q(f->state().text));
  lblState->setStyleSheet("color: " + Colour(f->state().colour));
  EdtAutoNo->setText(Q(f->runCount().text));
  EdtAutoNo->setStyleSheet("color: " + Colour(f->runCount().colour));
  plTop->setEnabled(!f->choicesLocked());
  if (f->timerEnabled()) {
    TimerAuto->setInterval(f->timerInterval());
    // An interval of 0 never fires: the suite's timer does not run at all then.
    if (f->timerInterval() > 0) TimerAuto->start();
  } else {
    TimerAuto->stop();
  }
  cmdOk->setEnabled(f->applyEnabled());
  emit autoStateChanged();
}

void TImportFrameForm::ShowStatus(const Status& s) {
  if (statusLabel_) {
    statusLabel_->setText(ui::ForDisplay(s.text));
    QPalette p = statusLabel_->palette();
    p.setColor(QPalette::WindowText, QColor(Colour(s.colour)));
    statusLabel_->setPalette(p);
    return;
  }
  lblStatus->setText(Q(s.text));
  lblStatus->setStyleSheet("color: " + Colour(s.colour));
  // A failure of a run by hand also goes to the message dialog; a timer run only shows it here.
  if (s.colour == kRed && !frame()->timerEnabled()) dialogs_->ShowDlgMsg(s.text, "", "1ER");
}

}  // namespace xfer::import
