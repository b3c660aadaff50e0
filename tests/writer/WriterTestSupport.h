// Helpers for the writer's tests. Files are read back with libtiff alone, so that the tests
// do not depend on the library's own reader.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvex/ITiffWriter.h"
#include "orvex/TiffImageInfo.h"

namespace orvex_writer_test {

class WrittenTiff {
public:
  /// Throws when libtiff cannot read the file.
  explicit WrittenTiff(const std::string& path);
  ~WrittenTiff();
  WrittenTiff(const WrittenTiff&) = delete;
  WrittenTiff& operator=(const WrittenTiff&) = delete;

  /// A tag of one value, read as libtiff hands it out (uint16_t, uint32_t or float).
  template <typename Value>
  Value value(uint32_t tag) const {
    Value result{};
    if (TIFFGetField(tif_, tag, &result) == 0) {
      throw std::runtime_error("tag " + std::to_string(tag) + " missing");
    }
    return result;
  }
  /// Empty when the tag is absent.
  std::vector<uint16_t> extraSamples() const;
  /// The bytes of a tag stored as a count and a block (ICC profile, Photoshop resources);
  /// empty when the tag is absent.
  std::vector<uint8_t> block(uint32_t tag) const;
  uint32_t stripCount() const;
  /// Every strip decoded, in file order: plane after plane, row after row.
  std::vector<uint8_t> decodedStrips() const;

private:
  TIFF* tif_;
};

/// A description with every field the writer reads set to something plausible.
TiffImageInfo imageInfo(uint32_t width, uint32_t height, uint16_t bitsPerSample,
                        uint16_t samplesPerPixel, TiffPhotometric photometric);

/// Bytes of one row as the writer takes it: interleaved, or one plane's for separate planes.
uint32_t rowBytesOf(const TiffImageInfo& info, int32_t planarConfig);

/// Writes every row of every plane with zero bytes, in the form `planarConfig` selects:
/// libtiff only records the strips of a file once a row has been written.
void writeBlankRows(ITiffWriter& writer, const TiffImageInfo& info, int32_t planarConfig);

/// The Photoshop resource block that the tag writer stores for `channels`, taken from a
/// scratch file, to compare with what the writer handed it.
std::vector<uint8_t> photoshopBlockFor(const std::string& scratchPath,
                                       const std::vector<TiffChannelInfo>& channels);

}  // namespace orvex_writer_test
