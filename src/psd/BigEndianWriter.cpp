#include "psd/BigEndianWriter.h"

namespace orvex {

void BigEndianWriter::writeU16(uint16_t value) {
  writeU8(static_cast<uint8_t>(value >> 8));
  writeU8(static_cast<uint8_t>(value));
}

void BigEndianWriter::writeU32(uint32_t value) {
  writeU16(static_cast<uint16_t>(value >> 16));
  writeU16(static_cast<uint16_t>(value));
}

void BigEndianWriter::writeBytes(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), bytes, bytes + count);
}

}  // namespace orvex
