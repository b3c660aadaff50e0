// One row's worth of bytes (or one strip or tile), owned and allocated through libtiff.
#pragma once

#include <cstdint>

namespace orvex {

// A file's declared sizes (width, rows per strip, tile size, samples per pixel) drive every
// buffer below, so a few hostile bytes could otherwise make the reader allocate and zero-fill
// gigabytes. Requests above these caps fail before anything is allocated. Real images stay far
// below them: a strip of ten rows of a 65536-pixel-wide 16-bit RGBA image is 5 MiB.

/// The largest buffer, and the most a strip or tile cache holds in all its buffers together.
constexpr int64_t kMaxBufferBytes = int64_t{1} << 30;
/// The most one delivered row may take, one buffer or all channels of it together.
constexpr int64_t kMaxRowBytes = int64_t{256} << 20;

/// Bytes from libtiff's allocator with their count. Null data means "no row".
struct ScanlineBuffer {
  uint8_t* data = nullptr;
  int64_t size = 0;

  ScanlineBuffer() = default;
  ~ScanlineBuffer();
  ScanlineBuffer(const ScanlineBuffer&) = delete;
  ScanlineBuffer& operator=(const ScanlineBuffer&) = delete;

  /// Replaces the bytes by `newSize` zeroed ones. Fails, holding nothing, when `newSize` is not
  /// positive, exceeds kMaxBufferBytes or the allocation fails.
  bool resize(int64_t newSize);
  /// Frees the bytes; the buffer then holds nothing.
  void release();
  void zeroFill();
};

}  // namespace orvex
