// Subcommand registry of the xfer tool.
#pragma once

namespace CLI {
class App;
}

namespace xfer::cli {

// Adds every subcommand to `app`; each sets the exit code when it runs.
void RegisterCommands(CLI::App& app);
// The exit code left by the subcommand that ran.
int ExitCode();
void SetExitCode(int code);
// `import trado`, added under the import subcommand.
void RegisterTradoImport(CLI::App& import);

}  // namespace xfer::cli
