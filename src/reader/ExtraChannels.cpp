#include "reader/ExtraChannels.h"

#include "boundary/PublicEnumerations.h"
#include "reader/TiffInfo.h"

namespace orvex {

std::vector<TiffChannelInfo> ExtraChannels::of(const TiffInfo& info) {
  std::vector<TiffChannelInfo> channels(info.extrasamples_);
  for (size_t i = 0; i < channels.size() && i < info.extrasamplesinfo_.size(); ++i) {
    channels[i].type = PublicEnumerations::channelTypeOf(info.extrasamplesinfo_[i]);
  }
  return channels;
}

}  // namespace orvex
