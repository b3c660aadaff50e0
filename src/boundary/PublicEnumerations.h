// The host's enumerations against TIFF's own numbers, in both directions: the reader maps
// what a file holds to the host's values, the writer maps the host's values to tags.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

namespace orvex {

class PublicEnumerations {
public:
  PublicEnumerations() = delete;

  /// Host values without a TIFF counterpart (Unknown included) give MINISWHITE (0).
  static uint16_t tiffPhotometricOf(TiffPhotometric photometric);
  /// Host values without a TIFF counterpart give SAMPLEFORMAT_UINT.
  static uint16_t tiffSampleFormatOf(TiffSampleFormat sampleFormat);
  /// Host values without a TIFF counterpart (Unknown included) give RESUNIT_NONE.
  static uint16_t tiffResolutionUnitOf(TiffResolutionUnit unit);
  /// SpotColor and unknown types give EXTRASAMPLE_UNSPECIFIED: TIFF has no spot-colour
  /// kind, so spot channels are marked in the Photoshop image resources instead.
  static uint16_t tiffExtraSampleOf(TiffChannelType type);

  /// TIFF values without a host counterpart (palette and YCbCr among them) give Unknown.
  static TiffPhotometric photometricOf(uint16_t tiffPhotometric);
  static TiffSampleFormat sampleFormatOf(uint16_t tiffSampleFormat);
  /// RESUNIT_NONE and unknown units give Unknown.
  static TiffResolutionUnit resolutionUnitOf(uint16_t tiffUnit);
  /// ExtraSamples values other than the two alpha kinds give Unspecified.
  static TiffChannelType channelTypeOf(uint16_t tiffExtraSample);
};

}  // namespace orvex
