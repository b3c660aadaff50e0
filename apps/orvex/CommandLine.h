// The tool's command line, parsed with CLI11.
#pragma once

#include <optional>

#include "CopyCommand.h"
#include "InfoCommand.h"
#include "JoinCommand.h"
#include "MergeCommand.h"
#include "PreviewCommand.h"
#include "SplitCommand.h"

namespace orvex_cli {

enum class Command { Demo, Info, Copy, Preview, Split, Merge, Join };

struct Options {
  Command command = Command::Demo;
  bool verbose = false;
  InfoOptions info;
  CopyOptions copy;
  PreviewOptions preview;
  SplitOptions split;
  MergeOptions merge;
  JoinOptions join;
};

class CommandLine {
public:
  /// Fills `options`, or returns the exit code when the run ends here: 0 after --help or
  /// --version, kExitUsage after a bad command line (with CLI11's message on stderr).
  static std::optional<int> parse(int argc, char** argv, Options& options);
};

}  // namespace orvex_cli
