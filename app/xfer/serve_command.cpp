// `xfer serve`: serves a server directory to SQL Server clients (ODBC, FreeTDS tools) over
// TCP, by default on 127.0.0.1:1433. Logins come from the directory's logins file; --user and
// --password add or replace one before serving. Prints the address it listens on, then serves
// until interrupted.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <iostream>

#include "commands.h"
#include "engine/engine.h"
#include "server/listener.h"

namespace xfer::cli {
namespace {

std::atomic<bool> g_stop{false};

struct ServeOptions {
  std::string server;
  std::string listen = "127.0.0.1:1433";
  std::string user;
  std::string password;
};

int RunServe(const ServeOptions& o) {
  std::string host;
  int port = 0;
  if (!server::ParseListenAddress(o.listen, host, port)) {
    std::cerr << "not an address to listen on: '" << o.listen << "' (expected host:port)\n";
    return 2;
  }
  try {
    server::ServedDirectory served;
    served.server = engine::Server::Open(o.server, false);
    if (!o.user.empty()) server::Users::Store(o.server, o.user, o.password);
    served.users = server::Users::Load(o.server);
    served.name = "XFER";
    if (served.users.size() == 0)
      std::cerr << "no logins in " << server::Users::FileOf(o.server)
                << ": every login will be refused (add one with --user and --password)\n";
    server::Listener listener(std::move(served), host, port);
    std::signal(SIGINT, [](int) { g_stop = true; });
    std::signal(SIGTERM, [](int) { g_stop = true; });
    std::cout << "listening on " << host << ":" << listener.port() << std::endl;
    listener.Serve(g_stop);
    return 0;
  } catch (const engine::SqlError& e) {
    std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ": " << e.message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterServeCommand(CLI::App& app) {
  auto o = std::make_shared<ServeOptions>();
  CLI::App* cmd = app.add_subcommand("serve", "Serve a server directory to SQL Server clients");
  cmd->add_option("--server", o->server, "Server directory to serve")->required();
  cmd->add_option("--listen", o->listen, "Address to listen on (host:port)")->capture_default_str();
  cmd->add_option("--user", o->user, "Add or replace this login before serving");
  cmd->add_option("--password", o->password, "Password of the login given by --user");
  cmd->callback([o] { SetExitCode(RunServe(*o)); });
}

}  // namespace xfer::cli
