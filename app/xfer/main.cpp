// xfer: the command-line face of the transfer module. Subcommands share the core libraries
// with the desktop forms; each one lives in its own file and registers itself here.
#include <CLI/CLI.hpp>

#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Xfer: carries base information and documents between fiscal-period databases",
               "xfer"};
  app.set_version_flag("--version", std::string("xfer ") + XFER_VERSION);
  app.require_subcommand(0, 1);

  xfer::cli::RegisterCommands(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here with status 0; a wrong or missing argument is a check
    // that stopped the command, and every check ends with status 1.
    return app.exit(e) == 0 ? 0 : 1;
  }
  if (app.get_subcommands().empty()) {
    std::cout << app.help();
    return 0;
  }
  return xfer::cli::ExitCode();
}
