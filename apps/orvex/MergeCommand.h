// orvex merge OUT BASE: one directory with single-channel planes added as extra channels.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "LogTap.h"
#include "PlaneSource.h"
#include "ProgressBar.h"
#include "TiffSource.h"
#include "TiffTarget.h"
#include "ToolError.h"

namespace orvex_cli {

struct PlaneOption {
  int32_t kind = ORVEX_CHANNEL_SPOT;
  std::string name;
  std::string path;
};

struct MergeOptions {
  std::string output;
  std::string base;
  uint16_t dir = 0;
  std::vector<PlaneOption> planes;  ///< in the order given
  /// Unset: separate planes for samples of 1, 2 and 4 bits, which the library reads only
  /// that way once there are several of them, interleaved otherwise.
  std::optional<bool> separatePlanes;
};

/// Writes the base's colour and extra channels, then one extra channel per plane. Every
/// plane is checked against the base before OUT is created; a plane that fails while it is
/// read leaves no OUT behind either.
class MergeCommand {
public:
  static ExitCode run(LogTap& log, const MergeOptions& options, std::ostream& out);

private:
  using Planes = std::vector<std::unique_ptr<PlaneSource>>;

  static Planes openPlanes(LogTap& log, const MergeOptions& options, const PageInfo& base);
  static PageInfo mergedInfo(const PageInfo& base, const std::vector<PlaneOption>& planes);
  static void writeInterleaved(TiffSource& base, Planes& planes, TiffTarget& target,
                               const PageInfo& info, ProgressBar& progress);
  static void writeSeparate(TiffSource& base, Planes& planes, TiffTarget& target,
                            ProgressBar& progress);
  static void report(const MergeOptions& options, const PageInfo& info, bool separatePlanes,
                     std::ostream& out);
};

}  // namespace orvex_cli
