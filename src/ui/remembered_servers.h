// The servers the user connected to before, with the SQL user last used on each: what the
// server-connection form offers. They live in a per-user INI file ("Server" + n, "User" + n
// under [PrefServers]), the place a desktop without a client-tools registry keeps them.
#pragma once

#include <QList>
#include <QString>

namespace xfer::ui {

struct RememberedServer {
  QString name;
  QString user;  // empty: Windows authentication was used
};

// ~/.config/Xfer/servers.ini, or where XDG_CONFIG_HOME points.
QString DefaultServersFile();

// Entries Server0, Server1, ... up to the first missing number.
QList<RememberedServer> ReadRememberedServers(const QString& file);
// Updates the user of a known server (names compared without case) or appends a new one.
void RememberServer(const QString& file, const RememberedServer& server);

}  // namespace xfer::ui
