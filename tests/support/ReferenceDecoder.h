// What a host must receive from a directory of any TIFF file, worked out without the library:
// the stored samples decoded with libtiff's plain strip, tile and RGBA reading, then the rules
// of delivered scanlines (orientation, sub-byte packing, palette and YCbCr;
// docs/reference/cpp.rst).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orvex/TiffImageInfo.h"

namespace orvex_test {

using Scanline = std::vector<uint8_t>;

struct ReferenceDirectory {
  /// The description, channels from ExtraSamples alone (names empty, no spot colours).
  TiffImageInfo info;
  bool rowScanlines = true;
  std::vector<Scanline> scanlines;                      ///< every sample of each pixel
  std::vector<std::vector<Scanline>> channelScanlines;  ///< [channel][scanline]
  /// Every sample of the upright picture (columns put back as rows), row by row, in a word each.
  std::vector<uint64_t> picture;
};

/// Directory `dir` of the file at `path`. Throws std::runtime_error for what it does not model:
/// depths other than 1, 2, 4 and multiples of 8 (palettes: 1, 2, 4, 8, 16), or data libtiff
/// cannot decode.
ReferenceDirectory referenceOf(const std::string& path, uint16_t dir = 0);

}  // namespace orvex_test
