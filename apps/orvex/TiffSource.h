// One TIFF file open for reading through the library's exported reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "LogTap.h"
#include "orvex/orvex.h"

namespace orvex_cli {

/// A scanline as the reader hands it out; the bytes stay the reader's until the next read.
struct Scanline {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

/// Opens the file on construction and closes it on destruction. Failures the user must hear
/// about are thrown as ToolError with the reason the library logged.
class TiffSource {
public:
  TiffSource(LogTap& log, const std::string& path);
  ~TiffSource();
  TiffSource(const TiffSource&) = delete;
  TiffSource& operator=(const TiffSource&) = delete;

  const std::string& path() const { return path_; }
  uint16_t directoryCount() const { return directoryCount_; }

  /// Makes `dir` the current directory. False, with the library's explanation, when the
  /// library refuses it.
  bool select(uint16_t dir, Explanation& refusal);
  /// As select, for a command that needs the directory: a directory that does not exist is
  /// a usage error, a refused one a file error.
  void require(uint16_t dir);

  /// The current directory as the library delivers it, except that `channels` holds exactly
  /// one record per extra sample, with names repaired as ChannelNames.h describes: the
  /// associated alpha the reader adds to a YCbCr directory carrying Photoshop image resources
  /// comes without a record of its own, and gets one here.
  const TiffImageInfo& info() const { return info_; }
  /// False when each scanline is a column of the picture (stored orientations 5 to 8).
  bool rowScanlines() const { return rowScanlines_; }
  uint16_t currentDirectory() const { return currentDirectory_; }

  /// Scanline `index` with every sample of a pixel interleaved.
  Scanline scanline(uint32_t index);
  /// Scanline `index` of one channel.
  Scanline scanline(uint16_t channel, uint32_t index);

private:
  Scanline delivered(bool ok, uint8_t* data, uint32_t size, uint32_t index, size_t call) const;

  LogTap& log_;
  std::string path_;
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader_;
  uint16_t directoryCount_ = 0;
  uint16_t currentDirectory_ = 0;
  TiffImageInfo info_;
  bool rowScanlines_ = true;
};

}  // namespace orvex_cli
