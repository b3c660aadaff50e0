// Static operations that describe one directory of an open libtiff handle.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "reader/ColorMap.h"
#include "reader/DirectoryChain.h"
#include "reader/DpiRecords.h"
#include "reader/TiffInfo.h"

namespace orvex {

class TiffHelper {
public:
  TiffHelper() = delete;

  /// Reads the tags of the current directory into `info`, with defaults for missing optional
  /// tags (each logged as a warning and kept in `info.assumedDefaults_`). False (with one
  /// error line) when a required tag is missing; false without a line for a null handle. The
  /// directory's index and the file's directory count are the caller's to fill.
  static bool readTiffInfo(TIFF* tif, TiffInfo& info);
  /// Selects directory `dirIndex` of `chain` and reads it; the handle stays there.
  static bool readTiffInfo(TIFF* tif, DirectoryChain& chain, uint16_t dirIndex, TiffInfo& info);
  /// Logs again the warnings of the defaults `info` was read with.
  static void logAssumedDefaults(const TiffInfo& info);
  /// Writes `info` to the log as the directory dump.
  static void logTiffInfo(const std::string& fileName, const TiffInfo& info);
  /// Size and resolution of the image once it is turned upright and rotated.
  static void calculate_DPI(const DpiInput& input, DpiOutput& output);
  /// Copies the ICC profile of the current directory, directory `dirIndex` of the file; leaves
  /// `iccProfile` as it was when the directory has none.
  static void readTiffIccProfile(TIFF* tif, uint16_t dirIndex, std::vector<uint8_t>& iccProfile);
  /// The colour map of the current directory, a palette image. False (with an error line,
  /// unless a table pointer is null) when it has none.
  static bool getPaletteInfo(TIFF* tif, ColorMap& colorMap);
};

}  // namespace orvex
