// Test images whose every sample is known, and the rows the line reader must deliver for them,
// worked out here from the pixels and the TIFF orientation rules alone.
#pragma once

#include <cstdint>
#include <vector>

#include "support/TiffFileBuilder.h"

namespace orvex_lines_test {

/// Sample `sample` of the stored pixel at column x of stored row y, within the tiffSpec's depth.
uint32_t storedSample(const orvex_test::TiffSpec& tiffSpec, uint32_t x, uint32_t y,
                      uint16_t sample);

/// The image of storedSample in the layout TiffFileBuilder writes.
std::vector<uint8_t> storedImage(const orvex_test::TiffSpec& tiffSpec);

struct StoredPixel {
  uint32_t x;
  uint32_t y;
};

/// Where pixel i of delivered row r comes from. Orientations 1 to 4 deliver the upright
/// picture's rows; 5 to 8 deliver its columns, left to right, each top to bottom.
StoredPixel storedPixelOfDelivered(uint16_t orientation, uint32_t width, uint32_t length,
                                   uint32_t row, uint32_t i);

/// Delivered row r with every sample of each pixel, packed at the tiffSpec's depth.
std::vector<uint8_t> expectedRow(const orvex_test::TiffSpec& tiffSpec, uint32_t row);
/// Delivered row r of one channel, packed at the tiffSpec's depth.
std::vector<uint8_t> expectedChannelRow(const orvex_test::TiffSpec& tiffSpec, uint32_t row,
                                        uint16_t channel);

/// Samples of 1, 2 or 4 bits packed most significant bit first; 8, 16 and 32-bit samples as
/// host-order bytes, the way libtiff hands them out.
std::vector<uint8_t> packSamples(const std::vector<uint32_t>& samples, uint16_t bitsPerSample);

}  // namespace orvex_lines_test
