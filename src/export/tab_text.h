// The tab-separated text of a grid, as the clipboard and the ".XLS" and ".DOC" files carry it:
// a line of captions, then one line per record, each value followed by a tab and every line
// ending in a tab, two blanks and the line end.
#pragma once

#include <string>

#include "export/export_source.h"

namespace xfer::grid_export {

// `lineEnd` is "\n" on the clipboard and "\r\n" in files.
std::string TabText(const ExportSource& source, const char* lineEnd,
                    const ExportProgress& progress = {});
// Writes the text with CR LF line ends, UTF-8 after a byte-order mark so spreadsheet and word
// processor read the Persian text right. Throws std::runtime_error when the file cannot be made.
void WriteTabFile(const ExportSource& source, const std::string& path,
                  const ExportProgress& progress = {});

// The file a grid export writes in the application folder.
std::string ExportFilePath(const std::string& folder, const std::string& name,
                           const std::string& extension);

}  // namespace xfer::grid_export
