// The CMYK profile colours are shown through when no file brings one: process inks on white
// paper, described by the CIE L*a*b* colour of each of their sixteen overprints.
#pragma once

#include <lcms2.h>

#include <cstddef>
#include <cstdint>

namespace orvex {

class DefaultCmykProfile {
public:
  DefaultCmykProfile() = delete;

  /// A new profile for cmsCloseProfile(), or null when Little CMS cannot build one.
  static cmsHPROFILE create();
  /// `iccProfile` opened when it is a CMYK profile, else a new built-in one (`builtIn` says
  /// which); null when Little CMS can open neither.
  static cmsHPROFILE openOrCreate(const uint8_t* iccProfile, size_t size, bool& builtIn);
};

}  // namespace orvex
