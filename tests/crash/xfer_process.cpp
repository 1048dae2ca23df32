#include "xfer_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace xfer::crash {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

ProcessResult RunProcess(const std::string& binary, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, const std::string& workDir,
                         const std::function<void()>& onUnit, double killAfter) {
  std::string outFile = (std::filesystem::path(workDir) / "child.out").string();
  std::string errFile = (std::filesystem::path(workDir) / "child.err").string();
  int up[2] = {-1, -1}, down[2] = {-1, -1};  // child -> test, test -> child
  if (onUnit && (::pipe(up) != 0 || ::pipe(down) != 0)) throw std::runtime_error("pipe failed");

  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    for (const auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
    if (onUnit) {
      ::close(up[0]);
      ::close(down[1]);
      std::string pipe = std::to_string(up[1]) + ":" + std::to_string(down[0]);
      ::setenv("XFER_UNIT_PIPE", pipe.c_str(), 1);
    }
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  if (onUnit) {
    ::close(up[1]);
    ::close(down[0]);
    std::string line;
    char c;
    while (::read(up[0], &c, 1) == 1) {
      if (c != '\n') continue;
      onUnit();
      if (::write(down[1], "g", 1) != 1) break;
    }
    ::close(up[0]);
    ::close(down[1]);
  }
  int status = 0;
  if (killAfter > 0) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(killAfter);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  } else {
    ::waitpid(pid, &status, 0);
  }
  ProcessResult r;
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  r.out = ReadFile(outFile);
  r.err = ReadFile(errFile);
  return r;
}

}  // namespace xfer::crash
