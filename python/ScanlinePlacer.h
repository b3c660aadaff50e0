// Puts delivered scanlines into a numpy picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex_python {

/// The upright picture a directory's scanlines fill, and how they come.
struct PictureShape {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t samples = 0;      ///< Delivered samples per pixel: all of them, or 1 for a channel.
  uint16_t bits = 0;         ///< Bits per delivered sample.
  size_t elementBytes = 0;   ///< Bytes of one numpy element.
  bool rowScanlines = true;  ///< False when scanlines are columns (stored orientations 5 to 8).
};

/// Writes scanlines into a C-ordered (height, width, samples) array: rows as they come,
/// columns across the rows, samples of 1, 2 or 4 bits unpacked into one byte each.
class ScanlinePlacer {
public:
  ScanlinePlacer(uint8_t* picture, const PictureShape& shape);

  /// Places scanline `index`: row `index`, or column `index`. False when `size` is short of
  /// a whole scanline.
  bool place(uint32_t index, const uint8_t* data, uint32_t size);

private:
  void unpack(const uint8_t* packed, uint8_t* samples) const;

  uint8_t* picture_;
  PictureShape shape_;
  size_t pixelBytes_;
  size_t scanlineSamples_;
  size_t scanlineBytes_;  // as the library delivers it
  std::vector<uint8_t> column_;
};

}  // namespace orvex_python
