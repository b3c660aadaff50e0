#include "ArrayRows.h"

#include <cstring>

namespace orvex_python {

ArrayRows::ArrayRows(const pybind11::array& array)
    : data_(static_cast<const uint8_t*>(array.data())),
      elementBytes_(static_cast<size_t>(array.itemsize())),
      width_(static_cast<uint32_t>(array.shape(1))),
      samples_(static_cast<uint16_t>(array.ndim() == 3 ? array.shape(2) : 1)),
      rowStride_(array.strides(0)),
      pixelStride_(array.strides(1)),
      sampleStride_(array.ndim() == 3 ? array.strides(2)
                                      : static_cast<ptrdiff_t>(array.itemsize())),
      buffer_(size_t{width_} * samples_ * elementBytes_) {}

const uint8_t* ArrayRows::gather(uint32_t y, uint16_t first, uint16_t count) {
  const uint8_t* row = data_ + rowStride_ * static_cast<ptrdiff_t>(y);
  const auto element = static_cast<ptrdiff_t>(elementBytes_);
  const bool sideBySide =
      pixelStride_ == count * element && (count == 1 || sampleStride_ == element);
  if (sideBySide) {
    return row + sampleStride_ * first;
  }
  uint8_t* out = buffer_.data();
  for (uint32_t x = 0; x < width_; ++x) {
    const uint8_t* pixel = row + pixelStride_ * static_cast<ptrdiff_t>(x);
    for (uint16_t s = first; s < first + count; ++s, out += elementBytes_) {
      std::memcpy(out, pixel + sampleStride_ * s, elementBytes_);
    }
  }
  return buffer_.data();
}

}  // namespace orvex_python
