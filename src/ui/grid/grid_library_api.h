// What the suite's dialog libraries and the grid toolkit exchange. Each library is a plugin
// loaded for one call, which exports one C function per service taking a GridLibraryCall; the
// libraries build against this header only and work on the grid through Qt's view classes.
#pragma once

#include <functional>
#include <string>

class QTableView;
class QWidget;

namespace xfer::db {
struct HostGlobal;
class HostDatabase;
class RecordSet;
}  // namespace xfer::db

namespace xfer::ui::grid {

// The grid's header answers this role (Qt::UserRole) with a column's field name.
inline constexpr int kFieldNameRole = 0x0100;

struct GridLibraryCall {
  xfer::db::HostGlobal* global = nullptr;
  xfer::db::HostDatabase* database = nullptr;  // null for the libraries that do not touch data
  QWidget* hostValue = nullptr;                // the host's sixth object (its temporary grid form)
  xfer::db::RecordSet* dataSet = nullptr;
  QTableView* grid = nullptr;
  std::string title;  // the report title
  std::string text;   // the caller's texts
  std::string sql;    // the statement the grid's dataset was opened with
  // Runs one statement on the shared connection (the libraries link no database code).
  std::function<void(const std::string&)> runSql;
  std::string result;  // the text a library returns; empty when the user cancelled
};

}  // namespace xfer::ui::grid

extern "C" {
typedef void (*GridLibraryEntry)(xfer::ui::grid::GridLibraryCall* call);
}
