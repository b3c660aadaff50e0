// Runs the built orvex tool as a separate program and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace orvex_cli_test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

/// Runs the tool with `arguments`; `environment` ("NAME=value ...") is set for it alone.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& environment = "");

/// Runs `command` through the shell with stdout and stderr on a pseudo-terminal (script(1)),
/// returning everything it printed; false when script is not available.
bool runOnTerminal(const std::string& command, std::string& output);

/// The tool's command line for the shell.
std::string toolCommand(const std::vector<std::string>& arguments);

std::string readTextFile(const std::string& path);

}  // namespace orvex_cli_test
