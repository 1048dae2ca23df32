#include "export/export_format.h"

#include <array>

#include "export/csv_file.h"
#include "export/dbf_file.h"
#include "export/html_page.h"
#include "export/tab_text.h"
#include "export/xlsx_book.h"

namespace xfer::grid_export {
namespace {

struct Named {
  const char* name;
  Format format;
  const char* extension;
};

constexpr std::array<Named, 7> kFormats = {{
    {"xlsx", Format::kXlsx, ".xlsx"},
    {"xls", Format::kXls, ".XLS"},
    {"doc", Format::kDoc, ".DOC"},
    {"html", Format::kHtml, ".html"},
    {"dbf", Format::kDbfWin, ".DBF"},
    {"dbf-dos", Format::kDbfDos, ".DBF"},
    {"csv", Format::kCsv, ".csv"},
}};

}  // namespace

std::optional<Format> FormatByName(const std::string& name) {
  for (const Named& n : kFormats)
    if (name == n.name) return n.format;
  return std::nullopt;
}

const char* Extension(Format f) {
  for (const Named& n : kFormats)
    if (n.format == f) return n.extension;
  return "";
}

void WriteExport(Format f, const ExportSource& source, const std::string& path,
                 const ExportOptions& options, const ExportProgress& progress) {
  switch (f) {
    case Format::kXlsx:
      WriteXlsx(source, path, options.title, progress);
      break;
    case Format::kXls:
    case Format::kDoc:
      WriteTabFile(source, path, progress);
      break;
    case Format::kHtml:
      WriteHtmlPage(source, options.title, options.solarDate, path, progress);
      break;
    case Format::kDbfWin:
      WriteDbf(source, path, CodePage::kWindows1256, progress);
      break;
    case Format::kDbfDos:
      WriteDbf(source, path, CodePage::kDos864, progress);
      break;
    case Format::kCsv:
      WriteCsv(source, path, progress);
      break;
  }
}

}  // namespace xfer::grid_export
