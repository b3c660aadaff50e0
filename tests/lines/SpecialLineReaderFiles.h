// YCbCr test images written with libtiff, and libtiff's own RGBA decoding of a file as the
// reference for the rows the RGBA line reader delivers.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvex_lines_test {

struct YCbCrSpec {
  uint32_t width = 30;
  uint32_t height = 21;
  uint16_t orientation = ORIENTATION_TOPLEFT;
  /// COMPRESSION_NONE: YCbCr samples without subsampling. COMPRESSION_JPEG: RGB data that
  /// libtiff's codec turns into 2 x 2 subsampled YCbCr.
  uint16_t compression = COMPRESSION_NONE;
  uint16_t bitsPerSample = 8;
  uint32_t rowsPerStrip = 4;
  uint32_t tileWidth = 0;  ///< non-zero: tiles of tileWidth x tileLength
  uint32_t tileLength = 0;
};

void writeYCbCr(const std::string& path, const YCbCrSpec& tiffSpec);

/// The whole image from TIFFReadRGBAImageOriented with `orientation` requested: row 0 first,
/// each row's pixels left to right.
std::vector<uint32_t> libtiffRaster(const std::string& path, uint16_t orientation);

/// The raster pixels as the bytes they occupy in memory (R, G, B, A per pixel).
std::vector<uint8_t> rasterBytes(const uint32_t* pixels, size_t count);

}  // namespace orvex_lines_test
