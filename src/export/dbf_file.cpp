#include "export/dbf_file.h"

#include <shapefil.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "export/file_out.h"

namespace xfer::grid_export {

std::string DbfFieldName(const std::string& field, size_t index) {
  std::string name;
  for (char c : field) {
    const bool ascii =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ascii) return "F" + std::to_string(index + 1);
    name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return "F" + std::to_string(index + 1);
  return name.substr(0, 10);
}

void WriteDbf(const ExportSource& source, const std::string& path, CodePage page,
              const ExportProgress& progress) {
  const auto& columns = source.Columns();
  const size_t rows = source.Rows();
  // Widths and decimals come from the data: one pass to measure, one to write.
  std::vector<int> widths(columns.size(), 1);
  std::vector<int> decimals(columns.size(), 0);
  std::vector<std::vector<std::string>> texts(columns.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    if (columns[c].kind == CellKind::kNumber) {
      for (size_t r = 0; r < rows; ++r)
        if (auto v = source.Number(r, c); v && std::floor(*v) != *v) decimals[c] = 3;
      continue;
    }
    texts[c].reserve(rows);
    for (size_t r = 0; r < rows; ++r) {
      texts[c].push_back(ToCodePage(source.Text(r, c), page));
      widths[c] = std::max(widths[c], static_cast<int>(texts[c].back().size()));
    }
    widths[c] = std::min(widths[c], 254);
  }
  // shapelib puts its own ".dbf" and ".cpg" on the name it is given, so the table is made under
  // a plain name beside the target and moved there when complete.
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path base = target.parent_path() / ("xfer_dbf_" + std::to_string(::getpid()));
  const fs::path madeDbf = fs::path(base).concat(".dbf");
  const fs::path madeCpg = fs::path(base).concat(".cpg");
  fs::path cpg = target;
  cpg.replace_extension(".cpg");
  DBFHandle dbf = DBFCreateEx(base.c_str(), CodePageName(page));
  if (!dbf) FailWriting(path, "the file cannot be created");
  std::set<std::string> used;
  for (size_t c = 0; c < columns.size(); ++c) {
    std::string name = DbfFieldName(columns[c].field, c);
    for (int n = 2; used.count(name); ++n)
      name = name.substr(0, 10 - std::to_string(n).size()) + std::to_string(n);
    used.insert(name);
    const bool number = columns[c].kind == CellKind::kNumber;
    if (DBFAddField(dbf, name.c_str(), number ? FTDouble : FTString, number ? 19 : widths[c],
                    number ? decimals[c] : 0) < 0) {
      DBFClose(dbf);
      FailWriting(path, "field " + name + " cannot be added");
    }
  }
  bool ok = true;
  for (size_t r = 0; r < rows && ok; ++r) {
    const int record = static_cast<int>(r);
    for (size_t c = 0; c < columns.size() && ok; ++c) {
      const int field = static_cast<int>(c);
      if (columns[c].kind == CellKind::kNumber) {
        auto v = source.Number(r, c);
        ok = v ? DBFWriteDoubleAttribute(dbf, record, field, *v)
               : DBFWriteNULLAttribute(dbf, record, field);
      } else {
        std::string& t = texts[c][r];
        if (t.size() > 254) t.resize(254);
        // shapelib reports a value cut to the field width as a failure; widths fit every value.
        ok = DBFWriteStringAttribute(dbf, record, field, t.c_str()) != 0;
      }
    }
    if (progress && (r % 4096 == 4095)) progress(r + 1, rows);
  }
  DBFClose(dbf);
  std::error_code ec;
  if (!ok) {
    fs::remove(madeDbf, ec);
    fs::remove(madeCpg, ec);
    FailWriting(path, "a record could not be written");
  }
  fs::rename(madeDbf, target, ec);
  if (!ec && fs::exists(madeCpg)) fs::rename(madeCpg, cpg, ec);
  if (ec) FailWriting(path, ec.message());
  if (progress) progress(rows, rows);
}

}  // namespace xfer::grid_export
