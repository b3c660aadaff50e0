// Stateless operations on one scanline in caller-owned memory: mirroring rows of whole-byte
// samples, and unpacking / packing samples of 1, 2 or 4 bits to / from one byte each.
#pragma once

#include <cstdint>

namespace orvex {

class CommonTool {
public:
  CommonTool() = delete;

  /// Reverses the pixel order of the first width pixels in place; the bytes inside a pixel
  /// keep their order. False (logged) when scanlineBytes cannot hold the pixels.
  static bool reverseScanline_8multiple_BitsPerSample(uint8_t* scanline, int64_t scanlineBytes,
                                                      uint16_t samplesPerPixel,
                                                      uint16_t bitsPerSample, uint32_t width);

  /// Unpacks width × samplesPerPixel samples of 1, 2 or 4 bits (most significant bits
  /// first) into one byte each, unscaled. Bytes of dest after them are not touched. False
  /// for other bit depths (silently) or buffers too short (logged).
  static bool convert_1_2_4_To_8Bits(const uint8_t* src, int64_t srcScanlineBytes, uint8_t* dest,
                                     int64_t destScanlineBytes, uint16_t samplesPerPixel,
                                     uint16_t bitsPerSample, uint32_t width);

  /// Packs width × samplesPerPixel bytes into samples of 1, 2 or 4 bits, keeping the low
  /// bits of each byte. The rest of dest, spare bits included, is zeroed. False for other
  /// bit depths (silently) or buffers too short (logged).
  static bool convert_8_To_1_2_4Bits(const uint8_t* src, int64_t srcScanlineBytes, uint8_t* dest,
                                     int64_t destScanlineBytes, uint16_t samplesPerPixel,
                                     uint16_t bitsPerSample, uint32_t width);
};

}  // namespace orvex
