#include "server/listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace xfer::server {

bool ParseListenAddress(const std::string& text, std::string& host, int& port) {
  size_t sep = text.find_last_of(":,");
  host = text.substr(0, sep);
  port = 1433;
  if (sep != std::string::npos) {
    char* end = nullptr;
    long p = std::strtol(text.c_str() + sep + 1, &end, 10);
    if (*end != '\0' || p < 0 || p > 65535 || sep + 1 == text.size()) return false;
    port = static_cast<int>(p);
  }
  in_addr probe{};
  return !host.empty() && ::inet_pton(AF_INET, host.c_str(), &probe) == 1;
}

Listener::Listener(ServedDirectory served, const std::string& host, int port)
    : served_(std::move(served)) {
  socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) throw std::runtime_error("cannot create a socket");
  int one = 1;
  ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 ||
      ::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(socket_, 64) != 0) {
    ::close(socket_);
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
  }
  socklen_t len = sizeof addr;
  ::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
}

Listener::~Listener() {
  Reap(true);
  if (socket_ >= 0) ::close(socket_);
}

void Listener::Serve(const std::atomic<bool>& stop) {
  while (!stop) {
    pollfd p{socket_, POLLIN, 0};
    int ready = ::poll(&p, 1, 200);
    Reap(false);
    if (ready <= 0) continue;
    int client = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard lock(mutex_);
    Client& c = clients_.emplace_back();
    c.socket = client;
    c.thread = std::thread([this, &c] {
      Session(c.socket, served_).Run();
      c.done = true;
    });
  }
  Reap(true);
}

void Listener::Reap(bool all) {
  std::lock_guard lock(mutex_);
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (all && !it->done) ::shutdown(it->socket, SHUT_RDWR);
    if (all || it->done) {
      it->thread.join();
      ::close(it->socket);
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace xfer::server
