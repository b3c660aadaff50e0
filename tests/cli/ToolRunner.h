// Runs the built orvex tool, or an example host, as a separate program and captures what it
// prints.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvex_cli_test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

/// Environment variables set for the tool alone, as name and value.
using Environment = std::vector<std::pair<std::string, std::string>>;

/// The variable that names the system temporary folder to a program: TMP on Windows (read
/// by GetTempPath), TMPDIR elsewhere.
extern const char* const kTemporaryFolderVariable;

/// Runs the tool with `arguments`, standard input empty; what it prints is read as text, so
/// Windows line ends come back as "\n".
ToolRun runTool(const std::vector<std::string>& arguments, const Environment& environment = {});

/// Runs the example host that reads `file` (examples/read_tiff.cpp), as runTool does.
ToolRun runReadExample(const std::string& file);

/// Runs the tool with stdout and stderr on a pseudo-terminal (script(1)), returning
/// everything it printed; false where the tool cannot be given a terminal.
bool runToolOnTerminal(const std::vector<std::string>& arguments, std::string& output);

std::string readTextFile(const std::string& path);

/// False on Windows when an argument is not well-formed UTF-8: a UTF-16 command line cannot
/// carry it to the tool.
bool commandLineCarries(const std::vector<std::string>& arguments);

/// `text` with every "{key}" of `values` replaced by its value: tables of cases name their
/// files this way, since the files live in a temporary folder.
std::string expanded(std::string text, const std::map<std::string, std::string>& values);
/// The words of `line` (split at blanks), each expanded: a command line in one string.
std::vector<std::string> argumentsOf(const std::string& line,
                                     const std::map<std::string, std::string>& values);

}  // namespace orvex_cli_test
