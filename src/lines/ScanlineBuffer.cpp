#include "lines/ScanlineBuffer.h"

#include <tiffio.h>

namespace orvex {

ScanlineBuffer::~ScanlineBuffer() {
  release();
}

bool ScanlineBuffer::resize(int64_t newSize) {
  release();
  // tmsize_t is narrower than 64 bits on 32-bit builds; a size it cannot hold is refused.
  if (newSize <= 0 || newSize > kMaxBufferBytes || newSize != static_cast<tmsize_t>(newSize)) {
    return false;
  }
  data = static_cast<uint8_t*>(_TIFFmalloc(static_cast<tmsize_t>(newSize)));
  if (data == nullptr) {
    return false;
  }
  size = newSize;
  zeroFill();
  return true;
}

void ScanlineBuffer::release() {
  if (data != nullptr) {
    _TIFFfree(data);
  }
  data = nullptr;
  size = 0;
}

void ScanlineBuffer::zeroFill() {
  if (data != nullptr) {
    _TIFFmemset(data, 0, static_cast<tmsize_t>(size));
  }
}

}  // namespace orvex
