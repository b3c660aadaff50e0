#include "psd/TiffPhotoshopTagWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "PsdTestSupport.h"
#include "psd/TiffPhotoshopTagReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace {

using orvex::TiffPhotoshopTagWriter;
using psd_test::Bytes;
using Channels = std::vector<TiffChannelInfo>;
using Type = TiffChannelType;

// ExtraSamples as the image writer stores them: spot channels have no kind of their own.
uint16_t extraSampleOf(Type type) {
  switch (type) {
    case Type::AssociatedAlpha:
      return EXTRASAMPLE_ASSOCALPHA;
    case Type::UnassociatedAlpha:
      return EXTRASAMPLE_UNASSALPHA;
    default:
      return EXTRASAMPLE_UNSPECIFIED;
  }
}

class TiffPhotoshopTagWriterTest : public ::testing::Test {
protected:
  // Writes a one-row grey image with one extra sample per channel, the tag set by write().
  bool writeFile(const Channels& channels) {
    TIFF* tif = TIFFOpen(path_.c_str(), "w");
    EXPECT_NE(tif, nullptr);
    const auto samples = static_cast<uint16_t>(1 + channels.size());
    std::vector<uint16_t> extraSamples;
    for (const TiffChannelInfo& channel : channels) {
      extraSamples.push_back(extraSampleOf(channel.type));
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 1U);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1U);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (!extraSamples.empty()) {
      TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(extraSamples.size()),
                   extraSamples.data());
    }
    bool result = false;
    try {
      result = TiffPhotoshopTagWriter::write(tif, channels);
    } catch (...) {
      TIFFClose(tif);
      throw;
    }
    std::vector<uint8_t> row(samples, 0x80);
    TIFFWriteScanline(tif, row.data(), 0, 0);
    TIFFClose(tif);
    return result;
  }

  orvex_test::TempDir dir_;
  std::string path_ = dir_.file("written.tif");
};

TEST_F(TiffPhotoshopTagWriterTest, EmptyListWritesNoTag) {
  orvex_test::LogCapture capture;
  EXPECT_TRUE(writeFile({}));
  EXPECT_TRUE(capture.records().empty());
  EXPECT_TRUE(psd_test::readPhotoshopTag(path_).empty());
}

TEST_F(TiffPhotoshopTagWriterTest, OneSpotChannelGivesTheDocumentedBlock) {
  orvex_test::LogCapture capture;
  ASSERT_TRUE(writeFile({{Type::SpotColor, "S"}}));
  EXPECT_TRUE(capture.records().empty());
  const Bytes expected = {
      0x38, 0x42, 0x49, 0x4D, 0x03, 0xEE, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x53,  //
      0x38, 0x42, 0x49, 0x4D, 0x04, 0x15, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,  //
      0x00, 0x02, 0x00, 0x53, 0x00, 0x00,                                                  //
      0x38, 0x42, 0x49, 0x4D, 0x04, 0x35, 0x00, 0x00, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00,  //
      0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x32,  //
      0x02, 0x00,                                                                          //
      0x38, 0x42, 0x49, 0x4D, 0x04, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00,  //
      0x04, 0x00,                                                                          //
      0x38, 0x42, 0x49, 0x4D, 0x04, 0x2B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12, 0x00, 0x01,  //
      0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x07, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00};
  ASSERT_EQ(expected.size(), 110U);
  EXPECT_EQ(psd_test::readPhotoshopTag(path_), expected);
}

TEST_F(TiffPhotoshopTagWriterTest, ThreeChannelsGetIdentifiersDisplayAndOneSpotColor) {
  ASSERT_TRUE(writeFile({{Type::AssociatedAlpha, "Alpha 1"},
                         {Type::SpotColor, "Spot \xC3\xA9"},
                         {Type::UnassociatedAlpha, ""}}));
  const auto decoder = psd_test::decodeBlock(psd_test::readPhotoshopTag(path_));
  const orvex::PSDColor red = psd_test::color(0, 65535);
  EXPECT_TRUE(
      psd_test::resourcesOf(*decoder) ==
      psd_test::merged({psd_test::withNames({"Alpha 1", "Spot \xC3\xA9", ""}),
                        psd_test::withUnicode({u"Alpha 1", u"Spot \u00E9", u""}),
                        psd_test::withIdentifiers({1024, 1025, 1026}),
                        psd_test::withDisplay(1, {{red, 100, 1}, {red, 50, 2}, {red, 0, 0}}),
                        psd_test::withSpotColors(1, {{1025, psd_test::color(7, 12800)}})}));
}

TEST_F(TiffPhotoshopTagWriterTest, NameAboveBmpIsASurrogatePairInUnicodeOnly) {
  const std::string grin = "\xF0\x9F\x98\x80";
  ASSERT_TRUE(writeFile({{Type::Unspecified, grin}}));
  const auto decoder = psd_test::decodeBlock(psd_test::readPhotoshopTag(path_));
  EXPECT_EQ(decoder->alphaNames(), std::vector<std::string>{grin});
  EXPECT_EQ(decoder->unicodeAlphaNames(), std::vector<std::u16string>{u"\xD83D\xDE00"});
}

TEST_F(TiffPhotoshopTagWriterTest, IllFormedNameThrowsBadConversion) {
  try {
    writeFile({{Type::Unspecified, "ok"}, {Type::Unspecified, "bad \xC3"}});
    FAIL() << "no exception";
  } catch (const std::range_error& error) {
    EXPECT_STREQ(error.what(), "bad conversion");
  }
  EXPECT_TRUE(psd_test::readPhotoshopTag(path_).empty());
}

TEST_F(TiffPhotoshopTagWriterTest, ReaderGetsBackTypesAndNames) {
  const Channels channels = {{Type::AssociatedAlpha, "Alpha 1"},
                             {Type::SpotColor, "PANTONE \xE5\x9C\xB0"},
                             {Type::Unspecified, ""},
                             {Type::UnassociatedAlpha, "mask"},
                             {Type::SpotColor, std::string(300, 'L')}};
  ASSERT_TRUE(writeFile(channels));
  TIFF* tif = TIFFOpen(path_.c_str(), "r");
  ASSERT_NE(tif, nullptr);
  orvex::TiffPhotoshopTagReader reader;
  EXPECT_TRUE(reader.read(tif));
  TIFFClose(tif);
  EXPECT_EQ(reader.channelInfos(), channels);
}

}  // namespace
