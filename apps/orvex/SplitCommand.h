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
/// each in a pass of its own over the source. The ICC profile of a colour image, which its
/// grey planes cannot carry, is written beside them as profile.icc for join --icc.
class SplitCommand {
public:
  static ExitCode run(LogTap& log, const SplitOptions& options, std::ostream& out);

private:
  struct Plane {
    ChannelLabel label;
    std::string path;
  };

  /// The planes' paths, and `profilePath` for the profile of a colour image ("" for none).
  static std::vector<Plane> choosePaths(const SplitOptions& options, const PageInfo& info,
                                        std::string& profilePath);
  static PageInfo planeInfo(const PageInfo& info, const ChannelLabel& label);
  static void writeTiff(LogTap& log, TiffSource& source, uint16_t channel, const Plane& plane,
                        ProgressBar& progress);
  static void print(const SplitOptions& options, const std::vector<Plane>& planes,
                    const std::string& profilePath, std::ostream& out);
};

}  // namespace orvex_cli
