#include "db/served_directory.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "engine/error.h"

namespace xfer::db {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUser = "xfer";
constexpr const char* kPassword = "served-for-tests";

struct Served {
  pid_t pid = -1;
  int port = 0;
  std::string marker;  // a file the server left in the directory; gone when it was recreated
};

std::mutex g_mutex;
std::map<std::string, Served> g_served;

void Stop(Served& s) {
  if (s.pid <= 0) return;
  ::kill(s.pid, SIGTERM);
  ::waitpid(s.pid, nullptr, 0);
  s.pid = -1;
  std::error_code ec;
  fs::remove(s.marker, ec);
}

void StopAll() {
  std::lock_guard lock(g_mutex);
  for (auto& [dir, s] : g_served) Stop(s);
}

Served Start(const std::string& binary, const std::string& directory) {
  int out[2];
  if (::pipe(out) != 0) throw engine::SqlError(53, "cannot start xfer serve");
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::execl(binary.c_str(), binary.c_str(), "serve", "--server", directory.c_str(), "--listen",
            "127.0.0.1:0", "--user", kUser, "--password", kPassword, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  std::string line;
  char c;
  while (line.size() < 200 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  size_t colon = line.rfind(':');
  if (line.rfind("listening on", 0) != 0 || colon == std::string::npos) {
    ::waitpid(pid, nullptr, 0);
    throw engine::SqlError(53, "xfer serve did not start for '" + directory + "'");
  }
  Served s;
  s.pid = pid;
  s.port = std::stoi(line.substr(colon + 1));
  s.marker = (fs::path(directory) / (".served-" + std::to_string(pid))).string();
  std::ofstream(s.marker) << s.port << "\n";
  return s;
}

}  // namespace

std::optional<ServedAddress> ServedDirectoryAddress(const std::string& directory) {
  const char* binary = std::getenv("XFER_SERVE_DIRECTORIES");
  if (!binary || !*binary) return std::nullopt;
  std::error_code ec;
  std::string key = fs::weakly_canonical(directory, ec).string();
  if (!fs::is_directory(key, ec)) return std::nullopt;  // the embedded backend reports it
  std::lock_guard lock(g_mutex);
  static bool registered = (std::atexit(StopAll), true);
  (void)registered;
  Served& s = g_served[key];
  if (s.pid > 0 && !fs::exists(s.marker, ec)) Stop(s);
  if (s.pid <= 0) s = Start(binary, key);
  return ServedAddress{"127.0.0.1," + std::to_string(s.port), kUser, kPassword};
}

}  // namespace xfer::db
