// Login dialog: combo boxes over the registry's users and periods.
#include "login_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "db/registry.h"
#include "host_text.h"
#include "ui/ui_font.h"

namespace xfer::hostapp {

LoginDialog::LoginDialog(const QString& serverDir, const RegistryChoices& choices, QWidget* parent)
    : QDialog(parent), choices_(choices) {
  setObjectName("LoginDialog");
  ui::ApplyFormStyle(this);
  setWindowTitle(QString::fromUtf8(text::kAppTitle));

  auto* server = new QLabel(serverDir, this);
  server->setObjectName("lblServer");
  server->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cmbUser = new QComboBox(this);
  cmbUser->setObjectName("cmbUser");
  for (const RegistryUser& u : choices.users)
    cmbUser->addItem(QString::fromStdString(u.name) + "  (" + QString::number(u.id) + ")");
  cmbUser->setEnabled(!choices.users.empty());
  cmbPeriod = new QComboBox(this);
  cmbPeriod->setObjectName("cmbPeriod");
  cmbPeriod->setMinimumWidth(320);
  for (const RegistryPeriod& p : choices.periods)
    cmbPeriod->addItem(QString::fromStdString(db::PeriodEntry(p.dbName, p.company)));

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QString::fromUtf8(text::kOk), QDialogButtonBox::AcceptRole);
  ok->setObjectName("cmdOk");
  ok->setEnabled(!choices.periods.empty());
  buttons->addButton(QString::fromUtf8(text::kCancel), QDialogButtonBox::RejectRole)
      ->setObjectName("cmdCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow(QString::fromUtf8(text::kServerName), server);
  form->addRow(QString::fromUtf8(text::kUserName), cmbUser);
  form->addRow(QString::fromUtf8(text::kChoosePeriod), cmbPeriod);
  form->addRow(buttons);
}

bool LoginDialog::selectPeriod(const QString& dbName) {
  for (size_t i = 0; i < choices_.periods.size(); ++i)
    if (QString::fromStdString(choices_.periods[i].dbName).compare(dbName, Qt::CaseInsensitive) ==
        0) {
      cmbPeriod->setCurrentIndex(int(i));
      return true;
    }
  return false;
}

std::optional<RegistryUser> LoginDialog::user() const {
  const int i = cmbUser->currentIndex();
  if (i < 0 || size_t(i) >= choices_.users.size()) return std::nullopt;
  return choices_.users[size_t(i)];
}

std::optional<RegistryPeriod> LoginDialog::period() const {
  const int i = cmbPeriod->currentIndex();
  if (i < 0 || size_t(i) >= choices_.periods.size()) return std::nullopt;
  return choices_.periods[size_t(i)];
}

}  // namespace xfer::hostapp
