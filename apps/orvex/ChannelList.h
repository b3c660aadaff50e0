// The channels of a delivered pixel as the tool names, shows and writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PageInfo.h"

namespace orvex_cli {

struct ChannelLabel {
  bool colour = false;  ///< a sample of the colour model rather than an extra channel
  int32_t kind = ORVEX_CHANNEL_UNSPECIFIED;  ///< of an extra channel
  std::string name;
};

class ChannelList {
public:
  /// Every sample of a pixel in order: colour samples named after the colour model (R, G, B;
  /// C, M, Y, K; Grey; "sample N" otherwise), extra channels by their names or "extra N".
  /// `info.channels` holds one record per extra sample, as TiffSource gives it.
  static std::vector<ChannelLabel> labels(const PageInfo& info);

  /// "channel 4: spot colour, "Gold"", as split and merge print it.
  static std::string describe(size_t sample, const ChannelLabel& label);

  /// Whether the channel's samples are amounts of ink (0: none, shows white): the colour
  /// samples of a separated image and spot colours. Other channels are light (0 shows black).
  static bool isInk(int32_t photometric, const ChannelLabel& label);
};

}  // namespace orvex_cli
