#include "psd/TiffPhotoshopTagWriter.h"

#include <memory>

#include "boundary/ModuleLogger.h"
#include "boundary/TextCodec.h"
#include "psd/PSDEncoder.h"

namespace orvex {
namespace {

const char* const kOperation = "TiffPhotoshopTagWriter::write";

constexpr uint32_t kFirstAlphaIdentifier = 1024;
constexpr uint32_t kDisplayInfoVersion = 1;
constexpr uint16_t kSpotColorsVersion = 1;
constexpr uint16_t kColorSpaceRgb = 0;
constexpr uint16_t kColorSpaceLab = 7;

struct DisplayKind {
  TiffChannelType type;
  uint16_t opacity;
  uint8_t kind;
};

// Channel types missing here are shown as plain alpha channels (opacity 0, kind 0).
constexpr DisplayKind kDisplayKinds[] = {
    {TiffChannelType::SpotColor, 50, 2},
    {TiffChannelType::AssociatedAlpha, 100, 1},
};

// Every channel is shown in red; only the opacity and the kind tell the channels apart.
ChannelDisplayInfo displayEntryFor(TiffChannelType type) {
  ChannelDisplayInfo entry;
  entry.color.colorSpace = kColorSpaceRgb;
  entry.color.components = {65535, 0, 0, 0};
  for (const DisplayKind& displayKind : kDisplayKinds) {
    if (displayKind.type == type) {
      entry.opacity = displayKind.opacity;
      entry.kind = displayKind.kind;
    }
  }
  return entry;
}

AlternateSpotColor spotColorFor(uint32_t identifier) {
  AlternateSpotColor spotColor;
  spotColor.channelId = identifier;
  spotColor.color.colorSpace = kColorSpaceLab;
  spotColor.color.components = {12800, 0, 0, 0};
  return spotColor;
}

// The Pascal list keeps the name's own UTF-8 bytes, so a character above U+FFFF stays one
// four-byte sequence there while the Unicode list holds it as a surrogate pair. The strict
// conversion rejects an ill-formed name before anything is stored.
PSDImageResources describeChannels(const std::vector<TiffChannelInfo>& channels,
                                   TextCodec::Surrogates surrogates) {
  PSDImageResources resources;
  resources.displayInfo = std::make_shared<DisplayInfo>();
  resources.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  resources.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  resources.displayInfo->version = kDisplayInfoVersion;
  resources.alternateSpotColors->version = kSpotColorsVersion;
  uint32_t identifier = kFirstAlphaIdentifier;
  for (const TiffChannelInfo& channel : channels) {
    resources.unicodeAlphaNames.push_back(TextCodec::utf8ToUtf16(channel.name, surrogates));
    resources.alphaNames.push_back(channel.name);
    resources.displayInfo->entries.push_back(displayEntryFor(channel.type));
    resources.alphaIdentifiers->identifiers.push_back(identifier);
    if (channel.type == TiffChannelType::SpotColor) {
      resources.alternateSpotColors->colors.push_back(spotColorFor(identifier));
    }
    ++identifier;
  }
  return resources;
}

// A colour replaces the channel's display colour and opacity and, for a spot channel, its
// alternate spot colour, found by the channel's identifier.
void showInColors(const ChannelColors& colors, PSDImageResources& resources) {
  for (size_t i = 0; i < colors.size() && i < resources.displayInfo->entries.size(); ++i) {
    if (!colors[i]) {
      continue;
    }
    resources.displayInfo->entries[i].color = colors[i]->color;
    resources.displayInfo->entries[i].opacity = colors[i]->opacity;
    for (AlternateSpotColor& spotColor : resources.alternateSpotColors->colors) {
      if (spotColor.channelId == resources.alphaIdentifiers->identifiers[i]) {
        spotColor.color = colors[i]->color;
      }
    }
  }
}

}  // namespace

bool TiffPhotoshopTagWriter::write(TIFF* tif, const std::vector<TiffChannelInfo>& channels,
                                   TextCodec::Surrogates surrogates, const ChannelColors& colors) {
  if (channels.empty()) {
    return true;
  }
  PSDImageResources resources = describeChannels(channels, surrogates);
  showInColors(colors, resources);
  const auto psdEncoder = std::make_shared<PSDEncoder>(resources);
  if (!psdEncoder->encode()) {
    moduleLogger().log(kLogError, "[%s] psdEncoder->encode() failed!", kOperation);
    return false;
  }
  const std::vector<uint8_t>& bytes = psdEncoder->bytesStream();
  if (bytes.empty()) {
    moduleLogger().log(kLogError, "[%s] check your code [reason:bytesStream is empty]", kOperation);
    return false;
  }
  if (TIFFSetField(tif, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(bytes.size()), bytes.data()) ==
      0) {
    moduleLogger().log(kLogError, "[%s] TIFFSetField TIFFTAG_PHOTOSHOP tag failed!", kOperation);
    return false;
  }
  return true;
}

}  // namespace orvex
