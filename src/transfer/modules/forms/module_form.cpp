#include "transfer/modules/forms/module_form.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "db/dialogs.h"
#include "db/session.h"
#include "db/text_util.h"
#include "transfer/forms/form_grid.h"
#include "transfer/modules/forms/conflict_form.h"
#include "transfer/modules/forms/module_form_text.h"
#include "ui/caption_panel.h"
#include "ui/frm_apply.h"
#include "ui/grid/maly_object.h"
#include "ui/persian_display.h"
#include "ui/remote_form.h"
#include "ui/run_guard.h"
#include "ui/ui_font.h"

namespace xfer::transfer {
namespace {

QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

TModuleForm::TModuleForm(SessionSource session, const ModuleForm& form, const char* pageControl,
                         QWidget* parent)
    : QWidget(parent), session_(std::move(session)), dialogs_(session_, this), form_(form) {
  setObjectName(form.className);
  ui::ApplyFormStyle(this);
  setLayoutDirection(Qt::RightToLeft);
  setWindowTitle(Q(form.caption));
  BuildWidgets(pageControl);
}

TModuleForm::~TModuleForm() = default;

void TModuleForm::BuildWidgets(const char* pageControl) {
  Caption_Panel = new ui::CaptionPanel(this);
  Caption_Panel->setObjectName("Caption_Panel");
  Caption_Panel->setText(ui::ForDisplay(Q(form_.caption)));
  Caption_Panel->setMinimumHeight(24);
  QHBoxLayout* captionLayout = Caption_Panel->AddWindowButtons(sb_Minimized, sb_Closed);
  sb_Minimized->setToolTip(Q(module_text::kMinimizeHint));
  sb_Closed->setToolTip(Q(module_text::kCloseHint));
  lbServerNam = new QLabel(Q(module_text::kServerName), Caption_Panel);
  lbServerNam->setObjectName("lbServerNam");
  captionLayout->insertWidget(1, lbServerNam);

  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName(pageControl);
  ts_DorehMale = new QWidget;
  ts_DorehMale->setObjectName("ts_DorehMale");
  dbgDorhMale = new FrameGrid(ts_DorehMale);
  dbgDorhMale->setObjectName("dbgDorhMale");
  dbgDorhMale->setColumns({{"State", module_text::kState, 50},
                           {"sCode", module_text::kCode, 60},
                           {"sYear", module_text::kYear, 60},
                           {"sName", module_text::kCompany, 240},
                           {"sDate1", module_text::kFirstDate, 90},
                           {"sDate2", module_text::kLastDate, 90}});
  dbgDorhMale->installEventFilter(this);
  Tools(dbgDorhMale);
  connect(dbgDorhMale, &QAbstractItemView::doubleClicked, this, &TModuleForm::dbg_DblClick);
  (new QVBoxLayout(ts_DorehMale))->addWidget(dbgDorhMale);
  pageControl_->addTab(ts_DorehMale, Q(module_text::kPeriodTab));

  for (const CopyTab& c : form_.copies) {
    auto* sheet = new QWidget;
    sheet->setObjectName(c.tab);
    auto* grid = new FrameGrid(sheet);
    grid->setObjectName(c.grid);
    Tools(grid);
    (new QVBoxLayout(sheet))->addWidget(grid);
    pageControl_->addTab(sheet, Q(c.caption));
    auto query = std::make_unique<db::RecordSet>();
    query->beforeDelete = [](db::RecordSet&) { return false; };
    copies_.push_back({&c, sheet, grid, std::move(query)});
  }

  // One sheet per tab of the data; tables of one tab share it and its combo box.
  for (const ModuleTable& t : form_.tables) {
    TabView* tab = nullptr;
    for (auto& existing : tabs_)
      if (existing.sheet->objectName() == t.tab) tab = &existing;
    if (!tab) {
      auto* sheet = new QWidget;
      sheet->setObjectName(t.tab);
      auto* layout = new QVBoxLayout(sheet);
      QComboBox* combo = nullptr;
      if (*t.combo) {
        combo = new QComboBox(sheet);
        combo->setObjectName(t.combo);
        layout->addWidget(combo);
        connect(combo, &QComboBox::currentIndexChanged, this, &TModuleForm::ComboChange);
      }
      pageControl_->addTab(sheet, Q(t.tabCaption));
      tabs_.push_back({sheet, combo, {}});
      tab = &tabs_.back();
    }
    auto* grid = new FrameGrid(tab->sheet);
    grid->setObjectName(t.grid);
    connect(grid, &QAbstractItemView::doubleClicked, this, &TModuleForm::dbg_DblClick);
    Tools(grid);
    tab->sheet->layout()->addWidget(grid);
    if (tab->combo) grid->hide();
    auto query = std::make_unique<db::RecordSet>();
    query->beforeDelete = [](db::RecordSet&) { return false; };
    tab->views.push_back(views_.size());
    views_.push_back({&t, grid, std::move(query)});
  }

  // The form's own order of its tabs, where it gives one.
  for (size_t i = 0; i < form_.tabOrder.size(); ++i) {
    auto* sheet = pageControl_->findChild<QWidget*>(form_.tabOrder[i]);
    const int from = sheet ? pageControl_->indexOf(sheet) : -1;
    if (from < 0 || from == static_cast<int>(i)) continue;
    const QString text = pageControl_->tabText(from);
    pageControl_->removeTab(from);
    pageControl_->insertTab(static_cast<int>(i), sheet, text);
  }

  cmdOk = new QPushButton(Q(module_text::kOk), this);
  cmdOk->setObjectName("cmdOk");
  auto* bottom = new QWidget(this);
  bottom->setObjectName("Bottom_Panel");
  auto* buttons = new QHBoxLayout(bottom);
  buttons->addWidget(cmdOk);
  if (form_.serverChoice) {
    cmdServer = new QPushButton(Q(module_text::kServer), this);
    cmdServer->setObjectName("cmdServer");
    cmdServer->setToolTip(Q(module_text::kServerHint));
    buttons->addWidget(cmdServer);
    connect(cmdServer, &QPushButton::clicked, this, &TModuleForm::cmdServerClick);
  }
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Caption_Panel);
  layout->addWidget(pageControl_, 1);
  layout->addWidget(bottom);

  connect(pageControl_, &QTabWidget::currentChanged, this, &TModuleForm::PageControlChange);
  connect(cmdOk, &QPushButton::clicked, this, &TModuleForm::cmdOkClick);
  connect(sb_Closed, &QToolButton::clicked, this, &TModuleForm::sb_ClosedClick);
  connect(sb_Minimized, &QToolButton::clicked, this, &TModuleForm::sb_MinimizedClick);
}

void TModuleForm::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    db::ShowCommandError(dialogs_, e);
  }
}

void TModuleForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TModuleForm::FormShow() {
  Guarded([&] {
    const FormSession s = session_ ? session_() : FormSession{};
    if (!s.global || !s.date || !s.database || !s.database->connection()) return;
    if (!transfer_ || !s.SameHostObjects(transferSession_)) {
      for (auto& v : views_) v.query->Close();
      for (auto& c : copies_) c.query->Close();
      transfer_ =
          std::make_unique<ModuleTransfer>(*s.global, *s.date, *s.database, dialogs_, form_);
      transferSession_ = s;
      source_ = {};
    }
    transfer_->Prepare();
    ApplyCaptions();
    lbServerNam->setText(Q(s.global->serverName));
    const QSignalBlocker quiet(pageControl_);
    pageControl_->setCurrentWidget(ts_DorehMale);
    OpenPeriods();
  });
  PageControlChange();
}

void TModuleForm::ApplyCaptions() {
  for (const auto& tab : tabs_) {
    const ModuleTable& first = *views_[tab.views.front()].table;
    pageControl_->setTabText(pageControl_->indexOf(tab.sheet),
                             Q(transfer_->Expand(first.tabCaption)));
    if (!tab.combo) continue;
    const QSignalBlocker quiet(tab.combo);
    tab.combo->clear();
    for (size_t i : tab.views) tab.combo->addItem(Q(transfer_->Expand(views_[i].table->comboItem)));
    int entry = static_cast<int>(tab.views.size()) - 1;
    for (const ComboDefault& d : form_.comboDefaults)
      if (tab.combo->objectName() == d.combo) entry = d.index;
    tab.combo->setCurrentIndex(entry);
  }
  for (auto& c : copies_) {
    std::vector<FrameColumn> columns;
    for (const GridColumn& col : c.tab->shown) columns.push_back({col.field, col.title, 0});
    c.grid->setColumns(std::move(columns));
  }
  for (auto& v : views_) {
    std::vector<FrameColumn> columns;
    for (const GridColumn& c : v.table->shown)
      columns.push_back({c.field, transfer_->Expand(c.title), 0});
    v.grid->setColumns(std::move(columns));
  }
}

void TModuleForm::Tools(FrameGrid* grid) {
  auto* tools = new ui::grid::TMalyObject(
      grid, {form_.systemLetter, "SAYER", "XFER", db::UpperAscii(grid->objectName().toStdString())},
      ui::grid::GridVariant::kQuery, GridSessionOf(session_, dialogs_));
  tools->setTitle(form_.caption);
  tools_[grid] = tools;
  if (grid == dbgDorhMale || !form_.turnover) return;
  tools->menu()->addSeparator();
  QAction* item = tools->menu()->addAction(Q(module_text::kTurnoverItem));
  item->setObjectName("GardeshItem");
  connect(item, &QAction::triggered, this, &TModuleForm::GardeshItemClick);
}

void TModuleForm::OpenPeriods() {
  transfer_->FillPeriodList();
  quDorhMale.Open(transfer_->PeriodConnection(), "Select * From " + transfer_->periodList());
  dbgDorhMale->setDataSet(&quDorhMale);
}

void TModuleForm::OpenTable(TableView& v) {
  if (!v.query->active()) {
    v.query->Open(*transferSession_.database->connection(), v.table->query);
    if (*v.table->sortKey) v.query->Sort(v.table->sortKey);
    v.grid->setDataSet(v.query.get());
  }
  v.grid->setFocus();
}

const TModuleForm::TabView* TModuleForm::ActiveTab() const {
  for (const auto& tab : tabs_)
    if (tab.sheet == pageControl_->currentWidget()) return &tab;
  return nullptr;
}

TModuleForm::CopyView* TModuleForm::ActiveCopy() {
  for (auto& c : copies_)
    if (c.sheet == pageControl_->currentWidget()) return &c;
  return nullptr;
}

const TModuleForm::TableView* TModuleForm::ActiveView() const {
  const TabView* tab = ActiveTab();
  if (!tab) return nullptr;
  // An index past the tables chooses the last (the accounting form's combos name one table for
  // every entry after the first).
  size_t choice = 0;
  if (tab->combo && tab->combo->currentIndex() > 0)
    choice = std::min(static_cast<size_t>(tab->combo->currentIndex()), tab->views.size() - 1);
  return &views_[tab->views[choice]];
}

const ModuleTable* TModuleForm::activeTable() const {
  const TableView* v = ActiveView();
  return v ? v->table : nullptr;
}

FrameGrid* TModuleForm::activeGrid() const {
  const TableView* v = ActiveView();
  return v ? v->grid : dbgDorhMale;
}

FrameGrid* TModuleForm::gridOf(const std::string& table) const {
  const ModuleTable* t = FindModuleTable(form_, table);
  for (const auto& v : views_)
    if (v.table == t) return v.grid;
  return nullptr;
}

void TModuleForm::PageControlChange() {
  const bool periodTab = pageControl_->currentWidget() == ts_DorehMale;
  if (cmdServer) cmdServer->setVisible(periodTab);
  if (QWidget* sheet = pageControl_->currentWidget()) {
    // The grids' report title names the tab.
    const QString caption = pageControl_->tabText(pageControl_->indexOf(sheet)).trimmed();
    const std::string title =
        periodTab ? std::string(module_text::kPeriodTab) : "انتقال " + caption.toStdString();
    for (auto* grid : sheet->findChildren<FrameGrid*>())
      if (auto it = tools_.find(grid); it != tools_.end()) it->second->setTitle(title);
  }
  if (!transfer_) {
    cmdOk->setEnabled(false);
    return;
  }
  Guarded([&] {
    cmdOk->setEnabled(transfer_->ConfirmEnabled(periodTab));
    if (periodTab) {
      dbgDorhMale->setFocus();
      return;
    }
    if (CopyView* c = ActiveCopy()) {
      // The print layouts are read afresh on every visit.
      if (c->tab->kind == CopyKind::kPrintForms) c->query->Close();
      if (!c->query->active()) {
        c->query->Open(*transferSession_.database->connection(), c->tab->query);
        c->grid->setDataSet(c->query.get());
      }
      c->grid->setFocus();
      return;
    }
    const TabView* tab = ActiveTab();
    if (tab && tab->combo) {
      ComboChange();
      return;
    }
    if (tab) OpenTable(views_[tab->views.front()]);
  });
}

void TModuleForm::ComboChange() {
  const TabView* tab = ActiveTab();
  if (!tab || !tab->combo || !transfer_) return;
  const TableView* chosen = ActiveView();
  for (size_t i : tab->views) views_[i].grid->setVisible(&views_[i] == chosen);
  Guarded([&] { OpenTable(views_[static_cast<size_t>(chosen - views_.data())]); });
}

void TModuleForm::dbg_DblClick() {
  if (!transfer_) return;
  if (pageControl_->currentWidget() != ts_DorehMale) {
    GardeshItemClick();
    return;
  }
  if (dbgDorhMale->currentIndex().column() != 0 || quDorhMale.Eof()) return;
  Guarded([&] {
    transfer_->ToggleMark(quDorhMale.Text("DBName"));
    dbgDorhMale->Requery();
  });
}

bool TModuleForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == dbgDorhMale && e->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space) {
    dbg_DblClick();
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

void TModuleForm::RunCopy(CopyView& c) {
  Guarded([&] {
    bool done = false;
    if (c.tab->kind == CopyKind::kUsers) {
      done = transfer_->CopyUsers();
    } else {
      done = transfer_->CopyPrintForms(*c.tab, [&](const std::string& name) {
        ExistingFormAnswer answer;
        if (!transferSession_.dlgMsg) return answer;
        ui::TFrmApply window(*transferSession_.dlgMsg, this);
        window.setFormName(Q(name));
        answer.result = window.exec();
        answer.newName = window.newName().toStdString();
        return answer;
      });
    }
    if (!done) return;
    // The tables under the grid were replaced.
    c.query->Close();
    c.query->Open(*transferSession_.database->connection(), c.tab->query);
    c.grid->setDataSet(c.query.get());
  });
}

void TModuleForm::cmdOkClick() {
  // A press is one run of one table: the host's menu and the forms beside this one wait, and
  // closing the window asks first and waits until the table is whole.
  const FormSession s = session_ ? session_() : FormSession{};
  ui::RunGuard guard(this, stop_, s.stateForm, s.dlgMsg);
  if (OwnTabOk()) return;
  if (CopyView* c = ActiveCopy(); c && transfer_) {
    RunCopy(*c);
    return;
  }
  const TableView* v = ActiveView();
  if (!transfer_ || !v) return;
  Guarded([&] {
    TableCopy copy = transfer_->CopyFirst(*v->table);
    if (!copy.carried || copy.emptySource) return;
    v->grid->Requery();
    if (copy.conflicts == 0) {
      transfer_->Finish(copy, 0, false);
      return;
    }
    long long replaced = 0;
    {
      THesabNotXferForm window(*transferSession_.database, dialogs_, copy.call, v->grid->columns(),
                               this);
      if (window.exec() == 1) v->grid->Requery();
      replaced = window.replaced();
    }
    transfer_->Finish(copy, replaced, true);
  });
}

void TModuleForm::cmdServerClick() {
  if (!form_.serverChoice) return;
  Guarded([&] {
    const FormSession s = session_ ? session_() : FormSession{};
    if (!s.global || !transfer_) return;
    if (source_.name.empty())
      source_ = {s.global->serverName, s.global->authKind, s.global->sqlUser,
                 s.global->sqlPassword};
    ui::TRemoteForm remote(*s.global, dialogs_, this);
    if (!serversFile_.isEmpty()) remote.setServersFile(serversFile_);
    remote.setServerName(Q(source_.name));
    remote.setAuthKind(Q(source_.authKind));
    remote.setUserName(Q(source_.user));
    remote.setPassword(Q(source_.password));
    if (remote.exec() != QDialog::Accepted) return;
    SourceServerSettings chosen{remote.serverName().toStdString(), remote.authKind().toStdString(),
                                remote.userName().toStdString(), remote.password().toStdString()};
    transfer_->UseSourceServer(
        {chosen.name, chosen.authKind, chosen.user, chosen.password, remote.takeConnection()});
    OpenPeriods();
    lbServerNam->setText(remote.serverName());
    source_ = chosen;
  });
}

void TModuleForm::sb_ClosedClick() {
  close();
  deleteLater();
}

void TModuleForm::sb_MinimizedClick() {
  window()->showMinimized();
}

}  // namespace xfer::transfer
