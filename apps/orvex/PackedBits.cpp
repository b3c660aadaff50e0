#include "PackedBits.h"

#include <cstring>

namespace orvex_cli {
namespace {

bool bitAt(const uint8_t* bytes, size_t position) {
  return (bytes[position / 8] >> (7 - position % 8)) & 1U;
}

void setBitAt(uint8_t* bytes, size_t position, bool value) {
  const uint8_t mask = static_cast<uint8_t>(0x80U >> (position % 8));
  bytes[position / 8] =
      static_cast<uint8_t>(value ? bytes[position / 8] | mask : bytes[position / 8] & ~mask);
}

}  // namespace

void PackedBits::copy(const uint8_t* source, size_t from, uint8_t* target, size_t to,
                      size_t count) {
  if (from % 8 == 0 && to % 8 == 0 && count % 8 == 0) {
    std::memcpy(target + to / 8, source + from / 8, count / 8);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    setBitAt(target, to + i, bitAt(source, from + i));
  }
}

uint32_t PackedBits::read(const uint8_t* source, size_t from, unsigned count) {
  uint32_t value = 0;
  for (unsigned i = 0; i < count; ++i) {
    value = (value << 1) | (bitAt(source, from + i) ? 1U : 0U);
  }
  return value;
}

}  // namespace orvex_cli
