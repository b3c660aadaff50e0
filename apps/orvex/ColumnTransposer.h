// Turns the columns the library delivers for stored orientations 5 to 8 into the rows of
// the upright picture. This is the one place where the tool holds a whole image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex_cli {

class ColumnTransposer {
public:
  /// A picture of `width` x `height` pixels of `pixelBits` bits each (any count: sub-byte
  /// pixels are moved bit by bit). Throws std::bad_alloc when it does not fit in memory.
  ColumnTransposer(uint32_t width, uint32_t height, unsigned pixelBits);

  /// Places column `x` (`height` pixels, packed; a shorter column fills what it holds).
  void putColumn(uint32_t x, const uint8_t* column, size_t bytes);
  /// Row `y`, rowBytes() long.
  const uint8_t* row(uint32_t y) const { return picture_.data() + rowBytes_ * y; }
  size_t rowBytes() const { return rowBytes_; }

private:
  uint32_t height_;
  unsigned pixelBits_;
  size_t rowBytes_;
  std::vector<uint8_t> picture_;
};

}  // namespace orvex_cli
