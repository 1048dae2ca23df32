#include "export/csv_file.h"

#include "export/file_out.h"

namespace xfer::grid_export {
namespace {

void Field(std::string& out, const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string CsvText(const ExportSource& source, const ExportProgress& progress) {
  const auto& columns = source.Columns();
  std::string out;
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c) out += ',';
    Field(out, columns[c].caption);
  }
  out += "\r\n";
  const size_t rows = source.Rows();
  for (size_t r = 0; r < rows; ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c) out += ',';
      Field(out, source.Text(r, c));
    }
    out += "\r\n";
    if (progress && (r % 4096 == 4095)) progress(r + 1, rows);
  }
  if (progress) progress(rows, rows);
  return out;
}

void WriteCsv(const ExportSource& source, const std::string& path, const ExportProgress& progress) {
  WriteWholeFile(path, kUtf8Mark + CsvText(source, progress));
}

}  // namespace xfer::grid_export
