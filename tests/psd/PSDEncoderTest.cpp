#include "psd/PSDEncoder.h"

#include <gtest/gtest.h>

#include "PsdTestSupport.h"

namespace {

using orvex::AlphaIdentifiers;
using orvex::AlternateSpotColor;
using orvex::AlternateSpotColors;
using orvex::ChannelDisplayInfo;
using orvex::DisplayInfo;
using orvex::PSDEncoder;
using orvex::PSDImageResources;
using psd_test::be16;
using psd_test::be32;
using psd_test::Bytes;
using psd_test::cat;
using psd_test::color;
using psd_test::encode;
using psd_test::withDisplay;
using psd_test::withIdentifiers;
using psd_test::withNames;
using psd_test::withSpotColors;
using psd_test::withUnicode;

Bytes header(uint8_t idHigh, uint8_t idLow, uint32_t dataSize) {
  return cat({{0x38, 0x42, 0x49, 0x4D, idHigh, idLow, 0x00, 0x00}, be32(dataSize)});
}

struct EncodeCase {
  const char* label;
  PSDImageResources resources;
  Bytes expected;
};

class PSDEncoderBytes : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(PSDEncoderBytes, WritesExactBlock) {
  EXPECT_EQ(encode(GetParam().resources), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, PSDEncoderBytes,
    ::testing::Values(
        EncodeCase{"nothingForNoRecords", PSDImageResources(), {}},
        // A display info version alone is not written, nor are empty records.
        EncodeCase{
            "nothingForEmptyRecords",
            psd_test::merged({withDisplay(1, {}), withIdentifiers({}), withSpotColors(0, {})}),
            {}},
        EncodeCase{"pascalName", withNames({"Alpha 1"}),
                   Bytes{0x38, 0x42, 0x49, 0x4D, 0x03, 0xEE, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x08, 0x07, 0x41, 0x6C, 0x70, 0x68, 0x61, 0x20, 0x31}},
        EncodeCase{"emptyPascalNamePadded", withNames({""}),
                   cat({header(0x03, 0xEE, 1), {0x00, 0x00}})},
        EncodeCase{"pascalNameCutAt255Bytes", withNames({std::string(300, 'x')}),
                   cat({header(0x03, 0xEE, 256), {0xFF}, Bytes(255, 'x')})},
        EncodeCase{"unicodeNameWithCountedTerminator", withUnicode({u"AB"}),
                   cat({header(0x04, 0x15, 10),
                        {0x00, 0x00, 0x00, 0x03, 0x00, 0x41, 0x00, 0x42, 0x00, 0x00}})},
        EncodeCase{"displayInfoOfOneEntryPadded",
                   withDisplay(1, {ChannelDisplayInfo{color(7, 1, 2, 3, 0xABCD), 50, 2}}),
                   cat({header(0x04, 0x35, 17),
                        {0x00, 0x00, 0x00, 0x01, 0x00, 0x07, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03,
                         0xAB, 0xCD, 0x00, 0x32, 0x02, 0x00}})},
        EncodeCase{"spotColorsAsVersionOneWithCount",
                   withSpotColors(5, {AlternateSpotColor{0x01020304, color(7, 9, 8, 7, 6)}}),
                   cat({header(0x04, 0x2B, 18),
                        {0x00, 0x01, 0x00, 0x01, 0x01, 0x02, 0x03, 0x04, 0x00, 0x07, 0x00, 0x09,
                         0x00, 0x08, 0x00, 0x07, 0x00, 0x06}})},
        // Whatever order the records are filled in: 1006, 1045, 1077, 1053, 1067.
        EncodeCase{
            "resourcesInFixedOrder",
            psd_test::merged({withSpotColors(0, {AlternateSpotColor{}}),
                              withIdentifiers({0x11223344}),
                              withDisplay(0, {ChannelDisplayInfo{}, ChannelDisplayInfo{}}),
                              withUnicode({u""}), withNames({"A"})}),
            cat({header(0x03, 0xEE, 2), psd_test::ascii("\001A"), header(0x04, 0x15, 6), be32(1),
                 be16(0), header(0x04, 0x35, 30), Bytes(30, 0), header(0x04, 0x1D, 4),
                 be32(0x11223344), header(0x04, 0x2B, 18), be16(1), be16(1), Bytes(14, 0)})}),
    psd_test::ByLabel());

TEST(PSDEncoder, EachEncodeStartsAfresh) {
  PSDEncoder encoder(withIdentifiers({7}));
  ASSERT_TRUE(encoder.encode());
  ASSERT_TRUE(encoder.encode());
  EXPECT_EQ(encoder.bytesStream(), cat({header(0x04, 0x1D, 4), {0, 0, 0, 7}}));
}

// Records that survive a round trip unchanged: spot colours at version 1, Unicode names
// without zero units, Pascal names up to 255 bytes, and no empty records.
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

INSTANTIATE_TEST_SUITE_P(
    Records, PSDRoundTrip,
    ::testing::Values(withNames({"", "A", std::string(255, 'n'), "odd", "\xC3\xA9t\xC3\xA9"}),
                      withUnicode({u"\u00E9t\u00E9", u"", u"\U0001F600 smile", u"\uFFFF"}),
                      everything(1), everything(2), everything(3), everything(8)));

}  // namespace
