#include "BenchCases.h"

#include <algorithm>
#include <stdexcept>

#include "LibraryReads.h"
#include "RawReads.h"

namespace orvex_bench {
namespace {

ImageLayout rgb8(uint16_t compression) {
  ImageLayout layout;
  layout.compression = compression;
  return layout;
}

ImageLayout rgb8Tiles() {
  ImageLayout layout;
  layout.tileSize = 256;
  return layout;
}

ImageLayout rgba16Planes() {
  ImageLayout layout;
  layout.bitsPerSample = 16;
  layout.samplesPerPixel = 4;
  layout.alpha = true;
  layout.planarConfig = PLANARCONFIG_SEPARATE;
  return layout;
}

ImageLayout grey1Mirrored() {
  ImageLayout layout;
  layout.bitsPerSample = 1;
  layout.samplesPerPixel = 1;
  layout.photometric = PHOTOMETRIC_MINISBLACK;
  layout.orientation = ORIENTATION_TOPRIGHT;
  return layout;
}

ImageLayout palette8() {
  ImageLayout layout;
  layout.samplesPerPixel = 1;
  layout.photometric = PHOTOMETRIC_PALETTE;
  return layout;
}

ImageLayout rgb8Columns() {
  ImageLayout layout;
  layout.orientation = ORIENTATION_RIGHTTOP;
  return layout;
}

ImageLayout ycbcrJpeg() {
  ImageLayout layout;
  layout.photometric = PHOTOMETRIC_YCBCR;
  layout.compression = COMPRESSION_JPEG;
  return layout;
}

ImageLayout cmyk8() {
  ImageLayout layout;
  layout.samplesPerPixel = 4;
  layout.photometric = PHOTOMETRIC_SEPARATED;
  return layout;
}

std::vector<ReadCase> makeReadCases() {
  std::vector<ReadCase> cases = {
      {"rgb8_strips_none", "RGB 8-bit strips, uncompressed", rgb8(COMPRESSION_NONE),
       kUncompressedTarget, readRowsThroughLibrary, readStripRowsWithLibtiff},
      {"rgb8_strips_lzw", "RGB 8-bit strips, LZW", rgb8(COMPRESSION_LZW), kCompressedTarget,
       readRowsThroughLibrary, readStripRowsWithLibtiff},
      {"rgb8_tiles_lzw", "RGB 8-bit 256 x 256 tiles, LZW", rgb8Tiles(), kCompressedTarget,
       readRowsThroughLibrary, readTileRowsWithLibtiff},
      {"rgba16_planes_lzw", "RGBA 16-bit separate planes, LZW, read interleaved", rgba16Planes(),
       kTransformationTarget, readRowsThroughLibrary, readPlanesInterleavedWithLibtiff},
      {"grey1_mirrored_lzw", "grey 1-bit, orientation 2 (mirrored), LZW", grey1Mirrored(),
       kTransformationTarget, readRowsThroughLibrary, readMirroredBitRowsWithLibtiff},
      {"palette8_lzw", "palette 8-bit to 16-bit RGB, LZW", palette8(), kTransformationTarget,
       readRowsThroughLibrary, readPaletteRowsWithLibtiff},
      // Orientation 6 only changes the order of whole stored rows: no per-pixel work.
      {"rgb8_columns_lzw", "RGB 8-bit, orientation 6 (columns), LZW", rgb8Columns(),
       kCompressedTarget, readRowsThroughLibrary, readStripRowsLastFirstWithLibtiff},
      {"ycbcr_jpeg", "YCbCr 4:2:0 JPEG, vs TIFFReadRGBAStrip", ycbcrJpeg(), kCompressedTarget,
       readRowsThroughLibrary, readRgbaStripRowsWithLibtiff, true},
      {"cmyk8_channels_lzw", "CMYK 8-bit, LZW, per-channel reads", cmyk8(), kTransformationTarget,
       readChannelsThroughLibrary, readChannelsWithLibtiff},
  };
  return cases;
}

}  // namespace

uint64_t ReadCase::cacheBytes() const {
  const ImageLayout& l = layout;
  if (viaRgba) {
    return uint64_t{l.width} * std::min(l.rowsPerStrip, l.height) * 4;
  }
  if (l.tileSize == 0) {
    return l.planeRowBytes() * std::min(l.rowsPerStrip, l.height) * l.planes();
  }
  const uint64_t tilesAcross = (l.width + l.tileSize - 1) / l.tileSize;
  const uint64_t tileRowBytes = l.planeRowBytes() * l.tileSize / l.width;
  return tileRowBytes * l.tileSize * tilesAcross * l.planes();
}

uint64_t ReadCase::memoryBudgetBytes() const {
  return cacheBytes() * 12 / 10 + (uint64_t{1} << 20);
}

const std::vector<ReadCase>& readCases() {
  static const std::vector<ReadCase> cases = makeReadCases();
  return cases;
}

const ReadCase& readCaseNamed(const std::string& name) {
  for (const ReadCase& c : readCases()) {
    if (name == c.name) {
      return c;
    }
  }
  throw std::invalid_argument("no benchmark case " + name);
}

const WriteCase& writeCase() {
  static const WriteCase theCase{"writer_rgba8_lzw", "writer: RGB + alpha 8-bit, LZW strips", 4096,
                                 4096, kWriterTarget};
  return theCase;
}

}  // namespace orvex_bench
