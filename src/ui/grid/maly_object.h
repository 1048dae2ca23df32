// The services every data grid gets (TMalyObject, one per grid): the right-click menu with its
// shortcuts, title-click sorting, row and cell memory, the safe delete, width fitting, the
// stored column layout, and the commands served by the suite's dialog libraries. A form creates
// one per grid:
//
//   auto* grid = new TDBGrid(this);
//   auto* maly = new TMalyObject(grid, {"M", "SAYER", "XFER", "dbgKoll"}, GridVariant::kQuery,
//                                session);
//   grid->setDataSet(&quKoll);   // also loads the user's stored layout
//
// The object is a child of the grid and goes with it.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/grid_state.h"
#include "db/record_set.h"
#include "ui/grid/grid_library_api.h"

class QAction;
class QMenu;
class QWidget;

namespace xfer::db {
struct HostGlobal;
class HostDatabase;
class Dialogs;
}  // namespace xfer::db

namespace xfer::ui::grid {

class TDBGrid;

// The host objects a grid works with, asked for when needed (the host may replace them).
struct GridSession {
  db::HostGlobal* global = nullptr;
  db::HostDatabase* database = nullptr;
  db::Dialogs* dialogs = nullptr;
  QWidget* hostValue = nullptr;  // the host's temporary grid form, handed to the filter library
};
using GridSessionSource = std::function<GridSession()>;

// Query grids get the first menu, report grids the second.
enum class GridVariant { kQuery, kReport };

// Menu commands, also the names of their actions ("act" + name).
enum class GridCommand {
  kHelp,
  kSearch,
  kSaveLayout,
  kResetLayout,
  kSendClipboard,
  kSendExcel,
  kSendExcelBook,
  kSendWord,
  kSendHtml,
  kCopyRow,
  kRestoreRow,
  kCopyCell,
  kRestoreCell,
  kDeleteRow,
  kHideColumn,
  kColumns,
  kColumnChart,
  kRowChart,
  kFilter,
  kProperties,
  kPrint,
  kAdvancedPrint,
  kAdvancedSort,
  kFitWidths,
  kDbfDos,
  kDbfWin,
  kSms
};

// What a delete must check first: when `countSql` is not empty, the row's key (its key fields
// joined with "_") is appended to it quoted, and a count above zero refuses the delete.
struct TurnoverCheck {
  std::vector<std::string> keyFields;
  std::string nameField;  // the row's name in the refusal
  std::string countSql;   // e.g. "Select Count(*) From M_Sanad_Detail Where Koll + '_' + Moein = "
};

class TMalyObject : public QObject {
  Q_OBJECT
 public:
  TMalyObject(TDBGrid* grid, db::GridKeys keys, GridVariant variant, GridSessionSource session);
  TMalyObject(const TMalyObject&) = delete;
  TMalyObject& operator=(const TMalyObject&) = delete;
  ~TMalyObject() override;

  TDBGrid* grid() const { return grid_; }
  // The host objects of the latest session.
  GridSession session() const;
  const db::GridKeys& keys() const { return keys_; }
  GridVariant variant() const { return variant_; }
  void setHelpText(const std::string& help) { help_ = help; }
  void setTitle(const std::string& title) { title_ = title; }
  const std::string& title() const { return title_; }
  void setTurnoverCheck(TurnoverCheck check) { turnover_ = std::move(check); }
  // Handlers of the export and chart commands (the send-to submenu, DBF, charts).
  void setCommandHandler(GridCommand c, std::function<void()> handler);
  // What a form hands one library command instead of the grid's title: its own title, asked for
  // when the command runs, and its texts (a report key, say).
  struct CommandCall {
    std::function<std::string()> title;
    std::string text;
  };
  void setCommandCall(GridCommand c, CommandCall call);
  // The values command `c` hands its library; false when the session has no host record.
  bool PrepareCallFor(GridCommand c, GridLibraryCall& call);

  // The menu and its actions, named "act" + command ("actSearch", "actDeleteRow").
  QMenu* menu() const { return menu_; }
  QAction* action(GridCommand c) const;
  // Opens the menu at a point of the grid (the right-click); false when the dataset is closed.
  bool PopupAt(const QPoint& pos);
  // Reads the user's rights and enables the items for the current dataset.
  void UpdateItems();
  // Runs a command as its menu item would (enabled or not).
  void Run(GridCommand c);

  // Title click: ascending, then descending on a second click of the same title.
  bool SortByColumn(int column);
  const std::string& sortText() const { return sortText_; }
  void FitColumnWidths();
  void SaveLayout();
  void ResetLayout();
  // Applies the stored layout; a damaged or foreign row is skipped.
  void LoadLayout();

  const std::string& rowMemory() const { return rowMemory_; }
  bool filtered() const { return filtered_ != nullptr; }

 private:
  void BuildMenu();
  QAction* Add(QMenu* menu, GridCommand c, const char* caption, const QKeySequence& key);
  int Message(const std::string& text, const std::string& code);
  void ReadRights();
  bool PrepareCall(GridLibraryCall& call);
  void Guarded(const std::function<void()>& body);

  void CopyRow();
  void RestoreRow();
  void CopyCell();
  void RestoreCell();
  void DeleteRow();
  void HideColumn();
  void Search();
  void AdvancedSort();
  void ToggleFilter();
  void LibraryCommand(GridCommand c);
  void Position(const std::string& found);

  TDBGrid* grid_;
  db::GridKeys keys_;
  GridVariant variant_;
  GridSessionSource session_;
  std::string help_;
  std::string title_;
  TurnoverCheck turnover_;
  QMenu* menu_ = nullptr;
  std::map<GridCommand, QAction*> actions_;
  std::map<GridCommand, std::function<void()>> handlers_;
  std::map<GridCommand, CommandCall> calls_;
  std::string rowMemory_;
  db::Value cellMemory_;
  bool hasCellMemory_ = false;
  int lastSorted_ = -1;
  std::string sortText_;
  db::RecordSet* unfiltered_ = nullptr;
  std::unique_ptr<db::RecordSet> filtered_;
};

}  // namespace xfer::ui::grid
