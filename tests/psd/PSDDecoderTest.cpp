#include "psd/PSDDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "PsdTestSupport.h"
#include "support/TempDir.h"

namespace {

using orvex::AlternateSpotColor;
using orvex::ChannelDisplayInfo;
using orvex::PSDColor;
using orvex::PSDDecoder;
using psd_test::ascii;
using psd_test::be16;
using psd_test::be32;
using psd_test::Bytes;
using psd_test::cat;
using psd_test::decodeBlock;
using psd_test::decodeResource;
using psd_test::resource;

using Names = std::vector<std::string>;
using UnicodeNames = std::vector<std::u16string>;

const Bytes kSignature = {0x38, 0x42, 0x49, 0x4D};

PSDColor color(uint16_t colorSpace, uint16_t c0, uint16_t c1, uint16_t c2, uint16_t c3) {
  PSDColor result;
  result.colorSpace = colorSpace;
  result.components = {c0, c1, c2, c3};
  return result;
}

void expectNothingDecoded(const PSDDecoder& decoder) {
  EXPECT_TRUE(decoder.alphaNames().empty());
  EXPECT_TRUE(decoder.unicodeAlphaNames().empty());
  EXPECT_EQ(decoder.displayInfo(), nullptr);
  EXPECT_EQ(decoder.alphaIdentifiers(), nullptr);
  EXPECT_EQ(decoder.alternateSpotColors(), nullptr);
}

TEST(PSDDecoder, EmptyBlockDecodesNothing) {
  PSDDecoder decoder;
  EXPECT_TRUE(decoder.readImageResources(nullptr, 0));
  expectNothingDecoded(decoder);
  expectNothingDecoded(*decodeBlock({}));
}

// The signature, ID 1006 and the Pascal name with its pad: the size field follows.
struct NameLayout {
  const char* label;
  Bytes headerThroughName;
};

class PSDDecoderNamePadding : public ::testing::TestWithParam<NameLayout> {};

TEST_P(PSDDecoderNamePadding, FindsSizeFieldAndNextResource) {
  const Bytes block = cat(
      {GetParam().headerThroughName, {0x00, 0x00, 0x00, 0x02, 0x01, 'A'}, resource(1053, be32(9))});
  const auto decoder = decodeBlock(block);
  EXPECT_EQ(decoder->alphaNames(), Names{"A"});
  ASSERT_NE(decoder->alphaIdentifiers(), nullptr);
  EXPECT_EQ(decoder->alphaIdentifiers()->identifiers, std::vector<uint32_t>{9});
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PSDDecoderNamePadding,
    ::testing::Values(NameLayout{"empty", cat({kSignature, {0x03, 0xEE, 0x00, 0x00}})},
                      NameLayout{"one", cat({kSignature, {0x03, 0xEE, 0x01, 'X'}})},
                      NameLayout{"two", cat({kSignature, {0x03, 0xEE, 0x02, 'X', 'Y', 0x00}})},
                      NameLayout{"three", cat({kSignature, {0x03, 0xEE, 0x03, 'X', 'Y', 'Z'}})}),
    psd_test::ByLabel());

TEST(PSDDecoder, SkipsPadByteAfterOddDataSize) {
  const Bytes unknownOfFive =
      cat({kSignature, {0x12, 0x34, 0x00, 0x00}, be32(5), ascii("abcde"), {0x00}});
  const Bytes namesOfFive =
      cat({kSignature, {0x03, 0xEE, 0x00, 0x00}, be32(5), {0x04, 'W', 'X', 'Y', 'Z'}, {0x00}});
  const auto decoder = decodeBlock(cat({unknownOfFive, namesOfFive, resource(1006, {0x01, 'V'})}));
  EXPECT_EQ(decoder->alphaNames(), (Names{"WXYZ", "V"}));
}

TEST(PSDDecoder, StepsOverWordsWithoutSignature) {
  const Bytes junk = {0x00, 0x00, 0x00, 0x00, '8', 'B', 'I', 'X', 0x38, 0x42, 0x49, 0x4E};
  EXPECT_EQ(decodeBlock(cat({junk, resource(1006, {0x01, 'A'})}))->alphaNames(), Names{"A"});
}

TEST(PSDDecoder, DoesNotResynchroniseByBytes) {
  expectNothingDecoded(*decodeBlock(cat({{0x00, 0x00}, resource(1006, {0x01, 'A'})})));
}

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
  EXPECT_EQ(decoder.alphaNames(), (Names{"A", "B", ""}));
  EXPECT_EQ(decoder.unicodeAlphaNames(), (UnicodeNames{u"X", u"Y"}));
  EXPECT_EQ(decoder.alphaIdentifiers()->identifiers, std::vector<uint32_t>{3});
  EXPECT_EQ(decoder.alternateSpotColors()->version, 2);
  EXPECT_TRUE(decoder.alternateSpotColors()->colors.empty());
  EXPECT_EQ(decoder.displayInfo()->version, 2U);
  EXPECT_TRUE(decoder.displayInfo()->entries.empty());

  // A second block read into the same decoder behaves as more resources of the first.
  ASSERT_TRUE(decoder.readImageResources(first.data(), static_cast<uint32_t>(first.size())));
  EXPECT_EQ(decoder.alphaNames(), (Names{"A", "B", "", "A", "B"}));
  EXPECT_EQ(decoder.alphaIdentifiers()->identifiers, (std::vector<uint32_t>{1, 2}));
}

struct UnicodeCase {
  const char* label;
  Bytes data;
  UnicodeNames names;
};

class PSDDecoderUnicode : public ::testing::TestWithParam<UnicodeCase> {};

TEST_P(PSDDecoderUnicode, CutsEachNameBeforeItsFirstZeroUnit) {
  EXPECT_EQ(decodeResource(1045, GetParam().data)->unicodeAlphaNames(), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PSDDecoderUnicode,
    ::testing::Values(
        UnicodeCase{
            "embeddedZero", cat({be32(4), be16(0x41), be16(0x42), be16(0), be16(0x43)}), {u"AB"}},
        UnicodeCase{"noUnits", be32(0), {u""}},
        UnicodeCase{"loneTerminator", cat({be32(1), be16(0)}), {u""}},
        UnicodeCase{"unterminated", cat({be32(1), be16(0xE9)}), {u"\u00E9"}},
        UnicodeCase{"surrogatePairKept",
                    cat({be32(3), be16(0xD83D), be16(0xDE00), be16(0)}),
                    {u"\U0001F600"}},
        UnicodeCase{"two",
                    cat({be32(2), be16('P'), be16(0), be32(3), be16('Q'), be16('R'), be16(0)}),
                    {u"P", u"QR"}}),
    psd_test::ByLabel());

TEST(PSDDecoder, DisplayInfoOfVersionOnlyHasNoEntries) {
  const auto record = decodeResource(1077, be32(7))->displayInfo();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->version, 7U);
  EXPECT_TRUE(record->entries.empty());
}

TEST(PSDDecoder, DecodesTwoDisplayEntriesAsStored) {
  const Bytes data = cat({be32(1),
                          be16(7),
                          be16(1),
                          be16(2),
                          be16(3),
                          be16(4),
                          be16(250),
                          {9},
                          be16(0),
                          be16(0xFFFF),
                          be16(0),
                          be16(0),
                          be16(0),
                          be16(100),
                          {2}});
  ASSERT_EQ(data.size(), 30U);
  const auto record = decodeResource(1077, data)->displayInfo();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->version, 1U);
  EXPECT_EQ(record->entries,
            (std::vector<ChannelDisplayInfo>{{color(7, 1, 2, 3, 4), 250, 9},
                                             {color(0, 0xFFFF, 0, 0, 0), 100, 2}}));
}

TEST(PSDDecoder, EmptyResourcesLeaveEmptyRecords) {
  const auto decoder =
      decodeBlock(cat({resource(1053, {}), resource(1067, cat({be16(1), be16(0)}))}));
  ASSERT_NE(decoder->alphaIdentifiers(), nullptr);
  EXPECT_TRUE(decoder->alphaIdentifiers()->identifiers.empty());
  ASSERT_NE(decoder->alternateSpotColors(), nullptr);
  EXPECT_EQ(decoder->alternateSpotColors()->version, 1);
  EXPECT_TRUE(decoder->alternateSpotColors()->colors.empty());
}

// Entries that do not fit in what is left of a resource are dropped; the ones before stay.
struct ResourceTail {
  const char* label;
  uint16_t id;
  Bytes data;
  orvex::PSDImageResources expected;
};

orvex::PSDImageResources withNames(Names names) {
  orvex::PSDImageResources resources;
  resources.alphaNames = std::move(names);
  return resources;
}

orvex::PSDImageResources withUnicode(UnicodeNames names) {
  orvex::PSDImageResources resources;
  resources.unicodeAlphaNames = std::move(names);
  return resources;
}

orvex::PSDImageResources withIdentifiers(std::vector<uint32_t> identifiers) {
  orvex::PSDImageResources resources;
  resources.alphaIdentifiers = std::make_shared<orvex::AlphaIdentifiers>();
  resources.alphaIdentifiers->identifiers = std::move(identifiers);
  return resources;
}

orvex::PSDImageResources withSpotColors(uint16_t version, std::vector<AlternateSpotColor> colors) {
  orvex::PSDImageResources resources;
  resources.alternateSpotColors = std::make_shared<orvex::AlternateSpotColors>();
  resources.alternateSpotColors->version = version;
  resources.alternateSpotColors->colors = std::move(colors);
  return resources;
}

orvex::PSDImageResources withDisplay(uint32_t version, std::vector<ChannelDisplayInfo> entries) {
  orvex::PSDImageResources resources;
  resources.displayInfo = std::make_shared<orvex::DisplayInfo>();
  resources.displayInfo->version = version;
  resources.displayInfo->entries = std::move(entries);
  return resources;
}

class PSDDecoderResourceTail : public ::testing::TestWithParam<ResourceTail> {};

TEST_P(PSDDecoderResourceTail, KeepsEntriesBeforeTheOneThatDoesNotFit) {
  const auto decoder = decodeResource(GetParam().id, GetParam().data);
  EXPECT_TRUE(psd_test::resourcesOf(*decoder) == GetParam().expected);
}

const Bytes kOneSpotColor = cat({be32(5), be16(7), be16(1), be16(2), be16(3), be16(4)});
const Bytes kOneDisplayEntry = cat({be16(0), be16(1), be16(2), be16(3), be16(4), be16(50), {2}});

INSTANTIATE_TEST_SUITE_P(
    Truncated, PSDDecoderResourceTail,
    ::testing::Values(
        ResourceTail{"nameLongerThanRest", 1006, {0x01, 'A', 0x05, 'B'}, withNames({"A"})},
        ResourceTail{"nameLengthLast", 1006, {0x01, 'A', 0xFF}, withNames({"A"})},
        ResourceTail{"unitCountCut", 1045, cat({be32(2), be16('A'), be16(0), {0x00, 0x00}}),
                     withUnicode({u"A"})},
        ResourceTail{"unitsCut", 1045,
                     cat({be32(2), be16('A'), be16(0), be32(3), be16('B'), be16('C')}),
                     withUnicode({u"A"})},
        ResourceTail{"hugeUnitCount", 1045, cat({be32(0xFFFFFFFF), be16('A')}), withUnicode({})},
        ResourceTail{"identifierCut", 1053, cat({be32(1), {0x00, 0x00, 0x02}}),
                     withIdentifiers({1})},
        ResourceTail{"spotColorsCut", 1067, cat({be16(1), be16(3), kOneSpotColor, Bytes(13, 0)}),
                     withSpotColors(1, {{5, color(7, 1, 2, 3, 4)}})},
        ResourceTail{"spotColorCountOnly", 1067, cat({be16(1), be16(0xFFFF)}),
                     withSpotColors(1, {})},
        ResourceTail{"spotColorsHeaderCut", 1067, {0x00, 0x01, 0x00}, withSpotColors(0, {})},
        ResourceTail{"displayEntryCut", 1077, cat({be32(1), kOneDisplayEntry, Bytes(12, 0)}),
                     withDisplay(1, {{color(0, 1, 2, 3, 4), 50, 2}})},
        ResourceTail{"displayVersionCut", 1077, {0x00, 0x00, 0x01}, withDisplay(0, {})}),
    psd_test::ByLabel());

// A resource that cannot be delimited ends the walk; what came before it is kept.
struct BlockTail {
  const char* label;
  Bytes tail;
  Names names;
};

class PSDDecoderBlockTail : public ::testing::TestWithParam<BlockTail> {};

TEST_P(PSDDecoderBlockTail, KeepsResourcesBeforeTheDamage) {
  const Bytes block = cat({resource(1006, {0x01, 'A'}), GetParam().tail});
  const auto decoder = decodeBlock(block);
  EXPECT_EQ(decoder->alphaNames(), GetParam().names);
  EXPECT_EQ(decoder->alphaIdentifiers(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Truncated, PSDDecoderBlockTail,
    ::testing::Values(
        BlockTail{"oneByte", {0x38}, {"A"}}, BlockTail{"threeBytes", {0x38, 0x42, 0x49}, {"A"}},
        BlockTail{"signatureOnly", kSignature, {"A"}},
        BlockTail{"idCut", cat({kSignature, {0x04}}), {"A"}},
        BlockTail{"noNameLength", cat({kSignature, {0x04, 0x1D}}), {"A"}},
        BlockTail{"nameCut", cat({kSignature, {0x04, 0x1D, 0x05, 'a', 'b'}}), {"A"}},
        BlockTail{"namePadMissing", cat({kSignature, {0x04, 0x1D, 0x02, 'a', 'b'}}), {"A"}},
        BlockTail{"sizeCut", cat({kSignature, {0x04, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x00}}), {"A"}},
        BlockTail{"dataCut", cat({kSignature, {0x04, 0x1D, 0x00, 0x00}, be32(8), be32(1)}), {"A"}},
        BlockTail{"hugeSize",
                  cat({kSignature, {0x04, 0x1D, 0x00, 0x00}, be32(0xFFFFFFFF), be32(1)}),
                  {"A"}},
        BlockTail{"resourceInsideOversizedOne",
                  cat({kSignature, {0x03, 0xEE, 0x00, 0x00}, be32(40), resource(1053, be32(1))}),
                  {"A"}},
        BlockTail{"finalPadMissing",
                  cat({kSignature, {0x03, 0xEE, 0x00, 0x00}, be32(3), {0x02, 'B', 'C'}}),
                  {"A", "BC"}}),
    psd_test::ByLabel());

// Every cut of a valid block decodes without reading past it, and yields a leading part of
// what the whole block holds.
TEST(PSDDecoder, EveryPrefixOfABlockDecodesALeadingPart) {
  const Bytes block = cat({
      resource(1006, {0x01, 'A', 0x02, 'B', 'C', 0x00}),
      resource(1045, cat({be32(2), be16('A'), be16(0), be32(1), be16(0)})),
      resource(1077, cat({be32(1), kOneDisplayEntry, kOneDisplayEntry})),
      resource(1053, cat({be32(1024), be32(1025)})),
      resource(1067, cat({be16(1), be16(1), kOneSpotColor})),
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

TEST_F(PSDDecoderAdobeBlock, HoldsNoChannelResources) {
  expectNothingDecoded(*decodeBlock(block_));
}

TEST_F(PSDDecoderAdobeBlock, WalkReachesItsEnd) {
  const auto decoder = decodeBlock(cat({block_, resource(1006, {0x01, 'Z'})}));
  EXPECT_EQ(decoder->alphaNames(), Names{"Z"});
}

TEST_F(PSDDecoderAdobeBlock, EveryPrefixDecodesNothing) {
  for (size_t size = 0; size < block_.size(); ++size) {
    expectNothingDecoded(*decodeBlock(Bytes(block_.begin(), block_.begin() + size)));
  }
}

}  // namespace
