// The host's main window: a container for the module's forms, a menu of the seven transfers that
// calls the module's entry points, and the host objects handed to every call.
#pragma once

#include <QLibrary>
#include <QMainWindow>

#include "db/session.h"

namespace xfer::ui {
class TDlgMsg;
class TShowStateForm;
}  // namespace xfer::ui

namespace xfer::hostapp {

class HostWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Takes over the connected database link.
  HostWindow(db::HostGlobal global, db::HostDatabase database, QWidget* parent = nullptr);
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow() override;

  // Loads libxfer; false with `error` filled when the library or an export is missing.
  bool LoadModule(const QString& path, QString* error);
  // Calls an entry point ("Xfer_Kol", ...) with the container and the session objects;
  // -1 when the module is not loaded or has no such export.
  int OpenTransfer(const char* exportName);
  QWidget* container() const { return container_; }
  ui::TDlgMsg* dlgMsg() const { return dlgMsg_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void ReleaseModule();

  db::HostGlobal global_;
  db::HostDate date_;
  db::HostDatabase database_;
  QLibrary module_;
  QWidget* container_ = nullptr;
  ui::TDlgMsg* dlgMsg_ = nullptr;
  ui::TShowStateForm* stateForm_ = nullptr;
  QWidget* tempGridForm_ = nullptr;
};

}  // namespace xfer::hostapp
