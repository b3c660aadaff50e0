// The rows of a numpy array as the writer takes them.
#pragma once

#include <pybind11/numpy.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex_python {

/// Hands out each row of a (height, width) or (height, width, samples) array, all samples
/// interleaved or one channel: straight from the array where those bytes lie side by side,
/// otherwise gathered into a buffer of one row, so the image is never copied whole. Built
/// with the GIL held; its rows may then be taken without it while the array is kept alive.
class ArrayRows {
public:
  explicit ArrayRows(const pybind11::array& array);

  /// Row `y` with the samples of each pixel together.
  const uint8_t* row(uint32_t y) { return gather(y, 0, samples_); }
  /// Channel `channel` of row `y`.
  const uint8_t* channelRow(uint16_t channel, uint32_t y) { return gather(y, channel, 1); }

private:
  const uint8_t* gather(uint32_t y, uint16_t first, uint16_t count);

  const uint8_t* data_;
  size_t elementBytes_;
  uint32_t width_;
  uint16_t samples_;
  ptrdiff_t rowStride_;
  ptrdiff_t pixelStride_;
  ptrdiff_t sampleStride_;
  std::vector<uint8_t> buffer_;
};

}  // namespace orvex_python
