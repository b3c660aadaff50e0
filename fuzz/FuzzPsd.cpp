// Feeds the fuzzer's bytes to the image-resource decoder as the block of tag 34377, encodes
// what was decoded and decodes that again: the second decoding must give the same records,
// and encoding them must give the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "psd/PSDDecoder.h"
#include "psd/PSDEncoder.h"

namespace {

using orvex::PSDDecoder;
using orvex::PSDEncoder;
using orvex::PSDImageResources;

void failIf(bool mismatch, const char* what) {
  if (mismatch) {
    std::fprintf(stderr, "round trip mismatch: %s\n", what);
    std::abort();
  }
}

PSDImageResources resourcesOf(const PSDDecoder& decoder) {
  PSDImageResources resources;
  resources.alphaNames = decoder.alphaNames();
  resources.unicodeAlphaNames = decoder.unicodeAlphaNames();
  resources.displayInfo = decoder.displayInfo();
  resources.alphaIdentifiers = decoder.alphaIdentifiers();
  resources.alternateSpotColors = decoder.alternateSpotColors();
  return resources;
}

std::vector<uint8_t> encoded(const PSDImageResources& resources) {
  PSDEncoder encoder(resources);
  failIf(!encoder.encode(), "encode failed");
  return encoder.bytesStream();
}

bool sameColor(const orvex::PSDColor& a, const orvex::PSDColor& b) {
  return a.colorSpace == b.colorSpace && a.components == b.components;
}

// Records without entries are not written, so they come back null.
void compareDisplayInfo(const std::shared_ptr<orvex::DisplayInfo>& first,
                        const std::shared_ptr<orvex::DisplayInfo>& second) {
  if (!first || first->entries.empty()) {
    failIf(second != nullptr, "empty display info came back");
    return;
  }
  failIf(!second || second->version != first->version, "display info version");
  failIf(second->entries.size() != first->entries.size(), "display info entry count");
  for (size_t i = 0; i < first->entries.size(); ++i) {
    const auto& a = first->entries[i];
    const auto& b = second->entries[i];
    failIf(!sameColor(a.color, b.color) || a.opacity != b.opacity || a.kind != b.kind,
           "display info entry");
  }
}

void compareAlphaIdentifiers(const std::shared_ptr<orvex::AlphaIdentifiers>& first,
                             const std::shared_ptr<orvex::AlphaIdentifiers>& second) {
  if (!first || first->identifiers.empty()) {
    failIf(second != nullptr, "empty alpha identifiers came back");
    return;
  }
  failIf(!second || second->identifiers != first->identifiers, "alpha identifiers");
}

// The encoder always writes version 1.
void compareSpotColors(const std::shared_ptr<orvex::AlternateSpotColors>& first,
                       const std::shared_ptr<orvex::AlternateSpotColors>& second) {
  if (!first || first->colors.empty()) {
    failIf(second != nullptr, "empty spot colours came back");
    return;
  }
  failIf(!second || second->version != 1, "spot colour version");
  failIf(second->colors.size() != first->colors.size(), "spot colour count");
  for (size_t i = 0; i < first->colors.size(); ++i) {
    const auto& a = first->colors[i];
    const auto& b = second->colors[i];
    failIf(a.channelId != b.channelId || !sameColor(a.color, b.color), "spot colour entry");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) {
    return 0;
  }
  PSDDecoder first;
  failIf(!first.readImageResources(data, static_cast<uint32_t>(size)), "decode failed");
  const PSDImageResources decoded = resourcesOf(first);
  const std::vector<uint8_t> block = encoded(decoded);

  PSDDecoder second;
  failIf(!second.readImageResources(block.data(), static_cast<uint32_t>(block.size())),
         "decode of encoded block failed");
  // Decoded names are at most 255 bytes and hold no zero unit, so they survive unchanged.
  failIf(second.alphaNames() != first.alphaNames(), "alpha names");
  failIf(second.unicodeAlphaNames() != first.unicodeAlphaNames(), "unicode alpha names");
  compareDisplayInfo(first.displayInfo(), second.displayInfo());
  compareAlphaIdentifiers(first.alphaIdentifiers(), second.alphaIdentifiers());
  compareSpotColors(first.alternateSpotColors(), second.alternateSpotColors());
  failIf(encoded(resourcesOf(second)) != block, "encoding is not stable");
  return 0;
}
