#include "psd/TiffPhotoshopTagReader.h"

#include <algorithm>
#include <string>

#include "boundary/ModuleLogger.h"
#include "boundary/TextCodec.h"

namespace orvex {
namespace {

const char* const kOperation = "TiffPhotoshopTagReader::read";

// The first alternate spot colour naming `identifier`, or null.
const AlternateSpotColor* spotColorOf(uint32_t identifier, const AlternateSpotColors& spotColors) {
  const auto found = std::find_if(spotColors.colors.begin(), spotColors.colors.end(),
                                  [identifier](const AlternateSpotColor& spotColor) {
                                    return spotColor.channelId == identifier;
                                  });
  return found == spotColors.colors.end() ? nullptr : &*found;
}

}  // namespace

bool TiffPhotoshopTagReader::read(TIFF* tif, const std::vector<TiffChannelInfo>& extraChannels) {
  if (tif == nullptr) {
    return false;
  }
  uint32_t photoshopSize = 0;
  void* photoshopData = nullptr;
  if (TIFFGetField(tif, TIFFTAG_PHOTOSHOP, &photoshopSize, &photoshopData) == 0) {
    moduleLogger().log(kLogDetail, "[%s] has no TIFFTAG_PHOTOSHOP tag!", kOperation);
    return false;
  }
  // Without extra channels there is nothing for the resources to name.
  if (extraChannels.empty()) {
    return true;
  }
  channelInfos_ = extraChannels;
  if (!psdDecoder_->readImageResources(static_cast<const uint8_t*>(photoshopData), photoshopSize)) {
    moduleLogger().log(kLogError, "[%s] psdDecoder_->readImageResources failed!", kOperation);
    return false;
  }
  return applyResources();
}

// Extra channel i takes the i-th name and the i-th alpha identifier; it is a spot channel
// when an alternate spot colour names that identifier, and is then shown in that colour.
bool TiffPhotoshopTagReader::applyResources() {
  const std::shared_ptr<AlphaIdentifiers> alphaIdentifiers = psdDecoder_->alphaIdentifiers();
  const std::shared_ptr<AlternateSpotColors> spotColors = psdDecoder_->alternateSpotColors();
  const bool hasSpotColors = spotColors && !spotColors->colors.empty();
  if (hasSpotColors && !alphaIdentifiers) {
    moduleLogger().log(kLogWarning, "[%s] has SpotColors,but alphaIdentifiers is nullptr",
                       kOperation);
    return false;
  }
  for (size_t i = 0; i < channelInfos_.size(); ++i) {
    TiffChannelInfo& channel = channelInfos_[i];
    channel.name = channelName(i);
    const AlternateSpotColor* spotColor =
        hasSpotColors && i < alphaIdentifiers->identifiers.size()
            ? spotColorOf(alphaIdentifiers->identifiers[i], *spotColors)
            : nullptr;
    if (spotColor != nullptr) {
      channel.type = TiffChannelType::SpotColor;
    }
    channelColors_.push_back(channelColor(i, spotColor));
  }
  return true;
}

// The i-th display entry gives the opacity, and the colour unless a spot colour does.
std::optional<ChannelColor> TiffPhotoshopTagReader::channelColor(
    size_t channel, const AlternateSpotColor* spotColor) const {
  const std::shared_ptr<DisplayInfo> displayInfo = psdDecoder_->displayInfo();
  const bool displayed = displayInfo && channel < displayInfo->entries.size();
  if (!displayed && spotColor == nullptr) {
    return std::nullopt;
  }
  ChannelColor color;
  if (displayed) {
    color.color = displayInfo->entries[channel].color;
    color.opacity = displayInfo->entries[channel].opacity;
  }
  if (spotColor != nullptr) {
    color.color = spotColor->color;
  }
  return color;
}

// The Unicode name is preferred; an empty or missing one falls back to the Pascal name.
std::string TiffPhotoshopTagReader::channelName(size_t channel) const {
  const auto& unicodeNames = psdDecoder_->unicodeAlphaNames();
  const auto& pascalNames = psdDecoder_->alphaNames();
  std::string name;
  if (channel < unicodeNames.size()) {
    name = TextCodec::utf16ToUtf8(unicodeNames[channel]);
  }
  if (name.empty() && channel < pascalNames.size()) {
    name = pascalNames[channel];
  }
  return name;
}

}  // namespace orvex
