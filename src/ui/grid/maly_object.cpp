// TMalyObject: the grid's menu, its items and shortcuts, the user's rights and the dispatch of
// every command. The commands that work on rows live in grid_commands.cpp, the layout in
// grid_layout.cpp.
#include "ui/grid/maly_object.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <exception>

#include "db/dialogs.h"
#include "db/option_string.h"
#include "db/session.h"
#include "db/text_util.h"
#include "ui/chart/show_chart.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/form_libraries.h"
#include "ui/grid/grid_export.h"
#include "ui/grid/grid_text.h"
#include "ui/grid/record_set_model.h"

namespace xfer::ui::grid {
namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

struct CommandName {
  GridCommand command;
  const char* name;
};

constexpr CommandName kNames[] = {
    {GridCommand::kHelp, "Help"},
    {GridCommand::kSearch, "Search"},
    {GridCommand::kSaveLayout, "SaveLayout"},
    {GridCommand::kResetLayout, "ResetLayout"},
    {GridCommand::kSendClipboard, "SendClipboard"},
    {GridCommand::kSendExcel, "SendExcel"},
    {GridCommand::kSendExcelBook, "SendExcelBook"},
    {GridCommand::kSendWord, "SendWord"},
    {GridCommand::kSendHtml, "SendHtml"},
    {GridCommand::kCopyRow, "CopyRow"},
    {GridCommand::kRestoreRow, "RestoreRow"},
    {GridCommand::kCopyCell, "CopyCell"},
    {GridCommand::kRestoreCell, "RestoreCell"},
    {GridCommand::kDeleteRow, "DeleteRow"},
    {GridCommand::kHideColumn, "HideColumn"},
    {GridCommand::kColumns, "Columns"},
    {GridCommand::kColumnChart, "ColumnChart"},
    {GridCommand::kRowChart, "RowChart"},
    {GridCommand::kFilter, "Filter"},
    {GridCommand::kProperties, "Properties"},
    {GridCommand::kPrint, "Print"},
    {GridCommand::kAdvancedPrint, "AdvancedPrint"},
    {GridCommand::kAdvancedSort, "AdvancedSort"},
    {GridCommand::kFitWidths, "FitWidths"},
    {GridCommand::kDbfDos, "DbfDos"},
    {GridCommand::kDbfWin, "DbfWin"},
    {GridCommand::kSms, "Sms"},
};

const char* NameOf(GridCommand c) {
  for (const CommandName& n : kNames)
    if (n.command == c) return n.name;
  return "";
}

bool IsExport(GridCommand c) {
  switch (c) {
    case GridCommand::kSendClipboard:
    case GridCommand::kSendExcel:
    case GridCommand::kSendExcelBook:
    case GridCommand::kSendWord:
    case GridCommand::kSendHtml:
    case GridCommand::kDbfDos:
    case GridCommand::kDbfWin:
      return true;
    default:
      return false;
  }
}

bool IsPrint(GridCommand c) {
  return c == GridCommand::kPrint || c == GridCommand::kAdvancedPrint;
}

}  // namespace

TMalyObject::TMalyObject(TDBGrid* grid, db::GridKeys keys, GridVariant variant,
                         GridSessionSource session)
    : QObject(grid),
      grid_(grid),
      keys_(std::move(keys)),
      variant_(variant),
      session_(std::move(session)) {
  setObjectName("Maly_" + grid->objectName());
  BuildMenu();
  connect(grid_, &QWidget::customContextMenuRequested, this, &TMalyObject::PopupAt);
  connect(grid_, &TDBGrid::titleClicked, this, [this](int c) { SortByColumn(c); });
  connect(grid_, &TDBGrid::dataSetChanged, this, [this] {
    LoadLayout();
    UpdateItems();
  });
  connect(grid_->recordModel(), &RecordSetModel::postFailed, this,
          [this](const QString& e) { Message(e.toStdString(), "1ER"); });
  connect(grid_->recordModel(), &QAbstractItemModel::modelReset, this, &TMalyObject::UpdateItems);
  AttachExportCommands(*this);
  chart::AttachChartCommands(*this);
  UpdateItems();
}

TMalyObject::~TMalyObject() {
  // A filtered query is owned here; the grid must not keep showing it.
  if (filtered_ && grid_ && grid_->dataSet() == filtered_.get()) grid_->setDataSet(unfiltered_);
}

QAction* TMalyObject::Add(QMenu* menu, GridCommand c, const char* caption,
                          const QKeySequence& key) {
  auto* a = new QAction(Q(caption), menu);
  a->setObjectName(QString("act") + NameOf(c));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(a);
  }
  connect(a, &QAction::triggered, this, [this, c] { Run(c); });
  menu->addAction(a);
  actions_[c] = a;
  return a;
}

void TMalyObject::BuildMenu() {
  menu_ = new QMenu(grid_);
  menu_->setObjectName("GridMenu");
  menu_->setLayoutDirection(Qt::RightToLeft);
  const bool report = variant_ == GridVariant::kReport;
  using K = QKeySequence;
  Add(menu_, GridCommand::kHelp, text::kHelp, K(Qt::Key_F1));
  Add(menu_, GridCommand::kSearch, report ? text::kSearchReport : text::kSearch,
      K(Qt::CTRL | Qt::Key_F));
  Add(menu_, GridCommand::kSaveLayout, text::kSaveLayout, K(Qt::CTRL | Qt::Key_G));
  Add(menu_, GridCommand::kResetLayout, text::kResetLayout, K(Qt::ALT | Qt::Key_G));
  QMenu* send = menu_->addMenu(Q(text::kSendTo));
  send->setObjectName("SendToMenu");
  Add(send, GridCommand::kSendClipboard, report ? text::kClipboardReport : text::kClipboard, {});
  Add(send, GridCommand::kSendExcel, text::kExcel, {});
  Add(send, GridCommand::kSendExcelBook, text::kExcelBook, {});
  Add(send, GridCommand::kSendWord, text::kWord, {});
  Add(send, GridCommand::kSendHtml, text::kHtml, {});
  if (!report) {
    menu_->addSeparator();
    Add(menu_, GridCommand::kCopyRow, text::kCopyRow, K(Qt::CTRL | Qt::Key_Insert));
    Add(menu_, GridCommand::kRestoreRow, text::kRestoreRow, K(Qt::SHIFT | Qt::Key_Insert));
    Add(menu_, GridCommand::kCopyCell, text::kCopyCell, K(Qt::CTRL | Qt::Key_C));
    Add(menu_, GridCommand::kRestoreCell, text::kRestoreCell, K(Qt::CTRL | Qt::Key_V));
    Add(menu_, GridCommand::kDeleteRow, text::kDeleteRow, K(Qt::CTRL | Qt::Key_Delete));
    menu_->addSeparator();
    Add(menu_, GridCommand::kFilter, text::kFilter, K(Qt::CTRL | Qt::Key_L));
    Add(menu_, GridCommand::kProperties, text::kProperties, {});
    Add(menu_, GridCommand::kPrint, text::kPrint, K(Qt::CTRL | Qt::Key_P));
    Add(menu_, GridCommand::kAdvancedPrint, text::kAdvancedPrint, {});
    Add(menu_, GridCommand::kAdvancedSort, text::kAdvancedSort, {});
    Add(menu_, GridCommand::kFitWidths, text::kFitWidths, {});
    menu_->addSeparator();
    Add(menu_, GridCommand::kDbfDos, text::kDbfDos, {});
    Add(menu_, GridCommand::kDbfWin, text::kDbfWin, {});
    return;
  }
  Add(menu_, GridCommand::kHideColumn, text::kHideColumn, K(Qt::CTRL | Qt::Key_D));
  Add(menu_, GridCommand::kColumns, text::kColumns, K(Qt::CTRL | Qt::Key_K));
  Add(menu_, GridCommand::kColumnChart, text::kColumnChart, {});
  Add(menu_, GridCommand::kRowChart, text::kRowChart, {});
  menu_->addSeparator();
  Add(menu_, GridCommand::kFilter, text::kFilter, K(Qt::CTRL | Qt::Key_L));
  Add(menu_, GridCommand::kProperties, text::kProperties, {});
  Add(menu_, GridCommand::kPrint, text::kPrint, K(Qt::CTRL | Qt::Key_P));
  Add(menu_, GridCommand::kAdvancedPrint, text::kAdvancedPrint, {});
  Add(menu_, GridCommand::kFitWidths, text::kFitWidths, {});
  Add(menu_, GridCommand::kAdvancedSort, text::kAdvancedSort, {});
  menu_->addSeparator();
  Add(menu_, GridCommand::kDbfDos, text::kDbfDos, {});
  Add(menu_, GridCommand::kDbfWin, text::kDbfWin, {});
  Add(menu_, GridCommand::kSms, text::kSms, {});
}

QAction* TMalyObject::action(GridCommand c) const {
  auto it = actions_.find(c);
  return it == actions_.end() ? nullptr : it->second;
}

void TMalyObject::setCommandHandler(GridCommand c, std::function<void()> handler) {
  handlers_[c] = std::move(handler);
}

GridSession TMalyObject::session() const {
  return session_ ? session_() : GridSession{};
}

int TMalyObject::Message(const std::string& message, const std::string& code) {
  GridSession s = session();
  return s.dialogs ? s.dialogs->ShowDlgMsg(message, "", code) : db::kResultNone;
}

void TMalyObject::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    Message(e.what(), "1ER");
  }
}

void TMalyObject::ReadRights() {
  GridSession s = session();
  if (!s.global || !s.database || !s.database->connection()) return;
  try {
    const std::string options = db::ScalarText(*s.database->connection(),
                                               "Select KELVARO From UserHub Where UserId = " +
                                                   db::Quote(std::to_string(s.global->userNumber)));
    s.global->canCopy = db::GetOption(options, "COPY") != "NO";
    s.global->canPrint = db::GetOption(options, "PRINT") != "NO";
  } catch (const std::exception&) {
    // A period without the user table keeps the rights it had.
  }
}

void TMalyObject::UpdateItems() {
  GridSession s = session();
  const long long count = grid_->dataSetActive() ? grid_->dataSet()->RecordCount() : 0;
  const bool copy = !s.global || s.global->canCopy;
  const bool print = !s.global || s.global->canPrint;
  for (auto& [c, a] : actions_) {
    bool on = c == GridCommand::kHelp || count >= 1;
    if (c == GridCommand::kSearch) on = count > 1;
    if (IsExport(c) || c == GridCommand::kCopyRow || c == GridCommand::kCopyCell) on = on && copy;
    if (IsPrint(c)) on = on && print;
    a->setEnabled(on);
  }
  if (QMenu* send = menu_->findChild<QMenu*>("SendToMenu")) send->setEnabled(count >= 1 && copy);
}

bool TMalyObject::PopupAt(const QPoint& pos) {
  if (!grid_->dataSetActive()) return false;
  ReadRights();
  UpdateItems();
  menu_->popup(grid_->viewport()->mapToGlobal(pos));
  return true;
}

void TMalyObject::Run(GridCommand c) {
  if (auto h = handlers_.find(c); h != handlers_.end() && h->second) {
    Guarded(h->second);
    return;
  }
  Guarded([&] {
    switch (c) {
      case GridCommand::kHelp:
        Message(help_, "1IR");
        break;
      case GridCommand::kSearch:
        Search();
        break;
      case GridCommand::kSaveLayout:
        SaveLayout();
        break;
      case GridCommand::kResetLayout:
        ResetLayout();
        break;
      case GridCommand::kCopyRow:
        CopyRow();
        break;
      case GridCommand::kRestoreRow:
        RestoreRow();
        break;
      case GridCommand::kCopyCell:
        CopyCell();
        break;
      case GridCommand::kRestoreCell:
        RestoreCell();
        break;
      case GridCommand::kDeleteRow:
        DeleteRow();
        break;
      case GridCommand::kHideColumn:
        HideColumn();
        break;
      case GridCommand::kFilter:
        ToggleFilter();
        break;
      case GridCommand::kAdvancedSort:
        AdvancedSort();
        break;
      case GridCommand::kFitWidths:
        FitColumnWidths();
        break;
      case GridCommand::kColumns:
      case GridCommand::kProperties:
      case GridCommand::kPrint:
      case GridCommand::kAdvancedPrint:
      case GridCommand::kSms:
        LibraryCommand(c);
        break;
      default:
        break;  // export and chart commands come with their handlers
    }
  });
}

bool TMalyObject::PrepareCall(GridLibraryCall& call) {
  GridSession s = session();
  call.global = s.global;
  call.database = s.database;
  call.hostValue = s.hostValue;
  call.dataSet = grid_->dataSet();
  call.grid = grid_;
  call.title = title_;
  if (call.dataSet) call.sql = call.dataSet->sql();
  if (s.database) call.runSql = [db = s.database](const std::string& sql) { db->RunSql(sql); };
  return s.global != nullptr;
}

void TMalyObject::setCommandCall(GridCommand c, CommandCall call) {
  calls_[c] = std::move(call);
}

bool TMalyObject::PrepareCallFor(GridCommand c, GridLibraryCall& call) {
  if (!PrepareCall(call)) return false;
  if (auto it = calls_.find(c); it != calls_.end()) {
    if (it->second.title) call.title = it->second.title();
    call.text = it->second.text;
  }
  return true;
}

void TMalyObject::LibraryCommand(GridCommand c) {
  GridLibraryCall call;
  if (!PrepareCallFor(c, call)) return;
  GridService service = GridService::kColumns;
  switch (c) {
    case GridCommand::kProperties:
      service = GridService::kReportProperties;
      break;
    case GridCommand::kPrint:
      service = GridService::kPrint;
      break;
    case GridCommand::kAdvancedPrint:
      service = GridService::kAdvancedPrint;
      break;
    case GridCommand::kSms: {
      db::Backend* b = call.database ? call.database->connection() : nullptr;
      if (!b || !db::TempObjectExists(*b, "##TSMS")) {
        Message(text::kSmsNotRunning, "1ER");
        return;
      }
      service = GridService::kSms;
      break;
    }
    default:
      break;
  }
  if (!CallLibrary(service, call.global->appFolder, call)) return;
  if (c == GridCommand::kProperties && !call.result.empty()) title_ = call.result;
  if (c == GridCommand::kSms) Position(call.result);
}

}  // namespace xfer::ui::grid
