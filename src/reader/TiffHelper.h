// Static operations that describe one directory of an open libtiff handle.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "reader/DpiRecords.h"
#include "reader/TiffInfo.h"

namespace orvex {

class TiffHelper {
public:
  TiffHelper() = delete;

  /// The file's directory count kept in 16 bits: files with more directories are read
  /// through their first 65535 rather than wrapping round to a small count.
  static uint16_t numberOfDirectories(TIFF* tif);
  /// Reads the current directory into `info`, with defaults for missing optional tags.
  /// False (with one error line) when a required tag is missing or the ink set of a
  /// separated image is not CMYK; false without a line for a null handle.
  static bool readTiffInfo(TIFF* tif, TiffInfo& info);
  /// Reads directory `dirIndex` and leaves the handle on the directory it was on.
  static bool readTiffInfo(TIFF* tif, uint16_t dirIndex, TiffInfo& info);
  /// Writes `info` to the log as the directory dump.
  static void logTiffInfo(const std::string& fileName, const TiffInfo& info);
  /// Size and resolution of the image once it is turned upright and rotated.
  static void calculate_DPI(const DpiInput& input, DpiOutput& output);
  /// Copies the ICC profile of directory `dirIndex`; leaves `iccProfile` as it was when the
  /// directory has none or cannot be selected. The handle stays on `dirIndex`.
  static void readTiffIccProfile(TIFF* tif, uint16_t dirIndex, std::vector<uint8_t>& iccProfile);
  /// The colour map of the current directory, which must be a palette image: three tables of
  /// 2^bitsPerSample entries each. The tables stay libtiff's and are valid while the directory
  /// stays current. False (with an error line, unless a table pointer is null) otherwise.
  static bool getPaletteInfo(TIFF* tif, uint16_t& bitsPerSample, const uint16_t*& red,
                             const uint16_t*& green, const uint16_t*& blue);
};

}  // namespace orvex
