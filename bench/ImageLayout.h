// How one generated benchmark image is stored.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace orvex_bench {

struct ImageLayout {
  uint32_t width = 4096;
  uint32_t height = 4096;
  uint16_t bitsPerSample = 8;
  uint16_t samplesPerPixel = 3;
  uint16_t photometric = PHOTOMETRIC_RGB;
  uint16_t planarConfig = PLANARCONFIG_CONTIG;
  uint16_t compression = COMPRESSION_LZW;
  uint16_t orientation = ORIENTATION_TOPLEFT;
  /// 16 rows: the smallest strip height JPEG with 2 x 2 subsampling allows, and a common one.
  uint32_t rowsPerStrip = 16;
  /// Square tiles of this size when non-zero, strips otherwise.
  uint32_t tileSize = 0;
  /// One unassociated alpha sample at the end when true.
  bool alpha = false;

  uint16_t planes() const { return planarConfig == PLANARCONFIG_SEPARATE ? samplesPerPixel : 1; }
  /// Bytes of one stored row of one plane.
  uint64_t planeRowBytes() const;
  /// Bytes of the whole image as stored uncompressed.
  uint64_t rawBytes() const;
};

/// Writes a TIFF of `layout` with smooth content through libtiff; throws std::runtime_error.
void writeBenchImage(const char* path, const ImageLayout& layout);

}  // namespace orvex_bench
