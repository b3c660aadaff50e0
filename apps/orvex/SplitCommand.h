// orvex split IN OUTDIR: every channel of one directory as a single-channel image of its own.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ChannelList.h"
#include "LogTap.h"
#include "ProgressBar.h"
#include "TiffSource.h"
#include "ToolError.h"

namespace orvex_cli {

struct SplitOptions {
  std::string input;
  std::string folder;
  uint16_t dir = 0;
  bool png = false;
  bool json = false;
};

/// Planes are grey TIFFs holding the samples as delivered (same bits and sample format), or
/// 8-bit PNGs converted as preview shows one channel. They are written one after the other,
/// each in a pass of its own over the source.
class SplitCommand {
public:
  static ExitCode run(LogTap& log, const SplitOptions& options, std::ostream& out);

private:
  struct Plane {
    ChannelLabel label;
    std::string path;
  };

  static std::vector<Plane> choosePaths(const SplitOptions& options, const PageInfo& info);
  static PageInfo planeInfo(const PageInfo& info, const ChannelLabel& label);
  static void writeTiff(LogTap& log, TiffSource& source, uint16_t channel, const Plane& plane,
                        ProgressBar& progress);
  static void print(const SplitOptions& options, const std::vector<Plane>& planes,
                    std::ostream& out);
};

}  // namespace orvex_cli
