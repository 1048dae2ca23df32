// The suite's colour options file (Data/OptionsColor.ini under the application folder), shared
// by every module: one "Color" section of colour names or hexadecimal blue-green-red literals.
// A missing file, key or unreadable value gives the default of that key.
#pragma once

#include <QColor>
#include <QString>
#include <utility>

class QWidget;

namespace xfer::ui::grid {

struct ColourOptions {
  QColor dialog, captionB, captionF;
  QColor textAB, textAF, textEB, textEF;
  QColor label;
  QColor gridTextBA, gridTextBR, gridTextBS, gridTextFA, gridTextFR, gridTextFS;
  QColor gridCaptionBA, gridCaptionBR, gridCaptionBS, gridCaptionFA, gridCaptionFR, gridCaptionFS;
  QColor hint;
};

// A colour as the file writes it: a name such as "clBtnFace" or a literal such as "0x00E1FFFF"
// (blue, green, red bytes) or "$00E1FFFF"; an invalid QColor for anything else.
QColor ParseColour(const QString& text);

// The file of an application folder.
QString ColourOptionsFile(const QString& appFolder);
// Every key read with its default.
ColourOptions ReadColourOptions(const QString& file);

// Paints `form` and the widgets it owns from the options; returns the two caption colours
// (read-only title text, sorted title text) that callers keep for painting grid cells.
std::pair<QColor, QColor> ApplyFormColours(QWidget* form, const ColourOptions& options);

}  // namespace xfer::ui::grid
