#include "PaletteTestImage.h"

#include "ReferenceImage.h"

namespace orvex_lines_test {

using orvex_test::TiffSpec;

std::vector<uint16_t> narrowColorMap(uint16_t bitsPerSample) {
  const uint32_t entries = 1u << bitsPerSample;
  std::vector<uint16_t> map(3 * size_t{entries});
  for (uint32_t i = 0; i < entries; ++i) {
    map[i] = static_cast<uint16_t>((i * 37 + 11) & 0xFF);
    map[entries + i] = static_cast<uint16_t>((i * 101 + 60) & 0xFF);
    map[2 * entries + i] = static_cast<uint16_t>((255 - i * 13) & 0xFF);
  }
  return map;
}

TiffSpec paletteSpec(uint32_t width, uint32_t height, uint16_t bitsPerSample, uint16_t planar,
                     bool tiled, uint16_t orientation, std::vector<uint16_t> colorMap) {
  TiffSpec tiffSpec = layoutSpec(width, height, bitsPerSample, 1, planar, tiled, orientation);
  tiffSpec.photometric = PHOTOMETRIC_PALETTE;
  tiffSpec.colorMap = std::move(colorMap);
  return tiffSpec;
}

uint16_t colorMapEntry(const std::vector<uint16_t>& colorMap, uint16_t table, uint32_t index) {
  return colorMap.at(colorMap.size() / 3 * table + index);
}

std::vector<uint8_t> rgbRowOf(const std::vector<uint32_t>& indexes,
                              const std::vector<uint16_t>& colorMap, uint16_t outputBits) {
  std::vector<uint32_t> samples;
  for (uint32_t index : indexes) {
    for (uint16_t table = 0; table < 3; ++table) {
      samples.push_back(colorMapEntry(colorMap, table, index));
    }
  }
  return packSamples(samples, outputBits);
}

std::vector<uint8_t> expectedRgbRow(const TiffSpec& tiffSpec, uint32_t row, uint16_t outputBits) {
  std::vector<uint32_t> indexes;
  for (uint32_t i = 0; i < tiffSpec.width; ++i) {
    const StoredPixel from = storedPixelOfDelivered(tiffSpec.orientation.value_or(1),
                                                    tiffSpec.width, tiffSpec.height, row, i);
    indexes.push_back(storedSample(tiffSpec, from.x, from.y, 0));
  }
  return rgbRowOf(indexes, tiffSpec.colorMap, outputBits);
}

std::vector<uint8_t> channelOf(const std::vector<uint8_t>& rgbRow, uint16_t channel,
                               uint16_t outputBits) {
  const size_t sampleBytes = outputBits / 8;
  std::vector<uint8_t> plane;
  for (size_t pixel = 0; pixel < rgbRow.size(); pixel += 3 * sampleBytes) {
    const auto first = rgbRow.begin() + static_cast<std::ptrdiff_t>(pixel + channel * sampleBytes);
    plane.insert(plane.end(), first, first + static_cast<std::ptrdiff_t>(sampleBytes));
  }
  return plane;
}

}  // namespace orvex_lines_test
