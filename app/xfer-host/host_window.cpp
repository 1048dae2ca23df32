// Host main window: menu of transfers over the run-time loaded module.
#include "host_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "host/form_registry.h"
#include "host/xfer_api.h"
#include "host_text.h"
#include "ui/dlg_msg.h"
#include "ui/persian_display.h"
#include "ui/run_guard.h"
#include "ui/show_state_form.h"
#include "ui/ui_font.h"

namespace xfer::hostapp {

HostWindow::HostWindow(db::HostGlobal global, db::HostDatabase database, QWidget* parent)
    : QMainWindow(parent), global_(std::move(global)), database_(std::move(database)) {
  setObjectName("HostWindow");
  ui::ApplyFormStyle(this);
  // The platform adds the application's name after the title; the title names the period.
  setWindowTitle(QString::fromStdString(global_.databaseName));
  container_ = new QWidget(this);
  container_->setObjectName("FormContainer");
  setCentralWidget(container_);
  dlgMsg_ = new ui::TDlgMsg(this);
  dlgMsg_->setDefaultCaption(QString::fromStdString(global_.appTitle));
  stateForm_ = new ui::TShowStateForm(this);
  tempGridForm_ = new QWidget(this, Qt::Window);
  tempGridForm_->setObjectName("TempGridForm");
  tempGridForm_->hide();

  QMenu* menu = menuBar()->addMenu(ui::ForDisplay(text::kTransferMenu));
  menu->setObjectName("mnuTransfer");
  menu->setToolTipsVisible(true);
  for (int i = 0; i < host::kFormCount; ++i) {
    const char* name = host::kEntryPointNames[i];
    const auto id = static_cast<host::FormId>(i);
    QAction* action = menu->addAction(ui::ForDisplay(host::FormCaption(id)));
    action->setObjectName(name);
    // A form not built yet is offered, but disabled and saying so, rather than opened empty.
    action->setEnabled(host::FormBuilt(id));
    action->setToolTip(host::FormBuilt(id) ? ui::ForDisplay(host::FormCaption(id))
                                           : ui::ForDisplay(text::kNotBuilt));
    connect(action, &QAction::triggered, this, [this, name] { OpenTransfer(name); });
  }
  // Permanent widgets: a status tip (the menu's, while the pointer passes over it) replaces
  // only the bar's message, never these.
  auto addField = [this](const char* name, const QString& text) {
    auto* label = new QLabel(text, statusBar());
    label->setObjectName(name);
    statusBar()->addPermanentWidget(label);
  };
  QString period = ui::ForDisplay(text::kPeriod) + QString::fromStdString(global_.databaseName);
  if (!global_.periodStart.empty())
    period += "  (" + ui::ForDisplay(text::kPeriodDates) + ui::ForDisplay(global_.periodStart) +
              ui::ForDisplay(text::kDatesTo) + ui::ForDisplay(global_.periodEnd) + ")";
  addField("lblToday", ui::ForDisplay(text::kToday) + ui::ForDisplay(global_.today));
  addField("lblPeriod", period);
  addField("lblServer", ui::ForDisplay(text::kServer) + QString::fromStdString(global_.serverName));
  resize(1000, 700);
}

HostWindow::~HostWindow() {
  ReleaseModule();
}

bool HostWindow::LoadModule(const QString& path, QString* error) {
  module_.setFileName(path);
  if (!module_.load()) {
    if (error) *error = module_.errorString();
    return false;
  }
  for (const char* name : host::kEntryPointNames)
    if (!module_.resolve(name)) {
      if (error) *error = QString("%1: no export %2").arg(path, name);
      return false;
    }
  return true;
}

int HostWindow::OpenTransfer(const char* exportName) {
  if (!module_.isLoaded()) return -1;
  // The menu waits during a run; so does any other way in.
  if (ui::RunGuard::Running(this)) {
    statusBar()->showMessage(ui::ForDisplay(text::kRunning), 5000);
    return 0;
  }
  auto entry = reinterpret_cast<XferEntryPoint>(module_.resolve(exportName));
  if (!entry) return -1;
  return entry(container_, &global_, &date_, &database_, stateForm_, tempGridForm_, dlgMsg_);
}

void HostWindow::closeEvent(QCloseEvent* e) {
  ReleaseModule();
  QMainWindow::closeEvent(e);
}

void HostWindow::ReleaseModule() {
  if (!module_.isLoaded()) return;
  if (auto release = reinterpret_cast<XferReleaseFunction>(module_.resolve("Release_It")))
    release();
}

}  // namespace xfer::hostapp
