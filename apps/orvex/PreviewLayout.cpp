#include "PreviewLayout.h"

#include "ToolError.h"
#include "Words.h"

namespace orvex_cli {
namespace {

bool firstExtraIsAlpha(const PageInfo& info) {
  return info.extraSamples > 0 && !info.channels.empty() &&
         (info.channels[0].kind == ORVEX_CHANNEL_ASSOCIATED_ALPHA ||
          info.channels[0].kind == ORVEX_CHANNEL_UNASSOCIATED_ALPHA);
}

PreviewLayout oneChannel(uint16_t channel, const std::string& why) {
  PreviewLayout layout;
  layout.channel = channel;
  layout.samples = {0};
  layout.description = "channel " + std::to_string(channel) + " in grey" + why;
  return layout;
}

}  // namespace

PreviewLayout PreviewLayout::choose(const PageInfo& info, std::optional<uint16_t> channel) {
  if (info.samplesPerPixel == 0) {
    throw ToolError(kExitFileError, "the image has no samples to show");
  }
  if (channel) {
    if (*channel >= info.samplesPerPixel) {
      throw ToolError(kExitUsage, "--channel " + std::to_string(*channel) +
                                      ": the image has channels 0 to " +
                                      std::to_string(info.samplesPerPixel - 1));
    }
    return oneChannel(*channel, "");
  }
  const int colourSamples = int{info.samplesPerPixel} - int{info.extraSamples};
  const bool grey = info.photometric == ORVEX_PHOTOMETRIC_MIN_IS_BLACK ||
                    info.photometric == ORVEX_PHOTOMETRIC_MIN_IS_WHITE;
  PreviewLayout layout;
  if (grey && colourSamples == 1) {
    layout.samples = {0};
    layout.invertFirst = info.photometric == ORVEX_PHOTOMETRIC_MIN_IS_WHITE;
    layout.description = "grey";
  } else if (info.photometric == ORVEX_PHOTOMETRIC_RGB && colourSamples >= 3) {
    layout.samples = {0, 1, 2};
    layout.description = "RGB";
  } else if (info.photometric == ORVEX_PHOTOMETRIC_SEPARATED && colourSamples == 4) {
    layout.samples = {0, 1, 2};
    layout.proof = true;
    return layout;
  } else {
    return oneChannel(
        0, std::string(" (") + Words::text(ORVEX_VOCABULARY_PHOTOMETRIC, info.photometric) + ")");
  }
  if (firstExtraIsAlpha(info)) {
    layout.samples.push_back(static_cast<unsigned>(colourSamples));
    layout.premultiplied = info.channels[0].kind == ORVEX_CHANNEL_ASSOCIATED_ALPHA;
    layout.description += " with alpha";
  }
  return layout;
}

}  // namespace orvex_cli
