// The factory table behind the entry points: a default plain form per export, replaceable one
// export at a time, restored by an empty factory; and embedding into a container.
#include "host/form_registry.h"
#include "ui/persian_display.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSet>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "host/embed_form.h"

namespace xfer::host {
namespace {

TEST(FormRegistryTest, DefaultFormsCarryTheirCaptions) {
  QSet<QString> captions;
  for (int i = 0; i < kFormCount; ++i) {
    const auto id = static_cast<FormId>(i);
    std::unique_ptr<QWidget> form(CreateForm(id));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->objectName(), FormClassName(id));
    EXPECT_FALSE(FormCaption(id).trimmed().isEmpty());
    EXPECT_EQ(form->windowTitle(), FormCaption(id));
    // The caption strip shows the caption in Persian display; the title keeps it as it is.
    EXPECT_EQ(form->findChild<QLabel*>("Caption_Panel")->text(), ui::ForDisplay(FormCaption(id)));
    EXPECT_EQ(form->parentWidget(), nullptr);
    captions.insert(FormCaption(id));
  }
  EXPECT_EQ(captions.size(), kFormCount) << "every form has its own caption";
}

TEST(FormRegistryTest, RegisteredFactoryReplacesOneExportOnly) {
  int built = 0;
  RegisterFormFactory(FormId::kKol, [&built] {
    ++built;
    auto* w = new QWidget;
    w->setObjectName("RealKolForm");
    return w;
  });
  std::unique_ptr<QWidget> kol(CreateForm(FormId::kKol));
  std::unique_ptr<QWidget> sell(CreateForm(FormId::kSell));
  EXPECT_EQ(kol->objectName(), "RealKolForm");
  EXPECT_EQ(sell->objectName(), "TXferSellForm");
  EXPECT_EQ(built, 1);

  RegisterFormFactory(FormId::kKol, nullptr);
  std::unique_ptr<QWidget> restored(CreateForm(FormId::kKol));
  EXPECT_EQ(restored->objectName(), "TXferKolForm");
  EXPECT_EQ(built, 1);
}

TEST(EmbedFormTest, FillsTheContainerAndKeepsItsLayout) {
  QWidget withLayout;
  auto* own = new QVBoxLayout(&withLayout);
  QWidget bare;
  struct Case {
    QWidget* parent;
    bool stacked;
  };
  for (const Case& c : {Case{&bare, true}, Case{&withLayout, false}}) {
    c.parent->resize(400, 200);
    c.parent->show();
    auto* form = new QWidget;
    EXPECT_EQ(EmbedForm(nullptr, form, c.parent), 1);
    EXPECT_EQ(form->parentWidget(), c.parent);
    EXPECT_EQ(c.parent->layout()->indexOf(form), 0);
    c.parent->layout()->activate();
    EXPECT_EQ(form->geometry(),
              c.parent->rect().marginsRemoved(c.parent->layout()->contentsMargins()));
    EXPECT_EQ(qobject_cast<QStackedLayout*>(c.parent->layout()) != nullptr, c.stacked);
    // Embedding again neither adds it twice nor changes its place.
    EXPECT_EQ(EmbedForm(nullptr, form, c.parent), 1);
    EXPECT_EQ(c.parent->layout()->count(), 1);
  }
  EXPECT_EQ(withLayout.layout(), own);
  EXPECT_EQ(EmbedForm(nullptr, nullptr, &bare), 0);
}

}  // namespace
}  // namespace xfer::host
