#include "SpecialLineReaderFiles.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "LineTestReader.h"

namespace orvex_lines_test {
namespace {

// Smooth enough for JPEG to keep the picture, varied enough that every row and column differs.
uint16_t sampleAt(const YCbCrSpec& tiffSpec, uint32_t x, uint32_t y, uint16_t sample) {
  const uint32_t value = (x * (5 + 2 * sample) + y * (9 - 3 * sample) + 40 * sample) & 0xFF;
  return static_cast<uint16_t>(tiffSpec.bitsPerSample == 16 ? value * 257 : value);
}

// Pixels [x0, x0 + columns) of row y, three samples each, in the file's sample width;
// columns beyond the image are zero.
std::vector<uint8_t> pixelRun(const YCbCrSpec& tiffSpec, uint32_t x0, uint32_t columns,
                              uint32_t y) {
  const size_t sampleBytes = tiffSpec.bitsPerSample / 8;
  std::vector<uint8_t> bytes(size_t{columns} * 3 * sampleBytes, 0);
  for (uint32_t i = 0; i < columns && x0 + i < tiffSpec.width && y < tiffSpec.height; ++i) {
    for (uint16_t s = 0; s < 3; ++s) {
      const uint16_t value = sampleAt(tiffSpec, x0 + i, y, s);
      std::memcpy(&bytes[(size_t{i} * 3 + s) * sampleBytes], &value, sampleBytes);
    }
  }
  return bytes;
}

void setTags(TIFF* tif, const YCbCrSpec& tiffSpec) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, tiffSpec.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, tiffSpec.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, tiffSpec.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, tiffSpec.orientation);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, tiffSpec.compression);
  if (tiffSpec.compression == COMPRESSION_JPEG) {
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  } else {
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
  }
  if (tiffSpec.tileWidth != 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, tiffSpec.tileWidth);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, tiffSpec.tileLength);
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, tiffSpec.rowsPerStrip);
  }
}

void writeTiles(TIFF* tif, const YCbCrSpec& tiffSpec) {
  for (uint32_t y = 0; y < tiffSpec.height; y += tiffSpec.tileLength) {
    for (uint32_t x = 0; x < tiffSpec.width; x += tiffSpec.tileWidth) {
      std::vector<uint8_t> tile;
      for (uint32_t line = 0; line < tiffSpec.tileLength; ++line) {
        const std::vector<uint8_t> run = pixelRun(tiffSpec, x, tiffSpec.tileWidth, y + line);
        tile.insert(tile.end(), run.begin(), run.end());
      }
      if (TIFFWriteTile(tif, tile.data(), x, y, 0, 0) < 0) {
        throw std::runtime_error("TIFFWriteTile failed");
      }
    }
  }
}

void writeRows(TIFF* tif, const YCbCrSpec& tiffSpec) {
  for (uint32_t y = 0; y < tiffSpec.height; ++y) {
    std::vector<uint8_t> row = pixelRun(tiffSpec, 0, tiffSpec.width, y);
    if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) {
      throw std::runtime_error("TIFFWriteScanline failed");
    }
  }
}

}  // namespace

void writeYCbCr(const std::string& path, const YCbCrSpec& tiffSpec) {
  TiffHandle tif(TIFFOpen(path.c_str(), "w"));
  if (!tif) {
    throw std::runtime_error("cannot create " + path);
  }
  setTags(tif.get(), tiffSpec);
  if (tiffSpec.tileWidth != 0) {
    writeTiles(tif.get(), tiffSpec);
  } else {
    writeRows(tif.get(), tiffSpec);
  }
  if (!TIFFWriteDirectory(tif.get())) {
    throw std::runtime_error("TIFFWriteDirectory failed");
  }
}

std::vector<uint32_t> libtiffRaster(const std::string& path, uint16_t orientation) {
  TiffHandle tif = openForReading(path);
  uint32_t width = 0;
  uint32_t height = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  std::vector<uint32_t> raster(size_t{width} * height);
  if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), orientation, 1)) {
    throw std::runtime_error("TIFFReadRGBAImageOriented failed for " + path);
  }
  return raster;
}

std::vector<uint8_t> rasterBytes(const uint32_t* pixels, size_t count) {
  std::vector<uint8_t> bytes(count * 4);
  std::memcpy(bytes.data(), pixels, bytes.size());
  return bytes;
}

}  // namespace orvex_lines_test
