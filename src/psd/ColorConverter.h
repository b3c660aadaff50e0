// Shows a Photoshop colour to hosts that only want to display it: in sRGB and in CIE L*a*b*,
// converted by Little CMS.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "psd/PSDImageResources.h"

namespace orvex {

struct ShownColor {
  std::array<uint8_t, 3> srgb{};
  std::array<float, 3> lab{};  ///< D50
};

class ColorConverter {
public:
  ColorConverter() = delete;

  /// RGB (taken as sRGB), HSB, CMYK (through the built-in CMYK profile), Lab (D50) and grey
  /// (an sRGB grey); empty for any other colour space, or in a build without Little CMS.
  static std::optional<ShownColor> convert(const PSDColor& color);
};

}  // namespace orvex
