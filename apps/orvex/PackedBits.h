// Bit-level access to rows whose samples are packed most significant bit first, as TIFF
// stores (and the library delivers) samples of 1, 2 and 4 bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex_cli {

class PackedBits {
public:
  /// Copies `count` bits from bit `from` of `source` to bit `to` of `target`; the other bits
  /// of the target bytes keep their values.
  static void copy(const uint8_t* source, size_t from, uint8_t* target, size_t to, size_t count);
  /// The unsigned value of the `count` bits (1 to 32) at bit `from`.
  static uint32_t read(const uint8_t* source, size_t from, unsigned count);
  /// Bytes that hold `count` bits.
  static size_t bytesFor(uint64_t count) { return static_cast<size_t>((count + 7) / 8); }
};

}  // namespace orvex_cli
