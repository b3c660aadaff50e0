// orvex copy IN OUT: a normalised copy of one directory through the reader and the writer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "LogTap.h"
#include "ProgressBar.h"
#include "TiffSource.h"
#include "TiffTarget.h"
#include "ToolError.h"

namespace orvex_cli {

struct CopyOptions {
  std::string input;
  std::string output;
  uint16_t dir = 0;
  bool separatePlanes = false;
};

/// The copy holds what a host receives: the upright picture (orientation applied), palette
/// and YCbCr images as RGB, extra channels with their names and kinds.
class CopyCommand {
public:
  static ExitCode run(LogTap& log, const CopyOptions& options, std::ostream& out);

private:
  static void refuseSameFile(const CopyOptions& options);
  static void copyInterleaved(TiffSource& source, TiffTarget& target, ProgressBar& progress);
  static void copyPlanes(TiffSource& source, TiffTarget& target, ProgressBar& progress);
};

}  // namespace orvex_cli
