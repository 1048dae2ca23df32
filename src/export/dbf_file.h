// A grid as a dBASE table through shapelib: one field per visible column (number columns as
// numeric fields, the rest as character fields as wide as their longest value), Persian text
// in the chosen code page, and a ".cpg" companion naming it.
#pragma once

#include <string>

#include "export/code_page.h"
#include "export/export_source.h"

namespace xfer::grid_export {

// Throws std::runtime_error when the file cannot be made.
void WriteDbf(const ExportSource& source, const std::string& path, CodePage page,
              const ExportProgress& progress = {});

// dBASE field names: ASCII letters, digits and "_", at most 10, unique; others become F1, F2...
std::string DbfFieldName(const std::string& field, size_t index);

}  // namespace xfer::grid_export
