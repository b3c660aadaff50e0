// The writer a host obtains from createTiffWriter.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

/// Writes one TIFF image (LZW strips), row by row. Obtain it from createTiffWriter and
/// release it with destroyTiffWriter. Drive one object from one thread at a time.
class ITiffWriter {
public:
  virtual ~ITiffWriter() = default;

  /// Creates the file named by a UTF-8 path and writes the tags of `info`. `planarConfig` 2
  /// stores each channel as its own plane (write with the per-channel writeScanline);
  /// any other value stores interleaved samples.
  virtual bool begin(const char* fileName, const TiffImageInfo& info, int32_t planarConfig) = 0;

  /// Writes row `row` of channel `channelIndex` (separate planes only).
  virtual bool writeScanline(uint16_t channelIndex, uint32_t row, const uint8_t* data,
                             uint32_t bytes) = 0;

  /// Writes row `row` with all samples interleaved (contiguous files only).
  virtual bool writeScanline(uint32_t row, const uint8_t* data, uint32_t bytes) = 0;

  /// Finishes and closes the file.
  virtual void end() = 0;
};
