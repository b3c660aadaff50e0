// orvex copy IN OUT: a normalised copy of one directory through the reader and the writer.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

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
  std::map<uint16_t, std::string> names;  ///< new names by extra channel index
  std::map<uint16_t, int32_t> kinds;      ///< new kinds by extra channel index
  std::set<uint16_t> drops;               ///< extra channel indices left out
};

/// The copy holds what a host receives: the upright picture (orientation applied), palette
/// and YCbCr images as RGB, extra channels with their names and kinds, or with those the
/// options give them, less the extra channels they drop.
class CopyCommand {
public:
  static ExitCode run(LogTap& log, const CopyOptions& options, std::ostream& out);

private:
  static std::vector<ChannelRecord> editedChannels(const CopyOptions& options,
                                                   const PageInfo& info);
  static void requireChannel(const CopyOptions& options, const char* option, uint16_t index,
                             size_t count);
  static std::vector<uint16_t> keptSamples(const CopyOptions& options, const PageInfo& info);
  static PageInfo keptInfo(const PageInfo& edited, const std::vector<uint16_t>& kept);
  static void copyInterleaved(TiffSource& source, TiffTarget& target,
                              const std::vector<uint16_t>& kept, ProgressBar& progress);
  static void copyPlanes(TiffSource& source, TiffTarget& target, const std::vector<uint16_t>& kept,
                         ProgressBar& progress);
};

}  // namespace orvex_cli
