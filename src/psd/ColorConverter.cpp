#include "psd/ColorConverter.h"

#ifdef ORVEX_COLOR_CONVERSION
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "psd/DefaultCmykProfile.h"
#endif

namespace orvex {

#ifdef ORVEX_COLOR_CONVERSION
namespace {

using Profile = std::unique_ptr<void, cmsBool (*)(cmsHPROFILE)>;

Profile owned(cmsHPROFILE profile) {
  return Profile(profile, cmsCloseProfile);
}

// A colour as Little CMS takes it: 16-bit RGB or CMYK words, or Lab as doubles.
struct Source {
  Profile profile = owned(nullptr);
  cmsUInt32Number format = 0;
  std::array<cmsUInt16Number, 4> words{};
  cmsCIELab lab{};

  const void* pixel() const {
    return format == TYPE_Lab_DBL ? static_cast<const void*>(&lab) : words.data();
  }
};

// Hue in sixths of the circle: the sector picks which of red, green and blue is the
// brightness, which the least, and which rises or falls between them.
std::array<cmsUInt16Number, 4> rgbOfHsb(const std::array<uint16_t, 4>& hsb) {
  const double hue = hsb[0] / 65535.0 * 6.0;
  const double saturation = hsb[1] / 65535.0;
  const double brightness = hsb[2] / 65535.0;
  const int sector = static_cast<int>(hue) % 6;
  const double within = hue - std::floor(hue);
  const double least = brightness * (1.0 - saturation);
  const double falling = brightness * (1.0 - saturation * within);
  const double rising = brightness * (1.0 - saturation * (1.0 - within));
  const double sectors[6][3] = {
      {brightness, rising, least},  {falling, brightness, least}, {least, brightness, rising},
      {least, falling, brightness}, {rising, least, brightness},  {brightness, least, falling},
  };
  std::array<cmsUInt16Number, 4> rgb{};
  for (int i = 0; i < 3; ++i) {
    rgb[i] = static_cast<cmsUInt16Number>(std::lround(sectors[sector][i] * 65535.0));
  }
  return rgb;
}

// Grey ink from 0 (white) to 10000 (black), as the sRGB grey of the light it leaves.
std::array<cmsUInt16Number, 4> rgbOfGrey(uint16_t ink) {
  const uint32_t light = 10000U - std::min<uint32_t>(ink, 10000U);
  const auto level = static_cast<cmsUInt16Number>((light * 65535U + 5000U) / 10000U);
  return {level, level, level, 0};
}

// Photoshop stores the light an ink leaves, 0 for full ink; Little CMS takes the ink.
std::array<cmsUInt16Number, 4> inkOf(const std::array<uint16_t, 4>& cmyk) {
  return {
      static_cast<cmsUInt16Number>(65535 - cmyk[0]), static_cast<cmsUInt16Number>(65535 - cmyk[1]),
      static_cast<cmsUInt16Number>(65535 - cmyk[2]), static_cast<cmsUInt16Number>(65535 - cmyk[3])};
}

Profile cmykProfileOf(const std::vector<uint8_t>& iccProfile) {
  bool builtIn = false;
  return owned(DefaultCmykProfile::openOrCreate(iccProfile.data(), iccProfile.size(), builtIn));
}

Source sourceOf(const PSDColor& color, const std::vector<uint8_t>& iccProfile) {
  Source source;
  const std::array<uint16_t, 4>& c = color.components;
  switch (color.colorSpace) {
    case kPSDColorRgb:
      source = {owned(cmsCreate_sRGBProfile()), TYPE_RGB_16, {c[0], c[1], c[2]}, {}};
      break;
    case kPSDColorHsb:
      source = {owned(cmsCreate_sRGBProfile()), TYPE_RGB_16, rgbOfHsb(c), {}};
      break;
    case kPSDColorGrey:
      source = {owned(cmsCreate_sRGBProfile()), TYPE_RGB_16, rgbOfGrey(c[0]), {}};
      break;
    case kPSDColorCmyk:
      source = {cmykProfileOf(iccProfile), TYPE_CMYK_16, inkOf(c), {}};
      break;
    case kPSDColorLab:
      source = {owned(cmsCreateLab4Profile(nullptr)), TYPE_Lab_DBL, {}, {}};
      source.lab = {c[0] / 100.0, static_cast<int16_t>(c[1]) / 100.0,
                    static_cast<int16_t>(c[2]) / 100.0};
      break;
    default:
      break;
  }
  return source;
}

bool transform(const Source& source, cmsHPROFILE target, cmsUInt32Number format, void* out) {
  cmsHTRANSFORM transform = cmsCreateTransform(source.profile.get(), source.format, target, format,
                                               INTENT_RELATIVE_COLORIMETRIC, 0);
  if (transform == nullptr) {
    return false;
  }
  cmsDoTransform(transform, source.pixel(), out, 1);
  cmsDeleteTransform(transform);
  return true;
}

}  // namespace

std::optional<ShownColor> ColorConverter::convert(const PSDColor& color,
                                                  const std::vector<uint8_t>& iccProfile) {
  const Source source = sourceOf(color, iccProfile);
  const Profile srgb = owned(cmsCreate_sRGBProfile());
  const Profile lab = owned(cmsCreateLab4Profile(nullptr));
  ShownColor shown;
  if (!source.profile || !srgb || !lab ||
      !transform(source, srgb.get(), TYPE_RGB_8, shown.srgb.data()) ||
      !transform(source, lab.get(), TYPE_Lab_FLT, shown.lab.data())) {
    return std::nullopt;
  }
  return shown;
}

#else

std::optional<ShownColor> ColorConverter::convert(const PSDColor& /*color*/,
                                                  const std::vector<uint8_t>& /*iccProfile*/) {
  return std::nullopt;
}

#endif

}  // namespace orvex
