#include "lines/OrientationAutoRollback.h"

namespace orvex {

OrientationAutoRollback::OrientationAutoRollback(TIFF* tif, uint16_t orientation) : tif_(tif) {
  TIFFGetFieldDefaulted(tif_, TIFFTAG_ORIENTATION, &savedOrientation_);
  TIFFSetField(tif_, TIFFTAG_ORIENTATION, static_cast<unsigned>(orientation));
}

OrientationAutoRollback::~OrientationAutoRollback() {
  TIFFSetField(tif_, TIFFTAG_ORIENTATION, static_cast<unsigned>(savedOrientation_));
}

}  // namespace orvex
