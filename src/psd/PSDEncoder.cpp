#include "psd/PSDEncoder.h"

#include <algorithm>

namespace orvex {
namespace {

constexpr uint32_t kMaxPascalLength = 255;
constexpr uint32_t kUnitCountBytes = 4;
constexpr uint32_t kUnitBytes = 2;
constexpr uint32_t kIdentifierBytes = 4;
constexpr uint32_t kDisplayVersionBytes = 4;
constexpr uint32_t kDisplayEntryBytes = 13;
constexpr uint32_t kSpotColorsHeaderBytes = 4;
constexpr uint32_t kSpotColorBytes = 14;
// Readers of the format know only version 1 of the alternate spot colours.
constexpr uint16_t kSpotColorsVersion = 1;

// The whole name still reaches resource 1045; a cut here may split a UTF-8 sequence.
uint32_t pascalLength(const std::string& name) {
  return static_cast<uint32_t>(std::min<size_t>(name.size(), kMaxPascalLength));
}

void writeColor(BigEndianWriter& out, const PSDColor& color) {
  out.writeU16(color.colorSpace);
  for (uint16_t component : color.components) {
    out.writeU16(component);
  }
}

}  // namespace

bool PSDEncoder::encode() {
  bytesStream_.clear();
  if (!resources_.alphaNames.empty()) {
    appendAlphaNames();
  }
  if (!resources_.unicodeAlphaNames.empty()) {
    appendUnicodeAlphaNames();
  }
  if (resources_.displayInfo && !resources_.displayInfo->entries.empty()) {
    appendDisplayInfo();
  }
  if (resources_.alphaIdentifiers && !resources_.alphaIdentifiers->identifiers.empty()) {
    appendAlphaIdentifiers();
  }
  if (resources_.alternateSpotColors && !resources_.alternateSpotColors->colors.empty()) {
    appendAlternateSpotColors();
  }
  return true;
}

template <typename WriteData>
void PSDEncoder::appendResource(uint16_t resourceId, uint32_t dataSize, WriteData writeData) {
  BigEndianWriter out(bytesStream_);
  out.writeU32(kPSDResourceSignature);
  out.writeU16(resourceId);
  out.writeU16(0);  // empty Pascal name: its length byte and the pad byte
  out.writeU32(dataSize);
  writeData(out);
  if (dataSize % 2 != 0) {
    out.writeU8(0);
  }
}

void PSDEncoder::appendAlphaNames() {
  const auto& names = resources_.alphaNames;
  uint32_t dataSize = 0;
  for (const std::string& name : names) {
    dataSize += 1 + pascalLength(name);
  }
  appendResource(kPSDAlphaNames, dataSize, [&names](BigEndianWriter& out) {
    for (const std::string& name : names) {
      const uint32_t length = pascalLength(name);
      out.writeU8(static_cast<uint8_t>(length));
      out.writeBytes(name.data(), length);
    }
  });
}

void PSDEncoder::appendUnicodeAlphaNames() {
  const auto& names = resources_.unicodeAlphaNames;
  uint32_t dataSize = 0;
  for (const std::u16string& name : names) {
    dataSize += kUnitCountBytes + kUnitBytes * (static_cast<uint32_t>(name.size()) + 1);
  }
  appendResource(kPSDUnicodeAlphaNames, dataSize, [&names](BigEndianWriter& out) {
    for (const std::u16string& name : names) {
      out.writeU32(static_cast<uint32_t>(name.size()) + 1);  // the terminator is counted
      for (char16_t unit : name) {
        out.writeU16(unit);
      }
      out.writeU16(0);
    }
  });
}

void PSDEncoder::appendDisplayInfo() {
  const DisplayInfo& displayInfo = *resources_.displayInfo;
  const auto entryCount = static_cast<uint32_t>(displayInfo.entries.size());
  appendResource(kPSDDisplayInfo, kDisplayVersionBytes + kDisplayEntryBytes * entryCount,
                 [&displayInfo](BigEndianWriter& out) {
                   out.writeU32(displayInfo.version);
                   for (const ChannelDisplayInfo& entry : displayInfo.entries) {
                     writeColor(out, entry.color);
                     out.writeU16(entry.opacity);
                     out.writeU8(entry.kind);
                   }
                 });
}

void PSDEncoder::appendAlphaIdentifiers() {
  const auto& identifiers = resources_.alphaIdentifiers->identifiers;
  const auto count = static_cast<uint32_t>(identifiers.size());
  appendResource(kPSDAlphaIdentifiers, kIdentifierBytes * count,
                 [&identifiers](BigEndianWriter& out) {
                   for (uint32_t identifier : identifiers) {
                     out.writeU32(identifier);
                   }
                 });
}

void PSDEncoder::appendAlternateSpotColors() {
  const auto& colors = resources_.alternateSpotColors->colors;
  const auto count = static_cast<uint32_t>(colors.size());
  appendResource(kPSDAlternateSpotColors, kSpotColorsHeaderBytes + kSpotColorBytes * count,
                 [&colors, count](BigEndianWriter& out) {
                   out.writeU16(kSpotColorsVersion);
                   out.writeU16(static_cast<uint16_t>(count));
                   for (const AlternateSpotColor& spotColor : colors) {
                     out.writeU32(spotColor.channelId);
                     writeColor(out, spotColor.color);
                   }
                 });
}

}  // namespace orvex
