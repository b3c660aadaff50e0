// The one way a command stops early: a message for stderr and the tool's exit code.
#pragma once

#include <stdexcept>
#include <string>

namespace orvex_cli {

/// Exit codes of the tool.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitFileError = 1,     ///< a file could not be read or written
  kExitUsage = 2,         ///< the command line asks for something that cannot be done
  kExitSignalBase = 128,  ///< plus the number of the signal that stopped it (130, 143)
};

class ToolError : public std::runtime_error {
public:
  ToolError(ExitCode exitCode, const std::string& message)
      : std::runtime_error(message), exitCode_(exitCode) {}
  ExitCode exitCode() const { return exitCode_; }

private:
  ExitCode exitCode_;
};

}  // namespace orvex_cli
