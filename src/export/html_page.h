// A grid as an HTML page: right-to-left, the title as caption and heading, the date, and a
// table of the visible columns with records coloured alternately from the first.
#pragma once

#include <string>

#include "export/export_source.h"

namespace xfer::grid_export {

// The page text, one line per element, "\n" line ends. Values are escaped for HTML so a "<"
// in the data cannot break the page; ordinary text is written as it is.
std::string HtmlPage(const ExportSource& source, const std::string& title,
                     const std::string& solarDate, const ExportProgress& progress = {});
// UTF-8 after a byte-order mark. Throws std::runtime_error when the file cannot be made.
void WriteHtmlPage(const ExportSource& source, const std::string& title,
                   const std::string& solarDate, const std::string& path,
                   const ExportProgress& progress = {});

}  // namespace xfer::grid_export
