#include "ui/grid/colour_options.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSettings>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolTip>
#include <array>

#include "ui/grid/db_grid.h"

namespace xfer::ui::grid {
namespace {

struct NamedColour {
  const char* name;
  QRgb rgb;
};

// The colour-name set the file's values come from, with the system colours of a default
// desktop theme.
constexpr std::array<NamedColour, 36> kNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x800000},
    {"clGreen", 0x008000},
    {"clOlive", 0x808000},
    {"clNavy", 0x000080},
    {"clPurple", 0x800080},
    {"clTeal", 0x008080},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0xFF0000},
    {"clLime", 0x00FF00},
    {"clYellow", 0xFFFF00},
    {"clBlue", 0x0000FF},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0x00FFFF},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xA6CAF0},
    {"clCream", 0xFFFBF0},
    {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clBtnFace", 0xF0F0F0},
    {"clHighlight", 0x0078D7},
    {"clHighlightText", 0xFFFFFF},
    {"clWindow", 0xFFFFFF},
    {"clWindowText", 0x000000},
    {"clBtnText", 0x000000},
    {"clBtnShadow", 0xA0A0A0},
    {"clBtnHighlight", 0xFFFFFF},
    {"clGrayText", 0x6D6D6D},
    {"clInfoBk", 0xFFFFE1},
    {"clInfoText", 0x000000},
    {"clActiveCaption", 0x99B4D1},
    {"clInactiveCaption", 0xBFCDDB},
    {"clMenu", 0xF0F0F0},
}};

struct Key {
  const char* name;
  const char* fallback;
  QColor ColourOptions::*member;
};

// In the order the file is read.
constexpr std::array<Key, 21> kKeys = {{
    {"DialogColor", "clBtnFace", &ColourOptions::dialog},
    {"CaptionBColor", "clHighlight", &ColourOptions::captionB},
    {"CaptionFColor", "clWhite", &ColourOptions::captionF},
    {"TextABColor", "clWhite", &ColourOptions::textAB},
    {"TextAFColor", "clBlack", &ColourOptions::textAF},
    {"TextEBColor", "clBtnFace", &ColourOptions::textEB},
    {"TextEFColor", "clBlack", &ColourOptions::textEF},
    {"LabelColor", "clBlack", &ColourOptions::label},
    {"GridTextBAColor", "0x00E1FFFF", &ColourOptions::gridTextBA},
    {"GridTextBRColor", "0x009C7863", &ColourOptions::gridTextBR},
    {"GridTextBSColor", "0x00E1FFFF", &ColourOptions::gridTextBS},
    {"GridTextFAColor", "clBlack", &ColourOptions::gridTextFA},
    {"GridTextFRColor", "clYellow", &ColourOptions::gridTextFR},
    {"GridTextFSColor", "clBlack", &ColourOptions::gridTextFS},
    {"GridCaptionBAColor", "clBtnFace", &ColourOptions::gridCaptionBA},
    {"GridCaptionBRColor", "clBtnFace", &ColourOptions::gridCaptionBR},
    {"GridCaptionBSColor", "clBtnFace", &ColourOptions::gridCaptionBS},
    {"GridCaptionFAColor", "clBlack", &ColourOptions::gridCaptionFA},
    {"GridCaptionFRColor", "clBlack", &ColourOptions::gridCaptionFR},
    {"GridCaptionFSColor", "clRed", &ColourOptions::gridCaptionFS},
    {"HintColor", "clYellow", &ColourOptions::hint},
}};

void SetColours(QWidget* w, QPalette::ColorRole back, const QColor& b, QPalette::ColorRole fore,
                const QColor& f) {
  QPalette p = w->palette();
  p.setColor(back, b);
  p.setColor(fore, f);
  w->setPalette(p);
}

}  // namespace

QColor ParseColour(const QString& text) {
  const QString t = text.trimmed();
  for (const NamedColour& n : kNames)
    if (t.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) return QColor::fromRgb(n.rgb);
  QString digits;
  int base = 10;
  if (t.startsWith("0x", Qt::CaseInsensitive)) {
    digits = t.mid(2);
    base = 16;
  } else if (t.startsWith('$')) {
    digits = t.mid(1);
    base = 16;
  } else {
    digits = t;
  }
  bool ok = false;
  const qulonglong v = digits.toULongLong(&ok, base);
  if (!ok || digits.isEmpty() || v > 0xFFFFFFFFull) return {};
  // Literals hold blue in the high byte and red in the low one.
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

QString ColourOptionsFile(const QString& appFolder) {
  return QDir(appFolder).filePath("Data/OptionsColor.ini");
}

ColourOptions ReadColourOptions(const QString& file) {
  ColourOptions o;
  QSettings ini(file, QSettings::IniFormat);
  const bool readable = ini.status() == QSettings::NoError;
  for (const Key& k : kKeys) {
    QColor c;
    if (readable) c = ParseColour(ini.value(QString("Color/") + k.name).toString());
    o.*k.member = c.isValid() ? c : ParseColour(k.fallback);
  }
  return o;
}

std::pair<QColor, QColor> ApplyFormColours(QWidget* form, const ColourOptions& o) {
  SetColours(form, QPalette::Window, o.dialog, QPalette::WindowText, o.label);
  form->setAutoFillBackground(true);
  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, o.hint);
  QToolTip::setPalette(tips);
  static const char* const kShapes[] = {"Close_Shape", "Min_Shape", "Sys_Shape", "Cond_Shape"};
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (w->objectName() == "Caption_Panel") {
      SetColours(w, QPalette::Window, o.captionB, QPalette::WindowText, o.captionF);
      w->setAutoFillBackground(true);
    } else if (auto* g = qobject_cast<TDBGrid*>(w)) {
      g->setColours(o);
    } else if (qobject_cast<QTableWidget*>(w)) {
      SetColours(w, QPalette::Base, o.gridTextBA, QPalette::Text, o.gridTextFA);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
      const bool first = e->isEnabled() && !e->isReadOnly();
      SetColours(w, QPalette::Base, first ? o.textAB : o.textEB, QPalette::Text,
                 first ? o.textAF : o.textEF);
    } else if (auto* m = qobject_cast<QTextEdit*>(w)) {
      const bool first = m->isEnabled() && !m->isReadOnly();
      SetColours(w, QPalette::Base, first ? o.textAB : o.textEB, QPalette::Text,
                 first ? o.textAF : o.textEF);
    } else if (qobject_cast<QLabel*>(w)) {
      SetColours(w, QPalette::Window, w->palette().color(QPalette::Window), QPalette::WindowText,
                 o.label);
    } else if (qobject_cast<QFrame*>(w)) {
      for (const char* shape : kShapes)
        if (w->objectName() == shape) {
          SetColours(w, QPalette::Window, o.captionB, QPalette::WindowText, o.captionF);
          w->setAutoFillBackground(true);
        }
    }
  }
  return {o.gridCaptionFR, o.gridCaptionFS};
}

}  // namespace xfer::ui::grid
