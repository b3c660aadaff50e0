// Runs the built orvex tool, or an example host, as a separate program and captures what it
// prints.
#pragma once

#include <filesystem>
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

/// What cuts a run short, outside Windows: a limit in bytes on each file the program writes
/// (a full disk; SIGXFSZ ignored, so that the write fails), and a signal sent once a file
/// named *.orvex-tmp appears below `watched`, that is while the tool writes rows. 0: none.
struct Stop {
  long fileSizeLimit = 0;
  int signal = 0;
  std::filesystem::path watched;
};

/// Runs `program` (a path, or a name found on PATH outside Windows; ORVEX_CLI_BINARY is the
/// tool) with `arguments`, standard input empty; what it prints is read as text, so Windows line
/// ends come back as "\n".
ToolRun runProgram(const char* program, const std::vector<std::string>& arguments,
                   const Environment& environment = {}, const Stop& stop = {});

}  // namespace orvex_cli_test
