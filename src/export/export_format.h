// The export formats by name, as the command-line tool and the grid menu choose them, and one
// call that writes a source in any of them.
#pragma once

#include <optional>
#include <string>

#include "export/export_source.h"

namespace xfer::grid_export {

enum class Format { kXlsx, kXls, kDoc, kHtml, kDbfWin, kDbfDos, kCsv };

// "xlsx", "xls", "doc", "html", "dbf" (Windows code page), "dbf-dos", "csv"; nullopt otherwise.
std::optional<Format> FormatByName(const std::string& name);
const char* Extension(Format f);

struct ExportOptions {
  std::string title;      // page heading, sheet name
  std::string solarDate;  // the date on an HTML page
};

void WriteExport(Format f, const ExportSource& source, const std::string& path,
                 const ExportOptions& options, const ExportProgress& progress = {});

}  // namespace xfer::grid_export
