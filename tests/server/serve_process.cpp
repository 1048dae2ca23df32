#include "serve_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace xfer::testing {

ServeProcess::ServeProcess(const std::string& directory, const std::string& user,
                           const std::string& password) {
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::execl(XFER_BINARY, XFER_BINARY, "serve", "--server", directory.c_str(), "--listen",
            "127.0.0.1:0", "--user", user.c_str(), "--password", password.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  // The first line names the port: "listening on 127.0.0.1:PORT".
  std::string line;
  char c;
  while (line.size() < 200 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  size_t colon = line.rfind(':');
  if (line.rfind("listening on", 0) != 0 || colon == std::string::npos)
    throw std::runtime_error("xfer serve did not start: " + line);
  port_ = std::stoi(line.substr(colon + 1));
}

ServeProcess::~ServeProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status;
    ::waitpid(pid_, &status, 0);
  }
}

bool ServeProcess::running() const {
  return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

std::string RunWithInput(const std::string& command, const std::string& input, int* status) {
  auto file = std::filesystem::temp_directory_path() /
              ("xfer_serve_input_" + std::to_string(::getpid()) + ".txt");
  { std::ofstream(file) << input; }
  std::string full = command + " < " + file.string() + " 2>&1";
  std::string out;
  FILE* p = ::popen(full.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  int raw = ::pclose(p);
  if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::filesystem::remove(file);
  return out;
}

}  // namespace xfer::testing
