// Stateless operations on one scanline in caller-owned memory: mirroring rows of whole-byte
// samples, and moving and mirroring samples of 1, 2 or 4 bits where they stay packed.
#pragma once

#include <cstddef>
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

  /// Copies `pixels` pixels of `pixelBytes` bytes from src to dest in reverse order: dest's
  /// pixel i is src's pixel pixels - 1 - i, its bytes in their order. The rows must not overlap.
  static void copyReversedPixels(uint8_t* dest, const uint8_t* src, uint32_t pixels,
                                 size_t pixelBytes);

  /// Ors the first `bits` bits of `src` into `dest` from bit `destBit` on (bits counted from
  /// the most significant of each byte); those bits of dest must be zero. Whole bytes are
  /// copied, shifted when destBit is not on a byte boundary; the bits of src past `bits` are
  /// left out.
  static void placeBits(uint8_t* dest, uint64_t destBit, const uint8_t* src, uint64_t bits);

  /// Reverses the order of `pixels` packed pixels of `samplesPerPixel` samples of 1, 2 or 4
  /// bits in place, keeping the samples' order inside each pixel; the spare low bits of the
  /// last byte come out zero.
  static void reversePackedPixels(uint8_t* row, uint32_t pixels, uint16_t samplesPerPixel,
                                  uint16_t bitsPerSample);

  /// Copies `count` packed samples of 1, 2 or 4 bits: sample destFirst + i × destStep of dest
  /// takes sample srcFirst + i × srcStep of src (sample indexes, not bytes). Other samples of
  /// dest keep their bits.
  static void movePackedSamples(uint8_t* dest, uint64_t destFirst, uint64_t destStep,
                                const uint8_t* src, uint64_t srcFirst, uint64_t srcStep,
                                uint64_t count, uint16_t bitsPerSample);
};

}  // namespace orvex
