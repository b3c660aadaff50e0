// Runs a program and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace orvex_bench {

class ChildProcess {
public:
  ChildProcess() = delete;

  /// Runs argv[0] with the arguments, waits for it and returns its standard output; throws
  /// std::runtime_error when it cannot start or does not exit with status 0.
  static std::string run(const std::vector<std::string>& argv);
};

}  // namespace orvex_bench
