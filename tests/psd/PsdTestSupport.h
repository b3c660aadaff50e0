// Helpers for the tests of the Photoshop image resources: building blocks byte by byte,
// decoding from exact-size buffers, comparing records, and reading tag 34377 of a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "orvex/TiffImageInfo.h"
#include "psd/PSDDecoder.h"
#include "psd/PSDImageResources.h"

bool operator==(const TiffChannelInfo& a, const TiffChannelInfo& b);
void PrintTo(const TiffChannelInfo& channel, std::ostream* out);

namespace orvex {

// Records compare by value; null records equal only null records.
bool operator==(const PSDColor& a, const PSDColor& b);
bool operator==(const AlternateSpotColor& a, const AlternateSpotColor& b);
bool operator==(const AlternateSpotColors& a, const AlternateSpotColors& b);
bool operator==(const ChannelDisplayInfo& a, const ChannelDisplayInfo& b);
bool operator==(const DisplayInfo& a, const DisplayInfo& b);
bool operator==(const AlphaIdentifiers& a, const AlphaIdentifiers& b);
bool operator==(const PSDImageResources& a, const PSDImageResources& b);

}  // namespace orvex

namespace psd_test {

using Bytes = std::vector<uint8_t>;

/// Names parameterised cases by their `label` field.
struct ByLabel {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& testCase) const {
    return testCase.param.label;
  }
};

/// Concatenates byte lists.
Bytes cat(const std::vector<Bytes>& parts);
Bytes be16(uint16_t value);
Bytes be32(uint32_t value);
Bytes ascii(const std::string& text);

/// One resource as an editor lays it out: "8BIM", ID, padded Pascal name, size, data, pad.
Bytes resource(uint16_t id, const Bytes& data, const std::string& name = "");

/// Decodes `block` from a heap buffer of exactly its size, so a read past its end is caught
/// by AddressSanitizer.
std::shared_ptr<orvex::PSDDecoder> decodeBlock(const Bytes& block);
/// Decodes one resource's data from a heap buffer of exactly its size.
std::shared_ptr<orvex::PSDDecoder> decodeResource(uint16_t id, const Bytes& data);

/// What a decoder holds, as one record.
orvex::PSDImageResources resourcesOf(const orvex::PSDDecoder& decoder);

/// Block pieces: resources 1006, 1045 (each name with its terminator), 1053 and 1067 (each
/// identifier with a fixed Lab colour).
Bytes pascalNames(const std::vector<std::string>& names);
Bytes unicodeNames(const std::vector<std::u16string>& names);
Bytes alphaIdentifiers(const std::vector<uint32_t>& identifiers);
Bytes spotColors(const std::vector<uint32_t>& channelIds);

/// The bytes of tag 34377 in the first directory of a file; empty when the tag is absent.
Bytes readPhotoshopTag(const std::string& path);

}  // namespace psd_test
