#include "BenchImage.h"

#include <algorithm>
#include <vector>

#include "SmoothContent.h"

namespace orvex_bench {
namespace {

// Stored rows, plane after plane: plane p of a row holds sample p of each pixel. The content
// is drawn in that order, so each plane's noise differs.
std::vector<uint8_t> smoothImage(const TiffSetup& image) {
  const size_t rowBytes = orvex_test::storedRowBytes(image);
  const bool separate = image.planar == PLANARCONFIG_SEPARATE;
  const size_t sampleBytes = image.bitsPerSample / 8;
  const size_t pixelBytes = sampleBytes * image.samplesPerPixel;
  std::vector<uint8_t> stored(rowBytes * image.height * orvex_test::storedPlaneCount(image));
  std::vector<uint8_t> pixels(size_t{image.width} * pixelBytes);
  SmoothContent content(image.width, image.height);
  uint8_t* out = stored.data();
  for (uint16_t plane = 0; plane < orvex_test::storedPlaneCount(image); ++plane) {
    for (uint32_t y = 0; y < image.height; ++y, out += rowBytes) {
      if (image.bitsPerSample == 1) {
        content.row1(y, out);
        continue;
      }
      uint8_t* row = separate ? pixels.data() : out;
      if (image.bitsPerSample == 16) {
        content.row16(y, image.samplesPerPixel, reinterpret_cast<uint16_t*>(row));
      } else {
        content.row8(y, image.samplesPerPixel, row);
      }
      for (uint32_t x = 0; separate && x < image.width; ++x) {
        std::copy_n(row + x * pixelBytes + plane * sampleBytes, sampleBytes, out + x * sampleBytes);
      }
    }
  }
  return stored;
}

}  // namespace

TiffSetup benchImage() {
  TiffSetup image;
  image.width = 4096;
  image.height = 4096;
  image.samplesPerPixel = 3;
  image.photometric = PHOTOMETRIC_RGB;
  image.compression = COMPRESSION_LZW;
  image.orientation = ORIENTATION_TOPLEFT;
  image.rowsPerStrip = 16;
  return image;
}

uint64_t rawBytesOf(const TiffSetup& image) {
  return uint64_t{orvex_test::storedRowBytes(image)} * image.height *
         orvex_test::storedPlaneCount(image);
}

void writeBenchImage(const std::string& path, const TiffSetup& image) {
  orvex_test::writeTiff(path, image, smoothImage(image));
}

}  // namespace orvex_bench
