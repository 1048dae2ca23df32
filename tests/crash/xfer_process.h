// The xfer tool run as a child process for crash tests: arguments and extra environment in,
// exit status or killing signal and the captured output out. A run can stop at each unit
// boundary (see transfer/run/unit_boundary.h) and hand control to the test meanwhile.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace xfer::crash {

struct ProcessResult {
  int exitCode = -1;  // -1 when a signal ended it
  int signal = 0;     // the signal that ended it, 0 when it exited
  std::string out;
  std::string err;
};

// Runs `binary` with `args`; `env` is added to the environment. `onUnit`, when given, is called
// at every unit boundary while the child waits. `killAfter` > 0: the child is sent SIGKILL after
// that many seconds unless it ended first (not together with `onUnit`).
ProcessResult RunProcess(const std::string& binary, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, const std::string& workDir,
                         const std::function<void()>& onUnit = nullptr, double killAfter = 0);

}  // namespace xfer::crash
