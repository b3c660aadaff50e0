// Serialises the channel-related Photoshop image resources into the block stored in tag
// 34377.
#pragma once

#include <cstdint>
#include <vector>

#include "psd/BigEndianWriter.h"
#include "psd/PSDImageResources.h"

namespace orvex {

/// Writes names (Pascal, then Unicode), display info, alpha identifiers and alternate spot
/// colours, in that order, each with an empty resource name; empty sources are left out.
class PSDEncoder {
public:
  /// The name lists are copied; the three records are shared with the caller.
  explicit PSDEncoder(const PSDImageResources& resources) : resources_(resources) {}

  bool encode();
  /// The block built by the last encode().
  const std::vector<uint8_t>& bytesStream() const { return bytesStream_; }

private:
  void appendAlphaNames();
  void appendUnicodeAlphaNames();
  void appendDisplayInfo();
  void appendAlphaIdentifiers();
  void appendAlternateSpotColors();
  template <typename WriteData>
  void appendResource(uint16_t resourceId, uint32_t dataSize, WriteData writeData);

  PSDImageResources resources_;
  std::vector<uint8_t> bytesStream_;
};

}  // namespace orvex
