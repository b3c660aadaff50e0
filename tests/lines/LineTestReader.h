// Shared setup of the line-reader tests: test images from a tiffSpec, and reading them back.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

#include "reader/TiffInfo.h"

namespace orvex {
class TiffLineReaderBase;
}

namespace orvex_lines_test {

/// A tiffSpec of the given layout; `tiled` uses 16 x 16 tiles, otherwise strips of 4 rows.
/// One or two samples are grey, three or more RGB; samples beyond those are extra samples.
orvex_test::TiffSpec layoutSpec(uint32_t width, uint32_t height, uint16_t bitsPerSample,
                                uint16_t samplesPerPixel, uint16_t planar, bool tiled,
                                uint16_t orientation);

struct TiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

/// Opens `path` the way the reader does.
TiffHandle openForReading(const std::string& path);

/// Writes the tiffSpec's storedImage as `name` in `temp`; returns its path.
std::string writeImage(const orvex_test::TempDir& temp, const orvex_test::TiffSpec& tiffSpec,
                       const std::string& name = "image.tif");

/// The record of directory `dir` of `tif`, selected and read as the reader does it; the handle
/// stays on that directory.
orvex::TiffInfo recordOf(TIFF* tif, uint16_t dir = 0);

/// A line reader of kind `Reader` (or of a test's subclass of one) for directory `dir` of `tif`.
template <typename Reader>
class LineReaderOf : public Reader {
public:
  explicit LineReaderOf(TIFF* tif, uint16_t dir = 0) : LineReaderOf(tif, recordOf(tif, dir)) {}

private:
  LineReaderOf(TIFF* tif, const orvex::TiffInfo& info)
      : Reader(tif, info, info.numberOfDirectories_) {}
};

/// Bytes of delivered row `row`, all samples or one channel, or nothing when the read failed.
std::vector<uint8_t> deliveredRow(orvex::TiffLineReaderBase& reader, uint32_t row);
std::vector<uint8_t> deliveredChannel(orvex::TiffLineReaderBase& reader, uint16_t channel,
                                      uint32_t row);

}  // namespace orvex_lines_test
