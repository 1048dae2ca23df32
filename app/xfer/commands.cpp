#include "commands.h"

#include <CLI/CLI.hpp>

namespace xfer::cli {

static int g_exitCode = 0;

int ExitCode() {
  return g_exitCode;
}
void SetExitCode(int code) {
  g_exitCode = code;
}

void RegisterSqlCommand(CLI::App& app);
void RegisterDemoCommand(CLI::App& app);
void RegisterKolCommand(CLI::App& app);
void RegisterImportCommand(CLI::App& app);
void RegisterServeCommand(CLI::App& app);
void RegisterExportCommand(CLI::App& app);
void RegisterMoveCommand(CLI::App& app);
void RegisterReportCommand(CLI::App& app);
void RegisterTreasuryCommand(CLI::App& app);
void RegisterAutoCommand(CLI::App& app);

void RegisterCommands(CLI::App& app) {
  RegisterSqlCommand(app);
  RegisterDemoCommand(app);
  RegisterKolCommand(app);
  RegisterImportCommand(app);
  RegisterServeCommand(app);
  RegisterExportCommand(app);
  RegisterMoveCommand(app);
  RegisterReportCommand(app);
  RegisterTreasuryCommand(app);
  RegisterAutoCommand(app);
}

}  // namespace xfer::cli
