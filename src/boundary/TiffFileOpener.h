// Opening a TIFF file by its UTF-8 name, the one place that differs between platforms.
#pragma once

#include <tiffio.h>

namespace orvex {

class TiffFileOpener {
public:
  /// Converts the name to UTF-16 first, so an ill-formed name throws
  /// std::range_error("bad conversion") on every platform. Windows opens the UTF-16 name
  /// with TIFFOpenW; elsewhere the UTF-8 bytes are the native file name.
  static TIFF* open(const char* utf8Name, const char* mode);
};

}  // namespace orvex
