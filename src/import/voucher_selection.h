// Choosing single vouchers for the voucher import, and the program they come from: the marks of
// the selection table (one row per source voucher line, "ض" in SLC on a chosen voucher) and of
// the software table (one row per issuing program). Every change is a statement on the
// destination's connection, so the grids of the two forms show the tables as they are. Vouchers
// of one import come from one program; marking a voucher of another is refused.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"
#include "db/session.h"

namespace xfer::import {

class VoucherSelection {
 public:
  // `selectionTable` and `softwareTable` are the form's global temporary tables; `filter` is the
  // " Where 15 = 15 ..." text of the ranges; `remote` the source server when it is another one
  // (null otherwise), `appFolder` where its rows pass through a work file.
  VoucherSelection(db::HostDatabase& database, std::string selectionTable,
                   std::string softwareTable, std::string sourceDb, std::string filter,
                   db::Backend* remote = nullptr, std::string appFolder = {});

  // What showing the form does: the software table, the voucher lines, and the vouchers already
  // in `importTable` marked.
  void Show(const std::string& importTable);
  // The selection table's rows by number (the grid).
  db::ResultSet Rows();

  // Double-click on a line: toggles its whole voucher. False, with the refusal text in
  // `message`, when a voucher of another program is already marked.
  bool Toggle(const std::string& sanadNo, std::string& message);
  // Double-click on the software column: marks every voucher of that program.
  void MarkProgram(const std::string& typeSysNam);
  void All();
  void None();
  void Revert();
  // The run between the nearest marked voucher and `sanadNo` is marked ("بازه"); the reverse
  // clears the run between the nearest unmarked ones ("م بازه").
  void Range(const std::string& sanadNo);
  void RangeReverse(const std::string& sanadNo);

  // The software dialog: one program chosen at a time, or all, none, reversed; Confirm applies
  // the choice to the vouchers.
  void ToggleProgram(const std::string& typeSysNam);
  void AllPrograms();
  void NoPrograms();
  void RevertPrograms();
  db::ResultSet Programs();
  void ConfirmPrograms();

  // The text of edSoftwares after the last change.
  const std::string& softwareText() const { return softwareText_; }
  // Numbers of the marked vouchers, as the source stores them.
  std::vector<std::string> Chosen();

 private:
  // The software table follows the voucher marks; edSoftwares says what is chosen.
  void Follow();
  std::string Scalar(const std::string& sql);

  db::HostDatabase& db_;
  std::string sel_, soft_, sourceDb_, filter_;
  db::Backend* remote_;
  std::string appFolder_;
  std::string softwareText_;
};

}  // namespace xfer::import
