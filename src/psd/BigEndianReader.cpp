#include "psd/BigEndianReader.h"

#include <algorithm>

namespace orvex {

uint8_t BigEndianReader::readU8() {
  return data_[position_++];
}

uint16_t BigEndianReader::readU16() {
  const uint16_t high = readU8();
  return static_cast<uint16_t>((high << 8) | readU8());
}

uint32_t BigEndianReader::readU32() {
  const uint32_t high = readU16();
  return (high << 16) | readU16();
}

const uint8_t* BigEndianReader::readBytes(size_t count) {
  const uint8_t* start = data_ + position_;
  position_ += count;
  return start;
}

void BigEndianReader::skip(size_t count) {
  position_ += std::min(count, remaining());
}

}  // namespace orvex
