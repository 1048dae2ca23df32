// The server-connection form: a small modal window where the user picks a server from those
// remembered, chooses Windows or SQL Server authentication and connects to that server's Master
// catalog. Transfer and import forms use the connection for their source-server queries and keep
// the choices as their source server settings.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <memory>
#include <string>

#include "db/backend.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "ui/remembered_servers.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xfer::ui {

class CaptionPanel;

// The connection string the form opens: Master on `server`, authentication "WIN" or "SQL".
std::string RemoteConnectionString(const db::HostGlobal& g, const std::string& server,
                                   const std::string& authKind, const std::string& user,
                                   const std::string& password);

class TRemoteForm : public QDialog {
  Q_OBJECT
 public:
  // Messages and the progress window go through `dialogs`; `global` gives the workstation name
  // and the keyboard settings of typed letters.
  TRemoteForm(const db::HostGlobal& global, db::Dialogs& dialogs, QWidget* parent = nullptr);
  TRemoteForm(const TRemoteForm&) = delete;
  TRemoteForm& operator=(const TRemoteForm&) = delete;

  // Where the remembered servers are read and written; DefaultServersFile() unless set.
  void setServersFile(const QString& file) { serversFile_ = file; }

  // The caller's source server settings, set before showing.
  void setServerName(const QString& name) { serverName_ = name; }
  void setAuthKind(const QString& kind) { authKind_ = kind; }
  void setUserName(const QString& user) { userName_ = user; }
  void setPassword(const QString& password) { password_ = password; }

  // The choices, read after the form closed with OK.
  QString serverName() const;
  QString authKind() const;  // "WIN" or "SQL"
  QString userName() const;
  QString password() const;
  // The connection opened by OK; the caller takes it over.
  std::unique_ptr<db::Backend> takeConnection() { return std::move(connection_); }

 public slots:
  void FormShow();
  void cmbServerNameClick();
  void rb_TypeSQL_Click();
  void OkBitBtnClick();
  void CancelBitBtnClick();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // Index of the remembered server the name box shows, -1 for a name not in the list.
  int SelectedServer() const;
  // Enter moves along the fields; false when the focus has to stay.
  bool OnEdit_KeyDown(QObject* watched);
  // Replaces a typed letter by the one the suite stores; true when the key was consumed.
  bool OnEdit_KeyPress(QObject* watched, const QString& typed);

  const db::HostGlobal& global_;
  db::Dialogs& dialogs_;
  QString serversFile_;
  QString serverName_, authKind_, userName_, password_;
  QList<RememberedServer> remembered_;
  std::unique_ptr<db::Backend> connection_;

  CaptionPanel* plCaption = nullptr;
  QLabel* lblServerName = nullptr;
  QComboBox* cmbServerName = nullptr;
  QGroupBox* grpAuth = nullptr;
  QRadioButton* rb_WinAuth = nullptr;
  QRadioButton* rb_SQLAuth = nullptr;
  QLabel* lblUserSQL = nullptr;
  QLineEdit* txtUserSQL = nullptr;
  QLabel* lblPassSQL = nullptr;
  QLineEdit* txtPassSQL = nullptr;
  QPushButton* OkBitBtn = nullptr;
  QPushButton* CancelBitBtn = nullptr;
};

}  // namespace xfer::ui
