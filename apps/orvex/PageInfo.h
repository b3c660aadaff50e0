// One directory as the tool sees it: the C interface's page description and channel records,
// held in C++ values the commands can copy and edit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orvex/orvex_c.h"

namespace orvex_cli {

/// A channel's display colour as the file stores it: Photoshop's colour space and encoding.
struct ChannelColor {
  int32_t space = ORVEX_COLOR_SPACE_RGB;  ///< ORVEX_COLOR_SPACE_
  std::array<uint16_t, 4> components{};
  uint16_t opacity = 0;                        ///< 0 to 100
  std::optional<std::array<uint8_t, 3>> srgb;  ///< as the library shows it, when it converts it
};

struct ChannelRecord {
  int32_t kind = ORVEX_CHANNEL_UNSPECIFIED;  ///< ORVEX_CHANNEL_
  std::string name;                          ///< UTF-8
  std::optional<ChannelColor> color;         ///< none when the file gives none
};

struct PageInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t scanlineCount = 0;
  uint16_t bitsPerSample = 0;
  uint16_t samplesPerPixel = 0;
  uint16_t extraSamples = 0;
  bool rowScanlines = true;  ///< false: each scanline is a column (orientations 5 to 8)
  int32_t sampleFormat = ORVEX_SAMPLE_FORMAT_UNKNOWN;
  int32_t photometric = ORVEX_PHOTOMETRIC_UNKNOWN;
  int32_t resolutionUnit = ORVEX_RESOLUTION_UNIT_UNKNOWN;
  float xResolution = 0.0F;
  float yResolution = 0.0F;
  uint32_t rowsPerBlock = 0;  ///< stored rows of a strip or of a row of tiles
  std::vector<uint8_t> iccProfile;
  std::vector<ChannelRecord> channels;  ///< one per extra sample
};

}  // namespace orvex_cli
