#include "psd/PSDDecoder.h"

namespace orvex {
namespace {

constexpr size_t kSignatureBytes = 4;
constexpr size_t kIdAndNameLengthBytes = 3;
constexpr size_t kDataSizeBytes = 4;
constexpr size_t kUnitCountBytes = 4;
constexpr size_t kUnitBytes = 2;
constexpr size_t kIdentifierBytes = 4;
constexpr size_t kSpotColorsHeaderBytes = 4;
constexpr size_t kSpotColorBytes = 14;
constexpr size_t kDisplayVersionBytes = 4;
constexpr size_t kDisplayEntryBytes = 13;

PSDColor readColor(BigEndianReader& data) {
  PSDColor color;
  color.colorSpace = data.readU16();
  for (uint16_t& component : color.components) {
    component = data.readU16();
  }
  return color;
}

// Writers end each name with a zero unit and count it; anything after the first zero is
// not part of the name either.
std::u16string readUnitsUpToZero(BigEndianReader& data, uint32_t unitCount) {
  std::u16string units;
  units.reserve(unitCount);
  for (uint32_t i = 0; i < unitCount; ++i) {
    units.push_back(static_cast<char16_t>(data.readU16()));
  }
  return units.substr(0, units.find(u'\0'));
}

}  // namespace

bool PSDDecoder::readImageResources(const uint8_t* data, uint32_t size) {
  BigEndianReader block(data, data == nullptr ? 0 : size);
  // Words without the signature are stepped over one at a time: the format gives no other
  // way to find the next resource.
  while (block.fits(kSignatureBytes)) {
    if (block.readU32() == kPSDResourceSignature && !readNextResource(block)) {
      break;
    }
  }
  return true;
}

// A resource whose header or data runs past the block cannot be delimited, so nothing
// after it can be trusted either: false ends the walk.
bool PSDDecoder::readNextResource(BigEndianReader& block) {
  if (!block.fits(kIdAndNameLengthBytes)) {
    return false;
  }
  const uint16_t resourceId = block.readU16();
  const size_t nameLength = block.readU8();
  // Length byte and name together take an even number of bytes.
  const size_t paddedNameLength = nameLength % 2 == 0 ? nameLength + 1 : nameLength;
  if (!block.fits(paddedNameLength + kDataSizeBytes)) {
    return false;
  }
  block.skip(paddedNameLength);
  const uint32_t dataSize = block.readU32();
  if (!block.fits(dataSize)) {
    return false;
  }
  readImageResource(resourceId, block.readBytes(dataSize), dataSize);
  block.skip(dataSize % 2);
  return true;
}

bool PSDDecoder::readImageResource(uint16_t resourceId, const uint8_t* data, uint32_t size) {
  BigEndianReader resource(data, data == nullptr ? 0 : size);
  switch (resourceId) {
    case kPSDAlphaNames:
      readAlphaNames(resource);
      break;
    case kPSDUnicodeAlphaNames:
      readUnicodeAlphaNames(resource);
      break;
    case kPSDAlphaIdentifiers:
      readAlphaIdentifiers(resource);
      break;
    case kPSDAlternateSpotColors:
      readAlternateSpotColors(resource);
      break;
    case kPSDDisplayInfo:
      readDisplayInfo(resource);
      break;
    default:
      break;
  }
  return true;
}

void PSDDecoder::readAlphaNames(BigEndianReader& data) {
  while (data.fits(1)) {
    const size_t length = data.readU8();
    if (!data.fits(length)) {
      return;
    }
    const auto* name = reinterpret_cast<const char*>(data.readBytes(length));
    resources_.alphaNames.emplace_back(name, length);
  }
}

void PSDDecoder::readUnicodeAlphaNames(BigEndianReader& data) {
  while (data.fits(kUnitCountBytes)) {
    const uint32_t unitCount = data.readU32();
    if (data.remaining() / kUnitBytes < unitCount) {
      return;
    }
    resources_.unicodeAlphaNames.push_back(readUnitsUpToZero(data, unitCount));
  }
}

// The three records below are replaced before anything is read, so that the last resource
// of an ID wins and an empty resource still leaves an (empty) record.
void PSDDecoder::readAlphaIdentifiers(BigEndianReader& data) {
  resources_.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  auto& identifiers = resources_.alphaIdentifiers->identifiers;
  identifiers.reserve(data.remaining() / kIdentifierBytes);
  while (data.fits(kIdentifierBytes)) {
    identifiers.push_back(data.readU32());
  }
}

void PSDDecoder::readAlternateSpotColors(BigEndianReader& data) {
  resources_.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  AlternateSpotColors& spotColors = *resources_.alternateSpotColors;
  if (!data.fits(kSpotColorsHeaderBytes)) {
    return;
  }
  spotColors.version = data.readU16();
  const uint16_t count = data.readU16();
  for (uint16_t i = 0; i < count && data.fits(kSpotColorBytes); ++i) {
    AlternateSpotColor spotColor;
    spotColor.channelId = data.readU32();
    spotColor.color = readColor(data);
    spotColors.colors.push_back(spotColor);
  }
}

void PSDDecoder::readDisplayInfo(BigEndianReader& data) {
  resources_.displayInfo = std::make_shared<DisplayInfo>();
  DisplayInfo& displayInfo = *resources_.displayInfo;
  if (!data.fits(kDisplayVersionBytes)) {
    return;
  }
  displayInfo.version = data.readU32();
  while (data.fits(kDisplayEntryBytes)) {
    ChannelDisplayInfo entry;
    entry.color = readColor(data);
    entry.opacity = data.readU16();
    entry.kind = data.readU8();
    displayInfo.entries.push_back(entry);
  }
}

}  // namespace orvex
