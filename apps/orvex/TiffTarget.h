// One TIFF file written through the library's C writer, which writes under a temporary name
// and puts the file in place of the target only when it is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "LogTap.h"
#include "PageInfo.h"
#include "orvex/orvex_c.h"

namespace orvex_cli {

/// The writer is created, the request checked, by the constructor; the file replaces the
/// target in finish(). A target destroyed before that leaves the target as it was and no
/// temporary file. Failures are thrown as ToolError with the library's reason; a signal
/// noted by Interruption stops the next write.
class TiffTarget {
public:
  /// `separatePlanes` stores each channel as its own plane, written with the per-channel
  /// write(); otherwise samples are interleaved.
  TiffTarget(LogTap& log, const std::string& path, const PageInfo& info, bool separatePlanes);
  ~TiffTarget();
  TiffTarget(const TiffTarget&) = delete;
  TiffTarget& operator=(const TiffTarget&) = delete;

  void write(uint32_t row, const uint8_t* data, size_t bytes);
  void write(uint16_t channel, uint32_t row, const uint8_t* data, size_t bytes);
  void finish();

  /// "640 x 480, 5 x 8 bits, interleaved": what a command wrote.
  static std::string summary(const PageInfo& info, bool separatePlanes);
  /// Throws a usage error when `output` is the file `input`: writing would replace what is
  /// being read.
  static void refuseInput(const std::string& output, const std::string& input);

private:
  void check(orvex_status status, const std::string& what) const;

  LogTap& log_;
  std::string path_;
  orvex_writer* writer_ = nullptr;
};

}  // namespace orvex_cli
