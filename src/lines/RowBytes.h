// Byte-level helpers the adjusters share for their row buffers: sizing them once, checking a
// walk stays inside them, and moving samples between planes and pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lines/ScanlineBuffer.h"

namespace orvex {

class RowBytes {
public:
  RowBytes() = delete;

  /// Makes `buffer` hold `size` zero bytes for the next row: reallocates only when its size
  /// differs, so the rows of one directory reuse one allocation, and clears it otherwise, so
  /// no byte of an earlier row survives into this one. A size above kMaxRowBytes is refused
  /// unallocated. Logs `failedText` (level 4) on failure and, when given, `successText`
  /// (level 0) after a new allocation, each with `operation` for its "%s".
  static bool sizeAndClear(ScanlineBuffer& buffer, int64_t size, const char* operation,
                           const char* failedText, const char* successText);

  /// The bytes a strided walk of `count` samples touches, from its first byte.
  static uint64_t stridedSpan(uint64_t count, uint64_t stride, uint64_t bytesPerSample);

  /// Throws std::out_of_range("out range!") unless `buffer` holds `span` bytes from
  /// `offset`: a walk that would leave a buffer must never touch memory it does not own.
  static void requireSpan(const ScanlineBuffer& buffer, uint64_t offset, uint64_t span);

  /// Moves `count` samples of `bytesPerSample` bytes between strided layouts (planes to
  /// pixels or back); the common sample sizes get fixed-size copies.
  static void copySamples(uint8_t* dest, size_t destStride, const uint8_t* source,
                          size_t sourceStride, size_t count, size_t bytesPerSample);
};

}  // namespace orvex
