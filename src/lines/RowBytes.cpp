#include "lines/RowBytes.h"

#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

template <size_t kBytes>
void copySamplesOf(uint8_t* dest, size_t destStride, const uint8_t* source, size_t sourceStride,
                   size_t count) {
  for (size_t i = 0; i < count; ++i, dest += destStride, source += sourceStride) {
    std::memcpy(dest, source, kBytes);
  }
}

}  // namespace

bool RowBytes::sizeAndClear(ScanlineBuffer& buffer, int64_t size, const char* operation,
                            const char* failedText, const char* successText) {
  if (buffer.data != nullptr && buffer.size == size) {
    buffer.zeroFill();
    return true;
  }
  if (size > kMaxRowBytes || !buffer.resize(size)) {
    buffer.release();
    moduleLogger().log(kLogError, failedText, operation);
    return false;
  }
  if (successText != nullptr) {
    moduleLogger().log(kLogDetail, successText, operation);
  }
  return true;
}

void RowBytes::copySamples(uint8_t* dest, size_t destStride, const uint8_t* source,
                           size_t sourceStride, size_t count, size_t bytesPerSample) {
  switch (bytesPerSample) {
    case 1:
      copySamplesOf<1>(dest, destStride, source, sourceStride, count);
      break;
    case 2:
      copySamplesOf<2>(dest, destStride, source, sourceStride, count);
      break;
    case 4:
      copySamplesOf<4>(dest, destStride, source, sourceStride, count);
      break;
    case 8:
      copySamplesOf<8>(dest, destStride, source, sourceStride, count);
      break;
    default:
      for (size_t i = 0; i < count; ++i, dest += destStride, source += sourceStride) {
        std::memcpy(dest, source, bytesPerSample);
      }
  }
}

uint64_t RowBytes::stridedSpan(uint64_t count, uint64_t stride, uint64_t bytesPerSample) {
  return count == 0 ? 0 : (count - 1) * stride + bytesPerSample;
}

void RowBytes::requireSpan(const ScanlineBuffer& buffer, uint64_t offset, uint64_t span) {
  if (span != 0 && (buffer.data == nullptr || offset + span > static_cast<uint64_t>(buffer.size))) {
    throw std::out_of_range("out range!");
  }
}

}  // namespace orvex
