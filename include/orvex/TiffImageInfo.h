// The description of one image directory as a host sees it: what the reader hands out and
// what the writer takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// How samples are to be interpreted; the numbers of TIFF SampleFormat (tag 339).
enum class TiffSampleFormat : int32_t {
  Unknown = -1,  ///< a TIFF value without counterpart
  Uint = 1,
  Int = 2,
  IeeeFp = 3,
  Void = 4,
  ComplexInt = 5,
  ComplexIeeeFp = 6,
};

/// Colour model of the delivered samples. Palette and YCbCr have no enumerator: the reader
/// delivers palette images as RGB and YCbCr images as RGBA.
enum class TiffPhotometric : int32_t {
  Unknown = -1,
  MinIsWhite = 0,
  MinIsBlack = 1,
  Rgb = 2,
  Mask = 3,
  Separated = 4,
  CieLab = 5,
  IccLab = 6,
  ItuLab = 7,
  Cfa = 8,
  LogL = 9,
  LogLuv = 10,
};

/// Unit of the two resolutions.
enum class TiffResolutionUnit : int32_t {
  Unknown = -1,  ///< no unit (TIFF RESUNIT_NONE) or an unknown value
  Inch = 0,
  Centimeter = 1,
};

/// What an extra channel is.
enum class TiffChannelType : int32_t {
  Unspecified = 0,
  AssociatedAlpha = 1,
  UnassociatedAlpha = 2,
  SpotColor = 3,  ///< marked as a spot colour in the file's Photoshop image resources
};

/// One extra channel (alpha, spot colour or other) beyond the colour model.
struct TiffChannelInfo {
  TiffChannelType type = TiffChannelType::Unspecified;
  std::string name;  ///< UTF-8; empty when the file names none
};

/// One image directory after normalisation (orientation applied, palette expanded).
/// For orientations whose stored rows are image columns (5 to 8), width/height and the two
/// resolutions are those of the upright picture, while `scanlineCount` stays the number of
/// stored rows and each delivered scanline is a column.
struct TiffImageInfo {
  uint32_t width = 0;                     ///< pixels per output row
  uint32_t height = 0;                    ///< output rows
  uint16_t bitsPerSample = 0;             ///< bits of one delivered sample
  uint16_t samplesPerPixel = 0;           ///< extra samples included
  uint16_t extraSamples = 0;              ///< samples beyond the colour model
  std::vector<TiffChannelInfo> channels;  ///< one per extra sample, in sample order
  TiffSampleFormat sampleFormat = TiffSampleFormat::Unknown;
  TiffPhotometric photometric = TiffPhotometric::Unknown;
  float xResolution = 0.0F;  ///< pixels per unit along an output row
  float yResolution = 0.0F;  ///< pixels per unit along an output column
  TiffResolutionUnit resolutionUnit = TiffResolutionUnit::Unknown;
  uint32_t scanlineCount = 0;       ///< valid rows for readScanline: 0 .. scanlineCount - 1
  std::vector<uint8_t> iccProfile;  ///< the embedded ICC profile, byte for byte
};
