// The CMYK-to-sRGB handle of the C interface: the request checked, then the library's
// transform.
#pragma once

#include <cstdint>
#include <memory>

#include "orvex/orvex_c.h"
#include "psd/CmykToSrgb.h"

struct orvex_cmyk_to_srgb {
public:
  orvex_status create(const uint8_t* iccProfile, uint32_t profileSize, uint16_t bitsPerSample,
                      uint16_t samplesPerPixel);
  bool builtIn() const { return transform_->builtIn(); }
  void convert(const uint8_t* pixels, uint32_t count, uint8_t* srgb) const {
    transform_->convert(pixels, count, srgb);
  }

private:
  std::unique_ptr<orvex::CmykToSrgb> transform_;
};
