// Which line reader, if any, can deliver the scanlines of a directory.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace orvex {

struct TiffInfo;

enum class LineReaderKind {
  Refused,  ///< the directory cannot be delivered; the reason has been logged
  Common,   ///< raw strips or tiles
  Special,  ///< libtiff's RGBA interface
};

class LineReaderChoice {
public:
  /// Applies the checks that belong to the record's photometric interpretation, in order;
  /// the first that fails logs its reason. `tif` and `dirIndex` serve the checks that need
  /// tags beyond the record (the ink set).
  static LineReaderKind choose(TIFF* tif, uint16_t dirIndex, const TiffInfo& info);
};

}  // namespace orvex
