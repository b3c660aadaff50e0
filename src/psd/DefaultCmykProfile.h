// The CMYK profile colours are shown through when no file brings one: process inks on white
// paper, described by the CIE L*a*b* colour of each of their sixteen overprints.
#pragma once

#include <lcms2.h>

namespace orvex {

class DefaultCmykProfile {
public:
  DefaultCmykProfile() = delete;

  /// A new profile for cmsCloseProfile(), or null when Little CMS cannot build one.
  static cmsHPROFILE create();
};

}  // namespace orvex
