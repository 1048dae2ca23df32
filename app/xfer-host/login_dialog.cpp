// Login dialog: combo boxes over the registry's users and periods.
#include "login_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <numeric>
#include <vector>

#include "db/registry.h"
#include "host_text.h"
#include "ui/persian_display.h"
#include "ui/ui_font.h"

namespace xfer::hostapp {

LoginDialog::LoginDialog(const QString& serverDir, const RegistryChoices& choices, QWidget* parent)
    : QDialog(parent), choices_(choices) {
  setObjectName("LoginDialog");
  ui::ApplyFormStyle(this);
  setWindowTitle(ui::ForDisplay(text::kAppTitle));

  auto* server = new QLabel(serverDir, this);
  server->setObjectName("lblServer");
  server->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cmbUser = new QComboBox(this);
  cmbUser->setObjectName("cmbUser");
  for (const RegistryUser& u : choices.users)
    cmbUser->addItem(ui::ForDisplay(u.name + "  (" + std::to_string(u.id) + ")"));
  cmbUser->setEnabled(!choices.users.empty());
  cmbPeriod = new QComboBox(this);
  cmbPeriod->setObjectName("cmbPeriod");
  cmbPeriod->setMinimumWidth(320);
  // The newest period first: the one an accountant opens on most days.
  std::vector<size_t> order(choices.periods.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const RegistryPeriod &x = choices.periods[a], &y = choices.periods[b];
    if (x.year != y.year) return x.year > y.year;
    return x.firstDate > y.firstDate;
  });
  for (size_t i : order) {
    const RegistryPeriod& p = choices.periods[i];
    QString entry = ui::ForDisplay(db::PeriodEntry(p.dbName, p.company));
    if (!p.firstDate.empty())
      entry +=
          "   " + ui::ForDisplay(p.firstDate) + ui::ForDisplay(" - ") + ui::ForDisplay(p.lastDate);
    cmbPeriod->addItem(entry, qulonglong(i));
  }
  cmbPeriod->setCurrentIndex(choices.periods.empty() ? -1 : 0);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(ui::ForDisplay(text::kOk), QDialogButtonBox::AcceptRole);
  ok->setObjectName("cmdOk");
  ok->setEnabled(!choices.periods.empty());
  buttons->addButton(ui::ForDisplay(text::kCancel), QDialogButtonBox::RejectRole)
      ->setObjectName("cmdCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow(ui::ForDisplay(text::kServerName), server);
  form->addRow(ui::ForDisplay(text::kUserName), cmbUser);
  form->addRow(ui::ForDisplay(text::kChoosePeriod), cmbPeriod);
  form->addRow(buttons);
}

bool LoginDialog::selectPeriod(const QString& dbName) {
  for (size_t i = 0; i < choices_.periods.size(); ++i)
    if (QString::fromStdString(choices_.periods[i].dbName).compare(dbName, Qt::CaseInsensitive) ==
        0) {
      cmbPeriod->setCurrentIndex(cmbPeriod->findData(qulonglong(i)));
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
  if (cmbPeriod->currentIndex() < 0) return std::nullopt;
  const size_t i = size_t(cmbPeriod->currentData().toULongLong());
  if (i >= choices_.periods.size()) return std::nullopt;
  return choices_.periods[i];
}

}  // namespace xfer::hostapp
