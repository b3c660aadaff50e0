#include "SpotInk.h"

#include <algorithm>

namespace orvex_cli {

SpotInk::SpotInk(const ChannelRecord& channel, unsigned sample) : sample_(sample) {
  std::array<uint8_t, 3> colour{0, 0, 0};
  uint32_t opacity = 100;
  if (channel.color && channel.color->srgb) {
    colour = *channel.color->srgb;
    opacity = std::min<uint32_t>(channel.color->opacity, 100);
  }
  for (size_t c = 0; c < 3; ++c) {
    for (uint32_t ink = 0; ink < 256; ++ink) {
      kept_[c][ink] = kWhole - opacity * ink * (255U - colour[c]);
    }
  }
}

void SpotInk::lay(const SampleConverter& converter, const uint8_t* row, unsigned samplesPerPixel,
                  uint32_t count, uint8_t* rgb) const {
  for (uint32_t x = 0; x < count; ++x) {
    const uint8_t ink = converter.toByte(row, size_t{x} * samplesPerPixel + sample_);
    uint8_t* pixel = rgb + size_t{x} * 3;
    for (size_t c = 0; c < 3; ++c) {
      pixel[c] = static_cast<uint8_t>((pixel[c] * kept_[c][ink] + kWhole / 2) / kWhole);
    }
  }
}

}  // namespace orvex_cli
