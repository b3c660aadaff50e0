#include "cli/ToolRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace orvex_cli_test {
namespace {

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return result + "'";
}

int exitCodeOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string toolCommand(const std::vector<std::string>& arguments) {
  std::string command = quoted(ORVEX_CLI_BINARY);
  for (const std::string& argument : arguments) {
    command += " " + quoted(argument);
  }
  return command;
}

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& environment) {
  orvex_test::TempDir capture;
  const std::string out = capture.file("stdout");
  const std::string err = capture.file("stderr");
  const std::string command = (environment.empty() ? "" : environment + " ") +
                              toolCommand(arguments) + " >" + quoted(out) + " 2>" + quoted(err) +
                              " </dev/null";
  ToolRun run;
  run.exitCode = exitCodeOf(std::system(command.c_str()));
  run.out = readTextFile(out);
  run.err = readTextFile(err);
  return run;
}

bool runOnTerminal(const std::string& command, std::string& output) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    return false;
  }
  orvex_test::TempDir capture;
  const std::string file = capture.file("terminal");
  const std::string line =
      "script -qec " + quoted(command) + " /dev/null >" + quoted(file) + " 2>&1 </dev/null";
  std::system(line.c_str());
  output = readTextFile(file);
  return true;
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace orvex_cli_test
