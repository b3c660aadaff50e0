// Pictures as sample values, to compare what the tool writes with what a file holds.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "support/TiffFileBuilder.h"

namespace orvex_cli_test {

/// Sample values row by row, pixel by pixel.
struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t samples = 0;
  std::vector<uint32_t> values;

  uint32_t at(uint32_t x, uint32_t y, uint16_t s) const {
    return values[(size_t{y} * width + x) * samples + s];
  }
  bool operator==(const Picture& other) const {
    return width == other.width && height == other.height && samples == other.samples &&
           values == other.values;
  }
};

void PrintTo(const Picture& picture, std::ostream* out);

/// The upright picture of a contiguous image written with TiffFileBuilder, by TIFF's
/// orientation rules (5 to 8: stored rows are picture columns).
Picture uprightPicture(const orvex_test::TiffSpec& tiffSpec, const std::vector<uint8_t>& stored);

/// The first directory of a TIFF file as libtiff reads it, contiguous or separate (its
/// orientation tag is not applied).
Picture readTiffPicture(const std::string& path);

/// An 8-bit PNG read back with libpng, in its own channel count.
struct PngPicture {
  bool read = false;
  uint32_t width = 0;
  uint32_t height = 0;
  unsigned channels = 0;
  std::vector<uint8_t> pixels;

  uint8_t at(uint32_t x, uint32_t y, unsigned c) const {
    return pixels[(size_t{y} * width + x) * channels + c];
  }
};

PngPicture readPng(const std::string& path);

/// Copies `source` (a file from another program) to `copy`, then has `edit` set or unset tags
/// of the copy's first directory through libtiff, which rewrites it in place.
void editedCopy(const std::string& source, const std::string& copy,
                const std::function<void(TIFF*)>& edit);

/// Directory 0 of a file as the library's reader describes it; the unset record when the
/// reader refuses it.
TiffImageInfo libraryInfo(const std::string& path);

/// An 8-bit grey (`channels` 1) or RGB (3) PNG of `pixels`, row by row.
bool writePng(const std::string& path, uint32_t width, uint32_t height, unsigned channels,
              const std::vector<uint8_t>& pixels);

/// An 8-bit unsigned image of `colourSamples` colour samples and the extra `channels`, for
/// writeWithLibrary.
TiffImageInfo eightBitInfo(TiffPhotometric photometric, uint16_t colourSamples,
                           std::vector<TiffChannelInfo> channels, uint32_t width = 5,
                           uint32_t height = 3);

/// Writes `info` through the library's own writer, as a host would, contiguous 8-bit rows
/// whose samples follow a simple pattern of row, column and sample number, so that images
/// with more samples per pixel hold those of images with fewer; false when the writer
/// refuses.
bool writeWithLibrary(const std::string& path, const TiffImageInfo& info);

}  // namespace orvex_cli_test
