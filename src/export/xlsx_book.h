// A grid as a real spreadsheet workbook through libxlsxwriter: one right-to-left sheet, the
// captions in a bold frozen header row, numbers as numbers, text (Solar Hijri dates included)
// as text, and column widths from the grid.
#pragma once

#include <string>

#include "export/export_source.h"

namespace xfer::grid_export {

// Throws std::runtime_error when the workbook cannot be written.
void WriteXlsx(const ExportSource& source, const std::string& path, const std::string& sheet,
               const ExportProgress& progress = {});

}  // namespace xfer::grid_export
