// Base-information transfer form: widgets and thin handlers over BaseTransfer. A run keeps the
// discipline of every form (RunGuard) and ends with its summary window, from which the kept rows
// of a table go to the conflict window of the module form that carries it.
#include "transfer/forms/kol_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>
#include <iostream>

#include "db/dialogs.h"
#include "db/session.h"
#include "transfer/base/base_transfer.h"
#include "transfer/forms/kol_form_text.h"
#include "transfer/modules/forms/conflict_form.h"
#include "transfer/modules/module_transfer.h"
#include "ui/caption_panel.h"
#include "ui/persian_display.h"
#include "ui/remote_form.h"
#include "ui/run_guard.h"
#include "ui/run_summary.h"
#include "ui/run_text.h"
#include "ui/ui_font.h"

namespace xfer::transfer {
namespace {

QString Q(const char* utf8) {
  return ui::ForDisplay(utf8);
}

// The module form that carries `table`, and its entry there; nulls when none does.
std::pair<const ModuleForm*, const ModuleTable*> ModuleTableOf(const std::string& table) {
  for (const ModuleForm* f : ModuleForms())
    if (const ModuleTable* t = FindModuleTable(*f, table)) return {f, t};
  return {nullptr, nullptr};
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(Q(caption), parent);
  box->setObjectName(name);
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(Q(caption), parent);
  b->setObjectName(name);
  b->setMinimumWidth(110);
  return b;
}

}  // namespace

TXferKolForm::TXferKolForm(SessionSource session, QWidget* parent)
    : QWidget(parent), session_(std::move(session)), dialogs_(session_, this) {
  setObjectName("TXferKolForm");
  ui::ApplyFormStyle(this);
  setWindowTitle(QString::fromUtf8(text::kFormCaption));
  BuildWidgets();
}

TXferKolForm::~TXferKolForm() = default;

void TXferKolForm::BuildWidgets() {
  Caption_Panel = new ui::CaptionPanel(this);
  Caption_Panel->setText(Q(text::kFormCaption));
  Caption_Panel->setMinimumHeight(24);
  Caption_Panel->AddWindowButtons(sb_Minimized, sb_Closed);

  lblCompany = new QLabel(Q(form_text::kCompanyLabel), this);
  lblCompany->setObjectName("lblCompany");
  cmbCompany = new QComboBox(this);
  cmbCompany->setObjectName("cmbCompany");
  cmbCompany->setMinimumWidth(320);
  lblCompany->setBuddy(cmbCompany);
  cmdServer = MakeButton(this, "cmdServer", form_text::kServer);
  cmdServer->setToolTip(Q(form_text::kServerHint));
  lbServerNam = new QLabel(this);
  lbServerNam->setObjectName("lbServerNam");
  lblDestination = new QLabel(this);
  lblDestination->setObjectName("lblDestination");
  lblSourceDates = new QLabel(this);
  lblSourceDates->setObjectName("lblSourceDates");

  auto* modules = new QGroupBox(this);
  modules->setObjectName("grpModules");
  chkMaly = MakeCheckBox(modules, "chkMaly", form_text::kChkMaly);
  chkStore = MakeCheckBox(modules, "chkStore", form_text::kChkStore);
  chkDara = MakeCheckBox(modules, "chkDara", form_text::kChkDara);
  chkNaghd = MakeCheckBox(modules, "chkNaghd", form_text::kChkNaghd);
  chkTrado = MakeCheckBox(modules, "chkTrado", form_text::kChkTrado);
  chkSazmandehi = MakeCheckBox(modules, "chkSazmandehi", form_text::kChkSazmandehi);
  auto* moduleLayout = new QVBoxLayout(modules);
  for (QCheckBox* box : {chkMaly, chkStore, chkDara, chkNaghd, chkTrado, chkSazmandehi})
    moduleLayout->addWidget(box);

  // One box per organizing option; a box that covers several Options columns appears once.
  pnlCondSazmandehi = new QFrame(this);
  pnlCondSazmandehi->setObjectName("pnlCondSazmandehi");
  pnlCondSazmandehi->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* panelLayout = new QGridLayout(pnlCondSazmandehi);
  for (const OptionsDescriptor& o : OrganizingOptions()) {
    if (pnlCondSazmandehi->findChild<QCheckBox*>(o.checkBox)) continue;
    QCheckBox* box = MakeCheckBox(pnlCondSazmandehi, o.checkBox, o.name);
    const int n = static_cast<int>(organizingBoxes_.size());
    panelLayout->addWidget(box, n / 2, n % 2);
    organizingBoxes_.push_back(box);
  }
  pnlCondSazmandehi->hide();

  cmdOk = MakeButton(this, "cmdOk", form_text::kOk);
  cmdSakhtar = MakeButton(this, "cmdSakhtar", form_text::kSakhtar);
  lblNotice = new QLabel(Q(text::kNotice), this);
  lblNotice->setObjectName("lblNotice");
  QPalette notice = lblNotice->palette();
  notice.setColor(QPalette::WindowText, Qt::darkRed);
  lblNotice->setPalette(notice);

  auto* source = new QGridLayout;
  source->addWidget(lblCompany, 0, 0);
  source->addWidget(cmbCompany, 0, 1);
  source->addWidget(cmdServer, 0, 2);
  source->addWidget(lbServerNam, 0, 3);
  source->addWidget(lblSourceDates, 1, 1, 1, 3);
  source->addWidget(lblDestination, 2, 1, 1, 3);
  source->setColumnStretch(3, 1);
  auto* choices = new QHBoxLayout;
  choices->addWidget(modules, 0, Qt::AlignTop);
  choices->addWidget(pnlCondSazmandehi, 0, Qt::AlignTop);
  choices->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdSakhtar);
  buttons->addStretch(1);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(12, 8, 12, 12);
  body->setSpacing(10);
  body->addLayout(source);
  body->addLayout(choices);
  body->addWidget(lblNotice);
  body->addLayout(buttons);
  body->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Caption_Panel);
  layout->addLayout(body, 1);

  connect(cmbCompany, &QComboBox::currentIndexChanged, this, &TXferKolForm::cmbCompanyChange);
  connect(chkSazmandehi, &QCheckBox::toggled, this, &TXferKolForm::chkSazmandehiClick);
  connect(cmdOk, &QPushButton::clicked, this, &TXferKolForm::cmdOkClick);
  connect(cmdServer, &QPushButton::clicked, this, &TXferKolForm::cmdServerClick);
  connect(cmdSakhtar, &QPushButton::clicked, this, &TXferKolForm::cmdSakhtarClick);
  connect(sb_Closed, &QToolButton::clicked, this, &TXferKolForm::sb_ClosedClick);
  connect(sb_Minimized, &QToolButton::clicked, this, &TXferKolForm::sb_MinimizedClick);
}

template <typename F>
void TXferKolForm::Guarded(F&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    db::ShowCommandError(dialogs_, e);
  }
}

void TXferKolForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TXferKolForm::FormShow() {
  Guarded([&] {
    const FormSession s = session_ ? session_() : FormSession{};
    if (!s.global || !s.date || !s.database || !s.database->connection()) return;
    // A new set of host objects starts a new transfer; the same set keeps the temporary name
    // and the source server for the form's lifetime.
    if (!transfer_ || !s.SameHostObjects(transferSession_)) {
      transfer_ = std::make_unique<BaseTransfer>(*s.global, *s.date, *s.database, dialogs_);
      transfer_->Prepare();
      transfer_->SetStopRequest(&stop_);
      transferSession_ = s;
    }
    // Shown again: the period chosen before stays chosen when it is still listed.
    const QString chosen = cmbCompany->currentData().toString();
    FillPeriods(transfer_->Periods());
    const int again = chosen.isEmpty() ? -1 : cmbCompany->findData(chosen);
    if (again >= 0) {
      const QSignalBlocker quiet(cmbCompany);
      cmbCompany->setCurrentIndex(again);
    }
    // The panel follows its box, which keeps its state.
    pnlCondSazmandehi->setVisible(chkSazmandehi->isChecked());
    const std::string destination = s.global->databaseName;
    // A right-to-left mark after the database name keeps the dates out of its Latin run.
    lblDestination->setText(
        Q(form_text::kDestinationLabel) + ui::ForDisplay(destination) + QChar(0x200F) +
        Q(form_text::kDatesFrom) + ui::ForDisplay(transfer_->destinationFirstDate()) +
        Q(form_text::kDatesTo) + ui::ForDisplay(transfer_->destinationLastDate()));
    ShowPeriods();
  });
}

void TXferKolForm::FillPeriods(const std::vector<std::string>& periods) {
  const QSignalBlocker quiet(cmbCompany);
  cmbCompany->clear();
  // The entry as the registry gave it rides along; the user reads it in Persian display.
  for (const std::string& p : periods)
    cmbCompany->addItem(ui::ForDisplay(p), QString::fromStdString(p));
  cmbCompany->setCurrentIndex(-1);
  ShowPeriods();
}

void TXferKolForm::ShowPeriods() {
  const bool chosen =
      transfer_ && cmbCompany->currentIndex() >= 0 && !transfer_->sourceFirstDate().empty();
  lblSourceDates->setText(
      chosen ? Q(form_text::kSourceDatesLabel) + ui::ForDisplay(transfer_->sourceFirstDate()) +
                   Q(form_text::kDatesTo) + ui::ForDisplay(transfer_->sourceLastDate())
             : QString());
}

void TXferKolForm::cmbCompanyChange() {
  Guarded([&] {
    if (transfer_ && cmbCompany->currentIndex() >= 0)
      transfer_->ChoosePeriod(cmbCompany->currentData().toString().toStdString());
  });
  ShowPeriods();
  chkSazmandehiClick();
}

void TXferKolForm::chkSazmandehiClick() {
  const bool on = chkSazmandehi->isChecked();
  pnlCondSazmandehi->setVisible(on);
  for (QCheckBox* box : organizingBoxes_) box->setChecked(on);
}

std::set<Module> TXferKolForm::TickedModules() const {
  std::set<Module> ticked;
  for (const TransferBlock& block : TransferBlocks()) {
    const auto* box = findChild<QCheckBox*>(block.checkBox);
    if (box && box->isChecked()) ticked.insert(block.module);
  }
  return ticked;
}

std::set<std::string> TXferKolForm::TickedOptions() const {
  std::set<std::string> columns;
  for (const OptionsDescriptor& o : OrganizingOptions()) {
    const auto* box = pnlCondSazmandehi->findChild<QCheckBox*>(o.checkBox);
    if (box && box->isChecked()) columns.insert(o.column);
  }
  return columns;
}

void TXferKolForm::cmdOkClick() {
  bool ran = false, closing = false;
  Guarded([&] {
    if (cmbCompany->currentIndex() < 0 || !transfer_) {
      dialogs_.ShowDlgMsg(text::kChooseCompany, "", "1ER");
      return;
    }
    const FormSession s = session_ ? session_() : FormSession{};
    ui::RunGuard guard(this, stop_, s.stateForm, s.dlgMsg);
    ran = true;
    try {
      transfer_->Run(TickedModules(), TickedOptions());
    } catch (...) {
      closing = guard.closeRequested();
      throw;
    }
    closing = guard.closeRequested();
  });
  // What the run did, also when a check or an error ended it; not when the window is closing.
  if (ran && !closing && transfer_ && !transfer_->report().units.empty()) {
    if (summary_) summary_->close();
    summary_ = ui::ShowRunSummary(transfer_->report(), this);
    OfferKeptRows(*summary_);
  }
}

void TXferKolForm::OfferKeptRows(ui::TRunSummary& summary) {
  const std::string sourceDb = transfer_->SourceDatabase();
  const bool remote = transfer_->RemoteSource();
  // The summary may outlive the form inside the host's window.
  QPointer<TXferKolForm> self(this);
  summary.setConflictHandler(
      [self, sourceDb](const UnitResult& unit) {
        if (self) self->ReviewKeptRows(unit, sourceDb);
      },
      [remote](const UnitResult& unit) {
        if (!ModuleTableOf(unit.table).first)
          return QString::fromUtf8(ui::run_text::kConflictsLater);
        if (remote) return QString::fromUtf8(ui::run_text::kConflictsRemote);
        return QString();
      });
}

void TXferKolForm::ReviewKeptRows(const UnitResult& unit, const std::string& sourceDb) {
  const auto [form, table] = ModuleTableOf(unit.table);
  if (!form) return;
  Guarded([&] {
    const FormSession s = session_ ? session_() : FormSession{};
    if (!s.global || !s.date || !s.database || !s.database->connection()) return;
    ui::RunGuard guard(this, stop_, s.stateForm, s.dlgMsg);
    // The module form's own press on that table, with the same source period marked: the new
    // rows are already here, so what it offers are the kept rows.
    ModuleTransfer t(*s.global, *s.date, *s.database, dialogs_, *form);
    t.Prepare();
    if (t.Gated()) {
      dialogs_.ShowDlgMsg(form_text::kKeptRowsGated, "", "1ER");
      return;
    }
    t.FillPeriodList();
    t.ToggleMark(sourceDb);
    TableCopy copy = t.CopyFirst(*table);
    if (!copy.carried || copy.emptySource) return;
    long long replaced = 0;
    if (copy.conflicts > 0) {
      std::vector<FrameColumn> columns;
      for (const GridColumn& c : table->shown) columns.push_back({c.field, t.Expand(c.title), 0});
      THesabNotXferForm window(*s.database, dialogs_, copy.call, std::move(columns), this);
      window.exec();
      replaced = window.replaced();
    }
    t.Finish(copy, replaced, copy.conflicts > 0);
  });
}

void TXferKolForm::cmdServerClick() {
  Guarded([&] {
    const FormSession s = session_ ? session_() : FormSession{};
    if (!s.global || !transfer_) return;
    if (source_.name.empty())
      source_ = {s.global->serverName, s.global->authKind, s.global->sqlUser,
                 s.global->sqlPassword};
    ui::TRemoteForm remote(*s.global, dialogs_, this);
    if (!serversFile_.isEmpty()) remote.setServersFile(serversFile_);
    remote.setServerName(QString::fromStdString(source_.name));
    remote.setAuthKind(QString::fromStdString(source_.authKind));
    remote.setUserName(QString::fromStdString(source_.user));
    remote.setPassword(QString::fromStdString(source_.password));
    if (remote.exec() != QDialog::Accepted) return;

    SourceServerSettings chosen{remote.serverName().toStdString(), remote.authKind().toStdString(),
                                remote.userName().toStdString(), remote.password().toStdString()};
    SourceServer server{chosen.name, chosen.authKind, chosen.user, chosen.password,
                        remote.takeConnection()};
    transfer_->UseSourceServer(std::move(server));
    FillPeriods(transfer_->Periods());
    lbServerNam->setText(remote.serverName());
    source_ = chosen;
  });
}

void TXferKolForm::cmdSakhtarClick() {
  const FormSession s = session_ ? session_() : FormSession{};
  const QString file = QString::fromStdString(ConverterPath(s.global ? s.global->appFolder : ""));
  if (!converterEntry_) {
    converter_.setFileName(file);
    if (!converter_.load()) {
      std::cerr << "xfer: structure converter " << file.toStdString() << ": "
                << converter_.errorString().toStdString() << "\n";
      dialogs_.ShowDlgMsg(
          QFileInfo::exists(file) ? form_text::kConverterPresent : form_text::kConverterMissing, "",
          "1ER");
      return;
    }
    converterEntry_ =
        reinterpret_cast<StructureConverterEntry>(converter_.resolve(kConverterEntry));
    if (!converterEntry_) {
      // A library without the entry point is as good as none.
      converter_.unload();
      std::cerr << "xfer: structure converter " << file.toStdString() << ": no entry point\n";
      dialogs_.ShowDlgMsg(form_text::kConverterPresent, "", "1ER");
      return;
    }
  }
  Guarded([&] { converterEntry_(s.global, s.date, s.database, s.dlgMsg, "M"); });
}

void TXferKolForm::sb_ClosedClick() {
  close();
  deleteLater();
}

void TXferKolForm::sb_MinimizedClick() {
  window()->showMinimized();
}

}  // namespace xfer::transfer
