#include "boundary/PublicEnumerations.h"

#include <tiffio.h>

#include <array>
#include <cstddef>

namespace orvex {
namespace {

template <typename Host>
struct Pair {
  Host host;
  uint16_t tiff;
};

// One table per enumeration, read in both directions; each direction has its own value for
// what the table does not list.
template <typename Host, size_t N>
struct Table {
  std::array<Pair<Host>, N> pairs;
  uint16_t otherTiff;
  Host otherHost;

  uint16_t tiffOf(Host host) const {
    for (const Pair<Host>& pair : pairs) {
      if (pair.host == host) return pair.tiff;
    }
    return otherTiff;
  }

  Host hostOf(uint16_t tiff) const {
    for (const Pair<Host>& pair : pairs) {
      if (pair.tiff == tiff) return pair.host;
    }
    return otherHost;
  }
};

constexpr Table<TiffPhotometric, 11> kPhotometric{
    {{{TiffPhotometric::MinIsWhite, PHOTOMETRIC_MINISWHITE},
      {TiffPhotometric::MinIsBlack, PHOTOMETRIC_MINISBLACK},
      {TiffPhotometric::Rgb, PHOTOMETRIC_RGB},
      {TiffPhotometric::Mask, PHOTOMETRIC_MASK},
      {TiffPhotometric::Separated, PHOTOMETRIC_SEPARATED},
      {TiffPhotometric::CieLab, PHOTOMETRIC_CIELAB},
      {TiffPhotometric::IccLab, PHOTOMETRIC_ICCLAB},
      {TiffPhotometric::ItuLab, PHOTOMETRIC_ITULAB},
      {TiffPhotometric::Cfa, PHOTOMETRIC_CFA},
      {TiffPhotometric::LogL, PHOTOMETRIC_LOGL},
      {TiffPhotometric::LogLuv, PHOTOMETRIC_LOGLUV}}},
    PHOTOMETRIC_MINISWHITE,
    TiffPhotometric::Unknown};

constexpr Table<TiffSampleFormat, 6> kSampleFormat{
    {{{TiffSampleFormat::Uint, SAMPLEFORMAT_UINT},
      {TiffSampleFormat::Int, SAMPLEFORMAT_INT},
      {TiffSampleFormat::IeeeFp, SAMPLEFORMAT_IEEEFP},
      {TiffSampleFormat::Void, SAMPLEFORMAT_VOID},
      {TiffSampleFormat::ComplexInt, SAMPLEFORMAT_COMPLEXINT},
      {TiffSampleFormat::ComplexIeeeFp, SAMPLEFORMAT_COMPLEXIEEEFP}}},
    SAMPLEFORMAT_UINT,
    TiffSampleFormat::Unknown};

constexpr Table<TiffResolutionUnit, 2> kResolutionUnit{
    {{{TiffResolutionUnit::Inch, RESUNIT_INCH},
      {TiffResolutionUnit::Centimeter, RESUNIT_CENTIMETER}}},
    RESUNIT_NONE,
    TiffResolutionUnit::Unknown};

constexpr Table<TiffChannelType, 3> kExtraSample{
    {{{TiffChannelType::Unspecified, EXTRASAMPLE_UNSPECIFIED},
      {TiffChannelType::AssociatedAlpha, EXTRASAMPLE_ASSOCALPHA},
      {TiffChannelType::UnassociatedAlpha, EXTRASAMPLE_UNASSALPHA}}},
    EXTRASAMPLE_UNSPECIFIED,
    TiffChannelType::Unspecified};

}  // namespace

uint16_t PublicEnumerations::tiffPhotometricOf(TiffPhotometric photometric) {
  return kPhotometric.tiffOf(photometric);
}

uint16_t PublicEnumerations::tiffSampleFormatOf(TiffSampleFormat sampleFormat) {
  return kSampleFormat.tiffOf(sampleFormat);
}

uint16_t PublicEnumerations::tiffResolutionUnitOf(TiffResolutionUnit unit) {
  return kResolutionUnit.tiffOf(unit);
}

uint16_t PublicEnumerations::tiffExtraSampleOf(TiffChannelType type) {
  return kExtraSample.tiffOf(type);
}

TiffPhotometric PublicEnumerations::photometricOf(uint16_t tiffPhotometric) {
  return kPhotometric.hostOf(tiffPhotometric);
}

TiffSampleFormat PublicEnumerations::sampleFormatOf(uint16_t tiffSampleFormat) {
  return kSampleFormat.hostOf(tiffSampleFormat);
}

TiffResolutionUnit PublicEnumerations::resolutionUnitOf(uint16_t tiffUnit) {
  return kResolutionUnit.hostOf(tiffUnit);
}

TiffChannelType PublicEnumerations::channelTypeOf(uint16_t tiffExtraSample) {
  return kExtraSample.hostOf(tiffExtraSample);
}

}  // namespace orvex
