#include "ui/grid/form_libraries.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <array>

namespace xfer::ui::grid {
namespace {

constexpr std::array<GridLibrary, 8> kLibraries = {{
    {GridService::kFilter, "libGridFilter.so", "FilterReport"},
    {GridService::kColumns, "libGridColumns.so", "ChooseColumns"},
    {GridService::kReportProperties, "libGridProperties.so", "ReportProperties"},
    {GridService::kSearch, "libGridSearch.so", "SearchGrid"},
    {GridService::kAdvancedSort, "libGridSearch.so", "SortGrid"},
    {GridService::kSms, "libGridSms.so", "SendSms"},
    {GridService::kPrint, "libGridPrint.so", "PrintGrid"},
    {GridService::kAdvancedPrint, "libGridPrintPlus.so", "PrintGridPlus"},
}};

}  // namespace

const GridLibrary& LibraryOf(GridService service) {
  for (const GridLibrary& l : kLibraries)
    if (l.service == service) return l;
  return kLibraries.front();
}

bool DebuggerAttached() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("TracerPid:")) return line.mid(10).trimmed().toInt() != 0;
  return false;
}

QString LibraryFolder(const std::string& appFolder) {
  if (DebuggerAttached()) {
    const QString development = qEnvironmentVariable(kDevelopmentFolderVariable);
    return development.isEmpty() ? QStringLiteral(XFER_BUILD_LIBRARY_DIR) : development;
  }
  return QDir(QString::fromStdString(appFolder)).filePath(kLibraryFolder);
}

bool CallLibrary(GridService service, const std::string& appFolder, GridLibraryCall& call) {
  const GridLibrary& l = LibraryOf(service);
  QLibrary library(QDir(LibraryFolder(appFolder)).filePath(l.file));
  if (!library.load()) return false;
  auto entry = reinterpret_cast<GridLibraryEntry>(library.resolve(l.entry));
  if (entry) entry(&call);
  library.unload();
  return entry != nullptr;
}

}  // namespace xfer::ui::grid
