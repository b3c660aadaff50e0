// What a sample's depth means for the bytes of a row: the one definition the adjusters, the
// selection table and the C interface's write checks ask.
#pragma once

#include <cstdint>

namespace orvex {
namespace SampleDepth {

/// Samples narrower than a byte: several of them share each byte of a row.
constexpr bool isSubByte(uint32_t bitsPerSample) {
  return bitsPerSample < 8;
}

/// The sub-byte depths that divide a byte (1, 2 and 4 bits), so that no sample straddles two
/// bytes: rows of them stay packed at the file's depth and are moved sample by sample.
constexpr bool isPacked(uint32_t bitsPerSample) {
  return bitsPerSample != 0 && isSubByte(bitsPerSample) && 8 % bitsPerSample == 0;
}

}  // namespace SampleDepth
}  // namespace orvex
