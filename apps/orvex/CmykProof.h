// A separated image shown as it prints: its CMYK in sRGB by the library's colour conversion,
// then its spot colours laid over as ink.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PageInfo.h"
#include "SampleConverter.h"
#include "SpotInk.h"
#include "orvex/orvex_c.h"

namespace orvex_cli {

/// CMYK of 8 or 16 bits goes to the library as delivered; any other depth first becomes 8-bit
/// CMYK as a grey preview scales it. Alpha and unspecified extra channels are not shown.
class CmykProof {
public:
  /// Throws ToolError with the library's reason when it cannot convert CMYK (a library built
  /// without colour conversion).
  explicit CmykProof(const PageInfo& info);

  /// The `width` pixels of a delivered row, every sample, to 3 x `width` bytes of sRGB.
  void render(const uint8_t* row, uint8_t* rgb);
  /// What the proof shows: the profile and the spots.
  const std::string& description() const { return description_; }

private:
  const uint8_t* cmykOf(const uint8_t* row);
  void describe(const PageInfo& info, bool builtIn);

  uint32_t width_;
  unsigned samplesPerPixel_;
  SampleConverter converter_;
  bool direct_;                  ///< the library takes the delivered samples
  std::vector<uint8_t> scaled_;  ///< 8-bit CMYK of a row of another depth
  std::vector<SpotInk> spots_;
  std::unique_ptr<orvex_cmyk_to_srgb, orvex_status (*)(orvex_cmyk_to_srgb*)> toSrgb_;
  std::string description_;
};

}  // namespace orvex_cli
