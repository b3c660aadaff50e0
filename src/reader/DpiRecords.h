// Geometry and resolution of an image before and after its orientation and a rotation are
// applied, as computed by TiffHelper::calculate_DPI.
#pragma once

#include <cstdint>

namespace orvex {

struct DpiInput {
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint16_t orientation_ = 0;  ///< TIFF Orientation value
  int32_t rotation_ = 0;      ///< degrees, any sign
  float xResolution_ = 0.0f;
  float yResolution_ = 0.0f;
  uint16_t resolutionUnit_ = 0;  ///< TIFF ResolutionUnit value
};

struct DpiOutput {
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  float physicalWidthMm_ = 0.0f;
  float physicalHeightMm_ = 0.0f;
  float xResolution_ = 0.0f;  ///< in the input's unit
  float yResolution_ = 0.0f;  ///< in the input's unit
  uint16_t resolutionUnit_ = 0;
};

}  // namespace orvex
