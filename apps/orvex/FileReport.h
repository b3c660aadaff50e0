// What the library tells a host about a file, directory by directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LogTap.h"
#include "PageInfo.h"

namespace orvex_cli {

struct DirectoryReport {
  uint16_t index = 0;
  bool readable = false;
  std::string refusal;  ///< why the library refused it, when not readable
  PageInfo info;
};

struct FileReport {
  std::string path;
  std::string error;  ///< why the file could not be opened; empty when it was
  uint16_t directoryCount = 0;
  std::vector<DirectoryReport> directories;

  /// Opens `path` and selects each of its directories in turn.
  static FileReport describe(LogTap& log, const std::string& path);
};

}  // namespace orvex_cli
