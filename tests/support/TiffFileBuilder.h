// Writes small TIFF files with libtiff, for tests that need images with given tags.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvex_test {

/// The tags of one directory. Optional tags left unset are not written.
struct TiffSetup {
  uint32_t width = 4;
  uint32_t height = 4;
  uint16_t bitsPerSample = 8;
  uint16_t samplesPerPixel = 1;
  uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  uint16_t planar = PLANARCONFIG_CONTIG;
  uint16_t compression = COMPRESSION_NONE;
  std::optional<uint16_t> sampleFormat;
  std::optional<uint16_t> orientation;
  std::optional<float> xResolution;
  std::optional<float> yResolution;
  std::optional<uint16_t> resolutionUnit;
  std::optional<uint16_t> inkSet;
  std::optional<std::pair<uint16_t, uint16_t>> ycbcrSubsampling;
  std::optional<int> jpegQuality;    ///< with COMPRESSION_JPEG
  std::optional<int> jpegColorMode;  ///< JPEGCOLORMODE_RGB: libtiff takes RGB rows for YCbCr
  std::vector<uint16_t> extraSamples;
  uint32_t rowsPerStrip = 0;  ///< 0: libtiff's default
  uint32_t tileWidth = 0;     ///< non-zero (with tileLength): a tiled image
  uint32_t tileLength = 0;
  std::vector<uint8_t> iccProfile;
  std::vector<uint8_t> photoshop;  ///< tag 34377 bytes; written when non-empty
  std::vector<uint16_t> colorMap;  ///< red, green, blue tables one after the other
  /// Strips (or tiles) already compressed with `compression`, written as they are: for codecs
  /// libtiff decodes but cannot encode, and for damaged blocks. The stored image is unused.
  std::vector<std::vector<uint8_t>> rawBlocks;
};

/// Bytes of one stored row of one plane, as libtiff packs it (sub-byte samples packed,
/// most significant bit first). For contiguous data the plane holds every sample.
size_t storedRowBytes(const TiffSetup& tiffSetup);

/// Number of planes the stored data has: samplesPerPixel for separate, 1 for contiguous.
uint16_t storedPlaneCount(const TiffSetup& tiffSetup);

/// TIFFOpen of a UTF-8 path, whatever the platform's narrow file names are.
TIFF* openTiff(const std::string& utf8Path, const char* mode);

/// The bytes of tag 34377 in the first directory of a file; empty when there is none.
std::vector<uint8_t> photoshopTagOf(const std::string& path);

/// Writes directories one after the other into one file.
class TiffFileBuilder {
public:
  /// `mode` is libtiff's: "w8" writes a BigTIFF, "wb" a big-endian file.
  explicit TiffFileBuilder(const std::string& path, const char* mode = "w");
  ~TiffFileBuilder();
  TiffFileBuilder(const TiffFileBuilder&) = delete;
  TiffFileBuilder& operator=(const TiffFileBuilder&) = delete;

  /// Adds a directory. `stored` holds the image as it is stored, plane after plane, row
  /// after row, each row storedRowBytes(tiffSetup) long; strips or tiles are cut from it.
  void addDirectory(const TiffSetup& tiffSetup, const std::vector<uint8_t>& stored);

private:
  void setTags(const TiffSetup& tiffSetup);
  void writeBlocks(const TiffSetup& tiffSetup, const std::vector<uint8_t>& stored);
  void writeRawBlocks(const TiffSetup& tiffSetup);
  TIFF* tif_;
};

/// One directory in a new file.
void writeTiff(const std::string& path, const TiffSetup& tiffSetup,
               const std::vector<uint8_t>& stored);

/// Stored bytes whose values follow a simple pattern, sized for `tiffSetup`.
std::vector<uint8_t> patternImage(const TiffSetup& tiffSetup, uint8_t seed = 1);

}  // namespace orvex_test
