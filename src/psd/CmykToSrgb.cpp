#include "psd/CmykToSrgb.h"

#ifdef ORVEX_COLOR_CONVERSION
#include <lcms2.h>

#include <initializer_list>

#include "psd/DefaultCmykProfile.h"
#endif

namespace orvex {

#ifdef ORVEX_COLOR_CONVERSION

namespace {

// Relative colorimetric, as the channels' colours are shown: paper white is the screen's white.
cmsHTRANSFORM transformFrom(cmsHPROFILE cmyk, cmsUInt32Number format) {
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform =
      cmyk == nullptr || srgb == nullptr
          ? nullptr
          : cmsCreateTransform(cmyk, format, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
  for (cmsHPROFILE profile : {cmyk, srgb}) {
    if (profile != nullptr) {
      cmsCloseProfile(profile);
    }
  }
  return transform;
}

}  // namespace

// A CMYK profile that opens but cannot be used (a table missing) shows nothing; the built-in
// profile then shows the page rather than nothing.
std::unique_ptr<CmykToSrgb> CmykToSrgb::create(const uint8_t* iccProfile, size_t profileSize,
                                               uint16_t bitsPerSample, uint16_t samplesPerPixel) {
  const cmsUInt32Number format = (bitsPerSample == 16 ? TYPE_CMYK_16 : TYPE_CMYK_8) |
                                 EXTRA_SH(static_cast<cmsUInt32Number>(samplesPerPixel - 4));
  bool builtIn = false;
  cmsHTRANSFORM transform =
      transformFrom(DefaultCmykProfile::openOrCreate(iccProfile, profileSize, builtIn), format);
  if (transform == nullptr && !builtIn) {
    builtIn = true;
    transform = transformFrom(DefaultCmykProfile::create(), format);
  }
  return transform == nullptr ? nullptr
                              : std::unique_ptr<CmykToSrgb>(new CmykToSrgb(transform, builtIn));
}

CmykToSrgb::~CmykToSrgb() {
  cmsDeleteTransform(transform_);
}

void CmykToSrgb::convert(const uint8_t* pixels, uint32_t count, uint8_t* srgb) const {
  cmsDoTransform(transform_, pixels, srgb, count);
}

#else

std::unique_ptr<CmykToSrgb> CmykToSrgb::create(const uint8_t* /*iccProfile*/,
                                               size_t /*profileSize*/, uint16_t /*bitsPerSample*/,
                                               uint16_t /*samplesPerPixel*/) {
  return nullptr;
}

CmykToSrgb::~CmykToSrgb() = default;

void CmykToSrgb::convert(const uint8_t* /*pixels*/, uint32_t /*count*/, uint8_t* /*srgb*/) const {}

#endif

}  // namespace orvex
