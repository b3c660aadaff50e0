#include "TiffHandle.h"

#include <stdexcept>
#include <string>

namespace orvex_bench {

TiffHandle::TiffHandle(const char* path, const char* mode) : tif_(TIFFOpen(path, mode)) {
  if (tif_ == nullptr) {
    throw std::runtime_error(std::string("cannot open ") + path);
  }
}

TiffHandle::~TiffHandle() {
  if (tif_ != nullptr) {
    TIFFClose(tif_);
  }
}

void TiffHandle::close() {
  TIFF* tif = tif_;
  tif_ = nullptr;
  const int flushed = TIFFFlush(tif);
  TIFFClose(tif);
  if (flushed != 1) {
    throw std::runtime_error("TIFFFlush failed");
  }
}

}  // namespace orvex_bench
