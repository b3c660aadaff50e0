#include "FileReport.h"

#include <utility>

#include "TiffSource.h"
#include "ToolError.h"

namespace orvex_cli {

FileReport FileReport::describe(LogTap& log, const std::string& path) {
  FileReport report;
  report.path = path;
  try {
    TiffSource source(log, path);
    report.directoryCount = source.directoryCount();
    for (uint32_t dir = 0; dir < source.directoryCount(); ++dir) {
      DirectoryReport directory;
      directory.index = static_cast<uint16_t>(dir);
      directory.readable = source.select(directory.index, directory.refusal);
      directory.info = source.info();
      report.directories.push_back(std::move(directory));
    }
  } catch (const ToolError& error) {
    report.error = error.what();
  }
  return report;
}

}  // namespace orvex_cli
