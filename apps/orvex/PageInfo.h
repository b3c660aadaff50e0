// One directory as the tool sees it: the C interface's page description and channel records,
// held in C++ values the commands can copy and edit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvex/orvex_c.h"

namespace orvex_cli {

struct ChannelRecord {
  int32_t kind = ORVEX_CHANNEL_UNSPECIFIED;  ///< ORVEX_CHANNEL_
  std::string name;                          ///< UTF-8
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
