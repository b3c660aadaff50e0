#include "ChannelList.h"

#include "ColourSampleNames.h"
#include "Words.h"

namespace orvex_cli {
namespace {

// Samples of the colour model: those before the extra samples.
uint16_t colourSamples(const PageInfo& info) {
  return info.samplesPerPixel > info.extraSamples
             ? static_cast<uint16_t>(info.samplesPerPixel - info.extraSamples)
             : uint16_t{0};
}

}  // namespace

std::vector<ChannelLabel> ChannelList::labels(const PageInfo& info) {
  const uint16_t colour = colourSamples(info);
  std::vector<ChannelLabel> labels;
  for (uint16_t sample = 0; sample < info.samplesPerPixel; ++sample) {
    if (sample < colour) {
      labels.push_back({true, ORVEX_CHANNEL_UNSPECIFIED,
                        orvex_hosts::colourSampleName(info.photometric, sample)});
      continue;
    }
    const size_t index = sample - colour;
    const ChannelRecord extra =
        index < info.channels.size() ? info.channels[index] : ChannelRecord{};
    labels.push_back({false, extra.kind, orvex_hosts::extraChannelName(extra.name, index)});
  }
  return labels;
}

std::string ChannelList::describe(size_t sample, const ChannelLabel& label) {
  return "channel " + std::to_string(sample) + ": " +
         (label.colour ? "colour" : Words::text(ORVEX_VOCABULARY_CHANNEL_KIND, label.kind)) +
         ", \"" + label.name + "\"";
}

bool ChannelList::isInk(int32_t photometric, const ChannelLabel& label) {
  return label.colour ? photometric == ORVEX_PHOTOMETRIC_SEPARATED
                      : label.kind == ORVEX_CHANNEL_SPOT;
}

}  // namespace orvex_cli
