// The base-information transfer form driven as a user drives it, on real period databases: the
// components and their captions, the organizing panel, the messages of a run (completion per
// block, no period chosen, a code width that differs), a source on another server chosen through
// the connection form, the structure converter library, and a screenshot of the form.
#include "transfer/forms/kol_form.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "db/registry.h"
#include "form_fixture.h"
#include "tests/ui/modal_script.h"
#include "transfer/base/base_transfer.h"
#include "transfer/forms/kol_form_text.h"
#include "ui/persian_display.h"
#include "ui/remembered_servers.h"
#include "ui/run_summary.h"

namespace xfer::transfer {
namespace {

namespace fs = std::filesystem;
using testing::DialogRecorder;
using testing::HostSession;
using testing::ServerFixture;
using testing::TestDir;

const char* kSource = "KELVARO_7_1402";
const char* kDest = "KELVARO_7_1403";

void FillSource(ServerFixture& s) {
  s.Run(kSource,
        "INSERT INTO GROH (Groh, NamHesab) VALUES ('1', 'A'), ('2', 'B') "
        "INSERT INTO KOLL (Koll, NamHesab) VALUES ('11', 'K11'), ('12', 'K12') "
        "INSERT INTO KALA (KalaCod, KalaNam) VALUES ('K1', 'O''Brien''s tea') "
        "INSERT INTO ANBAR (AnbarCod, AnbarNam) VALUES ('A1', 'store') "
        "INSERT INTO R_CUSTOMER (CustomerCod, CustomerNam) VALUES ('C1', 'customer') "
        "INSERT INTO Options (SCode, Forosh, Anbar) VALUES ('71402', 'AUTO=YES;', 'Q=1;')");
  s.Run(kDest, "INSERT INTO Options (SCode, Forosh, Anbar) VALUES ('71403', 'AUTO=NO;', 'X=1;')");
}

std::string DoneMessage(Module m) {
  for (const TransferBlock& b : TransferBlocks())
    if (b.module == m) return b.doneMessage;
  return {};
}

class KolFormTest : public ::testing::Test {
 protected:
  void SetUp() override { Build({}); }
  void TearDown() override {
    if (form_ && form_->summary()) form_->summary()->close();
    form_.reset();
    session_.reset();
    server_.reset();
  }

  // A fresh server with the two periods, the destination's code widths as given, and the form
  // shown on a session logged into the destination.
  void Build(const suite::CodeWidths& destWidths) {
    if (form_ && form_->summary()) form_->summary()->close();
    form_.reset();
    session_.reset();
    server_.reset();
    server_ = std::make_unique<ServerFixture>(TestDir("kol"));
    server_->Period("7", "1402");
    server_->Period("7", "1403", destWidths);
    FillSource(*server_);
    session_ = std::make_unique<HostSession>(server_->directory, kDest);
    form_ = std::make_unique<TXferKolForm>([s = session_.get()] {
      return FormSession{&s->global, &s->date, &s->link, &s->stateForm, &s->dlgMsg};
    });
    form_->setServersFile(QString::fromStdString(server_->directory + "/servers.ini"));
    form_->resize(760, 520);
    form_->show();
  }

  template <typename T>
  T* Child(const char* name) {
    T* w = form_->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void ChoosePeriod(const std::string& db) {
    auto* combo = Child<QComboBox>("cmbCompany");
    for (int i = 0; i < combo->count(); ++i)
      if (db::SourceDatabaseOf(combo->itemText(i).toStdString()) == db) combo->setCurrentIndex(i);
  }
  void Tick(std::initializer_list<const char*> boxes) {
    for (const char* name : boxes) Child<QCheckBox>(name)->setChecked(true);
  }
  void PressOk() { QTest::mouseClick(Child<QPushButton>("cmdOk"), Qt::LeftButton); }
  std::string Dest(const std::string& sql) { return server_->Value(kDest, sql); }

  DialogRecorder recorder_;
  std::unique_ptr<ServerFixture> server_;
  std::unique_ptr<HostSession> session_;
  std::unique_ptr<TXferKolForm> form_;
};

TEST_F(KolFormTest, ShowsItsComponentsRightToLeft) {
  EXPECT_EQ(form_->objectName(), "TXferKolForm");
  EXPECT_EQ(form_->windowTitle().toStdString(), text::kFormCaption);
  EXPECT_EQ(form_->layoutDirection(), Qt::RightToLeft);
  struct Captioned {
    const char* name;
    const char* caption;
  };
  for (const Captioned& c : {Captioned{"chkMaly", form_text::kChkMaly},
                             {"chkStore", form_text::kChkStore},
                             {"chkDara", form_text::kChkDara},
                             {"chkNaghd", form_text::kChkNaghd},
                             {"chkTrado", form_text::kChkTrado},
                             {"chkSazmandehi", form_text::kChkSazmandehi}})
    EXPECT_EQ(Child<QCheckBox>(c.name)->text(), ui::ForDisplay(c.caption)) << c.name;
  for (const Captioned& c : {Captioned{"cmdOk", form_text::kOk},
                             {"cmdServer", form_text::kServer},
                             {"cmdSakhtar", form_text::kSakhtar}})
    EXPECT_EQ(Child<QPushButton>(c.name)->text(), ui::ForDisplay(c.caption)) << c.name;
  for (const Captioned& c : {Captioned{"Caption_Panel", text::kFormCaption},
                             {"lblCompany", form_text::kCompanyLabel},
                             {"lblNotice", text::kNotice},
                             {"lbServerNam", ""}})
    EXPECT_EQ(Child<QLabel>(c.name)->text(), ui::ForDisplay(c.caption)) << c.name;
  EXPECT_EQ(Child<QPushButton>("cmdServer")->toolTip(), ui::ForDisplay(form_text::kServerHint));
  // The periods of the registry except the current one, none chosen yet.
  auto* combo = Child<QComboBox>("cmbCompany");
  ASSERT_EQ(combo->count(), 1);
  EXPECT_EQ(db::SourceDatabaseOf(combo->itemText(0).toStdString()), kSource);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_FALSE(Child<QWidget>("pnlCondSazmandehi")->isVisible());
  ASSERT_NE(form_->transfer(), nullptr);
  EXPECT_EQ(form_->transfer()->tempName(), "##WS36615");
}

TEST_F(KolFormTest, OrganizingBoxTicksTheWholePanel) {
  auto* panel = Child<QWidget>("pnlCondSazmandehi");
  const auto boxes = panel->findChildren<QCheckBox*>();
  // One box per option; one box covers the two asset columns.
  EXPECT_EQ(boxes.size(), static_cast<qsizetype>(OrganizingOptions().size() - 1));
  for (const OptionsDescriptor& o : OrganizingOptions())
    EXPECT_NE(panel->findChild<QCheckBox*>(o.checkBox), nullptr) << o.checkBox;
  for (bool on : {true, false, true}) {
    Child<QCheckBox>("chkSazmandehi")->setChecked(on);
    EXPECT_EQ(panel->isVisible(), on);
    for (const QCheckBox* box : boxes)
      EXPECT_EQ(box->isChecked(), on) << box->objectName().toStdString();
  }
  // Choosing a period runs the organizing handler again: the panel is ticked whole.
  boxes.front()->setChecked(false);
  ChoosePeriod(kSource);
  EXPECT_TRUE(boxes.front()->isChecked());
}

TEST_F(KolFormTest, ConfirmWithoutAPeriodAsksForOne) {
  Tick({"chkMaly"});
  PressOk();
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0].text, text::kChooseCompany);
  EXPECT_EQ(recorder_.messages[0].kind, 'E');
  EXPECT_EQ(Dest("SELECT COUNT(*) FROM KOLL"), "0");
}

TEST_F(KolFormTest, TickedModulesAreCarriedWithOneMessageEach) {
  struct Case {
    std::vector<const char*> boxes;
    std::vector<Module> messages;
    std::vector<std::pair<const char*, const char*>> counts;  // destination query, result
  };
  const Case cases[] = {
      {{"chkMaly", "chkStore"},
       {Module::kMaly, Module::kStore},
       {{"SELECT COUNT(*) FROM KOLL", "2"},
        {"SELECT COUNT(*) FROM KALA", "1"},
        {"SELECT COUNT(*) FROM R_CUSTOMER", "0"}}},
      // Sales alone brings the items it refers to, inventory not being ticked.
      {{"chkTrado"},
       {Module::kTrado},
       {{"SELECT KalaNam FROM KALA", "O'Brien's tea"},
        {"SELECT COUNT(*) FROM ANBAR", "1"},
        {"SELECT COUNT(*) FROM R_CUSTOMER", "1"},
        {"SELECT COUNT(*) FROM GROH", "0"}}},
      // The organizing block with one box left ticked copies that column only.
      {{"chkSazmandehi"},
       {Module::kSazmandehi},
       {{"SELECT Forosh FROM Options", "AUTO=YES;"}, {"SELECT Anbar FROM Options", "X=1;"}}},
  };
  bool first = true;
  for (const Case& c : cases) {
    if (!first) Build({});
    first = false;
    recorder_.messages.clear();
    ChoosePeriod(kSource);
    for (const char* box : c.boxes) Tick({box});
    if (c.messages.front() == Module::kSazmandehi) {
      for (QCheckBox* box : Child<QWidget>("pnlCondSazmandehi")->findChildren<QCheckBox*>())
        box->setChecked(box->objectName() == "chksForosh");
    }
    PressOk();
    ASSERT_EQ(recorder_.messages.size(), c.messages.size()) << c.boxes.front();
    for (size_t i = 0; i < c.messages.size(); ++i) {
      EXPECT_EQ(recorder_.messages[i].text, DoneMessage(c.messages[i]));
      EXPECT_EQ(recorder_.messages[i].kind, 'I');
    }
    for (auto [sql, expected] : c.counts) EXPECT_EQ(Dest(sql), expected) << sql;
    EXPECT_FALSE(session_->stateForm.isVisible());
    EXPECT_TRUE(form_->isEnabled());
  }
}

TEST_F(KolFormTest, WidthMismatchStopsTheRun) {
  suite::CodeWidths wide;
  wide.koll = 6;
  Build(wide);
  ChoosePeriod(kSource);
  Tick({"chkMaly", "chkStore"});
  PressOk();
  const WidthCheck* kollCheck = nullptr;
  for (const WidthCheck& w : FindDescriptor("KOLL")->checks)
    if (std::string(w.column) == "Koll") kollCheck = &w;
  ASSERT_NE(kollCheck, nullptr);
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(recorder_.messages[0].text,
            std::string(text::kWidthPrefix) + kollCheck->caption + text::kWidthSuffix);
  EXPECT_EQ(recorder_.messages[0].kind, 'E');
  EXPECT_EQ(Dest("SELECT COUNT(*) FROM GROH"), "2");  // carried before the check stopped it
  EXPECT_EQ(Dest("SELECT COUNT(*) FROM KOLL"), "0");
  EXPECT_EQ(Dest("SELECT COUNT(*) FROM KALA"), "0");
  EXPECT_FALSE(session_->stateForm.isVisible());
  EXPECT_TRUE(form_->isEnabled());
}

TEST_F(KolFormTest, AnotherServerChosenWithTheServerButton) {
  ServerFixture other(TestDir("kol_other"));
  other.Period("7", "1402");
  other.Run(kSource, "INSERT INTO KALA (KalaCod, KalaNam) VALUES ('R9', 'remote item')");

  // First a server that is not there: the connection form reports it and is cancelled.
  xfer::testing::ModalScript script;
  script.Answer("RemoteForm", [&](QWidget* w) {
    w->findChild<QComboBox*>("cmbServerName")->setEditText(QString::fromStdString(TestDir("none")));
    QTest::mouseClick(w->findChild<QPushButton*>("OkBitBtn"), Qt::LeftButton);
    QTimer::singleShot(50, w, [w] { w->findChild<QPushButton*>("CancelBitBtn")->click(); });
  });
  QTest::mouseClick(Child<QPushButton>("cmdServer"), Qt::LeftButton);
  ASSERT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(Child<QLabel>("lbServerNam")->text(), "");
  // The settings came from the session and stay as they were.
  EXPECT_EQ(form_->sourceServer().name, server_->directory);
  EXPECT_EQ(form_->sourceServer().authKind, "SQL");

  script.Answer("RemoteForm", [&](QWidget* w) {
    w->findChild<QComboBox*>("cmbServerName")->setEditText(QString::fromStdString(other.directory));
    QTest::mouseClick(w->findChild<QPushButton*>("OkBitBtn"), Qt::LeftButton);
  });
  QTest::mouseClick(Child<QPushButton>("cmdServer"), Qt::LeftButton);
  EXPECT_EQ(script.answered(), 2);
  EXPECT_EQ(recorder_.messages.size(), 1u);
  EXPECT_EQ(Child<QLabel>("lbServerNam")->text().toStdString(), other.directory);
  EXPECT_EQ(form_->sourceServer().name, other.directory);
  EXPECT_EQ(form_->sourceServer().authKind, "WIN");
  ASSERT_TRUE(form_->transfer()->RemoteSource());
  const auto remembered =
      ui::ReadRememberedServers(QString::fromStdString(server_->directory + "/servers.ini"));
  ASSERT_EQ(remembered.size(), 1);
  EXPECT_EQ(remembered[0].name.toStdString(), other.directory);

  // The period list is the other server's; its items arrive here.
  auto* combo = Child<QComboBox>("cmbCompany");
  EXPECT_EQ(combo->currentIndex(), -1);
  ASSERT_EQ(combo->count(), 1);
  ChoosePeriod(kSource);
  Tick({"chkStore"});
  PressOk();
  ASSERT_EQ(recorder_.messages.size(), 2u);
  EXPECT_EQ(recorder_.messages[1].text, DoneMessage(Module::kStore));
  EXPECT_EQ(Dest("SELECT KalaNam FROM KALA"), "remote item");
}

TEST_F(KolFormTest, StructureConverterLibrary) {
  const std::string file = ConverterPath(session_->global.appFolder);
  struct Case {
    const char* content;  // nullptr: no file; "": the real test library
    const char* message;  // nullptr: the library ran
  };
  const Case cases[] = {
      {nullptr, form_text::kConverterMissing},
      {"not a library", form_text::kConverterPresent},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    xfer_test::RemoveTree(fs::path(file).parent_path());
    if (c.content) {
      fs::create_directories(fs::path(file).parent_path());
      if (*c.content) {
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
      } else {
        fs::copy_file(XFER_TEST_CONVERTER, file);
      }
    }
    recorder_.messages.clear();
    session_->global.appTitle = "Xfer";
    QTest::mouseClick(Child<QPushButton>("cmdSakhtar"), Qt::LeftButton);
    if (!c.message) {
      EXPECT_TRUE(recorder_.messages.empty());
      EXPECT_EQ(session_->global.appTitle, "converted M date database dialog");
    } else {
      // Persian, in the suite's dialog, without the library's path.
      ASSERT_EQ(recorder_.messages.size(), 1u);
      EXPECT_EQ(recorder_.messages[0].text, c.message);
      EXPECT_EQ(recorder_.messages[0].kind, 'E');
      EXPECT_EQ(recorder_.messages[0].text.find('/'), std::string::npos);
      EXPECT_EQ(session_->global.appTitle, "Xfer");
    }
  }
  // The library stays loaded: the next press calls it again without the file.
  xfer_test::RemoveTree(fs::path(file).parent_path());
  session_->global.appTitle = "again";
  QTest::mouseClick(Child<QPushButton>("cmdSakhtar"), Qt::LeftButton);
  EXPECT_EQ(session_->global.appTitle, "converted M date database dialog");
}

TEST_F(KolFormTest, ScreenshotShowsThePersianForm) {
  ChoosePeriod(kSource);
  Tick({"chkMaly", "chkTrado", "chkSazmandehi"});
  QApplication::processEvents();
  const QImage image = form_->grab().toImage();
  const QString file = QString(XFER_TEST_OUTPUT_DIR) + "/kol_form.png";
  ASSERT_TRUE(image.save(file, "PNG")) << file.toStdString();
  // Right to left: the module boxes sit on the right half, the caption text starts there too.
  auto* maly = Child<QCheckBox>("chkMaly");
  EXPECT_GT(maly->mapTo(form_.get(), QPoint(maly->width(), 0)).x(), form_->width() / 2);
  auto* label = Child<QLabel>("lblCompany");
  EXPECT_GT(label->mapTo(form_.get(), QPoint(0, 0)).x(), form_->width() / 2);
  // The notice is drawn: its pixels are not all of one colour.
  auto* notice = Child<QLabel>("lblNotice");
  const QRect r(notice->mapTo(form_.get(), QPoint(0, 0)), notice->size());
  const QRgb background = image.pixel(r.left() + 1, r.top() + 1);
  int differing = 0;
  for (int x = r.left(); x < r.right(); ++x)
    for (int y = r.top(); y < r.bottom(); ++y)
      if (image.pixel(x, y) != background) ++differing;
  EXPECT_GT(differing, 40);
}

}  // namespace
}  // namespace xfer::transfer
