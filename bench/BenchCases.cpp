#include "BenchCases.h"

#include <algorithm>
#include <stdexcept>

#include "CInterfaceReads.h"
#include "LibraryReads.h"
#include "RawReads.h"

namespace orvex_bench {
namespace {

TiffSetup rgb8(uint16_t compression) {
  TiffSetup image = benchImage();
  image.compression = compression;
  return image;
}

TiffSetup rgb8Tiles() {
  TiffSetup image = benchImage();
  image.tileWidth = image.tileLength = 256;
  return image;
}

TiffSetup rgba16Planes() {
  TiffSetup image = benchImage();
  image.bitsPerSample = 16;
  image.samplesPerPixel = 4;
  image.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  image.planar = PLANARCONFIG_SEPARATE;
  return image;
}

TiffSetup grey1Mirrored() {
  TiffSetup image = benchImage();
  image.bitsPerSample = 1;
  image.samplesPerPixel = 1;
  image.photometric = PHOTOMETRIC_MINISBLACK;
  image.orientation = ORIENTATION_TOPRIGHT;
  return image;
}

// Sixteen-bit map values, as TIFF writers store them, so rows come out as 16-bit RGB.
TiffSetup palette8() {
  TiffSetup image = benchImage();
  image.samplesPerPixel = 1;
  image.photometric = PHOTOMETRIC_PALETTE;
  image.colorMap.resize(3 * 256);
  for (unsigned i = 0; i < 256; ++i) {
    image.colorMap[i] = static_cast<uint16_t>(i * 257);
    image.colorMap[256 + i] = static_cast<uint16_t>((255 - i) * 257);
    image.colorMap[512 + i] = static_cast<uint16_t>((i * 7 & 255) * 257);
  }
  return image;
}

TiffSetup rgb8Columns() {
  TiffSetup image = benchImage();
  image.orientation = ORIENTATION_RIGHTTOP;
  return image;
}

// libtiff takes RGB rows and converts them to subsampled YCbCr itself.
TiffSetup ycbcrJpeg() {
  TiffSetup image = benchImage();
  image.photometric = PHOTOMETRIC_YCBCR;
  image.compression = COMPRESSION_JPEG;
  image.ycbcrSubsampling = std::make_pair(2, 2);
  image.jpegQuality = 90;
  image.jpegColorMode = JPEGCOLORMODE_RGB;
  return image;
}

TiffSetup cmyk8() {
  TiffSetup image = benchImage();
  image.samplesPerPixel = 4;
  image.photometric = PHOTOMETRIC_SEPARATED;
  return image;
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
  for (ReadCase& c : cases) {
    c.cInterface = c.library == readChannelsThroughLibrary ? readChannelsThroughCInterface
                                                           : readRowsThroughCInterface;
  }
  return cases;
}

}  // namespace

uint64_t ReadCase::cacheBytes() const {
  const TiffSetup& l = image;
  const uint64_t planes = orvex_test::storedPlaneCount(l);
  const uint64_t rowBytes = orvex_test::storedRowBytes(l);
  if (viaRgba) {
    return uint64_t{l.width} * std::min(l.rowsPerStrip, l.height) * 4;
  }
  if (l.tileWidth == 0) {
    return rowBytes * std::min(l.rowsPerStrip, l.height) * planes;
  }
  const uint64_t tilesAcross = (l.width + l.tileWidth - 1) / l.tileWidth;
  const uint64_t tileRowBytes = rowBytes * l.tileWidth / l.width;
  return tileRowBytes * l.tileLength * tilesAcross * planes;
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
