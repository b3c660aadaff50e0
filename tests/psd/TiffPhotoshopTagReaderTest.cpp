#include "psd/TiffPhotoshopTagReader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "PsdTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex::TiffPhotoshopTagReader;
using orvex_test::LogRecord;
using psd_test::Bytes;
using psd_test::cat;
using psd_test::encode;
using psd_test::merged;
using psd_test::withIdentifiers;
using psd_test::withNames;
using psd_test::withSpotColors;
using psd_test::withUnicode;
using Channels = std::vector<TiffChannelInfo>;
using Type = TiffChannelType;

const char* const kNoTag = "[TiffPhotoshopTagReader::read] has no TIFFTAG_PHOTOSHOP tag!";
const orvex::PSDColor kLab = psd_test::color(7, 12800);
const char* const kNoIdentifiers =
    "[TiffPhotoshopTagReader::read] has SpotColors,but alphaIdentifiers is nullptr";

// Rewrites the value count of `tag` in the first directory of a little-endian classic TIFF.
bool setFirstDirectoryCount(const std::string& path, uint16_t tag, uint32_t count) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  const auto readU32At = [&file](std::streamoff offset) {
    uint32_t value = 0;
    file.seekg(offset);
    file.read(reinterpret_cast<char*>(&value), sizeof value);
    return value;
  };
  const uint32_t directory = readU32At(4);
  const uint32_t entries = readU32At(directory) & 0xFFFF;
  for (uint32_t i = 0; i < entries; ++i) {
    const std::streamoff entry = directory + 2 + 12 * i;
    if ((readU32At(entry) & 0xFFFF) == tag) {
      file.seekp(entry + 4);
      file.write(reinterpret_cast<const char*>(&count), sizeof count);
      return static_cast<bool>(file);
    }
  }
  return false;
}

struct ReadOutcome {
  bool result;
  Channels channels;
  std::vector<LogRecord> logs;
};

class TiffPhotoshopTagReaderTest : public ::testing::Test {
protected:
  // A grey image with the given extra samples and, unless `photoshop` is null, tag 34377.
  std::string writeFile(const std::vector<uint16_t>& extraSamples, const Bytes* photoshop) {
    orvex_test::TiffSpec tiffSpec;
    tiffSpec.samplesPerPixel = static_cast<uint16_t>(1 + extraSamples.size());
    tiffSpec.extraSamples = extraSamples;
    if (photoshop != nullptr) {
      tiffSpec.photoshop = *photoshop;
      tiffSpec.writeEmptyPhotoshop = photoshop->empty();
    }
    const std::string path = dir_.file("channels.tif");
    orvex_test::writeTiff(path, tiffSpec, orvex_test::patternImage(tiffSpec));
    return path;
  }

  ReadOutcome readFile(const std::vector<uint16_t>& extraSamples, const Bytes* photoshop) {
    return readPath(writeFile(extraSamples, photoshop));
  }

  static ReadOutcome readPath(const std::string& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    EXPECT_NE(tif, nullptr);
    orvex_test::LogCapture capture;
    TiffPhotoshopTagReader reader;
    const bool result = reader.read(tif);
    TIFFClose(tif);
    return ReadOutcome{result, reader.channelInfos(), capture.records()};
  }

  orvex_test::TempDir dir_;
};

TEST_F(TiffPhotoshopTagReaderTest, NullHandleFailsSilently) {
  orvex_test::LogCapture capture;
  TiffPhotoshopTagReader reader;
  EXPECT_FALSE(reader.read(nullptr));
  EXPECT_TRUE(capture.records().empty());
}

// libtiff refuses to keep a tag 34377 of zero bytes, when writing as when reading, so such a
// directory reads as one without the tag.
TEST_F(TiffPhotoshopTagReaderTest, MissingOrZeroByteTagFailsWithDetailLine) {
  const Bytes fourBytes = {1, 2, 3, 4};  // stored inside the directory entry
  const std::string zeroBytes = writeFile({1}, &fourBytes);
  ASSERT_TRUE(setFirstDirectoryCount(zeroBytes, TIFFTAG_PHOTOSHOP, 0));
  // Read in this order: each file written replaces the one before.
  for (const ReadOutcome& outcome :
       {readPath(zeroBytes), readFile({}, nullptr), readFile({2}, nullptr)}) {
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.logs, (std::vector<LogRecord>{{0, kNoTag}}));
  }
}

TEST_F(TiffPhotoshopTagReaderTest, SpotColorsWithoutIdentifiersFail) {
  const Bytes block = encode(merged({withUnicode({u"Spot"}), withSpotColors(1, {{1024, kLab}})}));
  const ReadOutcome outcome = readFile({0}, &block);
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.logs, (std::vector<LogRecord>{{3, kNoIdentifiers}}));
}

struct ChannelCase {
  const char* label;
  std::vector<uint16_t> extraSamples;
  Bytes block;
  Channels channels;
};

class TiffPhotoshopTagReaderChannels : public TiffPhotoshopTagReaderTest,
                                       public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(TiffPhotoshopTagReaderChannels, NamesAndMarksChannels) {
  const ReadOutcome outcome = readFile(GetParam().extraSamples, &GetParam().block);
  EXPECT_TRUE(outcome.result);
  EXPECT_EQ(outcome.channels, GetParam().channels);
  EXPECT_TRUE(outcome.logs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Resources, TiffPhotoshopTagReaderChannels,
    ::testing::Values(
        ChannelCase{"noExtraSamplesGiveNoChannels", {}, encode(withNames({"unused"})), {}},
        ChannelCase{
            "unicodeNamesWin",
            {2, 0},
            cat({encode(withUnicode({u"\u00E9t\u00E9", u"\u5730"})),
                 encode(withNames({"p0", "p1"}))}),
            {{Type::UnassociatedAlpha, "\xC3\xA9t\xC3\xA9"}, {Type::Unspecified, "\xE5\x9C\xB0"}}},
        ChannelCase{"emptyUnicodeFallsBackToPascal",
                    {0, 0},
                    encode(merged({withUnicode({u"", u"u1"}), withNames({"p0", "p1"})})),
                    {{Type::Unspecified, "p0"}, {Type::Unspecified, "u1"}}},
        ChannelCase{"missingUnicodeFallsBackToPascal",
                    {0, 0},
                    encode(merged({withUnicode({u"u0"}), withNames({"p0", "p1"})})),
                    {{Type::Unspecified, "u0"}, {Type::Unspecified, "p1"}}},
        ChannelCase{"moreChannelsThanNames",
                    {1, 0, 2},
                    encode(withNames({"only"})),
                    {{Type::AssociatedAlpha, "only"},
                     {Type::Unspecified, ""},
                     {Type::UnassociatedAlpha, ""}}},
        ChannelCase{
            "spotMatchedByIdentifier",
            {1, 2},
            encode(merged({withIdentifiers({1024, 1025}), withSpotColors(1, {{1025, kLab}})})),
            {{Type::AssociatedAlpha, ""}, {Type::SpotColor, ""}}},
        ChannelCase{"channelWithoutIdentifierKeepsKind",
                    {0, 2},
                    encode(merged({withIdentifiers({1024}),
                                   withSpotColors(1, {{1025, kLab}, {1024, kLab}})})),
                    {{Type::SpotColor, ""}, {Type::UnassociatedAlpha, ""}}},
        ChannelCase{"emptySpotColorsNeedNoIdentifiers",
                    {2},
                    cat({encode(withUnicode({u"A"})), psd_test::resource(1067, {0, 1, 0, 0})}),
                    {{Type::UnassociatedAlpha, "A"}}},
        ChannelCase{"damagedTailKeepsNamesBeforeIt",
                    {0, 0},
                    cat({encode(withNames({"kept"})), {0x38, 0x42, 0x49, 0x4D, 0x03, 0xEE, 0x00}}),
                    {{Type::Unspecified, "kept"}, {Type::Unspecified, ""}}}),
    psd_test::ByLabel());

}  // namespace
