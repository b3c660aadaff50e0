// The names hosts give the colour samples of a pixel, so that the orvex tool's planes and the
// Python module's channel coordinates agree: R, G, B; C, M, Y, K; Grey.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/orvex_c.h"

namespace orvex_hosts {

/// Colour sample `sample` of a page of `photometric` (ORVEX_PHOTOMETRIC_), "sample N" when the
/// colour model names no such sample.
inline std::string colourSampleName(int32_t photometric, uint16_t sample) {
  struct ModelNames {
    int32_t photometric;
    const char* names[4];
  };
  static const ModelNames kModels[] = {
      {ORVEX_PHOTOMETRIC_MIN_IS_WHITE, {"Grey"}},
      {ORVEX_PHOTOMETRIC_MIN_IS_BLACK, {"Grey"}},
      {ORVEX_PHOTOMETRIC_RGB, {"R", "G", "B"}},
      {ORVEX_PHOTOMETRIC_SEPARATED, {"C", "M", "Y", "K"}},
  };
  for (const ModelNames& model : kModels) {
    if (model.photometric == photometric && sample < 4 && model.names[sample] != nullptr) {
      return model.names[sample];
    }
  }
  return "sample " + std::to_string(sample);
}

/// An extra channel's name as shown: its own, or "extra N" for extra sample N without one.
inline std::string extraChannelName(const std::string& name, size_t index) {
  return name.empty() ? "extra " + std::to_string(index) : name;
}

}  // namespace orvex_hosts
