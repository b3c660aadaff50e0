// A libtiff handle closed when it goes out of scope.
#pragma once

#include <tiffio.h>

namespace orvex_bench {

class TiffHandle {
public:
  /// Opens `path` with TIFFOpen's `mode`; throws std::runtime_error when it cannot.
  TiffHandle(const char* path, const char* mode);
  ~TiffHandle();
  TiffHandle(const TiffHandle&) = delete;
  TiffHandle& operator=(const TiffHandle&) = delete;

  TIFF* get() const { return tif_; }
  /// Closes now, flushing what is written; throws when the flush fails.
  void close();

private:
  TIFF* tif_;
};

}  // namespace orvex_bench
