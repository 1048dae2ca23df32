// What the form tests share: a server directory with the registry and periods built by the
// suite's own scripts, a host session on one of its periods, and a recorder that answers every
// message dialog (and any other modal window it is told about) and keeps what it showed.
#pragma once

#include <unistd.h>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "temp_tree.h"

#include "db/session.h"
#include "engine/engine.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"
#include "ui/dlg_msg.h"
#include "ui/show_state_form.h"

namespace xfer::testing {

inline std::string TestDir(const std::string& tag) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return (std::filesystem::temp_directory_path() /
          ("xfer_forms_" + tag + "_" + std::to_string(::getpid()) + "_" + info->test_suite_name() +
           "_" + info->name()))
      .string();
}

struct ServerFixture {
  explicit ServerFixture(const std::string& dir) : directory(dir) {
    xfer_test::RemoveTree(dir);
    server = engine::Server::Open(dir, true);
    conn = std::make_unique<engine::Connection>(server);
    suite::InstallRegistry(suite::EngineRunner(*conn));
  }
  ~ServerFixture() {
    conn.reset();
    server.reset();
    xfer_test::RemoveTree(directory);
  }
  void Period(const std::string& code, const std::string& year, const suite::CodeWidths& w = {}) {
    suite::CreatePeriod(suite::EngineRunner(*conn), {code, year, "شرکت", "", "", "3.2.1", w});
  }
  void Run(const std::string& db, const std::string& sql) {
    conn->Execute("USE " + db + " " + sql);
  }
  std::string Value(const std::string& db, const std::string& sql) {
    auto sets = conn->Execute("USE " + db + " " + sql);
    if (sets.empty() || sets.back().rows.empty()) return "<none>";
    return engine::FormatValue(sets.back().rows[0][0]);
  }

  std::string directory;
  std::shared_ptr<engine::Server> server;
  std::unique_ptr<engine::Connection> conn;
};

// The six host objects, logged into `database` of `server`.
struct HostSession {
  HostSession(const std::string& server, const std::string& database) {
    global.workstation = "WS";
    global.companyCode = "7";
    global.fiscalYear = "1403";
    global.serverName = server;
    global.appFolder = server;
    global.appTitle = "Xfer";
    date.clock = [] { return db::ClockTime{1, 1, 1, 5}; };
    link.ConnectDatabase(global, server, database, "SQL", "", "");
  }
  db::HostGlobal global;
  db::HostDate date;
  db::HostDatabase link;
  ui::TShowStateForm stateForm;
  ui::TDlgMsg dlgMsg;
};

// Answers modal windows as they come up. A message dialog is recorded (its message and the icon
// its code chose) and confirmed with its default button; other windows get the answer registered
// for their name. Answers run from a fresh event-loop turn so a window opened by an answer is
// answered too.
class DialogRecorder {
 public:
  struct Message {
    std::string text;
    char kind;  // 'E' error, 'I' notice, 'Q' question, '?' other
  };

  DialogRecorder() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  void On(const QString& objectName, std::function<void(QWidget*)> answer) {
    answers_[objectName] = std::move(answer);
  }

  std::vector<Message> messages;

 private:
  void Poll() {
    if (busy_ && !busy_->isVisible()) busy_ = nullptr;
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || w == busy_) return;
    if (w->objectName() != "DlgMsg" && !answers_.count(w->objectName())) return;
    busy_ = w;
    QTimer::singleShot(0, w, [this, w] { Answer(w); });
  }

  void Answer(QWidget* w) {
    if (w->objectName() != "DlgMsg") {
      answers_[w->objectName()](w);
      return;
    }
    char kind = '?';
    for (auto [name, k] : {std::pair{"I_Error", 'E'}, {"I_Info", 'I'}, {"I_Question", 'Q'}})
      if (w->findChild<QLabel*>(name)->isVisibleTo(w)) kind = k;
    // The message as the form sent it; the memo shows it in Persian display.
    messages.push_back({static_cast<ui::TDlgMsg*>(w)->message().toStdString(), kind});
    for (const char* name : {"BBtnOK1", "BBtnYes", "BBtnOK2"}) {
      auto* b = w->findChild<QPushButton*>(name);
      if (b && b->isVisibleTo(w)) {
        b->click();
        break;
      }
    }
    if (w->isVisible()) w->close();
    busy_ = nullptr;  // the host's one message dialog comes back for the next message
  }

  QTimer timer_;
  QPointer<QWidget> busy_;
  std::map<QString, std::function<void(QWidget*)>> answers_;
};

}  // namespace xfer::testing
