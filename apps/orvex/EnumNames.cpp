#include "EnumNames.h"

#include <cstddef>

namespace orvex_cli {
namespace {

struct NamedValue {
  int32_t value;
  EnumName name;
};

// A value outside its table can only come from a library newer than this tool.
const EnumName kUnlisted = {"Unknown", "unknown"};

template <size_t N>
EnumName lookUp(const NamedValue (&table)[N], int32_t value) {
  for (const NamedValue& entry : table) {
    if (entry.value == value) {
      return entry.name;
    }
  }
  return kUnlisted;
}

const NamedValue kSampleFormats[] = {
    {-1, {"Unknown", "unknown"}},
    {1, {"Uint", "unsigned integer"}},
    {2, {"Int", "signed integer"}},
    {3, {"IeeeFp", "floating point"}},
    {4, {"Void", "untyped"}},
    {5, {"ComplexInt", "complex integer"}},
    {6, {"ComplexIeeeFp", "complex floating point"}},
};

const NamedValue kPhotometrics[] = {
    {-1, {"Unknown", "unknown"}},
    {0, {"MinIsWhite", "grey, min is white"}},
    {1, {"MinIsBlack", "grey, min is black"}},
    {2, {"Rgb", "RGB"}},
    {3, {"Mask", "transparency mask"}},
    {4, {"Separated", "separated (CMYK)"}},
    {5, {"CieLab", "CIE L*a*b*"}},
    {6, {"IccLab", "ICC L*a*b*"}},
    {7, {"ItuLab", "ITU L*a*b*"}},
    {8, {"Cfa", "colour filter array"}},
    {9, {"LogL", "LogL"}},
    {10, {"LogLuv", "LogLuv"}},
};

const NamedValue kResolutionUnits[] = {
    {-1, {"Unknown", "no unit"}},
    {0, {"Inch", "inch"}},
    {1, {"Centimeter", "centimetre"}},
};

const NamedValue kChannelTypes[] = {
    {0, {"Unspecified", "unspecified"}},
    {1, {"AssociatedAlpha", "associated alpha"}},
    {2, {"UnassociatedAlpha", "unassociated alpha"}},
    {3, {"SpotColor", "spot colour"}},
};

}  // namespace

EnumName EnumNames::of(TiffSampleFormat value) {
  return lookUp(kSampleFormats, static_cast<int32_t>(value));
}

EnumName EnumNames::of(TiffPhotometric value) {
  return lookUp(kPhotometrics, static_cast<int32_t>(value));
}

EnumName EnumNames::of(TiffResolutionUnit value) {
  return lookUp(kResolutionUnits, static_cast<int32_t>(value));
}

EnumName EnumNames::of(TiffChannelType value) {
  return lookUp(kChannelTypes, static_cast<int32_t>(value));
}

}  // namespace orvex_cli
