// The rows of the upright picture of the current directory, top to bottom, whatever the
// orientation the file was stored in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "ColumnTransposer.h"
#include "ProgressBar.h"
#include "TiffSource.h"

namespace orvex_cli {

/// Rows are read a stored strip (or row of tiles) at a time with one block read, so that
/// strips stored as delivered are decoded straight into the band; directories the library
/// delivers as columns are read whole and transposed on the first request.
class PictureRows {
public:
  /// Every sample of a pixel interleaved, or only those of `channel`. Each scanline read
  /// advances `progress` by one step.
  PictureRows(TiffSource& source, std::optional<uint16_t> channel, ProgressBar& progress);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  /// Samples per pixel in each row: all of them, or 1 for one channel.
  unsigned samplesPerPixel() const { return samplesPerPixel_; }
  /// Bytes of a row: the pixels packed, the last byte padded.
  size_t rowBytes() const { return rowBytes_; }

  /// Row `y` (below height()), rowBytes() long; valid until the next call.
  const uint8_t* row(uint32_t y);

  /// Bytes of all the samples of a directory.
  static uint64_t rawBytes(const PageInfo& info);

private:
  Scanline read(uint32_t index);
  void transposeColumns();
  /// Reads the band of rows that holds row `y`.
  void readBand(uint32_t y);

  TiffSource& source_;
  std::optional<uint16_t> channel_;
  ProgressBar& progress_;
  uint32_t width_;
  uint32_t height_;
  unsigned samplesPerPixel_;
  unsigned pixelBits_;
  size_t rowBytes_;
  std::unique_ptr<ColumnTransposer> transposer_;
  uint32_t bandRows_;
  size_t bandStride_;
  uint32_t bandFirst_ = 0;
  uint32_t bandCount_ = 0;
  std::vector<uint8_t> band_;
};

}  // namespace orvex_cli
