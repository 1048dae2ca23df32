// The conflict window: the rows of a table transfer that clash on the key with rows of the
// current period, shown with a mark column. The user marks rows (space or double click on the
// mark), inverts the marks, and replaces the marked rows, all rows, or none; the decision itself
// is ConflictReview's.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "db/record_set.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/modules/forms/frame_grid.h"

class QPushButton;
class QToolButton;

namespace xfer::ui {
class CaptionPanel;
}

namespace xfer::transfer {

class THesabNotXferForm : public QDialog {
  Q_OBJECT
 public:
  // `columns`: the caller's grid columns, shown after the mark column in the caller's order.
  THesabNotXferForm(db::HostDatabase& destination, db::Dialogs& dialogs, ConflictCall call,
                    std::vector<FrameColumn> columns, QWidget* parent = nullptr);
  ~THesabNotXferForm() override;
  THesabNotXferForm(const THesabNotXferForm&) = delete;
  THesabNotXferForm& operator=(const THesabNotXferForm&) = delete;

  // Rows that replaced destination rows (after either replace button).
  long long replaced() const { return replaced_; }
  FrameGrid* grid() const { return dbgHesab; }

 public slots:
  void FormShow();
  void dbg_DblClick();
  void qu_AfterPost();
  void cmdReservedClick();
  void cmdOkCheckClick();
  void cmdOkAllClick();
  void CancelBtnClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void Decide(ReplaceMode mode);

  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  ConflictReview review_;
  db::RecordSet quHesab;
  long long replaced_ = 0;

  ui::CaptionPanel* Caption_Panel = nullptr;
  QToolButton* sb_Closed = nullptr;
  FrameGrid* dbgHesab = nullptr;
  QPushButton* cmdOkCheck = nullptr;
  QPushButton* cmdOkAll = nullptr;
  QPushButton* cmdReserved = nullptr;
  QPushButton* CancelBtn = nullptr;
};

}  // namespace xfer::transfer
