#include "boundary/c/CmykToSrgbHandle.h"

#include "boundary/ModuleLogger.h"

using orvex::kLogError;
using orvex::moduleLogger;

namespace {

const char* const kCreate = "orvex_cmyk_to_srgb_create";

}  // namespace

orvex_status orvex_cmyk_to_srgb::create(const uint8_t* iccProfile, uint32_t profileSize,
                                        uint16_t bitsPerSample, uint16_t samplesPerPixel) {
  if (bitsPerSample != 8 && bitsPerSample != 16) {
    moduleLogger().log(kLogError, "[%s] %u bits per sample: CMYK is converted from 8 or 16 bits!",
                       kCreate, unsigned{bitsPerSample});
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  if (samplesPerPixel < 4) {
    moduleLogger().log(kLogError, "[%s] %u samples per pixel: CMYK takes 4 at least!", kCreate,
                       unsigned{samplesPerPixel});
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  transform_ = orvex::CmykToSrgb::create(iccProfile, profileSize, bitsPerSample, samplesPerPixel);
  if (transform_) {
    return ORVEX_STATUS_OK;
  }
#ifdef ORVEX_COLOR_CONVERSION
  moduleLogger().log(kLogError, "[%s] Little CMS cannot convert through the profile!", kCreate);
  return ORVEX_STATUS_DAMAGED_DATA;
#else
  moduleLogger().log(kLogError, "[%s] this library was built without colour conversion!", kCreate);
  return ORVEX_STATUS_REFUSED;
#endif
}
