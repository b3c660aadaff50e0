#include "reader/ExtraChannels.h"

#include "boundary/PublicEnumerations.h"
#include "reader/TiffInfo.h"

namespace orvex {

std::vector<TiffChannelInfo> ExtraChannels::of(const TiffInfo& info) {
  // One kind per extra sample: the tag reader fills in unspecified kinds when a file
  // gives a count without them.
  std::vector<TiffChannelInfo> channels(info.extrasamplesinfo_.size());
  for (size_t i = 0; i < channels.size(); ++i) {
    channels[i].type = PublicEnumerations::channelTypeOf(info.extrasamplesinfo_[i]);
  }
  return channels;
}

}  // namespace orvex
