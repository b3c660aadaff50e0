// Shows a Photoshop colour to hosts that only want to display it: in sRGB and in CIE L*a*b*,
// converted by Little CMS.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "psd/PSDImageResources.h"

namespace orvex {

struct ShownColor {
  std::array<uint8_t, 3> srgb{};
  std::array<float, 3> lab{};  ///< D50
};

class ColorConverter {
public:
  ColorConverter() = delete;

  /// RGB (taken as sRGB), HSB, CMYK, Lab (D50) and grey (an sRGB grey); empty for any other
  /// colour space, or in a build without Little CMS. CMYK goes through `iccProfile` when it
  /// is a CMYK profile, else through the built-in one.
  static std::optional<ShownColor> convert(const PSDColor& color,
                                           const std::vector<uint8_t>& iccProfile);
};

}  // namespace orvex
