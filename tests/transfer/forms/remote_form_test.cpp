// The server-connection form: remembered servers in their file, what showing the form selects,
// the authentication choice and its messages, Enter and typed letters in the edits, and the
// connection test against a real server directory.
#include "ui/remote_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <filesystem>

#include "form_fixture.h"
#include "ui/remote_text.h"

namespace xfer::ui {
namespace {

using testing::ServerFixture;
using testing::TestDir;

class RemoteFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    xfer_test::RemoveTree(TestDir("remote"));
    std::filesystem::create_directories(TestDir("remote"));
    file_ = QString::fromStdString(TestDir("remote") + "/servers.ini");
    global_.workstation = "WS";
  }
  void TearDown() override { xfer_test::RemoveTree(TestDir("remote")); }

  // A shown form with the caller's settings; the remembered servers are read on show.
  std::unique_ptr<TRemoteForm> Show(const QString& server, const QString& auth = "SQL",
                                    const QString& user = "", const QString& password = "") {
    auto form = std::make_unique<TRemoteForm>(global_, dialogs_);
    form->setServersFile(file_);
    form->setServerName(server);
    form->setAuthKind(auth);
    form->setUserName(user);
    form->setPassword(password);
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return form;
  }
  // The widget or one of its parts (an editable combo's line edit) holds the focus.
  static bool HasFocus(QWidget* w) {
    QWidget* f = QApplication::focusWidget();
    return f && (f == w || w->isAncestorOf(f));
  }
  // Key presses carrying the letters, as a Persian keyboard sends them.
  static void Type(QWidget* w, const QString& letters) {
    for (const QChar c : letters) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(w, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(w, &release);
    }
  }
  template <typename T>
  static T* Child(QWidget* form, const char* name) {
    T* w = form->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  db::HostGlobal global_;
  db::ScriptedDialogs dialogs_;
  QString file_;
};

TEST_F(RemoteFormTest, RememberedServersRoundTrip) {
  EXPECT_TRUE(ReadRememberedServers(file_).isEmpty());
  RememberServer(file_, {"alpha", "sa"});
  RememberServer(file_, {"beta", ""});
  RememberServer(file_, {"ALPHA", "admin"});  // a known server keeps its place and name
  RememberServer(file_, {"gamma", "u3"});
  const QList<RememberedServer> servers = ReadRememberedServers(file_);
  const std::vector<std::pair<QString, QString>> expected = {
      {"alpha", "admin"}, {"beta", ""}, {"gamma", "u3"}};
  ASSERT_EQ(servers.size(), static_cast<qsizetype>(expected.size()));
  for (size_t n = 0; n < expected.size(); ++n) {
    EXPECT_EQ(servers[n].name, expected[n].first);
    EXPECT_EQ(servers[n].user, expected[n].second);
  }
  // The file holds the numbered values; a gap ends the list.
  QSettings raw(file_, QSettings::IniFormat);
  EXPECT_EQ(raw.value("PrefServers/Server2").toString(), "gamma");
  EXPECT_EQ(raw.value("PrefServers/User0").toString(), "admin");
  raw.remove("PrefServers/Server1");
  raw.sync();
  EXPECT_EQ(ReadRememberedServers(file_).size(), 1);
}

TEST_F(RemoteFormTest, ShowingSelectsTheHandedInServer) {
  RememberServer(file_, {"alpha", "sa"});
  RememberServer(file_, {"beta", ""});
  struct Case {
    QString handedIn;
    QString auth;
    int selected;
    bool sql;
    QString user;
    size_t messages;  // "wrong server" when SQL is chosen without a known server
  };
  const Case cases[] = {
      {"ALPHA", "WIN", 0, true, "sa", 0},  // the remembered user decides the authentication
      {"beta", "SQL", 1, false, "", 0},
      {"delta", "SQL", -1, false, "", 0},
      {"", "WIN", -1, false, "", 0},
  };
  for (const Case& c : cases) {
    dialogs_.messages.clear();
    auto form = Show(c.handedIn, c.auth, "typed", "secret");
    auto* combo = Child<QComboBox>(form.get(), "cmbServerName");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), c.selected) << c.handedIn.toStdString();
    EXPECT_EQ(form->authKind(), c.sql ? "SQL" : "WIN") << c.handedIn.toStdString();
    EXPECT_EQ(form->userName(), c.user);
    EXPECT_EQ(form->password(), "secret");
    EXPECT_EQ(Child<QLineEdit>(form.get(), "txtUserSQL")->isEnabled(), c.sql);
    EXPECT_EQ(Child<QLineEdit>(form.get(), "txtPassSQL")->isEnabled(), c.sql);
    EXPECT_EQ(dialogs_.messages.size(), c.messages);

    // Choosing SQL Server authentication needs a remembered server.
    Child<QRadioButton>(form.get(), "rb_SQLAuth")->click();
    EXPECT_EQ(form->authKind(), "SQL");
    if (c.selected < 0) {
      ASSERT_EQ(dialogs_.messages.size(), 1u);
      EXPECT_EQ(dialogs_.messages[0].text, text::kWrongServer);
      EXPECT_EQ(dialogs_.messages[0].code, "1ER");
      EXPECT_TRUE(HasFocus(combo));
    } else {
      EXPECT_TRUE(dialogs_.messages.empty());
      EXPECT_EQ(form->userName(), c.selected == 0 ? "sa" : "");
    }
    // Windows authentication clears the user and locks the edits again.
    Child<QRadioButton>(form.get(), "rb_WinAuth")->click();
    EXPECT_EQ(form->userName(), "");
    EXPECT_FALSE(Child<QLineEdit>(form.get(), "txtUserSQL")->isEnabled());
  }
}

TEST_F(RemoteFormTest, NoRememberedServersMeansAnEmptyList) {
  auto form = Show("anything");
  EXPECT_EQ(Child<QComboBox>(form.get(), "cmbServerName")->count(), 0);
  Child<QRadioButton>(form.get(), "rb_SQLAuth")->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, text::kWrongServer);
}

TEST_F(RemoteFormTest, EnterWalksTheFieldsAndTypedLettersAreConverted) {
  RememberServer(file_, {"alpha", "sa"});
  auto form = Show("alpha");
  auto* combo = Child<QComboBox>(form.get(), "cmbServerName");
  auto* user = Child<QLineEdit>(form.get(), "txtUserSQL");
  auto* password = Child<QLineEdit>(form.get(), "txtPassSQL");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Return);
  EXPECT_TRUE(HasFocus(Child<QRadioButton>(form.get(), "rb_SQLAuth")));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(HasFocus(user));
  QTest::keyClick(user, Qt::Key_Return);
  EXPECT_TRUE(HasFocus(password));
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_TRUE(HasFocus(Child<QPushButton>(form.get(), "OkBitBtn")));
  EXPECT_TRUE(form->isVisible()) << "Enter never confirms the form";

  // Leaving an empty server name is refused.
  combo->setEditText("");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Return);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, text::kEmptyServer);
  EXPECT_TRUE(HasFocus(combo));

  // Typed Persian kaf and yeh arrive as the Arabic letters unless the keyboard mode is "WIN".
  struct Case {
    const char* mode;
    const char* stored;
  };
  for (const Case& c : {Case{"", "\u0643\u0627\u0631\u0628\u0631\u064A"},
                        Case{"WIN", "\u06A9\u0627\u0631\u0628\u0631\u06CC"}}) {
    global_.keyboardMode = c.mode;
    user->clear();
    Type(user, QString::fromUtf8("\u06A9\u0627\u0631\u0628\u0631\u06CC"));
    EXPECT_EQ(user->text().toStdString(), c.stored) << c.mode;
  }
}

TEST_F(RemoteFormTest, OkConnectsToMasterOrStaysOpen) {
  ServerFixture server(TestDir("remote_server"));
  struct Case {
    std::string name;
    bool connects;
  };
  for (const Case& c :
       {Case{TestDir("no_such_server"), false}, Case{server.directory, true}, Case{"", false}}) {
    dialogs_.messages.clear();
    dialogs_.states.clear();
    auto form = Show("", "WIN");
    Child<QComboBox>(form.get(), "cmbServerName")->setEditText(QString::fromStdString(c.name));
    QTest::mouseClick(Child<QPushButton>(form.get(), "OkBitBtn"), Qt::LeftButton);
    ASSERT_EQ(dialogs_.states.size(), 1u);
    EXPECT_EQ(dialogs_.states[0],
              std::string("STOP|") + text::kConnectTitle + "|" + text::kConnecting);
    EXPECT_FALSE(dialogs_.stateVisible);
    auto connection = form->takeConnection();
    if (c.connects) {
      EXPECT_TRUE(dialogs_.messages.empty());
      EXPECT_EQ(form->result(), QDialog::Accepted);
      EXPECT_FALSE(form->isVisible());
      ASSERT_NE(connection, nullptr);
      EXPECT_NE(db::ScalarText(*connection, "SELECT COUNT(*) FROM master..sysdatabases"), "0");
      const auto remembered = ReadRememberedServers(file_);
      ASSERT_EQ(remembered.size(), 1);
      EXPECT_EQ(remembered[0].name.toStdString(), c.name);
      EXPECT_EQ(remembered[0].user, "");
    } else {
      ASSERT_EQ(dialogs_.messages.size(), 1u) << c.name;
      EXPECT_EQ(dialogs_.messages[0].text, text::kCannotConnect);
      EXPECT_TRUE(form->isVisible());
      EXPECT_EQ(connection, nullptr);
    }
  }
}

TEST_F(RemoteFormTest, ConnectionStringsNameMaster) {
  struct Case {
    const char* auth;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"WIN",
       {"Provider=SQLOLEDB.1;Integrated Security=SSPI;",
        "Persist Security Info=False;Initial Catalog=Master;",
        "Data Source=/srv/x;Use Procedure for Prepare=1;",
        "Auto Translate=True;ConnectionTimeout=60;Packet Size=4096;Workstation ID=WS"}},
      {"SQL",
       {"Provider=SQLOLEDB.1;Persist Security Info=False;",
        "User ID=u;Password=p;Initial Catalog=Master;",
        "Data Source=/srv/x;Use Procedure for Prepare=1;",
        "Auto Translate=True;ConnectionTimeout=60;Packet Size=4096;Workstation ID=WS"}},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& line : c.lines) joined += line + "\r\n";
    const std::string cs = RemoteConnectionString(global_, "/srv/x", c.auth, "u", "p");
    EXPECT_EQ(cs, joined) << c.auth;
    EXPECT_EQ(db::ConnectionStringValue(cs, "Initial Catalog"), "Master");
    EXPECT_EQ(db::ConnectionStringValue(cs, "Data Source"), "/srv/x");
  }
}

}  // namespace
}  // namespace xfer::ui
