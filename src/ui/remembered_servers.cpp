// Remembered servers in an INI file through QSettings.
#include "ui/remembered_servers.h"

#include <QSettings>
#include <QStandardPaths>

namespace xfer::ui {
namespace {

constexpr char kGroup[] = "PrefServers";

}  // namespace

QString DefaultServersFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/Xfer/servers.ini";
}

QList<RememberedServer> ReadRememberedServers(const QString& file) {
  QSettings settings(file, QSettings::IniFormat);
  settings.beginGroup(kGroup);
  QList<RememberedServer> out;
  for (int n = 0; settings.contains("Server" + QString::number(n)); ++n)
    out.append({settings.value("Server" + QString::number(n)).toString(),
                settings.value("User" + QString::number(n)).toString()});
  return out;
}

void RememberServer(const QString& file, const RememberedServer& server) {
  QList<RememberedServer> all = ReadRememberedServers(file);
  int n = 0;
  while (n < all.size() && all[n].name.compare(server.name, Qt::CaseInsensitive) != 0) ++n;
  if (n == all.size()) all.append(server);
  all[n].user = server.user;
  QSettings settings(file, QSettings::IniFormat);
  settings.beginGroup(kGroup);
  settings.setValue("Server" + QString::number(n), all[n].name);
  settings.setValue("User" + QString::number(n), all[n].user);
  settings.endGroup();
  settings.sync();
}

}  // namespace xfer::ui
