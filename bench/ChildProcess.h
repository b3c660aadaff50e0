// Runs a program and collects what it prints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex_bench {

/// What a child process used, as its parent learns when it waits for it.
struct ChildUsage {
  double cpuSeconds = 0.0;  ///< user and system time
  uint64_t peakBytes = 0;   ///< peak resident memory
};

class ChildProcess {
public:
  ChildProcess() = delete;

  /// Runs argv[0] with the arguments, waits for it and returns its standard output; throws
  /// std::runtime_error when it cannot start or does not exit with status 0. `usage`, when
  /// given, receives what the child used.
  static std::string run(const std::vector<std::string>& argv, ChildUsage* usage = nullptr);
};

}  // namespace orvex_bench
