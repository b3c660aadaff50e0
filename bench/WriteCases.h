// The writer benchmark: one RGB + alpha picture, 8 bits per sample, written as LZW strips of
// 10 rows through the library's writer and through TIFFWriteScanline with the same tags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex_bench {

/// The picture both writers store, made once so that content generation is not timed.
class RgbaPicture {
public:
  RgbaPicture(uint32_t width, uint32_t height);
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  uint32_t rowBytes() const { return width_ * 4; }
  const uint8_t* row(uint32_t y) const { return pixels_.data() + size_t{y} * rowBytes(); }

private:
  uint32_t width_;
  uint32_t height_;
  std::vector<uint8_t> pixels_;
};

/// Throws std::runtime_error on failure.
void writeThroughLibrary(const char* path, const RgbaPicture& picture);
void writeWithLibtiff(const char* path, const RgbaPicture& picture);

}  // namespace orvex_bench
