// The send-to commands of the grid menu: the grid's visible columns in display order, with
// their captions and display texts, to the clipboard, to the tab-separated ".XLS" and ".DOC"
// files, to an HTML page under "html/", to an xlsx workbook, and to a DBF table copied to a
// folder the user picks. Files are written in the application folder and opened with the
// desktop's program for them (replaceable, so tests open nothing).
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

#include "export/code_page.h"
#include "export/export_format.h"
#include "export/export_source.h"

namespace xfer::ui::grid {

class TDBGrid;
class TMalyObject;

// The grid's visible columns in display order; the mark reads as the mark character again.
class GridSource : public grid_export::ExportSource {
 public:
  explicit GridSource(const TDBGrid& grid);
  const std::vector<grid_export::ExportColumn>& Columns() const override { return columns_; }
  size_t Rows() const override;
  std::string Text(size_t row, size_t column) const override;
  std::optional<double> Number(size_t row, size_t column) const override;

 private:
  const TDBGrid& grid_;
  std::vector<grid_export::ExportColumn> columns_;
  std::vector<int> modelColumns_;
};

// Opens a written file; true when a program took it.
using FileOpener = std::function<bool(const QString& path)>;
// Replaces the opener (an empty one restores the desktop's).
void SetFileOpener(FileOpener opener);
bool OpenFile(const QString& path);

void ExportToClipboard(const TDBGrid& grid);
// kind "EXCEL" (.XLS), "WORD" (.DOC) or "XLSX"; returns the file written.
QString ExportToFile(const TDBGrid& grid, const std::string& kind, const std::string& appFolder,
                     const std::string& title);
QString ExportToHtml(const TDBGrid& grid, const std::string& title, const std::string& appFolder,
                     const std::string& solarDate);
// Writes the table in the application folder and copies it (with its ".cpg") to the folder
// chosen in TSelForm; false when the user cancels.
bool ExportToDbf(const TDBGrid& grid, grid_export::CodePage page, const std::string& appFolder,
                 QWidget* parent);

// Gives the toolkit object its send-to and DBF commands.
void AttachExportCommands(TMalyObject& maly);

}  // namespace xfer::ui::grid
