// orvex merge OUT BASE: one directory with single-channel planes added as extra channels.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ChannelList.h"
#include "LogTap.h"
#include "PlaneSource.h"
#include "ProgressBar.h"
#include "TiffSource.h"
#include "TiffTarget.h"
#include "ToolError.h"

namespace orvex_cli {

struct PlaneOption {
  int32_t kind = ORVEX_CHANNEL_SPOT;  ///< of an added channel
  std::string name;
  std::string path;
  bool replaces = false;  ///< takes the samples of the base's extra channel named `name`
  std::optional<ChannelColor> color;  ///< of an added spot colour
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

/// Writes the base's colour and extra channels, a replaced one with its plane's samples, then
/// one extra channel per added plane. Every
/// plane is checked against the base before OUT is created; a plane that fails while it is
/// read leaves no OUT behind either.
class MergeCommand {
public:
  static ExitCode run(LogTap& log, const MergeOptions& options, std::ostream& out);

private:
  using Planes = std::vector<std::unique_ptr<PlaneSource>>;

  static Planes openPlanes(LogTap& log, const MergeOptions& options, const PageInfo& base,
                           const std::vector<ChannelLabel>& channels);
  using Samples = std::vector<uint16_t>;  ///< the sample of OUT each plane fills

  static Samples planeSamples(const MergeOptions& options, const PageInfo& base);
  static PageInfo mergedInfo(const PageInfo& base, const std::vector<PlaneOption>& planes);
  static void writeInterleaved(TiffSource& base, Planes& planes, const Samples& samples,
                               TiffTarget& target, const PageInfo& info, ProgressBar& progress);
  static void writeSeparate(TiffSource& base, Planes& planes, const Samples& samples,
                            TiffTarget& target, const PageInfo& info, ProgressBar& progress);
  static void report(const MergeOptions& options, const PageInfo& info, const Samples& samples,
                     bool separatePlanes, std::ostream& out);
};

}  // namespace orvex_cli
