#include "ReferenceImage.h"

#include <cstring>
#include <stdexcept>

namespace orvex_lines_test {

using orvex_test::TiffSpec;

uint32_t storedSample(const TiffSpec& tiffSpec, uint32_t x, uint32_t y, uint16_t sample) {
  uint32_t h = x * 0x9E3779B1u ^ (y + 1) * 0x85EBCA77u ^ (sample + 7u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 13;
  return tiffSpec.bitsPerSample >= 32 ? h : h & ((1u << tiffSpec.bitsPerSample) - 1);
}

std::vector<uint8_t> packSamples(const std::vector<uint32_t>& samples, uint16_t bitsPerSample) {
  std::vector<uint8_t> bytes((samples.size() * bitsPerSample + 7) / 8, 0);
  for (size_t i = 0; i < samples.size(); ++i) {
    const uint32_t value = samples[i];
    switch (bitsPerSample) {
      case 1:
      case 2:
      case 4: {
        const size_t bit = i * bitsPerSample;
        bytes[bit / 8] |= static_cast<uint8_t>(value << (8 - bitsPerSample - bit % 8));
        break;
      }
      case 8:
        bytes[i] = static_cast<uint8_t>(value);
        break;
      case 16: {
        const uint16_t narrow = static_cast<uint16_t>(value);
        std::memcpy(&bytes[2 * i], &narrow, 2);
        break;
      }
      case 32:
        std::memcpy(&bytes[4 * i], &value, 4);
        break;
      default:
        throw std::invalid_argument("unsupported test depth");
    }
  }
  return bytes;
}

std::vector<uint8_t> storedImage(const TiffSpec& tiffSpec) {
  const bool separate = tiffSpec.planar == PLANARCONFIG_SEPARATE;
  std::vector<uint8_t> image;
  for (uint16_t plane = 0; plane < orvex_test::storedPlaneCount(tiffSpec); ++plane) {
    for (uint32_t y = 0; y < tiffSpec.height; ++y) {
      std::vector<uint32_t> samples;
      for (uint32_t x = 0; x < tiffSpec.width; ++x) {
        for (uint16_t s = 0; s < tiffSpec.samplesPerPixel; ++s) {
          if (!separate || s == plane) samples.push_back(storedSample(tiffSpec, x, y, s));
        }
      }
      const std::vector<uint8_t> row = packSamples(samples, tiffSpec.bitsPerSample);
      image.insert(image.end(), row.begin(), row.end());
    }
  }
  return image;
}

namespace {

// The stored pixel shown at (x, y) of the upright picture, by the meaning of TIFF's
// Orientation tag: where stored row 0 and stored column 0 lie in the picture.
StoredPixel storedPixelOfPicture(uint16_t orientation, uint32_t width, uint32_t length, uint32_t x,
                                 uint32_t y) {
  switch (orientation) {
    case 2:  // row 0 top, column 0 right
      return {width - 1 - x, y};
    case 3:  // row 0 bottom, column 0 right
      return {width - 1 - x, length - 1 - y};
    case 4:  // row 0 bottom, column 0 left
      return {x, length - 1 - y};
    case 5:  // row 0 left, column 0 top
      return {y, x};
    case 6:  // row 0 right, column 0 top
      return {y, length - 1 - x};
    case 7:  // row 0 right, column 0 bottom
      return {width - 1 - y, length - 1 - x};
    case 8:  // row 0 left, column 0 bottom
      return {width - 1 - y, x};
    default:  // row 0 top, column 0 left
      return {x, y};
  }
}

std::vector<uint32_t> deliveredSamples(const TiffSpec& tiffSpec, uint32_t row, int channel) {
  const uint16_t orientation = tiffSpec.orientation.value_or(1);
  std::vector<uint32_t> samples;
  for (uint32_t i = 0; i < tiffSpec.width; ++i) {
    const StoredPixel from =
        storedPixelOfDelivered(orientation, tiffSpec.width, tiffSpec.height, row, i);
    for (uint16_t s = 0; s < tiffSpec.samplesPerPixel; ++s) {
      if (channel < 0 || channel == s) samples.push_back(storedSample(tiffSpec, from.x, from.y, s));
    }
  }
  return samples;
}

}  // namespace

StoredPixel storedPixelOfDelivered(uint16_t orientation, uint32_t width, uint32_t length,
                                   uint32_t row, uint32_t i) {
  const bool columns = orientation >= 5 && orientation <= 8;
  return columns ? storedPixelOfPicture(orientation, width, length, row, i)
                 : storedPixelOfPicture(orientation, width, length, i, row);
}

std::vector<uint8_t> expectedRow(const TiffSpec& tiffSpec, uint32_t row) {
  return packSamples(deliveredSamples(tiffSpec, row, -1), tiffSpec.bitsPerSample);
}

std::vector<uint8_t> expectedChannelRow(const TiffSpec& tiffSpec, uint32_t row, uint16_t channel) {
  return packSamples(deliveredSamples(tiffSpec, row, channel), tiffSpec.bitsPerSample);
}

}  // namespace orvex_lines_test
