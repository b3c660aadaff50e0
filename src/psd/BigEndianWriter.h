// Appends big-endian values to a byte vector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex {

class BigEndianWriter {
public:
  explicit BigEndianWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  void writeU8(uint8_t value) { bytes_.push_back(value); }
  void writeU16(uint16_t value);
  void writeU32(uint32_t value);
  void writeBytes(const void* data, size_t count);

private:
  std::vector<uint8_t>& bytes_;
};

}  // namespace orvex
