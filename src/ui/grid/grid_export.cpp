#include "ui/grid/grid_export.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QUrl>

#include "db/dialogs.h"
#include "db/session.h"
#include "export/dbf_file.h"
#include "export/html_page.h"
#include "export/tab_text.h"
#include "export/xlsx_book.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_text.h"
#include "ui/grid/maly_object.h"
#include "ui/grid/record_set_model.h"
#include "ui/grid/sel_form.h"

namespace xfer::ui::grid {
namespace {

FileOpener& Opener() {
  static FileOpener opener;
  return opener;
}

std::string FileBase(const TDBGrid& grid) {
  const QString name = grid.objectName();
  return name.isEmpty() ? std::string("Grid") : name.toStdString();
}

}  // namespace

GridSource::GridSource(const TDBGrid& grid) : grid_(grid) {
  const RecordSetModel* model = grid.recordModel();
  const db::RecordSet* rs = grid.dataSet();
  for (int column : grid.displayOrder()) {
    if (grid.isColumnHidden(column)) continue;
    const int field = model->FieldOf(column);
    const bool number = rs && field >= 0 &&
                        (rs->fields()[static_cast<size_t>(field)].kind == db::FieldKind::Integer ||
                         rs->fields()[static_cast<size_t>(field)].kind == db::FieldKind::Float);
    columns_.push_back(
        {model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
         grid.fieldOf(column),
         number ? grid_export::CellKind::kNumber : grid_export::CellKind::kText,
         grid.columnWidth(column)});
    modelColumns_.push_back(column);
  }
}

size_t GridSource::Rows() const {
  const db::RecordSet* rs = grid_.dataSet();
  return rs && rs->active() ? static_cast<size_t>(rs->RecordCount()) : 0;
}

std::string GridSource::Text(size_t row, size_t column) const {
  const QString text =
      grid_.recordModel()->DisplayText(static_cast<long long>(row), modelColumns_[column]);
  if (text == QString::fromUtf8(text::kCheckGlyph)) return text::kMark;
  return text.toStdString();
}

std::optional<double> GridSource::Number(size_t row, size_t column) const {
  const int field = grid_.recordModel()->FieldOf(modelColumns_[column]);
  const db::Value& v = grid_.dataSet()->data().rows[row][static_cast<size_t>(field)];
  if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  return std::nullopt;
}

void SetFileOpener(FileOpener opener) {
  Opener() = std::move(opener);
}

bool OpenFile(const QString& path) {
  if (Opener()) return Opener()(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ExportToClipboard(const TDBGrid& grid) {
  QApplication::clipboard()->setText(
      QString::fromStdString(grid_export::TabText(GridSource(grid), "\n")));
}

QString ExportToFile(const TDBGrid& grid, const std::string& kind, const std::string& appFolder,
                     const std::string& title) {
  const GridSource source(grid);
  std::string path;
  if (kind == "XLSX") {
    path = grid_export::ExportFilePath(appFolder, FileBase(grid), ".xlsx");
    grid_export::WriteXlsx(source, path, title.empty() ? FileBase(grid) : title);
  } else {
    path = grid_export::ExportFilePath(appFolder, FileBase(grid), kind == "WORD" ? ".DOC" : ".XLS");
    grid_export::WriteTabFile(source, path);
  }
  const QString file = QString::fromStdString(path);
  OpenFile(file);
  return file;
}

QString ExportToHtml(const TDBGrid& grid, const std::string& title, const std::string& appFolder,
                     const std::string& solarDate) {
  const std::string folder = (appFolder.empty() ? std::string(".") : appFolder) + "/html";
  QDir().mkpath(QString::fromStdString(folder));
  const std::string path = grid_export::ExportFilePath(folder, FileBase(grid), ".html");
  grid_export::WriteHtmlPage(GridSource(grid), title, solarDate, path);
  const QString file = QString::fromStdString(path);
  OpenFile(file);
  return file;
}

bool ExportToDbf(const TDBGrid& grid, grid_export::CodePage page, const std::string& appFolder,
                 QWidget* parent) {
  const std::string path = grid_export::ExportFilePath(appFolder, FileBase(grid), ".DBF");
  grid_export::WriteDbf(GridSource(grid), path, page);
  TSelForm sel(parent);
  sel.setDirectory(QDir::homePath());
  if (sel.exec() != QDialog::Accepted || sel.directory().isEmpty()) return false;
  for (const QString& made :
       {QString::fromStdString(path),
        QFileInfo(QString::fromStdString(path)).path() + "/" +
            QFileInfo(QString::fromStdString(path)).completeBaseName() + ".cpg"}) {
    const QString to = QDir(sel.directory()).filePath(QFileInfo(made).fileName());
    QFile::remove(to);
    if (QFile::exists(made) && !QFile::copy(made, to))
      throw std::runtime_error("Cannot copy to '" + to.toStdString() + "'.");
  }
  return true;
}

void AttachExportCommands(TMalyObject& maly) {
  TMalyObject* m = &maly;
  auto folder = [m] {
    // The session's application folder, asked for at the time of the command.
    db::HostGlobal* g = m->session().global;
    return g ? g->appFolder : std::string();
  };
  auto title = [m] {
    return m->title().empty() ? m->grid()->objectName().toStdString() : m->title();
  };
  maly.setCommandHandler(GridCommand::kSendClipboard, [m] { ExportToClipboard(*m->grid()); });
  maly.setCommandHandler(GridCommand::kSendExcel,
                         [=] { ExportToFile(*m->grid(), "EXCEL", folder(), title()); });
  maly.setCommandHandler(GridCommand::kSendWord,
                         [=] { ExportToFile(*m->grid(), "WORD", folder(), title()); });
  maly.setCommandHandler(GridCommand::kSendExcelBook,
                         [=] { ExportToFile(*m->grid(), "XLSX", folder(), title()); });
  maly.setCommandHandler(GridCommand::kSendHtml, [=] {
    db::HostGlobal* g = m->session().global;
    ExportToHtml(*m->grid(), title(), folder(), g ? g->today : std::string());
  });
  for (auto [command, page] :
       {std::pair{GridCommand::kDbfDos, grid_export::CodePage::kDos864},
        std::pair{GridCommand::kDbfWin, grid_export::CodePage::kWindows1256}})
    maly.setCommandHandler(command, [=] {
      if (ExportToDbf(*m->grid(), page, folder(), m->grid()->window()) && m->session().dialogs)
        m->session().dialogs->ShowDlgMsg("کپي فايلها با موفقيت انجام شد", "", "1IR");
    });
}

}  // namespace xfer::ui::grid
