// orvex info FILE...: every directory of each file as a host sees it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "LogTap.h"
#include "ToolError.h"

namespace orvex_cli {

struct InfoOptions {
  std::vector<std::string> files;
  bool json = false;
};

class InfoCommand {
public:
  /// Describes every file it can open; a file it cannot open is reported on stderr and
  /// makes the result kExitFileError, the others are still described.
  static ExitCode run(LogTap& log, const InfoOptions& options, std::ostream& out);
};

}  // namespace orvex_cli
