// Opening a TIFF file by its UTF-8 name, the one place that differs between platforms.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace orvex {

class TiffFileOpener {
public:
  /// The largest single allocation libtiff may make for an open file (directory arrays,
  /// compressed strip or tile data, codec buffers). Counts a file declares can otherwise make
  /// libtiff allocate gigabytes before any data is read; real files need a few megabytes.
  static constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t{256} << 20;

  /// Converts the name to UTF-16 first, so an ill-formed name throws
  /// std::range_error("bad conversion") on every platform. Windows opens the UTF-16 name
  /// with TIFFOpenWExt; elsewhere the UTF-8 bytes are the native file name. Both open with
  /// kMaxLibtiffAllocation as libtiff's allocation limit and LibtiffMessages' handlers.
  static TIFF* open(const char* utf8Name, const char* mode);
};

}  // namespace orvex
