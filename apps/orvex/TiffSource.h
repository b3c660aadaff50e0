// One TIFF file open for reading through the library's C interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "LogTap.h"
#include "PageInfo.h"
#include "orvex/orvex_c.h"

namespace orvex_cli {

/// A scanline as the reader hands it out; the bytes stay the reader's until the next read.
struct Scanline {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

/// Opens the file on construction and closes it on destruction. Failures the user must hear
/// about are thrown as ToolError with the library's reason.
class TiffSource {
public:
  TiffSource(LogTap& log, const std::string& path);
  ~TiffSource();
  TiffSource(const TiffSource&) = delete;
  TiffSource& operator=(const TiffSource&) = delete;

  const std::string& path() const { return path_; }
  uint16_t directoryCount() const { return directoryCount_; }

  /// Makes `dir` the current directory. False, with the library's reason, when the library
  /// refuses it.
  bool select(uint16_t dir, std::string& refusal);
  /// As select, for a command that needs the directory: a directory that does not exist is
  /// a usage error, a refused one a file error.
  void require(uint16_t dir);

  /// The current directory as the library delivers it, one channel record per extra sample.
  const PageInfo& info() const { return info_; }
  /// False when each scanline is a column of the picture (stored orientations 5 to 8).
  bool rowScanlines() const { return info_.rowScanlines; }
  uint16_t currentDirectory() const { return currentDirectory_; }

  /// Scanline `index` with every sample of a pixel interleaved.
  Scanline scanline(uint32_t index);
  /// Scanline `index` of one channel.
  Scanline scanline(uint16_t channel, uint32_t index);
  /// Scanlines [first, first + count) of every sample, or of one channel, into `buffer`, one
  /// after the other `stride` bytes apart; `stride` holds a scanline.
  void readScanlines(std::optional<uint16_t> channel, uint32_t first, uint32_t count,
                     uint8_t* buffer, size_t stride);

private:
  PageInfo describeCurrent();
  static std::optional<ChannelColor> colorOf(const orvex_channel& channel);
  Scanline delivered(orvex_status status, const uint8_t* data, uint32_t size, uint32_t index) const;

  LogTap& log_;
  std::string path_;
  orvex_reader* reader_ = nullptr;
  uint16_t directoryCount_ = 0;
  uint16_t currentDirectory_ = 0;
  PageInfo info_;
};

}  // namespace orvex_cli
