#include "ScanlinePlacer.h"

#include <cstring>

namespace orvex_python {

ScanlinePlacer::ScanlinePlacer(uint8_t* picture, const PictureShape& shape)
    : picture_(picture),
      shape_(shape),
      pixelBytes_(shape.samples * shape.elementBytes),
      scanlineSamples_(size_t{shape.rowScanlines ? shape.width : shape.height} * shape.samples),
      scanlineBytes_((scanlineSamples_ * shape.bits + 7) / 8) {
  if (!shape.rowScanlines) {
    column_.resize(scanlineSamples_ * shape.elementBytes);
  }
}

bool ScanlinePlacer::place(uint32_t index, const uint8_t* data, uint32_t size) {
  if (data == nullptr || size < scanlineBytes_) {
    return false;
  }
  const size_t rowBytes = size_t{shape_.width} * pixelBytes_;
  uint8_t* target = shape_.rowScanlines ? picture_ + index * rowBytes : column_.data();
  if (shape_.bits < 8) {
    unpack(data, target);
  } else {
    std::memcpy(target, data, scanlineBytes_);
  }
  if (!shape_.rowScanlines) {
    uint8_t* pixel = picture_ + index * pixelBytes_;
    for (uint32_t y = 0; y < shape_.height; ++y, pixel += rowBytes) {
      std::memcpy(pixel, column_.data() + y * pixelBytes_, pixelBytes_);
    }
  }
  return true;
}

// Most significant bits first, as the library packs them.
void ScanlinePlacer::unpack(const uint8_t* packed, uint8_t* samples) const {
  const unsigned bits = shape_.bits;
  const unsigned perByte = 8 / bits;
  const auto mask = static_cast<uint8_t>((1U << bits) - 1);
  for (size_t i = 0; i < scanlineSamples_; ++i) {
    const unsigned shift = 8 - bits * (static_cast<unsigned>(i % perByte) + 1);
    samples[i] = static_cast<uint8_t>(packed[i / perByte] >> shift) & mask;
  }
}

}  // namespace orvex_python
