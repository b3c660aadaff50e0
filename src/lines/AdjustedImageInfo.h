// The rows of one directory as the host receives them, published by the line adjuster.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex {

struct AdjustedImageInfo {
  /// Delivered width and length: for orientations 5 to 8 the file's length and width.
  uint32_t outputWidth_ = 0;
  uint32_t outputLength_ = 0;
  uint32_t imagelength_ = 0;  ///< as stored in the file
  uint16_t bitspersample_ = 0;
  uint16_t samplesperpixel_ = 0;
  uint16_t extrasamples_ = 0;
  std::vector<uint16_t> extrasamplesinfo_;
  uint16_t sampleformat_ = 1;
  uint16_t photometric_ = 0;
  uint16_t planarconfig_ = 0xFFFF;
  /// Exchanged for orientations 5 to 8, in the unit below.
  float xresolution_ = 72.0f;
  float yresolution_ = 72.0f;
  uint16_t resolutionunit_ = 2;
};

}  // namespace orvex
