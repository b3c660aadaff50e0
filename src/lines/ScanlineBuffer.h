// One row's worth of bytes (or one strip or tile), owned and allocated through libtiff.
#pragma once

#include <cstdint>

namespace orvex {

/// Bytes from libtiff's allocator with their count. Null data means "no row".
struct ScanlineBuffer {
  uint8_t* data = nullptr;
  int64_t size = 0;

  ScanlineBuffer() = default;
  ~ScanlineBuffer();
  ScanlineBuffer(const ScanlineBuffer&) = delete;
  ScanlineBuffer& operator=(const ScanlineBuffer&) = delete;

  /// Replaces the bytes by `newSize` zeroed ones. Fails, holding nothing, when `newSize` is not
  /// positive or the allocation fails.
  bool resize(int64_t newSize);
  /// Frees the bytes; the buffer then holds nothing.
  void release();
  void zeroFill();
};

}  // namespace orvex
