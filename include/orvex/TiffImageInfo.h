/// \file
/// The description of one image directory as a host sees it: what the reader hands out and
/// what the writer takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// How samples are to be interpreted; the numbers of TIFF SampleFormat (tag 339).
enum class TiffSampleFormat : int32_t {
  Unknown = -1,       ///< A TIFF value without counterpart; the writer stores it as `Uint`.
  Uint = 1,           ///< Unsigned integers.
  Int = 2,            ///< Two's complement signed integers.
  IeeeFp = 3,         ///< IEEE floating point.
  Void = 4,           ///< Untyped data.
  ComplexInt = 5,     ///< Complex signed integers.
  ComplexIeeeFp = 6,  ///< Complex IEEE floating point.
};

/// Colour model of the delivered samples, a dense renumbering of TIFF
/// PhotometricInterpretation (tag 262). Palette and YCbCr have no enumerator: the reader
/// delivers palette images as `Rgb` and YCbCr images as `Rgb` with an associated alpha, and
/// the writer never writes either kind.
enum class TiffPhotometric : int32_t {
  Unknown = -1,    ///< A TIFF value without counterpart; the writer stores it as `MinIsWhite`.
  MinIsWhite = 0,  ///< Grey, 0 is white (TIFF 0).
  MinIsBlack = 1,  ///< Grey, 0 is black (TIFF 1).
  Rgb = 2,         ///< Red, green, blue (TIFF 2).
  Mask = 3,        ///< Transparency mask (TIFF 4).
  Separated = 4,   ///< Separated inks, CMYK (TIFF 5).
  CieLab = 5,      ///< CIE L*a*b* (TIFF 8).
  IccLab = 6,      ///< ICC L*a*b* (TIFF 9).
  ItuLab = 7,      ///< ITU L*a*b* (TIFF 10).
  Cfa = 8,         ///< Colour filter array (TIFF 32803).
  LogL = 9,        ///< SGI log luminance (TIFF 32844).
  LogLuv = 10,     ///< SGI log luminance and chrominance (TIFF 32845).
};

/// Unit of the two resolutions (TIFF ResolutionUnit, tag 296).
enum class TiffResolutionUnit : int32_t {
  Unknown = -1,    ///< No unit (TIFF RESUNIT_NONE) or an unknown value.
  Inch = 0,        ///< Pixels per inch.
  Centimeter = 1,  ///< Pixels per centimetre.
};

/// What an extra channel is.
enum class TiffChannelType : int32_t {
  Unspecified = 0,        ///< Any other extra sample (TIFF ExtraSamples 0 or an unknown value).
  AssociatedAlpha = 1,    ///< Alpha by which the colour samples are premultiplied (ExtraSamples 1).
  UnassociatedAlpha = 2,  ///< Alpha independent of the colour samples (ExtraSamples 2).
  SpotColor = 3,          ///< A spot colour, marked in the file's Photoshop image resources.
};

/// One extra channel (alpha, spot colour or other) beyond the colour model.
struct TiffChannelInfo {
  /// What the channel is. The reader takes alpha kinds from the ExtraSamples tag and spot
  /// colours from the Photoshop image resources; the writer stores alpha kinds in
  /// ExtraSamples and marks spot colours in the Photoshop image resources.
  TiffChannelType type = TiffChannelType::Unspecified;
  /// The channel's name in UTF-8; empty when the file names none. The writer requires valid
  /// UTF-8. The reader converts each 16-bit unit of a file's Unicode name on its own, so a
  /// character above U+FFFF arrives as two 3-byte sequences, one per surrogate, which is not
  /// well-formed UTF-8: a host joins them with orvex::joinSurrogatePairs() (ChannelNames.h)
  /// before it shows the name or hands it to the writer.
  std::string name;
};

/// One image directory as the reader delivers it, after normalisation: orientation applied,
/// palette images expanded to RGB, YCbCr images decoded to RGB with an associated alpha.
///
/// The reader's getImageInfo() returns a fresh copy that the host owns; a default-constructed
/// record is the "unset" record (zeros, empty vectors, `Unknown` enumerations). The writer's
/// begin() reads every field except `scanlineCount`. Because the record carries standard
/// library containers across the module boundary, host and library must use the same
/// standard library.
///
/// For stored orientations 5 to 8, whose stored rows are columns of the picture, `width`,
/// `height` and the two resolutions describe the upright picture while `scanlineCount` stays
/// the number of stored rows, and each delivered scanline is a column (see
/// ITiffReader::isRowScanline()).
struct TiffImageInfo {
  uint32_t width = 0;            ///< Pixels per row of the upright picture.
  uint32_t height = 0;           ///< Rows of the upright picture.
  uint16_t bitsPerSample = 0;    ///< Bits of one sample in the delivered scanlines.
  uint16_t samplesPerPixel = 0;  ///< Samples per pixel, extra samples included.
  uint16_t extraSamples = 0;     ///< Samples beyond the colour model.
  /// The extra channels in sample order: `channels[i]` describes extra sample i, which is
  /// sample `samplesPerPixel - extraSamples + i`.
  ///
  /// The reader lists the extra samples the file stores, so the list can be shorter than
  /// `extraSamples`: a YCbCr directory is delivered with one extra sample, the associated
  /// alpha its RGBA decoding adds, and when it carries Photoshop image resources (tag 34377)
  /// that alpha has no record and the list is empty. A host checks the size before it
  /// indexes, and takes an extra sample without a record for an unnamed associated alpha.
  /// The writer uses the first `extraSamples` records.
  std::vector<TiffChannelInfo> channels;
  /// How the samples are to be interpreted.
  TiffSampleFormat sampleFormat = TiffSampleFormat::Unknown;
  /// Colour model of the delivered samples.
  TiffPhotometric photometric = TiffPhotometric::Unknown;
  float xResolution = 0.0F;  ///< Pixels per `resolutionUnit` along a row of the upright picture.
  float yResolution = 0.0F;  ///< Pixels per `resolutionUnit` along a column of the upright picture.
  /// Unit of the two resolutions, as the file gives it (never converted). A file without
  /// resolution tags reads as 72 x 72 per inch.
  TiffResolutionUnit resolutionUnit = TiffResolutionUnit::Unknown;
  /// Number of scanlines the reader delivers: the valid rows of ITiffReader::readScanline()
  /// are 0 to scanlineCount - 1. Always the number of stored rows.
  uint32_t scanlineCount = 0;
  std::vector<uint8_t> iccProfile;  ///< The embedded ICC profile, byte for byte; empty if none.
};
