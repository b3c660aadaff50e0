// The colour map of a palette directory: three tables of 2^bitsPerSample 16-bit entries each.
#pragma once

#include <cstdint>

namespace orvex {

/// The tables stay libtiff's and are valid while their directory stays current.
struct ColorMap {
  const uint16_t* red = nullptr;
  const uint16_t* green = nullptr;
  const uint16_t* blue = nullptr;
};

}  // namespace orvex
