// The window every transfer opens when its run ends: per unit the Persian caption, the rows of
// the source, the rows carried, the rows kept because their key already exists in the
// destination and the seconds, with the totals and how the run ended. From a unit with kept rows
// the conflict window of the module transfer forms opens, where the user picks rows to replace.
#pragma once

#include <QDialog>
#include <functional>

#include "transfer/run/run_report.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace xfer::ui {

class TRunSummary : public QDialog {
  Q_OBJECT
 public:
  explicit TRunSummary(const transfer::RunReport& report, QWidget* parent = nullptr);
  TRunSummary(const TRunSummary&) = delete;
  TRunSummary& operator=(const TRunSummary&) = delete;

  // Opens the conflict window for a unit's kept rows. Without one, the button stays disabled
  // and its tooltip says why. `refusal` tells, per unit, why its kept rows cannot be offered
  // (an empty text: they can); without it every unit with kept rows is offered.
  using ConflictHandler = std::function<void(const transfer::UnitResult&)>;
  using ConflictRefusal = std::function<QString(const transfer::UnitResult&)>;
  void setConflictHandler(ConflictHandler handler, ConflictRefusal refusal = {});

  const transfer::RunReport& report() const { return report_; }

  // Columns of the unit table.
  enum Column { kCaption, kSourceRows, kCarried, kKept, kSeconds, kColumnCount };

 private:
  void Fill();
  void UpdateConflictButton();
  void FitAndCentre();

  transfer::RunReport report_;
  ConflictHandler conflicts_;
  ConflictRefusal refusal_;
  QLabel* lblHeader = nullptr;
  QLabel* lblOutcome = nullptr;
  QLabel* lblKept = nullptr;
  QTableWidget* tblUnits = nullptr;
  QPushButton* cmdConflicts = nullptr;
  QPushButton* cmdClose = nullptr;
};

// Shows the summary of `report` beside `parent`'s window, modeless; it frees itself on close.
TRunSummary* ShowRunSummary(const transfer::RunReport& report, QWidget* parent);

}  // namespace xfer::ui
