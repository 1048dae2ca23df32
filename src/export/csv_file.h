// A grid or query as comma-separated values (RFC 4180): quoted where needed, CR LF line ends,
// UTF-8 after a byte-order mark.
#pragma once

#include <string>

#include "export/export_source.h"

namespace xfer::grid_export {

std::string CsvText(const ExportSource& source, const ExportProgress& progress = {});
// Throws std::runtime_error when the file cannot be made.
void WriteCsv(const ExportSource& source, const std::string& path,
              const ExportProgress& progress = {});

}  // namespace xfer::grid_export
