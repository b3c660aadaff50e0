// Reads big-endian values from a byte range that the caller does not own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex {

/// The block's own sizes and counts can point anywhere, so every read is guarded by the
/// caller with fits(): the reads themselves assume the bytes are there.
class BigEndianReader {
public:
  BigEndianReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t remaining() const { return size_ - position_; }
  bool fits(size_t count) const { return count <= remaining(); }

  uint8_t readU8();
  uint16_t readU16();
  uint32_t readU32();
  /// Start of the next `count` bytes, which are stepped over.
  const uint8_t* readBytes(size_t count);
  /// Steps over up to `count` bytes, stopping at the end of the range: a pad byte may be
  /// missing at the very end of a block.
  void skip(size_t count);

private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace orvex
