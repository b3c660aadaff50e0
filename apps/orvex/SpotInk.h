// A spot colour's plate laid over a proof, as ink of its display colour.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "PageInfo.h"
#include "SampleConverter.h"

namespace orvex_cli {

/// The ink filters the light under it by its colour, as far as it covers the paper and as its
/// opacity lets it, so overprints darken as on press. Per sRGB component, with the ink's
/// coverage t (the sample scaled to 0..1, its top 8 bits), its opacity a (0..1) and its colour
/// s (0..1):
///
///     out = out * (1 - a * t * (1 - s))
///
/// rounded to the nearest level. Full ink at full opacity multiplies the pixel by the spot's
/// colour; no ink, or an opacity of 0, leaves it as it was. A spot without a colour the
/// library converts shows as black ink at full opacity.
class SpotInk {
public:
  /// The spot of extra sample `sample` (counted among all the samples of a pixel).
  SpotInk(const ChannelRecord& channel, unsigned sample);

  /// Lays the ink of `count` delivered pixels of `samplesPerPixel` over `rgb`.
  void lay(const SampleConverter& converter, const uint8_t* row, unsigned samplesPerPixel,
           uint32_t count, uint8_t* rgb) const;

private:
  /// 255 x 255 x 100: a component's share kept, in units of ink, colour and opacity levels.
  static constexpr uint32_t kWhole = 6502500;

  unsigned sample_;
  /// For each component and ink level, the share of the light kept, of kWhole.
  std::array<std::array<uint32_t, 256>, 3> kept_{};
};

}  // namespace orvex_cli
