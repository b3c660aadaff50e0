// One TIFF file written through the library's exported writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "LogTap.h"
#include "orvex/orvex.h"

namespace orvex_cli {

/// The file is created by the constructor and complete after finish(); a target destroyed
/// before that removes its unfinished file. Failures are thrown as ToolError with the reason
/// the library logged.
class TiffTarget {
public:
  /// `separatePlanes` stores each channel as its own plane, written with the per-channel
  /// write(); otherwise samples are interleaved.
  TiffTarget(LogTap& log, const std::string& path, const TiffImageInfo& info, bool separatePlanes);
  ~TiffTarget();
  TiffTarget(const TiffTarget&) = delete;
  TiffTarget& operator=(const TiffTarget&) = delete;

  void write(uint32_t row, const uint8_t* data, size_t bytes);
  void write(uint16_t channel, uint32_t row, const uint8_t* data, size_t bytes);
  void finish();

  /// "640 x 480, 5 x 8 bits, interleaved": what a command wrote.
  static std::string summary(const TiffImageInfo& info, bool separatePlanes);
  /// Throws a usage error when `output` is the file `input`: writing would destroy what is
  /// being read.
  static void refuseInput(const std::string& output, const std::string& input);

private:
  void check(bool written, uint32_t row, size_t call) const;

  LogTap& log_;
  std::string path_;
  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer_;
  bool finished_ = false;
};

}  // namespace orvex_cli
