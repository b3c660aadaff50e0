// The words by which Python names the public enumerations, the same in both directions: the
// snake_case of the enumerators, except "float" for IEEE floating point, as numpy says, and
// "spot" for a spot-colour channel.
#pragma once

#include <string>

#include "orvex/TiffImageInfo.h"

namespace orvex_python {

class EnumNames {
public:
  static const char* of(TiffPhotometric value);
  static const char* of(TiffSampleFormat value);
  static const char* of(TiffResolutionUnit value);
  static const char* of(TiffChannelType value);

  /// The enumerator a word names; ValueError listing the words when there is none.
  static TiffPhotometric photometric(const std::string& name);
  static TiffResolutionUnit resolutionUnit(const std::string& name);
  static TiffChannelType channelType(const std::string& name);
};

}  // namespace orvex_python
