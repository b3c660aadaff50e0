#include "lines/ScanlineBufferArray.h"

#include <new>
#include <stdexcept>

namespace orvex {

bool ScanlineBufferArray::holds(size_t count, int64_t bufferSize) const {
  return buffers_.size() == count && bufferSize_ == bufferSize;
}

bool ScanlineBufferArray::rebuild(size_t count, int64_t bufferSize) {
  clear();
  if (count == 0) {
    return true;
  }
  if (bufferSize <= 0 || count > static_cast<uint64_t>(maxTotalBytes_ / bufferSize)) {
    return false;
  }
  bufferSize_ = bufferSize;
  buffers_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    std::unique_ptr<ScanlineBuffer> buffer(new (std::nothrow) ScanlineBuffer);
    if (!buffer || !buffer->resize(bufferSize)) {
      clear();
      return false;
    }
    buffers_.push_back(std::move(buffer));
  }
  return true;
}

void ScanlineBufferArray::clear() {
  buffers_.clear();
  bufferSize_ = 0;
}

void ScanlineBufferArray::zeroFill() {
  for (auto& buffer : buffers_) {
    buffer->zeroFill();
  }
}

ScanlineBuffer& ScanlineBufferArray::at(size_t index) {
  return const_cast<ScanlineBuffer&>(static_cast<const ScanlineBufferArray&>(*this).at(index));
}

const ScanlineBuffer& ScanlineBufferArray::at(size_t index) const {
  if (index >= buffers_.size()) {
    throw std::out_of_range("out range!");
  }
  return *buffers_[index];
}

}  // namespace orvex
