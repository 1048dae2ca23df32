// Host main window: menu of transfers over the run-time loaded module.
#include "host_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>

#include "host/form_registry.h"
#include "host/xfer_api.h"
#include "host_text.h"
#include "ui/dlg_msg.h"
#include "ui/show_state_form.h"
#include "ui/ui_font.h"

namespace xfer::hostapp {

HostWindow::HostWindow(db::HostGlobal global, db::HostDatabase database, QWidget* parent)
    : QMainWindow(parent), global_(std::move(global)), database_(std::move(database)) {
  setObjectName("HostWindow");
  ui::ApplyFormStyle(this);
  setWindowTitle(QString::fromStdString(global_.appTitle) + " - " +
                 QString::fromStdString(global_.databaseName));
  container_ = new QWidget(this);
  container_->setObjectName("FormContainer");
  setCentralWidget(container_);
  dlgMsg_ = new ui::TDlgMsg(this);
  dlgMsg_->setDefaultCaption(QString::fromStdString(global_.appTitle));
  stateForm_ = new ui::TShowStateForm(this);
  tempGridForm_ = new QWidget(this, Qt::Window);
  tempGridForm_->setObjectName("TempGridForm");
  tempGridForm_->hide();

  QMenu* menu = menuBar()->addMenu(QString::fromUtf8(text::kTransferMenu));
  for (int i = 0; i < host::kFormCount; ++i) {
    const char* name = host::kEntryPointNames[i];
    QAction* action = menu->addAction(host::FormCaption(static_cast<host::FormId>(i)));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, name] { OpenTransfer(name); });
  }
  statusBar()->showMessage(QString::fromStdString(global_.today + "    " + global_.databaseName +
                                                  "    " + global_.serverName));
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
