#include "export/xlsx_book.h"

#include <xlsxwriter.h>

#include <filesystem>

#include "export/file_out.h"

namespace xfer::grid_export {
namespace {

// Sheet names: at most 31 characters, none of []:*?/\ .
std::string SheetName(const std::string& title) {
  std::string name;
  size_t chars = 0;
  for (size_t i = 0; i < title.size() && chars < 31; ++i) {
    const char c = title[i];
    if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) continue;
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    name += c;
  }
  while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0xC0)
    name.pop_back();  // a character cut in the middle
  return name.empty() ? "Sheet1" : name;
}

}  // namespace

void WriteXlsx(const ExportSource& source, const std::string& path, const std::string& sheet,
               const ExportProgress& progress) {
  const std::string temp = path + ".part";
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;  // rows go to disk as written
  options.use_zip64 = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(temp.c_str(), &options);
  if (!book) FailWriting(path, "the workbook cannot be created");
  const std::string name = SheetName(sheet);
  lxw_worksheet* ws = workbook_add_worksheet(book, name.c_str());
  worksheet_right_to_left(ws);
  lxw_format* head = workbook_add_format(book);
  format_set_bold(head);
  format_set_bg_color(head, 0xD9D9D9);
  const auto& columns = source.Columns();
  for (size_t c = 0; c < columns.size(); ++c) {
    const auto col = static_cast<lxw_col_t>(c);
    // A character of the default font is about 7 pixels wide.
    worksheet_set_column(ws, col, col, std::max(4.0, columns[c].widthPx / 7.0), nullptr);
    worksheet_write_string(ws, 0, col, columns[c].caption.c_str(), head);
  }
  worksheet_freeze_panes(ws, 1, 0);
  const size_t rows = source.Rows();
  for (size_t r = 0; r < rows; ++r) {
    const auto row = static_cast<lxw_row_t>(r + 1);
    for (size_t c = 0; c < columns.size(); ++c) {
      const auto col = static_cast<lxw_col_t>(c);
      if (columns[c].kind == CellKind::kNumber) {
        if (auto v = source.Number(r, c)) worksheet_write_number(ws, row, col, *v, nullptr);
        continue;
      }
      const std::string t = source.Text(r, c);
      if (!t.empty()) worksheet_write_string(ws, row, col, t.c_str(), nullptr);
    }
    if (progress && (r % 4096 == 4095)) progress(r + 1, rows);
  }
  const lxw_error e = workbook_close(book);
  if (e != LXW_NO_ERROR) {
    std::filesystem::remove(temp);
    FailWriting(path, lxw_strerror(e));
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) FailWriting(path, ec.message());
  if (progress) progress(rows, rows);
}

}  // namespace xfer::grid_export
