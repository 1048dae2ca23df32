#include "screenshot_tour.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <iostream>

#include "db/registry.h"
#include "host_window.h"
#include "login_dialog.h"
#include "ui/dlg_msg.h"

namespace xfer::hostapp {
namespace {

// The window with the other top-level windows that lie over it painted where they are.
QImage Composite(QWidget* window, std::initializer_list<QWidget*> over) {
  QImage image = window->grab().toImage();
  QPainter painter(&image);
  for (QWidget* w : over)
    if (w && w->isVisible())
      painter.drawPixmap(w->geometry().topLeft() - window->geometry().topLeft(), w->grab());
  return image;
}

bool Save(const QImage& image, const QString& dir, const char* name) {
  const QString file = dir + "/" + name;
  const bool saved = image.save(file, "PNG");
  std::cerr << "xfer-host: screenshot " << (saved ? "saved to " : "failed: ") << file.toStdString()
            << "\n";
  return saved;
}

}  // namespace

bool SaveLoginShot(const QString& dir, const QString& serverDir, const RegistryChoices& choices) {
  LoginDialog login(serverDir, choices);
  login.adjustSize();
  login.show();
  QApplication::processEvents();
  const bool saved = Save(login.grab().toImage(), dir, "login.png");
  login.close();
  return saved;
}

bool SaveRunShots(HostWindow& window, const QString& dir, const QString& sourceDb,
                  const QStringList& modules) {
  if (window.OpenTransfer("Xfer_Kol") < 0) return false;
  QApplication::processEvents();
  QWidget* container = window.container();
  auto* combo = container->findChild<QComboBox*>("cmbCompany");
  auto* ok = container->findChild<QPushButton*>("cmdOk");
  if (!combo || !ok) return false;
  for (int i = 0; i < combo->count(); ++i)
    if (QString::fromStdString(db::SourceDatabaseOf(combo->itemData(i).toString().toStdString())) ==
        sourceDb.toUpper())
      combo->setCurrentIndex(i);
  for (const QString& name : modules)
    if (auto* box = container->findChild<QCheckBox*>(name)) box->setChecked(true);
  QApplication::processEvents();
  bool saved = Save(window.grab().toImage(), dir, "base_form.png");

  // During the run: the progress window once a few tables are done, and the first completion
  // message before it is answered.
  QWidget* state = window.findChild<QWidget*>("ShowStateForm");
  QWidget* dlg = window.dlgMsg();
  int unitsSeen = 0;
  bool runShot = false, messageShot = false;
  QString lastUnit;
  QTimer spy;
  spy.setInterval(0);
  QObject::connect(&spy, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal == dlg) {
      if (!messageShot) saved &= Save(Composite(&window, {dlg}), dir, "message.png");
      messageShot = true;
      if (auto* b = dlg->findChild<QPushButton*>("BBtnOK1"); b && b->isVisible()) b->click();
      return;
    }
    auto* unit = state ? state->findChild<QWidget*>("lblUnit") : nullptr;
    if (runShot || !unit || !unit->isVisible()) return;
    const QString text = unit->property("text").toString();
    if (text != lastUnit) ++unitsSeen, lastUnit = text;
    if (unitsSeen >= 4) {
      saved &= Save(Composite(&window, {state}), dir, "run.png");
      runShot = true;
    }
  });
  spy.start();
  ok->click();
  spy.stop();
  QApplication::processEvents();
  QWidget* summary = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "RunSummary" && w->isVisible()) summary = w;
  if (!summary) {
    std::cerr << "xfer-host: no run summary\n";
    return false;
  }
  saved &= Save(summary->grab().toImage(), dir, "summary.png");
  saved &= Save(Composite(&window, {summary}), dir, "summary_on_window.png");
  return saved && runShot;
}

}  // namespace xfer::hostapp
