#include "SmoothContent.h"

namespace orvex_bench {

SmoothContent::SmoothContent(uint32_t width, uint32_t height)
    : width_(width), height_(height), columnRamp_(width) {
  for (uint32_t x = 0; x < width; ++x) {
    columnRamp_[x] = static_cast<uint8_t>(uint64_t{x} * 192 / width);
  }
}

// xorshift32: cheap enough to call once per sample of a 12 GiB image.
uint32_t SmoothContent::nextNoise() {
  noiseState_ ^= noiseState_ << 13;
  noiseState_ ^= noiseState_ >> 17;
  noiseState_ ^= noiseState_ << 5;
  return noiseState_;
}

// Values stay within 32..224 so the noise never has to be clamped.
uint8_t SmoothContent::gradient(uint16_t channel, uint32_t x, uint32_t down) const {
  switch (channel % 4) {
    case 0:
      return static_cast<uint8_t>(32 + columnRamp_[x]);
    case 1:
      return static_cast<uint8_t>(32 + down);
    case 2:
      return static_cast<uint8_t>(32 + (columnRamp_[x] + down) / 2);
    default:
      return static_cast<uint8_t>(224 - columnRamp_[x]);
  }
}

uint32_t SmoothContent::rowRamp(uint32_t y) const {
  return static_cast<uint32_t>(uint64_t{y} * 192 / height_);
}

void SmoothContent::row8(uint32_t y, uint16_t samples, uint8_t* out) {
  const uint32_t down = rowRamp(y);
  for (uint32_t x = 0; x < width_; ++x) {
    // Four bits of noise per sample: one sample in four moves by one step.
    uint32_t noise = nextNoise();
    for (uint16_t c = 0; c < samples; ++c, noise = c % 8 == 0 ? nextNoise() : noise >> 4) {
      const int step = (noise & 3) == 0 ? static_cast<int>(noise >> 2 & 2) - 1 : 0;
      *out++ = static_cast<uint8_t>(gradient(c, x, down) + step);
    }
  }
}

void SmoothContent::row16(uint32_t y, uint16_t samples, uint16_t* out) {
  const uint32_t down = rowRamp(y);
  for (uint32_t x = 0; x < width_; ++x) {
    for (uint16_t c = 0; c < samples; ++c) {
      // Deep images carry sensor noise in their low bits.
      const int noise = static_cast<int>(nextNoise() & 0xF) - 8;
      *out++ = static_cast<uint16_t>(gradient(c, x, down) * 256 + noise);
    }
  }
}

void SmoothContent::row1(uint32_t y, uint8_t* out) {
  const uint32_t bytes = (width_ + 7) / 8;
  for (uint32_t i = 0; i < bytes; ++i) {
    out[i] = 0;
  }
  for (uint32_t x = 0; x < width_; ++x) {
    const bool band = ((x + 2 * y) >> 5 & 1) != 0;
    // One pixel in 64 is flipped.
    const bool flip = (nextNoise() & 63) == 0;
    if (band != flip) {
      out[x / 8] = static_cast<uint8_t>(out[x / 8] | 0x80 >> (x % 8));
    }
  }
}

}  // namespace orvex_bench
