// The warehouse picker of the inventory import's warehouse range: the source period's
// warehouses, code and name, in a grid; a double-click or the confirm button takes the current
// one into the edit that opened it.
#pragma once

#include <QDialog>
#include <string>

#include "db/record_set.h"

class QPushButton;

namespace xfer::ui::grid {
class TDBGrid;
}

namespace xfer::import {

class TAnbarPickForm : public QDialog {
  Q_OBJECT
 public:
  // Lists the rows of `rows` (AnbarCod, AnbarNam) with `current` chosen when it is among them.
  TAnbarPickForm(db::ResultSet rows, const std::string& current, QWidget* parent = nullptr);
  // The code of the chosen warehouse.
  std::string chosen() const;

  ui::grid::TDBGrid* dbgAnbar;
  QPushButton *cmdOk, *cmdCancel;

 private:
  db::RecordSet quAnbar;
};

}  // namespace xfer::import
