#include "transfer/run/report_store.h"

#include <cstdio>

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::transfer {
namespace {

using db::Quote;

const char* const kCreate =
    "IF OBJECT_ID('Xfer_Run') IS NULL "
    "CREATE TABLE Xfer_Run (RunId int IDENTITY(1, 1) NOT NULL PRIMARY KEY, "
    "What varchar(200) NULL, SourceDb varchar(500) NULL, DestinationDb varchar(200) NULL, "
    "UserName varchar(200) NULL, Started varchar(40) NULL, Outcome varchar(4000) NULL, "
    "Stopped varchar(1) NULL, Recorded datetime NULL DEFAULT GETDATE()) "
    "IF OBJECT_ID('Xfer_RunUnit') IS NULL "
    "CREATE TABLE Xfer_RunUnit (RunId int NOT NULL, Seq int NOT NULL, TableName varchar(200) NULL, "
    "Caption varchar(500) NULL, SourceRows int NULL, Inserted int NULL, Clashing int NULL, "
    "Replaced int NULL, Seconds float NULL, Error varchar(4000) NULL, "
    "PRIMARY KEY (RunId, Seq)) ";

std::string Text(const db::Value& v) {
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

long long Number(const db::Value& v) {
  return db::ParseInteger(Text(v)).value_or(0);
}

}  // namespace

long long SaveRunReport(db::Backend& destination, const RunReport& r) {
  std::string batch = std::string(kCreate) +
                      "DECLARE @id int "
                      "INSERT INTO Xfer_Run (What, SourceDb, DestinationDb, UserName, Started, "
                      "Outcome, Stopped) VALUES (" +
                      Quote(r.what) + ", " + Quote(r.source) + ", " + Quote(r.destination) + ", " +
                      Quote(r.user) + ", " + Quote(r.started) + ", " + Quote(r.outcome) + ", " +
                      Quote(r.stopped ? "T" : "F") + ") SET @id = SCOPE_IDENTITY() ";
  int seq = 0;
  for (const UnitResult& u : r.units) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", u.seconds);
    batch +=
        "INSERT INTO Xfer_RunUnit (RunId, Seq, TableName, Caption, SourceRows, Inserted, "
        "Clashing, Replaced, Seconds, Error) VALUES (@id, " +
        std::to_string(++seq) + ", " + Quote(u.table) + ", " + Quote(u.name) + ", " +
        (u.sourceRows < 0 ? std::string("NULL") : std::to_string(u.sourceRows)) + ", " +
        std::to_string(u.inserted) + ", " + std::to_string(u.clashing) + ", " +
        std::to_string(u.replaced) + ", " + seconds + ", " + Quote(u.error) + ") ";
  }
  batch += "SELECT @id";
  auto sets = destination.Query(batch);
  if (sets.empty() || sets.back().rows.empty()) return 0;
  return Number(sets.back().rows[0][0]);
}

std::vector<StoredRun> ReadRunReports(db::Backend& destination, int count) {
  std::vector<StoredRun> out;
  auto exists = destination.Query("SELECT OBJECT_ID('Xfer_Run'), OBJECT_ID('Xfer_RunUnit')");
  if (exists.empty() || exists[0].rows.empty() || engine::IsNull(exists[0].rows[0][0]) ||
      engine::IsNull(exists[0].rows[0][1]))
    return out;
  auto runs = destination.Query(
      "SELECT RunId, What, SourceDb, DestinationDb, UserName, Started, Outcome, Stopped, "
      "CONVERT(varchar(19), Recorded, 120) FROM Xfer_Run WHERE RunId IN (SELECT TOP " +
      std::to_string(count < 1 ? 1 : count) +
      " RunId FROM Xfer_Run ORDER BY RunId DESC) ORDER BY RunId");
  if (runs.empty()) return out;
  for (const auto& row : runs[0].rows) {
    StoredRun s;
    s.id = Number(row[0]);
    s.report.what = Text(row[1]);
    s.report.source = Text(row[2]);
    s.report.destination = Text(row[3]);
    s.report.user = Text(row[4]);
    s.report.started = Text(row[5]);
    s.report.outcome = Text(row[6]);
    s.report.stopped = Text(row[7]) == "T";
    s.recorded = Text(row[8]);
    auto units = destination.Query(
        "SELECT TableName, Caption, SourceRows, Inserted, Clashing, Replaced, Seconds, Error "
        "FROM Xfer_RunUnit WHERE RunId = " +
        std::to_string(s.id) + " ORDER BY Seq");
    if (!units.empty())
      for (const auto& u : units[0].rows) {
        UnitResult unit;
        unit.table = Text(u[0]);
        unit.name = Text(u[1]);
        unit.sourceRows = engine::IsNull(u[2]) ? -1 : Number(u[2]);
        unit.inserted = Number(u[3]);
        unit.clashing = Number(u[4]);
        unit.replaced = Number(u[5]);
        unit.seconds = std::strtod(Text(u[6]).c_str(), nullptr);
        unit.error = Text(u[7]);
        s.report.units.push_back(unit);
      }
    out.push_back(std::move(s));
  }
  return out;
}

}  // namespace xfer::transfer
