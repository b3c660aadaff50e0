#include "DemoImage.h"

#include <algorithm>
#include <cmath>

#include "IccProfileBuilder.h"

namespace orvex_cli {
namespace {

constexpr uint32_t kWidth = 320;
constexpr uint32_t kHeight = 200;
constexpr uint16_t kColourSamples = 3;
constexpr uint16_t kExtraSamples = 2;
constexpr float kDotsPerInch = 300.0F;

// Opaque inside a disc, fading to transparent over its rim.
uint8_t discAlpha(uint32_t x, uint32_t y) {
  const double dx = x - kWidth / 2.0;
  const double dy = y - kHeight / 2.0;
  const double fromRim = 90.0 - std::sqrt(dx * dx + dy * dy);
  return static_cast<uint8_t>(std::clamp(fromRim * 25.5, 0.0, 255.0));
}

// Diagonal stripes, as a varnish plate might be.
uint8_t spotStripes(uint32_t x, uint32_t y) {
  return ((x + y) / 16) % 2 == 0 ? 255 : 0;
}

uint8_t premultiplied(uint32_t colour, uint8_t alpha) {
  return static_cast<uint8_t>((colour * alpha + 127) / 255);
}

}  // namespace

DemoImage::DemoImage() {
  info_.width = kWidth;
  info_.height = kHeight;
  info_.bitsPerSample = 8;
  info_.samplesPerPixel = kColourSamples + kExtraSamples;
  info_.extraSamples = kExtraSamples;
  info_.channels = {{ORVEX_CHANNEL_ASSOCIATED_ALPHA, "Alpha", std::nullopt},
                    {ORVEX_CHANNEL_SPOT, "Spot Varnish", std::nullopt}};
  info_.sampleFormat = ORVEX_SAMPLE_FORMAT_UINT;
  info_.photometric = ORVEX_PHOTOMETRIC_RGB;
  info_.xResolution = kDotsPerInch;
  info_.yResolution = kDotsPerInch;
  info_.resolutionUnit = ORVEX_RESOLUTION_UNIT_INCH;
  info_.scanlineCount = kHeight;
  info_.iccProfile = IccProfileBuilder::rgbDisplayProfile("Orvex demo RGB, gamma 2.2");
}

std::vector<uint8_t> DemoImage::row(uint32_t y) const {
  std::vector<uint8_t> samples;
  samples.reserve(size_t{kWidth} * info_.samplesPerPixel);
  for (uint32_t x = 0; x < kWidth; ++x) {
    const uint8_t alpha = discAlpha(x, y);
    samples.push_back(premultiplied(x * 255 / (kWidth - 1), alpha));
    samples.push_back(premultiplied(y * 255 / (kHeight - 1), alpha));
    samples.push_back(premultiplied(160, alpha));
    samples.push_back(alpha);
    samples.push_back(spotStripes(x, y));
  }
  return samples;
}

}  // namespace orvex_cli
