// Parses the Photoshop image-resource block of tag 34377 and keeps the resources that
// describe extra channels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "psd/BigEndianReader.h"
#include "psd/PSDImageResources.h"

namespace orvex {

/// Logs nothing: its caller knows which directory the block came from. A damaged block
/// costs only its damaged part: whatever does not fit in the bytes given is dropped, and
/// what was read before it is kept.
class PSDDecoder {
public:
  /// Walks the whole block; repeated name resources append, repeated records replace.
  bool readImageResources(const uint8_t* data, uint32_t size);
  /// Decodes the data of one resource; IDs of other resources are ignored.
  bool readImageResource(uint16_t resourceId, const uint8_t* data, uint32_t size);

  const std::vector<std::string>& alphaNames() const { return resources_.alphaNames; }
  const std::vector<std::u16string>& unicodeAlphaNames() const {
    return resources_.unicodeAlphaNames;
  }
  std::shared_ptr<DisplayInfo> displayInfo() const { return resources_.displayInfo; }
  std::shared_ptr<AlphaIdentifiers> alphaIdentifiers() const { return resources_.alphaIdentifiers; }
  std::shared_ptr<AlternateSpotColors> alternateSpotColors() const {
    return resources_.alternateSpotColors;
  }

private:
  bool readNextResource(BigEndianReader& block);
  void readAlphaNames(BigEndianReader& data);
  void readUnicodeAlphaNames(BigEndianReader& data);
  void readAlphaIdentifiers(BigEndianReader& data);
  void readAlternateSpotColors(BigEndianReader& data);
  void readDisplayInfo(BigEndianReader& data);

  PSDImageResources resources_;
};

}  // namespace orvex
