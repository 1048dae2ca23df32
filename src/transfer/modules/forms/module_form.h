// The thin Qt frame of the module transfer forms: caption strip, the period tab with its mark
// column, one tab per table group of the form's data (a combo box where a tab holds several
// tables), the confirm and server buttons. Handlers read widgets and call ModuleTransfer; the
// clashing rows of a press go to the conflict window. A module form derives from it and adds
// what its module adds.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/record_set.h"
#include "transfer/forms/form_session.h"
#include "transfer/forms/kol_form.h"
#include "transfer/forms/session_dialogs.h"
#include "transfer/modules/forms/frame_grid.h"
#include "transfer/modules/module_transfer.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace xfer::ui {
class CaptionPanel;
namespace grid {
class TMalyObject;
}
}  // namespace xfer::ui

namespace xfer::transfer {

class TModuleForm : public QWidget {
  Q_OBJECT
 public:
  // `pageControl`: the object name of the form's page control.
  TModuleForm(SessionSource session, const ModuleForm& form, const char* pageControl,
              QWidget* parent = nullptr);
  ~TModuleForm() override;
  TModuleForm(const TModuleForm&) = delete;
  TModuleForm& operator=(const TModuleForm&) = delete;

  void setServersFile(const QString& file) { serversFile_ = file; }
  ModuleTransfer* transfer() const { return transfer_.get(); }
  // The grid of a table of the form (by table argument or tag); null when none.
  FrameGrid* gridOf(const std::string& table) const;
  // The table of the active tab (and of its combo's choice); null on the period tab.
  const ModuleTable* activeTable() const;

 public slots:
  void FormShow();
  void PageControlChange();
  void ComboChange();
  void dbg_DblClick();
  void cmdOkClick();
  void cmdServerClick();
  void sb_ClosedClick();
  void sb_MinimizedClick();
  // The account turnover of the active grid's current cell (forms that have one).
  virtual void GardeshItemClick() {}

 protected:
  // A tab the derived form adds beside the table tabs: its confirm button's work. True when
  // the active tab was such a tab and the press was handled.
  virtual bool OwnTabOk() { return false; }

 public:
 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  FrameGrid* activeGrid() const;
  // Runs a handler body; a server error ends it with the error in the message dialog.
  void Guarded(const std::function<void()>& body);

  struct TableView {
    const ModuleTable* table;
    FrameGrid* grid;
    std::unique_ptr<db::RecordSet> query;
  };
  struct TabView {
    QWidget* sheet;
    QComboBox* combo;           // null without a combo
    std::vector<size_t> views;  // into views_, in combo order
  };

  // A tab that replaces whole tables (users, print layouts).
  struct CopyView {
    const CopyTab* tab;
    QWidget* sheet;
    FrameGrid* grid;
    std::unique_ptr<db::RecordSet> query;
  };

  SessionSource session_;
  SessionDialogs dialogs_;
  const ModuleForm& form_;
  FormSession transferSession_;
  std::unique_ptr<ModuleTransfer> transfer_;
  SourceServerSettings source_;
  // Asked for by the progress window's stop button or a confirmed close; a press carries one
  // table, which always ends whole.
  StopRequest stop_;
  QString serversFile_;
  db::RecordSet quDorhMale;
  std::vector<TableView> views_;
  std::vector<TabView> tabs_;
  std::vector<CopyView> copies_;
  std::map<FrameGrid*, ui::grid::TMalyObject*> tools_;  // owned by their grids

  ui::CaptionPanel* Caption_Panel = nullptr;
  QToolButton* sb_Minimized = nullptr;
  QToolButton* sb_Closed = nullptr;
  QLabel* lbServerNam = nullptr;
  QTabWidget* pageControl_ = nullptr;
  QWidget* ts_DorehMale = nullptr;
  FrameGrid* dbgDorhMale = nullptr;
  QPushButton* cmdOk = nullptr;
  QPushButton* cmdServer = nullptr;  // null in a form without a server choice

 private:
  void BuildWidgets(const char* pageControl);
  void ApplyCaptions();
  // The grid's toolkit object: popup menu, title-click sort, stored layout.
  void Tools(FrameGrid* grid);
  void OpenPeriods();
  void OpenTable(TableView& v);
  const TabView* ActiveTab() const;
  CopyView* ActiveCopy();
  void RunCopy(CopyView& c);
  const TableView* ActiveView() const;
};

}  // namespace xfer::transfer
