// xfer-host: the desktop host of the module. Opens an embedded server directory, logs in as a
// registry user, connects to the chosen period and offers the module's transfers in a menu.
//   xfer-host [--server DIR] [--period DBNAME [--user ID]] [--open Xfer_Kol] [--screenshot PNG]
//             [--screenshots DIR]
// With --period the login dialog is skipped; --screenshot saves the window and quits;
// --screenshots walks through login, the base-information form, a run and its summary, saving
// each as PNG into DIR (the newest period, or --period, carried from its previous year).
#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>
#include <iostream>

#include "db/session.h"
#include "host_text.h"
#include "host_window.h"
#include "login_dialog.h"
#include "registry_login.h"
#include "screenshot_tour.h"
#include "solar_hijri.h"
#include "ui/dlg_msg.h"
#include "ui/ui_font.h"

namespace {

using namespace xfer;
using namespace xfer::hostapp;

// Reports to the user, or only on stderr when running without a dialog.
void Report(bool interactive, const QString& persian, const std::string& detail) {
  std::cerr << "xfer-host: " << detail << "\n";
  if (!interactive) return;
  // The user reads Persian; the technical detail is for the log.
  ui::TDlgMsg dlg;
  dlg.Execute(persian, QString(), "1ER");
}

std::string Today() {
  const QDate d = QDate::currentDate();
  return FormatSolar(GregorianToSolar(d.year(), d.month(), d.day()));
}

std::string AppFolder() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  QDir().mkpath(dir);
  return QDir::cleanPath(dir).toStdString();
}

QString ModulePath(const QString& option) {
  if (!option.isEmpty()) return option;
  if (qEnvironmentVariableIsSet("XFER_LIBRARY")) return qEnvironmentVariable("XFER_LIBRARY");
  const QString beside = QCoreApplication::applicationDirPath() + "/libxfer.so";
  if (QFile::exists(beside)) return beside;
  return QStringLiteral(XFER_MODULE_PATH);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("xfer-host");
  QApplication::setApplicationDisplayName(QString::fromUtf8(text::kAppTitle));
  QApplication::setLayoutDirection(Qt::RightToLeft);
  QApplication::setFont(ui::DialogFont());

  QCommandLineParser args;
  args.addHelpOption();
  QCommandLineOption serverOpt("server", "Embedded server directory.", "DIR");
  QCommandLineOption periodOpt("period", "Period database; skips the login dialog.", "DBNAME");
  QCommandLineOption userOpt("user", "UserID to log in as with --period.", "ID");
  QCommandLineOption openOpt("open", "Entry point to call at start (Xfer_Kol, ...).", "EXPORT");
  QCommandLineOption shotOpt("screenshot", "Save the window to PNG and quit.", "FILE");
  QCommandLineOption libOpt("library", "Path of libxfer.so.", "FILE");
  QCommandLineOption toursOpt("screenshots", "Save login, form, run and summary PNGs; quit.",
                              "DIR");
  args.addOptions({serverOpt, periodOpt, userOpt, openOpt, shotOpt, libOpt, toursOpt});
  args.process(app);
  const bool tour = args.isSet(toursOpt);
  const bool interactive = !args.isSet(periodOpt) && !tour;

  std::optional<std::string> serverArg;
  if (args.isSet(serverOpt)) serverArg = args.value(serverOpt).toStdString();
  const std::string serverDir = ResolveServerDir(
      serverArg, std::getenv("XFER_SERVER"), std::string(XFER_SOURCE_DIR) + "/build/demo-server");
  if (!QDir(QString::fromStdString(serverDir)).exists()) {
    Report(interactive, QString::fromUtf8(text::kBadServer), "no server directory " + serverDir);
    return 1;
  }

  db::HostGlobal probe;
  probe.workstation = QSysInfo::machineHostName().toStdString();
  RegistryChoices choices;
  try {
    auto hub =
        db::OpenBackend(db::ConnectionString(probe, serverDir, "KELVARO_Hub", "SQL", "", ""));
    choices = ReadRegistry(*hub);
  } catch (const std::exception& e) {
    Report(interactive, QString::fromUtf8(text::kCannotConnect), e.what());
    return 1;
  }
  if (choices.userTableMissing)
    std::cerr << "xfer-host: the registry has no UserHub table; logging in without a user\n";

  std::optional<RegistryUser> user;
  std::optional<RegistryPeriod> period;
  const QString tourDir = args.value(toursOpt);
  if (tour) {
    QDir().mkpath(tourDir);
    if (!SaveLoginShot(tourDir, QString::fromStdString(serverDir), choices)) return 1;
    if (!args.isSet(periodOpt)) {
      // The login's own choice: the newest period.
      LoginDialog login(QString::fromStdString(serverDir), choices);
      period = login.period();
      user = login.user();
    }
  }
  if (interactive) {
    LoginDialog login(QString::fromStdString(serverDir), choices);
    if (login.exec() != QDialog::Accepted) return 0;
    user = login.user();
    period = login.period();
  } else if (args.isSet(periodOpt)) {
    const std::string wanted = args.value(periodOpt).toStdString();
    for (const auto& p : choices.periods)
      if (QString::fromStdString(p.dbName).compare(QString::fromStdString(wanted),
                                                   Qt::CaseInsensitive) == 0)
        period = p;
    const int userId = args.value(userOpt).toInt();
    for (const auto& u : choices.users)
      if (!args.isSet(userOpt) || u.id == userId) {
        user = u;
        break;
      }
  }
  if (!period) {
    Report(interactive, QString::fromUtf8(text::kNoPeriod), "no such period");
    return 1;
  }

  SessionInput input{serverDir, probe.workstation, text::kAppTitle, AppFolder(), Today(), user,
                     *period};
  db::HostGlobal global = MakeHostGlobal(input);
  db::HostDatabase database;
  try {
    database.ConnectDatabase(global, serverDir, period->dbName, "SQL", global.sqlUser,
                             global.sqlPassword);
  } catch (const std::exception& e) {
    Report(interactive, QString::fromUtf8(text::kCannotConnect), e.what());
    return 1;
  }

  HostWindow window(std::move(global), std::move(database));
  QString error;
  if (!window.LoadModule(ModulePath(args.value(libOpt)), &error)) {
    Report(interactive, QString::fromUtf8(text::kCannotConnect), error.toStdString());
    return 1;
  }
  window.show();
  if (tour) {
    // The source: the same company's period before the one logged into.
    std::string source, sourceYear;
    for (const auto& p : choices.periods)
      if (p.code == period->code && p.year < period->year && p.year > sourceYear) {
        source = p.dbName;
        sourceYear = p.year;
      }
    if (source.empty()) {
      std::cerr << "xfer-host: no earlier period of company " << period->code << "\n";
      return 1;
    }
    return SaveRunShots(window, tourDir, QString::fromStdString(source),
                        {"chkMaly", "chkStore", "chkNaghd"})
               ? 0
               : 1;
  }
  if (args.isSet(openOpt) && window.OpenTransfer(args.value(openOpt).toUtf8().constData()) < 0) {
    std::cerr << "xfer-host: no entry point " << args.value(openOpt).toStdString() << "\n";
    return 1;
  }
  if (args.isSet(shotOpt)) {
    const QString file = args.value(shotOpt);
    QTimer::singleShot(200, &window, [&window, file] {
      const bool saved = window.grab().save(file, "PNG");
      std::cerr << "xfer-host: screenshot " << (saved ? "saved to " : "failed: ")
                << file.toStdString() << "\n";
      QCoreApplication::exit(saved ? 0 : 1);
    });
  }
  return app.exec();
}
