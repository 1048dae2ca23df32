// What the three document imports of the xfer tool (vouchers, sales, inventory) share: the source
// and range options, the opening of the period and its source, the columns read from a candidate
// record set, the per-table lines of a run report, and the way a server error ends the command.
#pragma once

#include <functional>
#include <string>

#include "cli_session.h"
#include "console_dialogs.h"
#include "db/record_set.h"
#include "import/import_frame.h"
#include "transfer/run/run_report.h"

namespace CLI {
class App;
}

namespace xfer::cli {

struct ImportOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::string fromNo, toNo;
  std::string fromDate, toDate;
  std::string mode = "NEWID";
  std::string prior = "NOCHANGE";
  bool copyBase = false;
  bool preview = false;
};

// Adds the options every import takes; `noun` names its documents in the help texts, `modes`
// lists its numbering modes. `--source` is required unless the command has other work.
void AddImportOptions(CLI::App& cmd, ImportOptions& o, const std::string& noun,
                      const std::string& modes, bool sourceRequired = true);

// The text of column `name` (any case) in row `row`, empty for NULL or a missing column.
std::string Cell(const db::ResultSet& rs, size_t row, const char* name);

// One line per unit of `report`: table, source rows, inserted, clashing, seconds.
void PrintUnits(const transfer::RunReport& report, int tableWidth);

// Points `frame` (already prepared) at the source period and server of `o`; false, with the
// system's message, when the source period is not in the registry.
bool ChooseSource(import::ImportFrame& frame, CliSession& session, const ImportOptions& o,
                  db::Dialogs& dialogs);

// Sets the ranges, radio groups and base copying of `frame` from `o`; called after the document
// type is chosen, which reads the ranges of the source afresh.
void SetRanges(import::ImportFrame& frame, const ImportOptions& o, int priorMode, int afterMode);

// Checks the server paths, opens the session and runs `body`; a server error or any other
// failure ends the command with exit status 1 and the plain message.
int RunImportCommand(const ImportOptions& o,
                     const std::function<int(CliSession&, ConsoleDialogs&)>& body);

}  // namespace xfer::cli
