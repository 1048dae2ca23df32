// `xfer demo init`: builds a demo server (registry, two companies with two periods each) in a
// directory, or with --remote-of a second server holding other periods of the same companies.
#include <CLI/CLI.hpp>

#include <chrono>
#include <iostream>

#include "commands.h"
#include "suite/demo.h"

namespace xfer::cli {
namespace {

struct DemoInitOptions {
  std::string server;
  std::string remoteOf;
  int scale = 1;
  std::uint64_t seed = 1;
};

int RunDemoInit(const DemoInitOptions& o) {
  try {
    auto start = std::chrono::steady_clock::now();
    suite::DemoOptions options{o.scale, o.seed};
    suite::DemoReport report = o.remoteOf.empty()
                                   ? suite::BuildDemoServer(o.server, options)
                                   : suite::BuildRemoteDemoServer(o.server, o.remoteOf, options);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& db : report.databases) std::cout << db << "\n";
    std::cout << report.masterRows << " master rows in " << report.databases.size() << " periods, "
              << seconds << " s\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "demo init failed: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterDemoCommand(CLI::App& app) {
  CLI::App* demo = app.add_subcommand("demo", "Demo servers");
  demo->require_subcommand(1);
  auto opts = std::make_shared<DemoInitOptions>();
  CLI::App* init = demo->add_subcommand("init", "Create a demo server");
  init->add_option("--server", opts->server, "Server directory (created)")->required();
  init->add_option("--scale", opts->scale,
                   "Data volume: 1 small, 100 large, 1000 ten times 100")
      ->check(CLI::Range(1, 100000));
  init->add_option("--seed", opts->seed, "Random seed; equal seeds give equal data");
  init->add_option("--remote-of", opts->remoteOf,
                   "Main demo server whose companies get other periods here");
  init->callback([opts] { SetExitCode(RunDemoInit(*opts)); });
}

}  // namespace xfer::cli
