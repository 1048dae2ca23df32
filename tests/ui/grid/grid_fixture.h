// What the grid tests share: a period database of the embedded engine with an item table of
// Persian names and numbers, the host session on it, a scripted message dialog, and a form
// holding one grid with its toolkit object over a record set of that table.
#pragma once

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/record_set.h"
#include "db/text_util.h"
#include "tests/transfer/forms/form_fixture.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"
#include "ui/grid/record_set_model.h"

namespace xfer::testing {

inline const std::vector<std::string> kItemNames = {"سیب",   "آب",  "پرتقال", "ژاله", "گلابی",
                                                    "بادام", "چای", "زردآلو", "انار", "O'Neil"};

// A form with one grid over `sql`, keyed as the transfer forms key theirs.
struct GridForm {
  GridForm(HostSession& host, db::Dialogs& dialogs, const std::string& sql,
           ui::grid::GridVariant variant = ui::grid::GridVariant::kQuery,
           std::vector<ui::grid::GridColumn> columns = {}) {
    form.resize(640, 400);
    grid = new ui::grid::TDBGrid(&form);
    grid->setObjectName("dbgItems");
    grid->resize(620, 380);
    if (!columns.empty()) grid->setColumns(std::move(columns));
    maly = new ui::grid::TMalyObject(
        grid, {"M", "SAYER", "XFER", "dbgItems"}, variant, [h = &host, d = &dialogs] {
          return ui::grid::GridSession{&h->global, &h->link, d, nullptr};
        });
    rs.Open(*host.link.connection(), sql);
    grid->setDataSet(&rs);
    form.show();
  }
  // Keyboard focus on the grid of the active window, so its shortcuts fire.
  void Focus() {
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    grid->setFocus();
  }
  ui::grid::RecordSetModel* model() const { return grid->recordModel(); }
  // The texts of a column in grid order, as the grid shows them.
  std::vector<std::string> Column(const std::string& field) const {
    std::vector<std::string> out;
    const int c = grid->columnOf(field);
    for (long long r = 0; r < rs.RecordCount(); ++r)
      out.push_back(model()->DisplayText(r, c).toStdString());
    return out;
  }
  void ClickTitle(const std::string& field) {
    QHeaderView* h = grid->horizontalHeader();
    const int c = grid->columnOf(field);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, 5));
  }

  QWidget form;
  db::RecordSet rs;
  ui::grid::TDBGrid* grid = nullptr;
  ui::grid::TMalyObject* maly = nullptr;
};

// A server with period 7/1403 holding Items, logged into it.
struct GridServer {
  GridServer() : server(TestDir("grid")) {
    server.Period("7", "1403");
    server.Run(kDb,
               "CREATE TABLE Items (ID int IDENTITY(1,1) PRIMARY KEY, Code varchar(10) NULL, "
               "Name varchar(50) NULL, Price float NULL, Qty int NULL, Mark varchar(1) NULL)");
    std::string sql;
    for (size_t i = 0; i < kItemNames.size(); ++i)
      sql += " INSERT INTO Items (Code, Name, Price, Qty, Mark) VALUES ('C" + std::to_string(i) +
             "', " + db::Quote(kItemNames[i]) + ", " + std::to_string(1234567.5 / (i + 1)) + ", " +
             std::to_string((i * 7) % 11) + ", '" + (i % 2 ? "ض" : "") + "')";
    server.Run(kDb, sql);
    host = std::make_unique<HostSession>(server.directory, kDb);
    host->global.userId = "1";
    host->global.userNumber = 1;
  }
  // The server's own order of a column, the reference a client-side sort must match.
  std::vector<std::string> ServerOrder(const std::string& orderBy) {
    std::vector<std::string> out;
    auto sets = server.conn->Execute("USE " + std::string(kDb) +
                                     " SELECT Name FROM Items ORDER BY " + orderBy + ", ID");
    for (const auto& row : sets.back().rows) out.push_back(engine::FormatValue(row[0]));
    return out;
  }

  static constexpr char kDb[] = "KELVARO_7_1403";
  ServerFixture server;
  std::unique_ptr<HostSession> host;
  db::ScriptedDialogs dialogs;
};

}  // namespace xfer::testing
