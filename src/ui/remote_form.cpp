// Server-connection form: remembered servers, authentication choice, typed-letter conversion and
// the connection test against Master.
#include "ui/remote_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

#include "ui/caption_panel.h"
#include "ui/key_conversion.h"
#include "ui/remote_text.h"
#include "ui/ui_font.h"

namespace xfer::ui {
namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

bool IsEnter(const QKeyEvent* k) {
  return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

}  // namespace

std::string RemoteConnectionString(const db::HostGlobal& g, const std::string& server,
                                   const std::string& authKind, const std::string& user,
                                   const std::string& password) {
  const std::string crlf = "\r\n";
  const std::string tail =
      "Auto Translate=True;ConnectionTimeout=60;Packet Size=4096;Workstation ID=" + g.workstation +
      crlf;
  if (authKind == "WIN")
    return "Provider=SQLOLEDB.1;Integrated Security=SSPI;" + crlf +
           "Persist Security Info=False;Initial Catalog=Master;" + crlf + "Data Source=" + server +
           ";Use Procedure for Prepare=1;" + crlf + tail;
  return "Provider=SQLOLEDB.1;Persist Security Info=False;" + crlf + "User ID=" + user +
         ";Password=" + password + ";Initial Catalog=Master;" + crlf + "Data Source=" + server +
         ";Use Procedure for Prepare=1;" + crlf + tail;
}

TRemoteForm::TRemoteForm(const db::HostGlobal& global, db::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), global_(global), dialogs_(dialogs), serversFile_(DefaultServersFile()) {
  setObjectName("RemoteForm");
  ApplyFormStyle(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  setWindowTitle(Q(text::kRemoteCaption));

  plCaption = new CaptionPanel(this);
  plCaption->setObjectName("plCaption");
  plCaption->setText(Q(text::kRemoteCaption));
  plCaption->setMinimumHeight(24);

  lblServerName = new QLabel(Q(text::kServerLabel), this);
  cmbServerName = new QComboBox(this);
  cmbServerName->setObjectName("cmbServerName");
  cmbServerName->setEditable(true);
  cmbServerName->setInsertPolicy(QComboBox::NoInsert);
  cmbServerName->setMinimumWidth(220);
  lblServerName->setBuddy(cmbServerName);

  grpAuth = new QGroupBox(Q(text::kAuthGroup), this);
  grpAuth->setObjectName("grpAuth");
  rb_WinAuth = new QRadioButton(Q(text::kWinAuth), grpAuth);
  rb_WinAuth->setObjectName("rb_WinAuth");
  rb_WinAuth->setChecked(true);
  rb_SQLAuth = new QRadioButton(Q(text::kSqlAuth), grpAuth);
  rb_SQLAuth->setObjectName("rb_SQLAuth");
  auto* authLayout = new QVBoxLayout(grpAuth);
  authLayout->addWidget(rb_WinAuth);
  authLayout->addWidget(rb_SQLAuth);

  lblUserSQL = new QLabel(Q(text::kUserLabel), this);
  lblUserSQL->setObjectName("lblUserSQL");
  txtUserSQL = new QLineEdit(this);
  txtUserSQL->setObjectName("txtUserSQL");
  lblPassSQL = new QLabel(Q(text::kPasswordLabel), this);
  lblPassSQL->setObjectName("lblPassSQL");
  txtPassSQL = new QLineEdit(this);
  txtPassSQL->setObjectName("txtPassSQL");
  txtPassSQL->setEchoMode(QLineEdit::Password);

  OkBitBtn = new QPushButton(Q(text::kRemoteOk), this);
  OkBitBtn->setObjectName("OkBitBtn");
  OkBitBtn->setAutoDefault(false);
  CancelBitBtn = new QPushButton(Q(text::kRemoteCancel), this);
  CancelBitBtn->setObjectName("CancelBitBtn");
  CancelBitBtn->setAutoDefault(false);

  auto* fields = new QGridLayout;
  fields->addWidget(lblServerName, 0, 0);
  fields->addWidget(cmbServerName, 0, 1);
  fields->addWidget(grpAuth, 1, 0, 1, 2);
  fields->addWidget(lblUserSQL, 2, 0);
  fields->addWidget(txtUserSQL, 2, 1);
  fields->addWidget(lblPassSQL, 3, 0);
  fields->addWidget(txtPassSQL, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBitBtn);
  buttons->addWidget(CancelBitBtn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 8);
  layout->addWidget(plCaption);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(10, 6, 10, 0);
  body->addLayout(fields);
  body->addLayout(buttons);
  layout->addLayout(body);

  connect(cmbServerName, &QComboBox::activated, this, &TRemoteForm::cmbServerNameClick);
  connect(rb_WinAuth, &QRadioButton::clicked, this, &TRemoteForm::rb_TypeSQL_Click);
  connect(rb_SQLAuth, &QRadioButton::clicked, this, &TRemoteForm::rb_TypeSQL_Click);
  connect(OkBitBtn, &QPushButton::clicked, this, &TRemoteForm::OkBitBtnClick);
  connect(CancelBitBtn, &QPushButton::clicked, this, &TRemoteForm::CancelBitBtnClick);
  // The name box holds the focus for its line edit and passes keys on to it, so both are watched.
  for (QObject* edit :
       std::initializer_list<QObject*>{cmbServerName, cmbServerName->lineEdit(), rb_WinAuth,
                                       rb_SQLAuth, txtUserSQL, txtPassSQL})
    edit->installEventFilter(this);
}

QString TRemoteForm::serverName() const {
  return cmbServerName->currentText();
}
QString TRemoteForm::authKind() const {
  return rb_WinAuth->isChecked() ? "WIN" : "SQL";
}
QString TRemoteForm::userName() const {
  return txtUserSQL->text();
}
QString TRemoteForm::password() const {
  return txtPassSQL->text();
}

void TRemoteForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TRemoteForm::FormShow() {
  remembered_ = ReadRememberedServers(serversFile_);
  cmbServerName->clear();
  for (const RememberedServer& s : remembered_) cmbServerName->addItem(s.name);
  // The caller's settings first; the remembered user of the chosen server then decides.
  (serverName_.isEmpty() || authKind_ == "WIN" ? rb_WinAuth : rb_SQLAuth)->setChecked(true);
  txtUserSQL->setText(userName_);
  txtPassSQL->setText(password_);
  int match = -1;
  for (int n = 0; n < remembered_.size() && match < 0; ++n)
    if (remembered_[n].name.toUpper() == serverName_.toUpper()) match = n;
  cmbServerName->setCurrentIndex(match);
  if (match < 0) cmbServerName->setEditText(QString());
  cmbServerNameClick();
  rb_TypeSQL_Click();
}

int TRemoteForm::SelectedServer() const {
  const QString name = cmbServerName->currentText();
  for (int n = 0; n < remembered_.size(); ++n)
    if (!name.isEmpty() && remembered_[n].name.compare(name, Qt::CaseInsensitive) == 0) return n;
  return -1;
}

void TRemoteForm::cmbServerNameClick() {
  const int n = SelectedServer();
  const QString user = n >= 0 ? remembered_[n].user : QString();
  txtUserSQL->setText(user);
  (user.isEmpty() ? rb_WinAuth : rb_SQLAuth)->setChecked(true);
}

void TRemoteForm::rb_TypeSQL_Click() {
  const bool sql = rb_SQLAuth->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(lblUserSQL), static_cast<QWidget*>(txtUserSQL),
                     static_cast<QWidget*>(lblPassSQL), static_cast<QWidget*>(txtPassSQL)})
    w->setEnabled(sql);
  if (!sql) {
    txtUserSQL->clear();
    return;
  }
  const int n = SelectedServer();
  if (n < 0) {
    dialogs_.ShowDlgMsg(text::kWrongServer, "", "1ER");
    cmbServerName->setFocus();
    return;
  }
  txtUserSQL->setText(remembered_[n].user);
}

bool TRemoteForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (IsEnter(k)) {
      OnEdit_KeyDown(watched);
      return true;  // the Enter character itself is swallowed
    }
    if (OnEdit_KeyPress(watched, k->text())) return true;
  }
  return QDialog::eventFilter(watched, e);
}

bool TRemoteForm::OnEdit_KeyDown(QObject* watched) {
  if (watched == cmbServerName || watched == cmbServerName->lineEdit()) {
    if (cmbServerName->currentText().trimmed().isEmpty()) {
      dialogs_.ShowDlgMsg(text::kEmptyServer, "", "1ER");
      cmbServerName->setFocus();
      return false;
    }
    (rb_WinAuth->isChecked() ? rb_WinAuth : rb_SQLAuth)->setFocus();
  } else if (watched == rb_WinAuth || watched == rb_SQLAuth) {
    (txtUserSQL->isEnabled() ? static_cast<QWidget*>(txtUserSQL) : OkBitBtn)->setFocus();
  } else if (watched == txtUserSQL) {
    txtPassSQL->setFocus();
  } else if (watched == txtPassSQL) {
    OkBitBtn->setFocus();
  }
  return true;
}

bool TRemoteForm::OnEdit_KeyPress(QObject* watched, const QString& typed) {
  auto* edit =
      watched == cmbServerName ? cmbServerName->lineEdit() : qobject_cast<QLineEdit*>(watched);
  if (!edit || typed.isEmpty()) return false;
  const std::string before = typed.toStdString();
  const std::string after = ConvertTypedText(before, global_.keyboardMode, global_.platformName);
  if (after == before) return false;
  edit->insert(QString::fromStdString(after));
  return true;
}

void TRemoteForm::OkBitBtnClick() {
  dialogs_.ShowState("STOP", text::kConnectTitle, text::kConnecting);
  const std::string server = serverName().trimmed().toStdString();
  const std::string auth = authKind().toStdString();
  std::unique_ptr<db::Backend> opened;
  try {
    opened = db::OpenBackend(RemoteConnectionString(global_, server, auth, userName().toStdString(),
                                                    password().toStdString()));
    // Opening may be lazy: a probe of Master proves the server answers.
    opened->Query("SELECT COUNT(*) FROM master..sysdatabases");
  } catch (const std::exception&) {
    dialogs_.ShowDlgMsg(text::kCannotConnect, "", "1ER");
    dialogs_.HideState();
    return;
  }
  dialogs_.HideState();
  connection_ = std::move(opened);
  RememberServer(serversFile_, {serverName().trimmed(), auth == "SQL" ? userName() : QString()});
  accept();
}

void TRemoteForm::CancelBitBtnClick() {
  reject();
}

}  // namespace xfer::ui
