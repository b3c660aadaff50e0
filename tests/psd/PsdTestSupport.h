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

/// One resource as an editor lays it out: "8BIM", ID, empty padded name, size, data, pad.
Bytes resource(uint16_t id, const Bytes& data);

/// Decodes `block` from a heap buffer of exactly its size, so a read past its end is caught
/// by AddressSanitizer.
std::shared_ptr<orvex::PSDDecoder> decodeBlock(const Bytes& block);
/// Decodes one resource's data from a heap buffer of exactly its size.
std::shared_ptr<orvex::PSDDecoder> decodeResource(uint16_t id, const Bytes& data);

/// What a decoder holds, as one record.
orvex::PSDImageResources resourcesOf(const orvex::PSDDecoder& decoder);

/// A colour with the given components; those left out are zero.
orvex::PSDColor color(uint16_t colorSpace, uint16_t c0, uint16_t c1 = 0, uint16_t c2 = 0,
                      uint16_t c3 = 0);
/// Records holding only what is named; the rest stay empty or null.
orvex::PSDImageResources withNames(std::vector<std::string> names);
orvex::PSDImageResources withUnicode(std::vector<std::u16string> names);
orvex::PSDImageResources withIdentifiers(std::vector<uint32_t> identifiers);
orvex::PSDImageResources withSpotColors(uint16_t version,
                                        std::vector<orvex::AlternateSpotColor> colors);
orvex::PSDImageResources withDisplay(uint32_t version,
                                     std::vector<orvex::ChannelDisplayInfo> entries);
/// The names of all parts one after the other; each record from the last part holding one.
orvex::PSDImageResources merged(const std::vector<orvex::PSDImageResources>& parts);

/// The block the library's encoder makes of `resources`; its own bytes are checked by the
/// encoder's tests.
Bytes encode(const orvex::PSDImageResources& resources);

/// The bytes of tag 34377 in the first directory of a file; empty when the tag is absent.
Bytes readPhotoshopTag(const std::string& path);

}  // namespace psd_test
