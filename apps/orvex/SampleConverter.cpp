#include "SampleConverter.h"

#include <cmath>
#include <cstring>
#include <string>

#include "PackedBits.h"
#include "ToolError.h"
#include "Words.h"

namespace orvex_cli {
namespace {

template <typename T>
T nativeAt(const uint8_t* row, size_t index) {
  T value;
  std::memcpy(&value, row + index * sizeof(T), sizeof(T));
  return value;
}

double halfToDouble(uint16_t half) {
  const int exponent = (half >> 10) & 0x1F;
  const int mantissa = half & 0x3FF;
  const double sign = (half & 0x8000) != 0 ? -1.0 : 1.0;
  if (exponent == 0) {
    return sign * std::ldexp(mantissa, -24);
  }
  if (exponent == 0x1F) {
    return mantissa != 0 ? NAN : sign * INFINITY;
  }
  return sign * std::ldexp(mantissa + 1024, exponent - 25);
}

bool isSupportedInteger(unsigned bits) {
  return (bits >= 1 && bits < 16) || bits == 16 || bits == 32 || bits == 64;
}

bool isSupportedFloat(unsigned bits) {
  return bits == 16 || bits == 32 || bits == 64;
}

}  // namespace

SampleConverter::SampleConverter(uint16_t bits, int32_t format)
    : bits_(bits),
      floating_(format == ORVEX_SAMPLE_FORMAT_IEEE_FP),
      signed_(format == ORVEX_SAMPLE_FORMAT_INT) {
  const bool complex =
      format == ORVEX_SAMPLE_FORMAT_COMPLEX_INT || format == ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP;
  const bool supported = floating_ ? isSupportedFloat(bits_) : isSupportedInteger(bits_);
  if (complex || !supported) {
    throw ToolError(kExitFileError, std::string("a preview cannot show samples of ") +
                                        std::to_string(bits_) + " bits in " +
                                        Words::text(ORVEX_VOCABULARY_SAMPLE_FORMAT, format) +
                                        " format");
  }
}

uint8_t SampleConverter::toByte(const uint8_t* row, size_t index) const {
  if (!floating_) {
    return integerToByte(unsignedAt(row, index));
  }
  const double value = floatAt(row, index);
  if (!(value > 0.0)) {  // negative or NaN
    return 0;
  }
  return value >= 1.0 ? 255 : static_cast<uint8_t>(std::lround(value * 255.0));
}

uint64_t SampleConverter::unsignedAt(const uint8_t* row, size_t index) const {
  uint64_t value = 0;
  switch (bits_) {
    case 8:
      value = row[index];
      break;
    case 16:
      value = nativeAt<uint16_t>(row, index);
      break;
    case 32:
      value = nativeAt<uint32_t>(row, index);
      break;
    case 64:
      value = nativeAt<uint64_t>(row, index);
      break;
    default:
      value = PackedBits::read(row, index * bits_, bits_);
  }
  // Flipping the sign bit orders two's-complement values from the most negative up.
  return signed_ ? value ^ (uint64_t{1} << (bits_ - 1)) : value;
}

double SampleConverter::floatAt(const uint8_t* row, size_t index) const {
  switch (bits_) {
    case 16:
      return halfToDouble(nativeAt<uint16_t>(row, index));
    case 32:
      return nativeAt<float>(row, index);
    default:
      return nativeAt<double>(row, index);
  }
}

uint8_t SampleConverter::integerToByte(uint64_t value) const {
  if (bits_ >= 8) {
    return static_cast<uint8_t>(value >> (bits_ - 8));
  }
  const uint64_t largest = (uint64_t{1} << bits_) - 1;
  return static_cast<uint8_t>(value * 255 / largest);
}

}  // namespace orvex_cli
