// Names of the public enumerations: an identifier for JSON (the enumerator's own name) and
// a text for people.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

namespace orvex_cli {

struct EnumName {
  const char* id;
  const char* text;
};

class EnumNames {
public:
  static EnumName of(TiffSampleFormat value);
  static EnumName of(TiffPhotometric value);
  static EnumName of(TiffResolutionUnit value);
  static EnumName of(TiffChannelType value);
};

}  // namespace orvex_cli
