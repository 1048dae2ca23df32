// `xfer serve` as a child process on a free loopback port, for tests that talk to it with
// real clients. The process is stopped (by its own pid) when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace xfer::testing {

class ServeProcess {
 public:
  // Serves `directory` with one login `user`/`password`.
  ServeProcess(const std::string& directory, const std::string& user, const std::string& password);
  ~ServeProcess();
  ServeProcess(const ServeProcess&) = delete;
  ServeProcess& operator=(const ServeProcess&) = delete;

  int port() const { return port_; }
  // "127.0.0.1,port": the Data Source of a connection string.
  std::string dataSource() const { return "127.0.0.1," + std::to_string(port_); }
  bool running() const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// Runs a shell command with `input` on its stdin; returns stdout and stderr together.
std::string RunWithInput(const std::string& command, const std::string& input, int* status);

}  // namespace xfer::testing
