// orvex with no command: writes the embedded sample image, reads it back and describes it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "DemoImage.h"
#include "LogTap.h"
#include "ToolError.h"

namespace orvex_cli {

class DemoCommand {
public:
  /// Leaves sample.tif and its preview sample.png in a new temporary folder.
  static ExitCode run(LogTap& log, std::ostream& out);

private:
  static std::filesystem::path makeFolder();
  static void writeSample(LogTap& log, const DemoImage& image, const std::string& path);
  static void readBack(LogTap& log, const DemoImage& image, const std::string& path,
                       const std::string& pngPath, std::ostream& out);
};

}  // namespace orvex_cli
