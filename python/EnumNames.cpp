#include "EnumNames.h"

#include <pybind11/pybind11.h>

namespace orvex_python {
namespace {

template <class Enum>
struct Named {
  Enum value;
  const char* name;
};

const Named<TiffPhotometric> kPhotometrics[] = {
    {TiffPhotometric::Unknown, "unknown"},
    {TiffPhotometric::MinIsWhite, "min_is_white"},
    {TiffPhotometric::MinIsBlack, "min_is_black"},
    {TiffPhotometric::Rgb, "rgb"},
    {TiffPhotometric::Mask, "mask"},
    {TiffPhotometric::Separated, "separated"},
    {TiffPhotometric::CieLab, "cie_lab"},
    {TiffPhotometric::IccLab, "icc_lab"},
    {TiffPhotometric::ItuLab, "itu_lab"},
    {TiffPhotometric::Cfa, "cfa"},
    {TiffPhotometric::LogL, "log_l"},
    {TiffPhotometric::LogLuv, "log_luv"},
};

const Named<TiffSampleFormat> kSampleFormats[] = {
    {TiffSampleFormat::Unknown, "unknown"},
    {TiffSampleFormat::Uint, "uint"},
    {TiffSampleFormat::Int, "int"},
    {TiffSampleFormat::IeeeFp, "float"},
    {TiffSampleFormat::Void, "void"},
    {TiffSampleFormat::ComplexInt, "complex_int"},
    {TiffSampleFormat::ComplexIeeeFp, "complex_float"},
};

const Named<TiffResolutionUnit> kResolutionUnits[] = {
    {TiffResolutionUnit::Unknown, "unknown"},
    {TiffResolutionUnit::Inch, "inch"},
    {TiffResolutionUnit::Centimeter, "centimeter"},
};

const Named<TiffChannelType> kChannelTypes[] = {
    {TiffChannelType::Unspecified, "unspecified"},
    {TiffChannelType::AssociatedAlpha, "associated_alpha"},
    {TiffChannelType::UnassociatedAlpha, "unassociated_alpha"},
    {TiffChannelType::SpotColor, "spot"},
};

// A value outside its table can only come from a newer library; the first entry stands in.
template <class Enum, size_t N>
const char* nameOf(const Named<Enum> (&table)[N], Enum value) {
  for (const Named<Enum>& entry : table) {
    if (entry.value == value) {
      return entry.name;
    }
  }
  return table[0].name;
}

template <class Enum, size_t N>
Enum valueOf(const Named<Enum> (&table)[N], const std::string& name, const char* what) {
  std::string names;
  for (const Named<Enum>& entry : table) {
    if (name == entry.name) {
      return entry.value;
    }
    names += names.empty() ? "" : ", ";
    names += entry.name;
  }
  throw pybind11::value_error("unknown " + std::string(what) + " \"" + name + "\" (one of " +
                              names + ")");
}

}  // namespace

const char* EnumNames::of(TiffPhotometric value) {
  return nameOf(kPhotometrics, value);
}

const char* EnumNames::of(TiffSampleFormat value) {
  return nameOf(kSampleFormats, value);
}

const char* EnumNames::of(TiffResolutionUnit value) {
  return nameOf(kResolutionUnits, value);
}

const char* EnumNames::of(TiffChannelType value) {
  return nameOf(kChannelTypes, value);
}

TiffPhotometric EnumNames::photometric(const std::string& name) {
  return valueOf(kPhotometrics, name, "photometric");
}

TiffResolutionUnit EnumNames::resolutionUnit(const std::string& name) {
  return valueOf(kResolutionUnits, name, "resolution unit");
}

TiffChannelType EnumNames::channelType(const std::string& name) {
  return valueOf(kChannelTypes, name, "channel kind");
}

}  // namespace orvex_python
