#include "psd/PSDEncoder.h"

#include <gtest/gtest.h>

#include "PsdTestSupport.h"

namespace {

using orvex::AlphaIdentifiers;
using orvex::AlternateSpotColor;
using orvex::AlternateSpotColors;
using orvex::ChannelDisplayInfo;
using orvex::DisplayInfo;
using orvex::PSDColor;
using orvex::PSDEncoder;
using orvex::PSDImageResources;
using psd_test::ascii;
using psd_test::Bytes;
using psd_test::cat;

Bytes encode(const PSDImageResources& resources) {
  PSDEncoder encoder(resources);
  EXPECT_TRUE(encoder.encode());
  return encoder.bytesStream();
}

Bytes header(uint8_t idHigh, uint8_t idLow, uint32_t dataSize) {
  return cat({{0x38, 0x42, 0x49, 0x4D, idHigh, idLow, 0x00, 0x00}, psd_test::be32(dataSize)});
}

PSDColor color(uint16_t colorSpace, uint16_t c0, uint16_t c1, uint16_t c2, uint16_t c3) {
  PSDColor result;
  result.colorSpace = colorSpace;
  result.components = {c0, c1, c2, c3};
  return result;
}

TEST(PSDEncoder, WritesNothingForEmptySources) {
  PSDImageResources resources;
  EXPECT_EQ(encode(resources), Bytes());
  resources.displayInfo = std::make_shared<DisplayInfo>();
  resources.displayInfo->version = 1;  // a version alone is not written
  resources.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  resources.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  EXPECT_EQ(encode(resources), Bytes());
}

TEST(PSDEncoder, WritesPascalName) {
  PSDImageResources resources;
  resources.alphaNames = {"Alpha 1"};
  EXPECT_EQ(encode(resources), (Bytes{0x38, 0x42, 0x49, 0x4D, 0x03, 0xEE, 0x00, 0x00, 0x00, 0x00,
                                      0x00, 0x08, 0x07, 0x41, 0x6C, 0x70, 0x68, 0x61, 0x20, 0x31}));
}

TEST(PSDEncoder, PadsEmptyPascalName) {
  PSDImageResources resources;
  resources.alphaNames = {""};
  EXPECT_EQ(encode(resources), cat({header(0x03, 0xEE, 1), {0x00, 0x00}}));
}

TEST(PSDEncoder, CutsPascalNameAt255Bytes) {
  PSDImageResources resources;
  resources.alphaNames = {std::string(300, 'x')};
  EXPECT_EQ(encode(resources), cat({header(0x03, 0xEE, 256), {0xFF}, Bytes(255, 'x')}));
}

TEST(PSDEncoder, WritesUnicodeNameWithCountedTerminator) {
  PSDImageResources resources;
  resources.unicodeAlphaNames = {u"AB"};
  EXPECT_EQ(encode(resources), cat({header(0x04, 0x15, 10),
                                    {0x00, 0x00, 0x00, 0x03, 0x00, 0x41, 0x00, 0x42, 0x00, 0x00}}));
}

TEST(PSDEncoder, PadsDisplayInfoWithOneEntry) {
  PSDImageResources resources;
  resources.displayInfo = std::make_shared<DisplayInfo>();
  resources.displayInfo->version = 1;
  resources.displayInfo->entries = {ChannelDisplayInfo{color(7, 1, 2, 3, 0xABCD), 50, 2}};
  const Bytes bytes = encode(resources);
  EXPECT_EQ(bytes.size(), 30U);
  EXPECT_EQ(bytes, cat({header(0x04, 0x35, 17),
                        {0x00, 0x00, 0x00, 0x01, 0x00, 0x07, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03,
                         0xAB, 0xCD, 0x00, 0x32, 0x02, 0x00}}));
}

TEST(PSDEncoder, WritesSpotColorsAsVersionOneWithCount) {
  PSDImageResources resources;
  resources.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  resources.alternateSpotColors->version = 5;
  resources.alternateSpotColors->colors = {AlternateSpotColor{0x01020304, color(7, 9, 8, 7, 6)}};
  EXPECT_EQ(encode(resources), cat({header(0x04, 0x2B, 18),
                                    {0x00, 0x01, 0x00, 0x01, 0x01, 0x02, 0x03, 0x04, 0x00, 0x07,
                                     0x00, 0x09, 0x00, 0x08, 0x00, 0x07, 0x00, 0x06}}));
}

TEST(PSDEncoder, WritesResourcesInFixedOrder) {
  PSDImageResources resources;
  resources.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  resources.alternateSpotColors->colors = {AlternateSpotColor{}};
  resources.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  resources.alphaIdentifiers->identifiers = {0x11223344};
  resources.displayInfo = std::make_shared<DisplayInfo>();
  resources.displayInfo->entries = {ChannelDisplayInfo{}, ChannelDisplayInfo{}};
  resources.unicodeAlphaNames = {u""};
  resources.alphaNames = {"A"};
  const Bytes expected = cat({header(0x03, 0xEE, 2),
                              {0x01, 'A'},  // 1006
                              header(0x04, 0x15, 6),
                              {0, 0, 0, 1, 0, 0},  // 1045
                              header(0x04, 0x35, 30),
                              {0, 0, 0, 0},
                              Bytes(26, 0),  // 1077
                              header(0x04, 0x1D, 4),
                              {0x11, 0x22, 0x33, 0x44},  // 1053
                              header(0x04, 0x2B, 18),
                              {0, 1, 0, 1},
                              Bytes(14, 0)});  // 1067
  EXPECT_EQ(encode(resources), expected);
}

TEST(PSDEncoder, EachEncodeStartsAfresh) {
  PSDImageResources resources;
  resources.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  resources.alphaIdentifiers->identifiers = {7};
  PSDEncoder encoder(resources);
  ASSERT_TRUE(encoder.encode());
  ASSERT_TRUE(encoder.encode());
  EXPECT_EQ(encoder.bytesStream(), cat({header(0x04, 0x1D, 4), {0, 0, 0, 7}}));
}

// Records that survive a round trip unchanged: spot colours at version 1, Unicode names
// without zero units, Pascal names up to 255 bytes, and no empty records.
PSDImageResources namesOnly() {
  PSDImageResources resources;
  resources.alphaNames = {"", "A", std::string(255, 'n'), "odd", "\xC3\xA9t\xC3\xA9"};
  return resources;
}

PSDImageResources unicodeOnly() {
  PSDImageResources resources;
  resources.unicodeAlphaNames = {u"\u00E9t\u00E9", u"", u"\U0001F600 smile", u"\uFFFF"};
  return resources;
}

PSDImageResources everything(size_t channels) {
  PSDImageResources resources;
  resources.displayInfo = std::make_shared<DisplayInfo>();
  resources.displayInfo->version = 0xDEADBEEF;
  resources.alphaIdentifiers = std::make_shared<AlphaIdentifiers>();
  resources.alternateSpotColors = std::make_shared<AlternateSpotColors>();
  resources.alternateSpotColors->version = 1;
  for (size_t i = 0; i < channels; ++i) {
    const auto n = static_cast<uint16_t>(i);
    resources.alphaNames.push_back(std::string(i + 1, static_cast<char>('a' + i)));
    resources.unicodeAlphaNames.push_back(std::u16string(i, static_cast<char16_t>(0x4E00 + i)));
    resources.displayInfo->entries.push_back(
        ChannelDisplayInfo{color(n, 0xFFFF, n, 0x8000, 1), static_cast<uint16_t>(200 + n), 7});
    resources.alphaIdentifiers->identifiers.push_back(0xFFFFFF00 + static_cast<uint32_t>(i));
    if (i % 2 == 1) {
      resources.alternateSpotColors->colors.push_back(
          AlternateSpotColor{0xFFFFFF00 + static_cast<uint32_t>(i), color(7, 12800, n, 0, 0)});
    }
  }
  if (resources.alternateSpotColors->colors.empty()) {
    resources.alternateSpotColors.reset();  // not written, so decoded as null
  }
  return resources;
}

class PSDRoundTrip : public ::testing::TestWithParam<PSDImageResources> {};

TEST_P(PSDRoundTrip, DecodesToTheEncodedRecords) {
  const auto decoder = psd_test::decodeBlock(encode(GetParam()));
  EXPECT_TRUE(psd_test::resourcesOf(*decoder) == GetParam());
}

INSTANTIATE_TEST_SUITE_P(Records, PSDRoundTrip,
                         ::testing::Values(namesOnly(), unicodeOnly(), everything(1), everything(2),
                                           everything(3), everything(8)));

}  // namespace
