// Lends a libtiff handle another orientation value for a while and gives the directory its
// own value back when it goes away.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace orvex {

class OrientationAutoRollback {
public:
  /// Remembers the orientation of the handle's current directory, then sets `orientation`.
  OrientationAutoRollback(TIFF* tif, uint16_t orientation);
  /// Puts the remembered orientation back into the handle's current directory.
  ~OrientationAutoRollback();
  OrientationAutoRollback(const OrientationAutoRollback&) = delete;
  OrientationAutoRollback& operator=(const OrientationAutoRollback&) = delete;

private:
  uint16_t savedOrientation_ = ORIENTATION_TOPLEFT;
  TIFF* tif_;
};

}  // namespace orvex
