#include "export/tab_text.h"

#include "export/file_out.h"

namespace xfer::grid_export {

std::string TabText(const ExportSource& source, const char* lineEnd,
                    const ExportProgress& progress) {
  const auto& columns = source.Columns();
  std::string out;
  for (const ExportColumn& c : columns) out += c.caption + "\t";
  out += "  ";
  out += lineEnd;
  const size_t rows = source.Rows();
  for (size_t r = 0; r < rows; ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      out += source.Text(r, c);
      out += '\t';
    }
    out += "  ";
    out += lineEnd;
    if (progress && (r % 4096 == 4095)) progress(r + 1, rows);
  }
  if (progress) progress(rows, rows);
  return out;
}

void WriteTabFile(const ExportSource& source, const std::string& path,
                  const ExportProgress& progress) {
  WriteWholeFile(path, kUtf8Mark + TabText(source, "\r\n", progress));
}

std::string ExportFilePath(const std::string& folder, const std::string& name,
                           const std::string& extension) {
  return (folder.empty() ? std::string(".") : folder) + "/" + name + extension;
}

}  // namespace xfer::grid_export
