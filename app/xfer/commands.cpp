#include "commands.h"

#include <CLI/CLI.hpp>

namespace xfer::cli {

static int g_exitCode = 0;

int ExitCode() { return g_exitCode; }
void SetExitCode(int code) { g_exitCode = code; }

void RegisterCommands(CLI::App& app) { (void)app; }

}  // namespace xfer::cli
