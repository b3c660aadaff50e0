// The channel-related Photoshop image resources, as decoded from tag 34377 and as encoded
// into it: channel names, their identifiers, alternate spot colours and display info.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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

/// The colour spaces of a PSDColor that the library knows; files may carry others.
enum PSDColorSpace : uint16_t {
  kPSDColorRgb = 0,   ///< 0 to 65535 each
  kPSDColorHsb = 1,   ///< hue 0 to 65535 for 0 to 360 degrees, saturation, brightness
  kPSDColorCmyk = 2,  ///< 0 (full ink) to 65535 (none) each
  kPSDColorLab = 7,   ///< L* x 100 (0 to 10000); a*, b* x 100, two's complement
  kPSDColorGrey = 8,  ///< grey ink, 0 (white) to 10000 (black)
};

struct PSDColor {
  uint16_t colorSpace = 0;  ///< Photoshop colour-space ID: 0 RGB, 1 HSB, 2 CMYK, 7 Lab, 8 grey
  std::array<uint16_t, 4> components{};
};

/// How an extra channel is shown: the alternate spot colour of a spot channel, else its
/// display colour, and its display opacity.
struct ChannelColor {
  PSDColor color;
  uint16_t opacity = 0;  ///< 0 to 100
};

/// One per extra channel; empty where the resources give the channel no colour (reading) or
/// the host gave none (writing).
using ChannelColors = std::vector<std::optional<ChannelColor>>;

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
