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

  /// Why the system refuses to open the file, as an errno value; 0 when it opens. libtiff
  /// names the cause only in its message, and on Windows not even there. `forWriting`
  /// opens for appending, which creates a missing file (the caller removes it) and truncates
  /// nothing.
  static int systemErrorOf(const char* utf8Name, bool forWriting);
};

}  // namespace orvex
