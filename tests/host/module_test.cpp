// libxfer loaded at run time as the host loads it: one form per export, session variables
// overwritten on every call, Release_It and unloading free the forms, embedding in the
// container, and a screenshot of an embedded form with its Persian caption.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QStackedLayout>
#include <QWidget>

#include "host/form_registry.h"
#include "host/xfer_api.h"
#include "ui/dlg_msg.h"
#include "ui/persian_display.h"
#include "ui/show_state_form.h"

namespace xfer::host {
namespace {

// One set of the six host objects an entry point receives.
struct HostSession {
  db::HostGlobal global;
  db::HostDate date;
  db::HostDatabase database;
  ui::TShowStateForm stateForm;
  QWidget tempGridForm;
  ui::TDlgMsg dlgMsg;
};

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.setFileName(XFER_MODULE_PATH);
    ASSERT_TRUE(module_.load()) << module_.errorString().toStdString();
    for (int i = 0; i < kFormCount; ++i) {
      entries_[i] = reinterpret_cast<XferEntryPoint>(module_.resolve(kEntryPointNames[i]));
      forms_[i] = reinterpret_cast<QWidget**>(module_.resolve(kFormVariableNames[i]));
      ASSERT_TRUE(entries_[i] && forms_[i]) << kEntryPointNames[i];
    }
    release_ = reinterpret_cast<XferReleaseFunction>(module_.resolve("Release_It"));
    ASSERT_NE(release_, nullptr);
    container_.resize(800, 300);
  }
  void TearDown() override {
    if (module_.isLoaded()) release_();
  }

  template <typename T>
  T* Variable(const char* name) {
    auto** slot = reinterpret_cast<T**>(module_.resolve(name));
    return slot ? *slot : nullptr;
  }
  int Call(int index, HostSession& s, QWidget* parent) {
    return entries_[index](parent, &s.global, &s.date, &s.database, &s.stateForm, &s.tempGridForm,
                           &s.dlgMsg);
  }
  int Call(int index, HostSession& s) { return Call(index, s, &container_); }
  QWidget* Form(int index) { return *forms_[index]; }

  QLibrary module_;
  XferEntryPoint entries_[kFormCount] = {};
  QWidget** forms_[kFormCount] = {};
  XferReleaseFunction release_ = nullptr;
  QWidget container_;
  HostSession session_;
};

TEST_F(ModuleTest, EachExportCreatesItsFormOnceAndEmbedsIt) {
  container_.show();
  for (int i = 0; i < kFormCount; ++i) {
    SCOPED_TRACE(kEntryPointNames[i]);
    EXPECT_EQ(Form(i), nullptr);
    EXPECT_EQ(Call(i, session_), 1);
    QWidget* first = Form(i);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->objectName(), FormClassName(static_cast<FormId>(i)));
    EXPECT_EQ(first->windowTitle(), FormCaption(static_cast<FormId>(i)));
    EXPECT_EQ(first->parentWidget(), &container_);
    EXPECT_EQ(first->layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowState() & Qt::WindowMaximized);

    EXPECT_EQ(Call(i, session_), 1);
    EXPECT_EQ(Form(i), first) << "the second call shows the same instance";
    EXPECT_EQ(
        container_.findChildren<QWidget*>(first->objectName(), Qt::FindDirectChildrenOnly).size(),
        1);
  }
  // The client area holds every form, the latest on top; calling an earlier export again
  // brings its form back to the top, filling the container.
  auto* stack = qobject_cast<QStackedLayout*>(container_.layout());
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->count(), kFormCount);
  EXPECT_EQ(stack->currentWidget(), Form(kFormCount - 1));
  Call(0, session_);
  EXPECT_EQ(stack->currentWidget(), Form(0));
  EXPECT_EQ(Form(0)->geometry(), container_.contentsRect());
}

TEST_F(ModuleTest, SessionVariablesAreOverwrittenOnEveryCall) {
  HostSession other;
  const std::pair<int, HostSession*> calls[] = {
      {5, &session_}, {1, &other}, {5, &other}, {5, &session_}, {3, &session_}};
  for (const auto& [index, s] : calls) {
    Call(index, *s);
    EXPECT_EQ(Variable<db::HostGlobal>("Global"), &s->global);
    EXPECT_EQ(Variable<db::HostDate>("MyDate"), &s->date);
    EXPECT_EQ(Variable<db::HostDatabase>("MyDatabase"), &s->database);
    EXPECT_EQ(Variable<ui::TShowStateForm>("ShowStateForm"), &s->stateForm);
    EXPECT_EQ(Variable<QWidget>("TempGridForm"), &s->tempGridForm);
    EXPECT_EQ(Variable<ui::TDlgMsg>("DlgMsg"), &s->dlgMsg);
  }
}

TEST_F(ModuleTest, ReleaseFreesEveryFormAndIsHarmlessTwice) {
  release_();  // nothing created yet
  QPointer<QWidget> created[kFormCount];
  for (int i = 0; i < kFormCount; ++i) {
    Call(i, session_);
    created[i] = Form(i);
  }
  release_();
  for (int i = 0; i < kFormCount; ++i) {
    EXPECT_EQ(Form(i), nullptr) << kFormVariableNames[i];
    EXPECT_TRUE(created[i].isNull()) << kFormVariableNames[i];
  }
  release_();
  // Host objects are the host's: none was freed.
  EXPECT_EQ(session_.dlgMsg.objectName(), "DlgMsg");
  // A new call after the release creates a new form.
  Call(5, session_);
  EXPECT_NE(Form(5), nullptr);
}

TEST_F(ModuleTest, FormFreedWithItsContainerClearsItsVariable) {
  auto* parent = new QWidget;
  Call(3, session_, parent);
  ASSERT_NE(Form(3), nullptr);
  delete parent;
  EXPECT_EQ(Form(3), nullptr);
  release_();
}

TEST_F(ModuleTest, WithoutContainerTheFormShowsOnItsOwn) {
  EXPECT_EQ(Call(6, session_, nullptr), 1);
  ASSERT_NE(Form(6), nullptr);
  EXPECT_TRUE(Form(6)->isWindow());
  EXPECT_TRUE(Form(6)->isVisible());
}

TEST_F(ModuleTest, UnloadingTheLibraryFreesTheForms) {
  Call(5, session_);
  Call(0, session_);
  QPointer<QWidget> kol = Form(5), maly = Form(0);
  ASSERT_FALSE(kol.isNull());
  ASSERT_TRUE(module_.unload());
  EXPECT_TRUE(kol.isNull());
  EXPECT_TRUE(maly.isNull());
  EXPECT_TRUE(container_.findChildren<QWidget*>("TXferKolForm").isEmpty());
}

TEST_F(ModuleTest, EmbeddedFormRendersItsPersianCaption) {
  container_.show();
  Call(5, session_);
  QApplication::processEvents();
  const QImage image = container_.grab().toImage();
  const QString file = QString(XFER_TEST_OUTPUT_DIR) + "/embedded_kol_form.png";
  ASSERT_TRUE(image.save(file, "PNG")) << file.toStdString();
  auto* panel = Form(5)->findChild<QLabel*>("Caption_Panel");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->text(), ui::ForDisplay(FormCaption(FormId::kKol)));
  // The caption strip shows text: its pixels are not all of one colour.
  const QRect strip = panel->geometry();
  const QRgb background = image.pixel(strip.left() + 3, strip.center().y());
  int differing = 0;
  for (int x = strip.left() + 4; x < strip.right() - 4; ++x)
    for (int y = strip.top() + 3; y < strip.bottom() - 3; ++y)
      if (image.pixel(x, y) != background) ++differing;
  EXPECT_GT(differing, 40);
}

}  // namespace
}  // namespace xfer::host
