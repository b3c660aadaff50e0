#include "RawReads.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "TiffHandle.h"

namespace orvex_bench {
namespace {

// Without memory mapping, as the library opens files. Mapping made no measurable difference
// to the times here, and mapped file pages would count in the resident set that the memory
// rows compare.
constexpr const char* kReadMode = "rm";

template <typename T>
T field(TIFF* tif, ttag_t tag) {
  T value{};
  TIFFGetFieldDefaulted(tif, tag, &value);
  return value;
}

// One decoded strip per plane, decoded when a row of another strip is asked for.
class StripCache {
public:
  explicit StripCache(TIFF* tif)
      : tif_(tif),
        rowsPerStrip_(std::min(field<uint32_t>(tif, TIFFTAG_ROWSPERSTRIP),
                               field<uint32_t>(tif, TIFFTAG_IMAGELENGTH))),
        rowBytes_(static_cast<size_t>(TIFFScanlineSize64(tif))) {
    const bool separate = field<uint16_t>(tif, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE;
    const size_t planes = separate ? field<uint16_t>(tif, TIFFTAG_SAMPLESPERPIXEL) : 1;
    strips_.assign(planes, std::vector<uint8_t>(static_cast<size_t>(TIFFStripSize64(tif))));
    cachedStrip_.assign(planes, kNone);
  }

  const uint8_t* row(uint32_t y, uint16_t plane = 0) {
    const uint32_t strip = TIFFComputeStrip(tif_, y, plane);
    std::vector<uint8_t>& buffer = strips_[plane];
    if (cachedStrip_[plane] != strip) {
      if (TIFFReadEncodedStrip(tif_, strip, buffer.data(), static_cast<tmsize_t>(buffer.size())) <
          0) {
        throw std::runtime_error("TIFFReadEncodedStrip failed");
      }
      cachedStrip_[plane] = strip;
    }
    return buffer.data() + size_t{y % rowsPerStrip_} * rowBytes_;
  }

  size_t rowBytes() const { return rowBytes_; }

private:
  static constexpr uint32_t kNone = 0xFFFFFFFF;
  TIFF* tif_;
  uint32_t rowsPerStrip_;
  size_t rowBytes_;
  std::vector<std::vector<uint8_t>> strips_;
  std::vector<uint32_t> cachedStrip_;
};

template <typename Order>
void copyStripRows(const char* path, RowSink& sink, Order rowAt) {
  TiffHandle tif(path, kReadMode);
  StripCache strips(tif.get());
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  std::vector<uint8_t> row(strips.rowBytes());
  for (uint32_t i = 0; i < height; ++i) {
    std::memcpy(row.data(), strips.row(rowAt(i, height)), row.size());
    sink.take(row.data(), row.size());
  }
}

}  // namespace

void readStripRowsWithLibtiff(const char* path, RowSink& sink) {
  copyStripRows(path, sink, [](uint32_t i, uint32_t) { return i; });
}

void readStripRowsLastFirstWithLibtiff(const char* path, RowSink& sink) {
  copyStripRows(path, sink, [](uint32_t i, uint32_t height) { return height - 1 - i; });
}

void readTileRowsWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle handle(path, kReadMode);
  TIFF* tif = handle.get();
  const uint32_t width = field<uint32_t>(tif, TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif, TIFFTAG_IMAGELENGTH);
  const uint32_t tileWidth = field<uint32_t>(tif, TIFFTAG_TILEWIDTH);
  const uint32_t tileLength = field<uint32_t>(tif, TIFFTAG_TILELENGTH);
  const size_t tileBytes = static_cast<size_t>(TIFFTileSize64(tif));
  const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize64(tif));
  const size_t pixelBytes = tileRowBytes / tileWidth;
  const uint32_t across = (width + tileWidth - 1) / tileWidth;
  std::vector<uint8_t> tiles(tileBytes * across);
  std::vector<uint8_t> row(size_t{width} * pixelBytes);
  for (uint32_t y0 = 0; y0 < height; y0 += tileLength) {
    for (uint32_t t = 0; t < across; ++t) {
      if (TIFFReadTile(tif, tiles.data() + t * tileBytes, t * tileWidth, y0, 0, 0) < 0) {
        throw std::runtime_error("TIFFReadTile failed");
      }
    }
    for (uint32_t k = 0; k < tileLength && y0 + k < height; ++k) {
      for (uint32_t t = 0; t < across; ++t) {
        const size_t start = size_t{t} * tileWidth * pixelBytes;
        std::memcpy(row.data() + start, tiles.data() + t * tileBytes + k * tileRowBytes,
                    std::min(tileRowBytes, row.size() - start));
      }
      sink.take(row.data(), row.size());
    }
  }
}

void readPlanesInterleavedWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle tif(path, kReadMode);
  StripCache strips(tif.get());
  const uint32_t width = field<uint32_t>(tif.get(), TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  const uint16_t planes = field<uint16_t>(tif.get(), TIFFTAG_SAMPLESPERPIXEL);
  std::vector<uint16_t> row(size_t{width} * planes);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint16_t p = 0; p < planes; ++p) {
      const uint16_t* plane = reinterpret_cast<const uint16_t*>(strips.row(y, p));
      for (uint32_t x = 0; x < width; ++x) {
        row[size_t{x} * planes + p] = plane[x];
      }
    }
    sink.take(reinterpret_cast<const uint8_t*>(row.data()), row.size() * sizeof(uint16_t));
  }
}

void readMirroredBitRowsWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle tif(path, kReadMode);
  StripCache strips(tif.get());
  const uint32_t width = field<uint32_t>(tif.get(), TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  std::vector<uint8_t> row(strips.rowBytes());
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* stored = strips.row(y);
    std::fill(row.begin(), row.end(), 0);
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t from = width - 1 - x;
      if ((stored[from / 8] & 0x80 >> (from % 8)) != 0) {
        row[x / 8] = static_cast<uint8_t>(row[x / 8] | 0x80 >> (x % 8));
      }
    }
    sink.take(row.data(), row.size());
  }
}

void readPaletteRowsWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle tif(path, kReadMode);
  StripCache strips(tif.get());
  const uint32_t width = field<uint32_t>(tif.get(), TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  uint16_t* red = nullptr;
  uint16_t* green = nullptr;
  uint16_t* blue = nullptr;
  if (TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &red, &green, &blue) != 1) {
    throw std::runtime_error("no colour map");
  }
  std::vector<uint16_t> row(size_t{width} * 3);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* indexes = strips.row(y);
    for (uint32_t x = 0; x < width; ++x) {
      row[3 * size_t{x}] = red[indexes[x]];
      row[3 * size_t{x} + 1] = green[indexes[x]];
      row[3 * size_t{x} + 2] = blue[indexes[x]];
    }
    sink.take(reinterpret_cast<const uint8_t*>(row.data()), row.size() * sizeof(uint16_t));
  }
}

void readChannelsWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle tif(path, kReadMode);
  StripCache strips(tif.get());
  const uint32_t width = field<uint32_t>(tif.get(), TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  const uint16_t channels = field<uint16_t>(tif.get(), TIFFTAG_SAMPLESPERPIXEL);
  std::vector<uint8_t> row(width);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* pixels = strips.row(y);
    for (uint16_t c = 0; c < channels; ++c) {
      for (uint32_t x = 0; x < width; ++x) {
        row[x] = pixels[size_t{x} * channels + c];
      }
      sink.take(row.data(), row.size());
    }
  }
}

// TIFFReadRGBAStrip fills its raster bottom row first, so rows are taken from the end.
void readRgbaStripRowsWithLibtiff(const char* path, RowSink& sink) {
  TiffHandle tif(path, kReadMode);
  const uint32_t width = field<uint32_t>(tif.get(), TIFFTAG_IMAGEWIDTH);
  const uint32_t height = field<uint32_t>(tif.get(), TIFFTAG_IMAGELENGTH);
  const uint32_t rowsPerStrip = std::min(field<uint32_t>(tif.get(), TIFFTAG_ROWSPERSTRIP), height);
  std::vector<uint32_t> raster(size_t{width} * rowsPerStrip);
  std::vector<uint8_t> row(size_t{width} * 4);
  for (uint32_t y0 = 0; y0 < height; y0 += rowsPerStrip) {
    if (TIFFReadRGBAStrip(tif.get(), y0, raster.data()) == 0) {
      throw std::runtime_error("TIFFReadRGBAStrip failed");
    }
    const uint32_t rows = std::min(rowsPerStrip, height - y0);
    for (uint32_t k = 0; k < rows; ++k) {
      std::memcpy(row.data(), raster.data() + size_t{rows - 1 - k} * width, row.size());
      sink.take(row.data(), row.size());
    }
  }
}

}  // namespace orvex_bench
