// Deterministic picture content that compresses roughly as a photograph or a scan would:
// each channel is a gradient running its own way, with mild noise on part of the samples.
// Flat or random content would flatter or punish LZW and make the timings meaningless.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex_bench {

class SmoothContent {
public:
  SmoothContent(uint32_t width, uint32_t height);

  /// Row `y` of 8-bit samples, `samples` per pixel interleaved.
  void row8(uint32_t y, uint16_t samples, uint8_t* out);
  /// Row `y` of 16-bit samples (native byte order), `samples` per pixel interleaved.
  void row16(uint32_t y, uint16_t samples, uint16_t* out);
  /// Row `y` of 1-bit samples packed most significant bit first: diagonal bands with ragged
  /// edges, like halftoned or scanned line art.
  void row1(uint32_t y, uint8_t* out);

private:
  /// Channel `channel` at column `x` of a row whose vertical ramp value is `down`.
  uint8_t gradient(uint16_t channel, uint32_t x, uint32_t down) const;
  uint32_t rowRamp(uint32_t y) const;
  uint32_t nextNoise();

  uint32_t width_;
  uint32_t height_;
  // Per-column ramps, so a row costs no division per sample even 65536 pixels wide.
  std::vector<uint8_t> columnRamp_;
  uint32_t noiseState_ = 0x9E3779B9u;
};

}  // namespace orvex_bench
