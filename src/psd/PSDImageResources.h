// The channel-related Photoshop image resources, as decoded from tag 34377 and as encoded
// into it: channel names, their identifiers, alternate spot colours and display info.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

/// "8BIM" read as a big-endian word: the mark in front of every resource.
constexpr uint32_t kPSDResourceSignature = 0x3842494D;

/// The resources that describe extra channels; every other ID is passed over.
enum PSDResourceId : uint16_t {
  kPSDAlphaNames = 1006,         ///< Pascal strings
  kPSDUnicodeAlphaNames = 1045,  ///< counted big-endian UTF-16 strings
  kPSDAlphaIdentifiers = 1053,
  kPSDAlternateSpotColors = 1067,
  kPSDDisplayInfo = 1077,
};

struct PSDColor {
  uint16_t colorSpace = 0;  ///< Photoshop colour-space ID: 0 RGB, 7 Lab
  std::array<uint16_t, 4> components{};
};

struct AlphaIdentifiers {
  std::vector<uint32_t> identifiers;  ///< one per extra channel, in channel order
};

struct AlternateSpotColor {
  uint32_t channelId = 0;  ///< an entry of AlphaIdentifiers
  PSDColor color;
};

struct AlternateSpotColors {
  uint16_t version = 0;
  std::vector<AlternateSpotColor> colors;
};

struct ChannelDisplayInfo {
  PSDColor color;
  uint16_t opacity = 0;  ///< 0 to 100
  uint8_t kind = 0;      ///< 2 marks a spot channel
};

struct DisplayInfo {
  uint32_t version = 0;
  std::vector<ChannelDisplayInfo> entries;
};

/// Null records mean the block had no such resource; the records are shared so that they
/// can outlive the decoder that produced them.
struct PSDImageResources {
  std::vector<std::string> alphaNames;  ///< bytes as stored, no character-set conversion
  std::vector<std::u16string> unicodeAlphaNames;
  std::shared_ptr<DisplayInfo> displayInfo;
  std::shared_ptr<AlphaIdentifiers> alphaIdentifiers;
  std::shared_ptr<AlternateSpotColors> alternateSpotColors;
};

}  // namespace orvex
