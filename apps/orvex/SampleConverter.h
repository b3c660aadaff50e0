// Maps delivered samples to the 8 bits of a preview.
#pragma once

#include <cstddef>
#include <cstdint>

#include "PageInfo.h"

namespace orvex_cli {

/// Integers keep their top 8 bits (signed ones shifted so that the smallest value is black);
/// depths below 8 bits are scaled to 0..255; floating-point samples are clamped to 0..1.
/// Samples of 8 bits or less are packed most significant bit first; wider ones are in the
/// machine's byte order, as the library delivers them.
class SampleConverter {
public:
  /// Throws ToolError for samples a preview cannot show (complex numbers, 24-bit or
  /// wider-than-64-bit samples, floats other than 16, 32 and 64 bits).
  SampleConverter(uint16_t bits, int32_t format);

  /// Sample `index` of `row` (counted from the row's start) as 0..255.
  uint8_t toByte(const uint8_t* row, size_t index) const;

private:
  uint64_t unsignedAt(const uint8_t* row, size_t index) const;
  double floatAt(const uint8_t* row, size_t index) const;
  uint8_t integerToByte(uint64_t value) const;

  unsigned bits_;
  bool floating_;
  bool signed_;
};

}  // namespace orvex_cli
