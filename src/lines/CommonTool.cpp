#include "lines/CommonTool.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

// These run once per delivered row, so each bit depth and common pixel size gets its own
// loop with the sizes known at compile time, chosen once per call.

template <size_t PixelBytes>
void reversePixels(uint8_t* row, uint32_t width) {
  for (uint32_t left = 0, right = width - 1; left < right; ++left, --right) {
    uint8_t* a = row + size_t{left} * PixelBytes;
    uint8_t* b = row + size_t{right} * PixelBytes;
    uint8_t held[PixelBytes];
    std::memcpy(held, a, PixelBytes);
    std::memcpy(a, b, PixelBytes);
    std::memcpy(b, held, PixelBytes);
  }
}

void reversePixels(uint8_t* row, uint32_t width, size_t pixelBytes) {
  for (uint32_t left = 0, right = width - 1; left < right; ++left, --right) {
    uint8_t* a = row + left * pixelBytes;
    std::swap_ranges(a, a + pixelBytes, row + right * pixelBytes);
  }
}

// Byte order of a 64-bit word reversed; compilers turn this into one instruction.
uint64_t reversedBytes(uint64_t word) {
  word = ((word & 0x00FF00FF00FF00FFULL) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFULL);
  word = ((word & 0x0000FFFF0000FFFFULL) << 16) | ((word >> 16) & 0x0000FFFF0000FFFFULL);
  return (word << 32) | (word >> 32);
}

// One-byte pixels (8-bit grey, unpacked sub-byte rows) are the commonest mirrored rows;
// swapping reversed 8-byte words from both ends is several times faster than byte by byte.
void reverseBytePixels(uint8_t* row, uint32_t width) {
  size_t left = 0;
  size_t right = width;
  for (; right - left >= 16; left += 8, right -= 8) {
    uint64_t front;
    uint64_t back;
    std::memcpy(&front, row + left, 8);
    std::memcpy(&back, row + right - 8, 8);
    front = reversedBytes(front);
    back = reversedBytes(back);
    std::memcpy(row + left, &back, 8);
    std::memcpy(row + right - 8, &front, 8);
  }
  std::reverse(row + left, row + right);
}

void reverseRow(uint8_t* row, uint32_t width, uint16_t pixelBytes) {
  switch (pixelBytes) {
    case 1:
      reverseBytePixels(row, width);
      break;
    case 2:
      reversePixels<2>(row, width);
      break;
    case 3:
      reversePixels<3>(row, width);
      break;
    case 4:
      reversePixels<4>(row, width);
      break;
    case 6:
      reversePixels<6>(row, width);
      break;
    case 8:
      reversePixels<8>(row, width);
      break;
    case 12:
      reversePixels<12>(row, width);
      break;
    case 16:
      reversePixels<16>(row, width);
      break;
    default:
      reversePixels(row, width, pixelBytes);
      break;
  }
}

template <unsigned Bits>
constexpr unsigned kSamplesPerByte = 8 / Bits;

template <unsigned Bits>
constexpr unsigned kSampleMask = (1U << Bits) - 1;

// Shift that brings sample k of a byte (k = 0 in the most significant bits) to bit 0.
template <unsigned Bits>
constexpr unsigned sampleShift(size_t k) {
  return 8 - Bits * static_cast<unsigned>(k + 1);
}

// The samples of every possible packed byte, so that unpacking is one load and one
// fixed-size store per source byte.
template <unsigned Bits>
using UnpackedByte = std::array<uint8_t, kSamplesPerByte<Bits>>;

template <unsigned Bits>
constexpr std::array<UnpackedByte<Bits>, 256> makeUnpackTable() {
  std::array<UnpackedByte<Bits>, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    for (unsigned k = 0; k < kSamplesPerByte<Bits>; ++k) {
      table[byte][k] = static_cast<uint8_t>((byte >> sampleShift<Bits>(k)) & kSampleMask<Bits>);
    }
  }
  return table;
}

template <unsigned Bits>
constexpr std::array<UnpackedByte<Bits>, 256> kUnpackTable = makeUnpackTable<Bits>();

template <unsigned Bits>
void unpackSamples(const uint8_t* src, uint8_t* dest, uint64_t sampleCount) {
  constexpr unsigned n = kSamplesPerByte<Bits>;
  const uint64_t wholeBytes = sampleCount / n;
  for (uint64_t j = 0; j < wholeBytes; ++j) {
    std::memcpy(dest + j * n, kUnpackTable<Bits>[src[j]].data(), n);
  }
  const size_t rest = static_cast<size_t>(sampleCount % n);
  if (rest != 0) {
    std::memcpy(dest + wholeBytes * n, kUnpackTable<Bits>[src[wholeBytes]].data(), rest);
  }
}

// One packed byte from the samples at src, expanded at compile time for every sample.
template <unsigned Bits, size_t... K>
uint8_t packByte(const uint8_t* src, std::index_sequence<K...>) {
  return static_cast<uint8_t>((((src[K] & kSampleMask<Bits>) << sampleShift<Bits>(K)) | ...));
}

template <unsigned Bits>
void packSamples(const uint8_t* src, uint8_t* dest, uint64_t sampleCount) {
  constexpr unsigned n = kSamplesPerByte<Bits>;
  const uint64_t wholeBytes = sampleCount / n;
  for (uint64_t j = 0; j < wholeBytes; ++j) {
    dest[j] = packByte<Bits>(src + j * n, std::make_index_sequence<n>());
  }
  const size_t rest = static_cast<size_t>(sampleCount % n);
  if (rest != 0) {
    uint8_t last[n] = {};
    std::memcpy(last, src + wholeBytes * n, rest);
    dest[wholeBytes] = packByte<Bits>(last, std::make_index_sequence<n>());
  }
}

bool isSubByteDepth(uint16_t bitsPerSample) {
  return bitsPerSample == 1 || bitsPerSample == 2 || bitsPerSample == 4;
}

// Calls convert with the depth (1, 2 or 4) as a compile-time constant.
template <typename Convert>
void withSubByteDepth(uint16_t bitsPerSample, Convert convert) {
  switch (bitsPerSample) {
    case 1:
      convert(std::integral_constant<unsigned, 1>());
      break;
    case 2:
      convert(std::integral_constant<unsigned, 2>());
      break;
    default:
      convert(std::integral_constant<unsigned, 4>());
      break;
  }
}

uint64_t packedBytes(uint16_t bitsPerSample, uint64_t sampleCount) {
  return (bitsPerSample * sampleCount + 7) / 8;
}

// The size messages all take the operation's name, the buffer's size and the size needed.
bool hasRoom(const char* operation, const char* format, int64_t bytes, uint64_t suitableBytes) {
  if (bytes >= 0 && static_cast<uint64_t>(bytes) >= suitableBytes) {
    return true;
  }
  moduleLogger().log(kLogError, format, operation, static_cast<long long>(bytes),
                     static_cast<long long>(suitableBytes));
  return false;
}

}  // namespace

bool CommonTool::reverseScanline_8multiple_BitsPerSample(uint8_t* scanline, int64_t scanlineBytes,
                                                         uint16_t samplesPerPixel,
                                                         uint16_t bitsPerSample, uint32_t width) {
  const uint16_t pixelBytes =
      static_cast<uint16_t>((uint32_t{samplesPerPixel} * bitsPerSample) / 8);
  const uint64_t suitableBytes = uint64_t{width} * pixelBytes;
  if (!hasRoom("CommonTool::reverseScanline_8multiple_BitsPerSample",
               "[%s] scanlineBytes(%lld) < suitableBytes(%lld)", scanlineBytes, suitableBytes)) {
    return false;
  }
  if (suitableBytes != 0) {
    reverseRow(scanline, width, pixelBytes);
  }
  return true;
}

bool CommonTool::convert_1_2_4_To_8Bits(const uint8_t* src, int64_t srcScanlineBytes, uint8_t* dest,
                                        int64_t destScanlineBytes, uint16_t samplesPerPixel,
                                        uint16_t bitsPerSample, uint32_t width) {
  static const char* const kOperation = "CommonTool::convert_1_2_4_To_8Bits";
  if (!isSubByteDepth(bitsPerSample)) {
    return false;
  }
  const uint64_t sampleCount = uint64_t{samplesPerPixel} * width;
  if (!hasRoom(kOperation, "[%s] srcScanlineBytes(%lld) < srcSuitableBytes(%lld)", srcScanlineBytes,
               packedBytes(bitsPerSample, sampleCount)) ||
      !hasRoom(kOperation, "[%s] destScanlineBytes(%lld) < destSuitableBytes(%lld)",
               destScanlineBytes, sampleCount)) {
    return false;
  }
  withSubByteDepth(bitsPerSample, [&](auto bits) {
    unpackSamples<decltype(bits)::value>(src, dest, sampleCount);
  });
  return true;
}

bool CommonTool::convert_8_To_1_2_4Bits(const uint8_t* src, int64_t srcScanlineBytes, uint8_t* dest,
                                        int64_t destScanlineBytes, uint16_t samplesPerPixel,
                                        uint16_t bitsPerSample, uint32_t width) {
  static const char* const kOperation = "CommonTool::convert_8_To_1_2_4Bits";
  if (!isSubByteDepth(bitsPerSample)) {
    return false;
  }
  const uint64_t sampleCount = uint64_t{width} * samplesPerPixel;
  const uint64_t destSuitableBytes = packedBytes(bitsPerSample, sampleCount);
  if (!hasRoom(kOperation, "[%s] srcScanlineBytes(%lld) < srcSuitableBytes(%lld) ",
               srcScanlineBytes, sampleCount) ||
      !hasRoom(kOperation, "[%s] destScanlineBytes(%lld) < destSuitableBytes(%lld)",
               destScanlineBytes, destSuitableBytes)) {
    return false;
  }
  // The whole buffer is cleared, its spare bits and bytes past the row included, so that a
  // packed row never carries an earlier row's bits.
  std::memset(dest, 0, static_cast<size_t>(destScanlineBytes));
  withSubByteDepth(bitsPerSample,
                   [&](auto bits) { packSamples<decltype(bits)::value>(src, dest, sampleCount); });
  return true;
}

}  // namespace orvex
