// The listening socket of `xfer serve`: accepts clients and gives each its own session thread
// and engine connection; every session shares the served directory (and so its tempdb).
#pragma once

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "server/session.h"

namespace xfer::server {

class Listener {
 public:
  // Binds `host:port` (port 0 picks a free one). Throws std::runtime_error when it cannot.
  Listener(ServedDirectory served, const std::string& host, int port);
  ~Listener();
  int port() const { return port_; }
  // Accepts clients until `stop` becomes true; then closes every session and returns.
  void Serve(const std::atomic<bool>& stop);

 private:
  struct Client {
    int socket;
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void Reap(bool all);

  ServedDirectory served_;
  int socket_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::list<Client> clients_;
};

// Splits "host:port" (or "host,port"); the port defaults to 1433.
bool ParseListenAddress(const std::string& text, std::string& host, int& port);

}  // namespace xfer::server
