#include "ColumnTransposer.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "PackedBits.h"

namespace orvex_cli {
namespace {

// A picture larger than a vector can hold is reported like any other allocation failure.
size_t pictureBytes(size_t rowBytes, uint32_t height) {
  if (height != 0 && rowBytes > std::vector<uint8_t>().max_size() / height) {
    throw std::bad_alloc();
  }
  return rowBytes * height;
}

}  // namespace

ColumnTransposer::ColumnTransposer(uint32_t width, uint32_t height, unsigned pixelBits)
    : height_(height),
      pixelBits_(pixelBits),
      rowBytes_(PackedBits::bytesFor(uint64_t{width} * pixelBits)),
      picture_(pictureBytes(rowBytes_, height)) {}

void ColumnTransposer::putColumn(uint32_t x, const uint8_t* column, size_t bytes) {
  if (pixelBits_ == 0) {
    return;
  }
  const uint64_t pixels = std::min<uint64_t>(height_, uint64_t{bytes} * 8 / pixelBits_);
  const size_t columnBit = size_t{x} * pixelBits_;
  for (uint64_t y = 0; y < pixels; ++y) {
    PackedBits::copy(column, y * pixelBits_, picture_.data() + rowBytes_ * y, columnBit,
                     pixelBits_);
  }
}

}  // namespace orvex_cli
