// CMYK pixels shown on screen: converted to sRGB by Little CMS through a page's own profile or
// the built-in one, a row at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvex {

class CmykToSrgb {
public:
  /// Pixels of `samplesPerPixel` samples of `bitsPerSample` (8, or 16 in the machine's byte
  /// order), cyan, magenta, yellow and black first (0: no ink), the rest passed over. Through
  /// `iccProfile` when it is a CMYK profile, else through the built-in one. Null in a build
  /// without Little CMS, or when it cannot build the transform.
  static std::unique_ptr<CmykToSrgb> create(const uint8_t* iccProfile, size_t profileSize,
                                            uint16_t bitsPerSample, uint16_t samplesPerPixel);
  ~CmykToSrgb();
  CmykToSrgb(const CmykToSrgb&) = delete;
  CmykToSrgb& operator=(const CmykToSrgb&) = delete;

  /// True when the page's profile was not a CMYK profile and the built-in one is used.
  bool builtIn() const { return builtIn_; }
  /// `count` pixels to `count` x 3 bytes of sRGB.
  void convert(const uint8_t* pixels, uint32_t count, uint8_t* srgb) const;

private:
  CmykToSrgb(void* transform, bool builtIn) : transform_(transform), builtIn_(builtIn) {}

  void* transform_;  ///< a cmsHTRANSFORM
  bool builtIn_;
};

}  // namespace orvex
