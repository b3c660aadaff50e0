// The tags of one image directory, after the library's defaults for missing optional tags:
// read once when the directory is selected, and the one description the line reader, its
// adjuster and the reader's getImageInfo work from.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex {

/// Filled by TiffHelper::readTiffInfo; the initial values are what a record holds before
/// any directory was read, and are kept by fields a failed read never reached.
struct TiffInfo {
  uint16_t numberOfDirectories_ = 0;
  uint16_t dirIndex_ = 0;
  uint32_t imagewidth_ = 0;
  uint32_t imagelength_ = 0;
  uint16_t bitspersample_ = 0;
  uint16_t samplesperpixel_ = 0;
  uint16_t extrasamples_ = 0;
  std::vector<uint16_t> extrasamplesinfo_;  ///< one ExtraSamples kind per extra sample
  uint16_t sampleformat_ = 1;
  uint16_t photometric_ = 0xFFFF;
  uint16_t compression_ = 0xFFFF;
  uint16_t planarconfig_ = 0xFFFF;
  uint16_t orientation_ = 0xFFFF;
  float xresolution_ = 72.0f;
  float yresolution_ = 72.0f;
  uint16_t resolutionunit_ = 2;
  uint16_t fillorder_ = 2;
  bool isTiled_ = false;
  uint32_t rowsperstrip_ = 0;  ///< strip images only
  uint32_t tilewidth_ = 0;     ///< tiled images only
  uint32_t tilelength_ = 0;    ///< tiled images only
  uint16_t inkset_ = 0xFFFF;   ///< InkSet, with libtiff's default
  /// The warnings of the defaults assumed while reading, in order; each is logged with
  /// `extrasamples_` as its one argument, which only the missing-kinds warning uses.
  std::vector<const char*> assumedDefaults_;
};

}  // namespace orvex
