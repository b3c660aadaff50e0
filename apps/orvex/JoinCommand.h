// orvex join OUT --cmyk C M Y K (or --rgb R G B, --grey G): one image built from
// single-channel planes, such as the plates split writes.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "LogTap.h"
#include "MergeCommand.h"
#include "PlaneSource.h"
#include "ProgressBar.h"
#include "TiffTarget.h"
#include "ToolError.h"

namespace orvex_cli {

struct JoinOptions {
  std::string output;
  int32_t photometric = ORVEX_PHOTOMETRIC_SEPARATED;  ///< of the colour planes
  std::vector<std::string> colourPlanes;              ///< in the colour model's order
  std::vector<PlaneOption> planes;                    ///< extra channels, in the order given
  std::optional<bool> separatePlanes;                 ///< as in merge
  std::string iccProfile;                             ///< a profile file for OUT, or ""
};

/// The colour planes, then one extra channel per plane option. The first plane gives the
/// size, bits, sample format, resolution and ICC profile (--icc gives the profile instead); every
/// plane is checked against it before OUT is created. A grey image takes its plane's photometric;
/// other planes are inverted where their photometric shows 0 the other way than their channel.
class JoinCommand {
public:
  static ExitCode run(LogTap& log, const JoinOptions& options, std::ostream& out);

private:
  using Planes = std::vector<std::unique_ptr<PlaneSource>>;

  static Planes openPlanes(LogTap& log, const JoinOptions& options);
  static PageInfo joinedInfo(const JoinOptions& options, const PageInfo& first);
  static void start(Planes& planes, const PageInfo& info, ProgressBar& progress);
  static void writeInterleaved(Planes& planes, TiffTarget& target, const PageInfo& info);
  static void writeSeparate(Planes& planes, TiffTarget& target, const PageInfo& info);
  static void report(const JoinOptions& options, const Planes& planes, const PageInfo& info,
                     bool separatePlanes, std::ostream& out);
};

}  // namespace orvex_cli
