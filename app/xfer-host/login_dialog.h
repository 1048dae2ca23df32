// The host's login: the server in use, a user of the registry and a company period, the newest
// period offered first.
#pragma once

#include <QDialog>

#include "registry_login.h"

class QComboBox;

namespace xfer::hostapp {

class LoginDialog : public QDialog {
  Q_OBJECT
 public:
  LoginDialog(const QString& serverDir, const RegistryChoices& choices, QWidget* parent = nullptr);
  LoginDialog(const LoginDialog&) = delete;
  LoginDialog& operator=(const LoginDialog&) = delete;

  // Selects the period of that database name, if listed; false otherwise.
  bool selectPeriod(const QString& dbName);
  std::optional<RegistryUser> user() const;
  std::optional<RegistryPeriod> period() const;
  QComboBox* periodCombo() const { return cmbPeriod; }

 private:
  const RegistryChoices& choices_;
  QComboBox* cmbUser = nullptr;
  QComboBox* cmbPeriod = nullptr;
};

}  // namespace xfer::hostapp
