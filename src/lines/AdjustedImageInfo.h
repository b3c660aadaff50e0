// What the line adjuster decides about the rows the host receives: their geometry after the
// orientation, and the samples they carry. Everything else of the directory's description
// reaches the host unchanged from the line reader's record.
#pragma once

#include <cstdint>

namespace orvex {

struct AdjustedImageInfo {
  /// Delivered width and length: for orientations 5 to 8 the file's length and width.
  uint32_t outputWidth_ = 0;
  uint32_t outputLength_ = 0;
  uint16_t bitspersample_ = 0;
  uint16_t samplesperpixel_ = 0;
  uint16_t sampleformat_ = 1;
  uint16_t photometric_ = 0;
  uint16_t planarconfig_ = 0xFFFF;
  /// Exchanged for orientations 5 to 8, in the unit below.
  float xresolution_ = 72.0f;
  float yresolution_ = 72.0f;
  uint16_t resolutionunit_ = 2;
};

}  // namespace orvex
