// Palette test images and the RGB rows the line reader must deliver for them, worked out
// from the stored indexes and the colour map alone.
#pragma once

#include <cstdint>
#include <vector>

#include "LineTestReader.h"
#include "support/TiffFileBuilder.h"

namespace orvex_lines_test {

/// Red, green and blue tables one after the other, every value below 256.
std::vector<uint16_t> narrowColorMap(uint16_t bitsPerSample);

/// A one-sample palette image of the given layout whose indexes are storedSample(tiffSpec, x, y,
/// 0).
orvex_test::TiffSpec paletteSpec(uint32_t width, uint32_t height, uint16_t bitsPerSample,
                                 uint16_t planar, bool tiled, uint16_t orientation,
                                 std::vector<uint16_t> colorMap);

/// Entry `index` of table `table` (0 red, 1 green, 2 blue) of a colour map laid out as above.
uint16_t colorMapEntry(const std::vector<uint16_t>& colorMap, uint16_t table, uint32_t index);

/// The delivered RGB row for indexes already in delivered order, at 8 or 16 bits per sample.
std::vector<uint8_t> rgbRowOf(const std::vector<uint32_t>& indexes,
                              const std::vector<uint16_t>& colorMap, uint16_t outputBits);

/// Delivered row `row` of an image written from paletteSpec.
std::vector<uint8_t> expectedRgbRow(const orvex_test::TiffSpec& tiffSpec, uint32_t row,
                                    uint16_t outputBits);

/// Channel `channel` of an RGB row.
std::vector<uint8_t> channelOf(const std::vector<uint8_t>& rgbRow, uint16_t channel,
                               uint16_t outputBits);

}  // namespace orvex_lines_test
