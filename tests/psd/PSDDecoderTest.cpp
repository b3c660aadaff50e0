#include "psd/PSDDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "PsdTestSupport.h"
#include "support/TempDir.h"

namespace {

using orvex::AlternateSpotColor;
using orvex::ChannelDisplayInfo;
using orvex::PSDDecoder;
using psd_test::ascii;
using psd_test::be16;
using psd_test::be32;
using psd_test::Bytes;
using psd_test::cat;
using psd_test::color;
using psd_test::decodeBlock;
using psd_test::merged;
using psd_test::resource;
using psd_test::withDisplay;
using psd_test::withIdentifiers;
using psd_test::withNames;
using psd_test::withSpotColors;
using psd_test::withUnicode;
using Resources = orvex::PSDImageResources;

using Names = std::vector<std::string>;

const Bytes kSignature = {0x38, 0x42, 0x49, 0x4D};

void expectNothingDecoded(const PSDDecoder& decoder) {
  EXPECT_TRUE(psd_test::resourcesOf(decoder) == Resources());
}

TEST(PSDDecoder, EmptyBlockDecodesNothing) {
  PSDDecoder decoder;
  EXPECT_TRUE(decoder.readImageResources(nullptr, 0));
  expectNothingDecoded(decoder);
  expectNothingDecoded(*decodeBlock({}));
}

// Entries as stored: each component big-endian, the kind of a display entry one byte.
Bytes entryBytes(const ChannelDisplayInfo& entry) {
  const auto& c = entry.color.components;
  return cat({be16(entry.color.colorSpace), be16(c[0]), be16(c[1]), be16(c[2]), be16(c[3]),
              be16(entry.opacity), Bytes(1, entry.kind)});
}

Bytes entryBytes(const AlternateSpotColor& spotColor) {
  const auto& c = spotColor.color.components;
  return cat({be32(spotColor.channelId), be16(spotColor.color.colorSpace), be16(c[0]), be16(c[1]),
              be16(c[2]), be16(c[3])});
}

const ChannelDisplayInfo kDisplayEntry{color(0, 1, 2, 3, 4), 50, 2};
const AlternateSpotColor kSpotColor{5, color(7, 1, 2, 3, 4)};
const Bytes kNameA = resource(1006, {0x01, 'A'});

// A Pascal name of `length` bytes, padded to even, in front of resource 1006 holding "A",
// then resource 1053 holding 9: the name's pad decides where the size field is read.
Bytes afterNameOf(uint8_t length) {
  Bytes header = cat({kSignature, {0x03, 0xEE, length}, Bytes(length, 'X')});
  header.resize(header.size() + header.size() % 2);
  return cat({header, be32(2), {0x01, 'A'}, resource(1053, be32(9))});
}

// A whole block: the resources the walk delimits are decoded; a resource that cannot be
// delimited ends the walk and what came before it is kept.
struct BlockCase {
  const char* label;
  Bytes block;
  Resources expected;
};

class PSDDecoderBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(PSDDecoderBlock, DecodesTheResourcesTheWalkDelimits) {
  EXPECT_TRUE(psd_test::resourcesOf(*decodeBlock(GetParam().block)) == GetParam().expected);
}

const Resources kNameAAndNine = merged({withNames({"A"}), withIdentifiers({9})});

INSTANTIATE_TEST_SUITE_P(
    Layouts, PSDDecoderBlock,
    ::testing::Values(
        BlockCase{"emptyNamePadded", afterNameOf(0), kNameAAndNine},
        BlockCase{"nameOfOneUnpadded", afterNameOf(1), kNameAAndNine},
        BlockCase{"nameOfTwoPadded", afterNameOf(2), kNameAAndNine},
        BlockCase{"nameOfThreeUnpadded", afterNameOf(3), kNameAAndNine},
        BlockCase{"padByteAfterOddDataSize",
                  cat({kSignature,
                       {0x12, 0x34, 0x00, 0x00},
                       be32(5),
                       ascii("abcde"),
                       {0x00},
                       kSignature,
                       {0x03, 0xEE, 0x00, 0x00},
                       be32(5),
                       {0x04, 'W', 'X', 'Y', 'Z'},
                       {0x00},
                       resource(1006, {0x01, 'V'})}),
                  withNames({"WXYZ", "V"})},
        BlockCase{
            "wordsWithoutSignatureSteppedOver",
            cat({{0x00, 0x00, 0x00, 0x00, '8', 'B', 'I', 'X', 0x38, 0x42, 0x49, 0x4E}, kNameA}),
            withNames({"A"})},
        BlockCase{"noResynchronisingByBytes", cat({{0x00, 0x00}, kNameA}), Resources()}),
    psd_test::ByLabel());

INSTANTIATE_TEST_SUITE_P(
    Truncated, PSDDecoderBlock,
    ::testing::Values(
        BlockCase{"oneByte", cat({kNameA, {0x38}}), withNames({"A"})},
        BlockCase{"threeBytes", cat({kNameA, {0x38, 0x42, 0x49}}), withNames({"A"})},
        BlockCase{"signatureOnly", cat({kNameA, kSignature}), withNames({"A"})},
        BlockCase{"idCut", cat({kNameA, kSignature, {0x04}}), withNames({"A"})},
        BlockCase{"noNameLength", cat({kNameA, kSignature, {0x04, 0x1D}}), withNames({"A"})},
        BlockCase{"nameCut", cat({kNameA, kSignature, {0x04, 0x1D, 0x05, 'a', 'b'}}),
                  withNames({"A"})},
        BlockCase{"namePadMissing", cat({kNameA, kSignature, {0x04, 0x1D, 0x02, 'a', 'b'}}),
                  withNames({"A"})},
        BlockCase{"sizeCut", cat({kNameA, kSignature, {0x04, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x00}}),
                  withNames({"A"})},
        BlockCase{"dataCut", cat({kNameA, kSignature, {0x04, 0x1D, 0x00, 0x00}, be32(8), be32(1)}),
                  withNames({"A"})},
        BlockCase{"hugeSize",
                  cat({kNameA, kSignature, {0x04, 0x1D, 0x00, 0x00}, be32(0xFFFFFFFF), be32(1)}),
                  withNames({"A"})},
        BlockCase{
            "resourceInsideOversizedOne",
            cat({kNameA, kSignature, {0x03, 0xEE, 0x00, 0x00}, be32(40), resource(1053, be32(1))}),
            withNames({"A"})},
        BlockCase{"finalPadMissing",
                  cat({kNameA, kSignature, {0x03, 0xEE, 0x00, 0x00}, be32(3), {0x02, 'B', 'C'}}),
                  withNames({"A", "BC"})}),
    psd_test::ByLabel());

TEST(PSDDecoder, AppendsNamesAndReplacesRecordsOfRepeatedResources) {
  const Bytes first = cat({
      resource(1006, {0x01, 'A', 0x01, 'B'}),
      resource(1045, cat({be32(2), be16('X'), be16(0)})),
      resource(1053, cat({be32(1), be32(2)})),
      resource(1067, cat({be16(1), be16(1), be32(1), Bytes(12, 0x01)})),
      resource(1077, cat({be32(1), Bytes(13, 0x01)})),
  });
  const Bytes second = cat({
      resource(1006, {0x00}),
      resource(1045, cat({be32(2), be16('Y'), be16(0)})),
      resource(1053, be32(3)),
      resource(1067, cat({be16(2), be16(0)})),
      resource(1077, be32(2)),
  });
  PSDDecoder decoder;
  const Bytes both = cat({first, second});
  ASSERT_TRUE(decoder.readImageResources(both.data(), static_cast<uint32_t>(both.size())));
  EXPECT_TRUE(psd_test::resourcesOf(decoder) ==
              merged({withNames({"A", "B", ""}), withUnicode({u"X", u"Y"}), withIdentifiers({3}),
                      withSpotColors(2, {}), withDisplay(2, {})}));

  // A second block read into the same decoder behaves as more resources of the first.
  ASSERT_TRUE(decoder.readImageResources(first.data(), static_cast<uint32_t>(first.size())));
  EXPECT_EQ(decoder.alphaNames(), (Names{"A", "B", "", "A", "B"}));
  EXPECT_EQ(decoder.alphaIdentifiers()->identifiers, (std::vector<uint32_t>{1, 2}));
}

// One resource's data: entries that do not fit in what is left of it are dropped, the ones
// before stay.
struct ResourceCase {
  const char* label;
  uint16_t id;
  Bytes data;
  Resources expected;
};

class PSDDecoderResource : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(PSDDecoderResource, KeepsEntriesThatFit) {
  const auto decoder = psd_test::decodeResource(GetParam().id, GetParam().data);
  EXPECT_TRUE(psd_test::resourcesOf(*decoder) == GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PSDDecoderResource,
    ::testing::Values(
        ResourceCase{"unicodeCutBeforeEmbeddedZero", 1045,
                     cat({be32(4), be16(0x41), be16(0x42), be16(0), be16(0x43)}),
                     withUnicode({u"AB"})},
        ResourceCase{"unicodeOfNoUnits", 1045, be32(0), withUnicode({u""})},
        ResourceCase{"unicodeLoneTerminator", 1045, cat({be32(1), be16(0)}), withUnicode({u""})},
        ResourceCase{"unicodeUnterminated", 1045, cat({be32(1), be16(0xE9)}),
                     withUnicode({u"\u00E9"})},
        ResourceCase{"unicodeSurrogatePairKept", 1045,
                     cat({be32(3), be16(0xD83D), be16(0xDE00), be16(0)}),
                     withUnicode({u"\U0001F600"})},
        ResourceCase{"unicodeTwo", 1045,
                     cat({be32(2), be16('P'), be16(0), be32(3), be16('Q'), be16('R'), be16(0)}),
                     withUnicode({u"P", u"QR"})},
        ResourceCase{"displayVersionOnly", 1077, be32(7), withDisplay(7, {})},
        ResourceCase{"displayTwoEntriesAsStored", 1077,
                     cat({be32(1), entryBytes({color(7, 1, 2, 3, 4), 250, 9}),
                          entryBytes({color(0, 0xFFFF), 100, 2})}),
                     withDisplay(1, {{color(7, 1, 2, 3, 4), 250, 9}, {color(0, 0xFFFF), 100, 2}})},
        ResourceCase{"identifiersEmpty", 1053, {}, withIdentifiers({})},
        ResourceCase{"spotColorsNone", 1067, cat({be16(1), be16(0)}), withSpotColors(1, {})}),
    psd_test::ByLabel());

INSTANTIATE_TEST_SUITE_P(
    Truncated, PSDDecoderResource,
    ::testing::Values(
        ResourceCase{"nameLongerThanRest", 1006, {0x01, 'A', 0x05, 'B'}, withNames({"A"})},
        ResourceCase{"nameLengthLast", 1006, {0x01, 'A', 0xFF}, withNames({"A"})},
        ResourceCase{"unitCountCut", 1045, cat({be32(2), be16('A'), be16(0), {0x00, 0x00}}),
                     withUnicode({u"A"})},
        ResourceCase{"unitsCut", 1045,
                     cat({be32(2), be16('A'), be16(0), be32(3), be16('B'), be16('C')}),
                     withUnicode({u"A"})},
        ResourceCase{"hugeUnitCount", 1045, cat({be32(0xFFFFFFFF), be16('A')}), withUnicode({})},
        ResourceCase{"identifierCut", 1053, cat({be32(1), {0x00, 0x00, 0x02}}),
                     withIdentifiers({1})},
        ResourceCase{"spotColorsCut", 1067,
                     cat({be16(1), be16(3), entryBytes(kSpotColor), Bytes(13, 0)}),
                     withSpotColors(1, {kSpotColor})},
        ResourceCase{"spotColorCountOnly", 1067, cat({be16(1), be16(0xFFFF)}),
                     withSpotColors(1, {})},
        ResourceCase{"spotColorsHeaderCut", 1067, {0x00, 0x01, 0x00}, withSpotColors(0, {})},
        ResourceCase{"displayEntryCut", 1077,
                     cat({be32(1), entryBytes(kDisplayEntry), Bytes(12, 0)}),
                     withDisplay(1, {kDisplayEntry})},
        ResourceCase{"displayVersionCut", 1077, {0x00, 0x00, 0x01}, withDisplay(0, {})}),
    psd_test::ByLabel());

// Every cut of a valid block decodes without reading past it, and yields a leading part of
// what the whole block holds.
TEST(PSDDecoder, EveryPrefixOfABlockDecodesALeadingPart) {
  const Bytes block = cat({
      resource(1006, {0x01, 'A', 0x02, 'B', 'C', 0x00}),
      resource(1045, cat({be32(2), be16('A'), be16(0), be32(1), be16(0)})),
      resource(1077, cat({be32(1), entryBytes(kDisplayEntry), entryBytes(kDisplayEntry)})),
      resource(1053, cat({be32(1024), be32(1025)})),
      resource(1067, cat({be16(1), be16(1), entryBytes(kSpotColor)})),
  });
  const Names allNames = {"A", "BC", ""};
  for (size_t size = 0; size <= block.size(); ++size) {
    const auto decoder = decodeBlock(Bytes(block.begin(), block.begin() + size));
    const Names& names = decoder->alphaNames();
    ASSERT_LE(names.size(), allNames.size());
    EXPECT_TRUE(std::equal(names.begin(), names.end(), allNames.begin())) << size;
  }
}

class PSDDecoderAdobeBlock : public ::testing::Test {
protected:
  void SetUp() override {
    block_ = psd_test::readPhotoshopTag(orvex_test::testDataFile("pillow/tiff_adobe_deflate.tif"));
    ASSERT_EQ(block_.size(), 7516U);
  }
  Bytes block_;
};

TEST_F(PSDDecoderAdobeBlock, WalkReachesItsEnd) {
  const auto decoder = decodeBlock(cat({block_, resource(1006, {0x01, 'Z'})}));
  EXPECT_EQ(decoder->alphaNames(), Names{"Z"});
}

TEST_F(PSDDecoderAdobeBlock, NeitherItNorAnyPrefixHoldsChannelResources) {
  for (size_t size = 0; size <= block_.size(); ++size) {
    expectNothingDecoded(*decodeBlock(Bytes(block_.begin(), block_.begin() + size)));
  }
}

}  // namespace
