// The tags of written files as libtiff reads them back, and the mapping of the host's
// enumerations to TIFF values.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "writer/TiffWriter.h"

namespace {

using orvex_test::LogCapture;
using orvex_test::TempDir;
using orvex_writer_test::imageInfo;
using orvex_writer_test::photoshopBlockFor;
using orvex_writer_test::WrittenTiff;

constexpr int kWarning = 3;

class WriterTags : public ::testing::Test {
protected:
  std::string writeTags(const TiffImageInfo& info, int32_t planarConfig = PLANARCONFIG_CONTIG) {
    const std::string path = temp_.file("tags.tif");
    orvex::TiffWriter writer;
    EXPECT_TRUE(writer.begin(path.c_str(), info, planarConfig));
    orvex_writer_test::writeBlankRows(writer, info, planarConfig);
    writer.end();
    return path;
  }

  TempDir temp_;
};

TEST_F(WriterTags, WritesFixedAndCopiedTags) {
  TiffImageInfo info = imageInfo(5, 23, 16, 3, TiffPhotometric::Rgb);
  info.xResolution = 300.5F;
  info.yResolution = 150.25F;
  info.scanlineCount = 999;  // not the writer's business
  const WrittenTiff file(writeTags(info));
  EXPECT_EQ(file.value<uint32_t>(TIFFTAG_IMAGEWIDTH), 5U);
  EXPECT_EQ(file.value<uint32_t>(TIFFTAG_IMAGELENGTH), 23U);
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_BITSPERSAMPLE), 16U);
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_SAMPLESPERPIXEL), 3U);
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_COMPRESSION), COMPRESSION_LZW);
  EXPECT_EQ(file.value<uint32_t>(TIFFTAG_ROWSPERSTRIP), 10U);
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_ORIENTATION), ORIENTATION_TOPLEFT);
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_FILLORDER), FILLORDER_MSB2LSB);
  EXPECT_FLOAT_EQ(file.value<float>(TIFFTAG_XRESOLUTION), 300.5F);
  EXPECT_FLOAT_EQ(file.value<float>(TIFFTAG_YRESOLUTION), 150.25F);
  EXPECT_EQ(file.stripCount(), 3U);
}

class WriterPlanarConfig : public WriterTags,
                           public ::testing::WithParamInterface<std::pair<int32_t, uint16_t>> {};

TEST_P(WriterPlanarConfig, OnlyTwoSelectsSeparatePlanes) {
  const WrittenTiff file(writeTags(imageInfo(4, 4, 8, 3, TiffPhotometric::Rgb), GetParam().first));
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_PLANARCONFIG), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, WriterPlanarConfig,
                         ::testing::Values(std::make_pair(2, PLANARCONFIG_SEPARATE),
                                           std::make_pair(1, PLANARCONFIG_CONTIG),
                                           std::make_pair(0, PLANARCONFIG_CONTIG),
                                           std::make_pair(3, PLANARCONFIG_CONTIG),
                                           std::make_pair(-2, PLANARCONFIG_CONTIG)));

// One mapped value: the host's enumerator (as its number) and the TIFF value expected.
struct Mapping {
  int32_t host;
  uint16_t tiff;
};

class WriterPhotometric : public WriterTags, public ::testing::WithParamInterface<Mapping> {};

TEST_P(WriterPhotometric, MapsToTiffValue) {
  const WrittenTiff file(
      writeTags(imageInfo(4, 4, 8, 1, static_cast<TiffPhotometric>(GetParam().host))));
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_PHOTOMETRIC), GetParam().tiff);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriterPhotometric,
    ::testing::Values(Mapping{0, PHOTOMETRIC_MINISWHITE}, Mapping{1, PHOTOMETRIC_MINISBLACK},
                      Mapping{2, PHOTOMETRIC_RGB}, Mapping{3, PHOTOMETRIC_MASK},
                      Mapping{4, PHOTOMETRIC_SEPARATED}, Mapping{5, PHOTOMETRIC_CIELAB},
                      Mapping{6, PHOTOMETRIC_ICCLAB}, Mapping{7, PHOTOMETRIC_ITULAB},
                      Mapping{8, PHOTOMETRIC_CFA}, Mapping{9, PHOTOMETRIC_LOGL},
                      Mapping{10, PHOTOMETRIC_LOGLUV}, Mapping{-1, PHOTOMETRIC_MINISWHITE},
                      Mapping{11, PHOTOMETRIC_MINISWHITE}, Mapping{-7, PHOTOMETRIC_MINISWHITE}));

class WriterSampleFormat : public WriterTags, public ::testing::WithParamInterface<Mapping> {};

TEST_P(WriterSampleFormat, MapsToTiffValue) {
  TiffImageInfo info = imageInfo(4, 4, 32, 1, TiffPhotometric::MinIsBlack);
  info.sampleFormat = static_cast<TiffSampleFormat>(GetParam().host);
  const WrittenTiff file(writeTags(info));
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_SAMPLEFORMAT), GetParam().tiff);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriterSampleFormat,
    ::testing::Values(Mapping{1, SAMPLEFORMAT_UINT}, Mapping{2, SAMPLEFORMAT_INT},
                      Mapping{3, SAMPLEFORMAT_IEEEFP}, Mapping{4, SAMPLEFORMAT_VOID},
                      Mapping{5, SAMPLEFORMAT_COMPLEXINT}, Mapping{6, SAMPLEFORMAT_COMPLEXIEEEFP},
                      Mapping{-1, SAMPLEFORMAT_UINT}, Mapping{0, SAMPLEFORMAT_UINT},
                      Mapping{7, SAMPLEFORMAT_UINT}));

class WriterResolutionUnit : public WriterTags, public ::testing::WithParamInterface<Mapping> {};

TEST_P(WriterResolutionUnit, MapsToTiffValue) {
  TiffImageInfo info = imageInfo(4, 4, 8, 1, TiffPhotometric::MinIsBlack);
  info.resolutionUnit = static_cast<TiffResolutionUnit>(GetParam().host);
  const WrittenTiff file(writeTags(info));
  EXPECT_EQ(file.value<uint16_t>(TIFFTAG_RESOLUTIONUNIT), GetParam().tiff);
}

INSTANTIATE_TEST_SUITE_P(Table, WriterResolutionUnit,
                         ::testing::Values(Mapping{-1, RESUNIT_NONE}, Mapping{0, RESUNIT_INCH},
                                           Mapping{1, RESUNIT_CENTIMETER}, Mapping{2, RESUNIT_NONE},
                                           Mapping{-2, RESUNIT_NONE}));

class WriterExtraSample : public WriterTags, public ::testing::WithParamInterface<Mapping> {};

TEST_P(WriterExtraSample, MapsChannelTypeAndKeepsItForThePhotoshopTag) {
  TiffImageInfo info = imageInfo(4, 4, 8, 2, TiffPhotometric::MinIsBlack);
  info.extraSamples = 1;
  info.channels = {{static_cast<TiffChannelType>(GetParam().host), "Kanal"}};
  const WrittenTiff file(writeTags(info));
  EXPECT_EQ(file.extraSamples(), std::vector<uint16_t>{GetParam().tiff});
  const std::vector<uint8_t> photoshop = file.block(TIFFTAG_PHOTOSHOP);
  EXPECT_FALSE(photoshop.empty());
  EXPECT_EQ(photoshop, photoshopBlockFor(temp_.file("expected.tif"), info.channels));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriterExtraSample,
    ::testing::Values(Mapping{0, EXTRASAMPLE_UNSPECIFIED}, Mapping{1, EXTRASAMPLE_ASSOCALPHA},
                      Mapping{2, EXTRASAMPLE_UNASSALPHA}, Mapping{3, EXTRASAMPLE_UNSPECIFIED},
                      Mapping{4, EXTRASAMPLE_UNSPECIFIED}, Mapping{-1, EXTRASAMPLE_UNSPECIFIED}));

TEST_F(WriterTags, DeclaredExtraSamplesWithoutChannelAreUnspecifiedAndUnnamed) {
  TiffImageInfo info = imageInfo(4, 4, 8, 5, TiffPhotometric::Rgb);
  info.extraSamples = 2;
  info.channels = {{TiffChannelType::SpotColor, "Gold"}};
  LogCapture log;
  const WrittenTiff file(writeTags(info));
  EXPECT_EQ(log.textsAt(kWarning),
            std::vector<std::string>{"[TiffWriter::begin] extrasampleIndex:1, assume "
                                     "EXTRASAMPLE_UNSPECIFIED,name is empty!"});
  EXPECT_EQ(file.extraSamples(), (std::vector<uint16_t>{0, 0}));
  const std::vector<TiffChannelInfo> handedOver = {{TiffChannelType::SpotColor, "Gold"},
                                                   {TiffChannelType::Unspecified, ""}};
  EXPECT_EQ(file.block(TIFFTAG_PHOTOSHOP),
            photoshopBlockFor(temp_.file("expected.tif"), handedOver));
}

TEST_F(WriterTags, ChannelsBeyondExtraSamplesAreIgnored) {
  TiffImageInfo info = imageInfo(4, 4, 8, 3, TiffPhotometric::MinIsBlack);
  info.extraSamples = 2;
  info.channels = {{TiffChannelType::AssociatedAlpha, "A"},
                   {TiffChannelType::UnassociatedAlpha, "B"},
                   {TiffChannelType::SpotColor, "C"}};
  LogCapture log;
  const WrittenTiff file(writeTags(info));
  EXPECT_TRUE(log.textsAt(kWarning).empty());
  EXPECT_EQ(file.extraSamples(), (std::vector<uint16_t>{1, 2}));
  info.channels.pop_back();
  EXPECT_EQ(file.block(TIFFTAG_PHOTOSHOP),
            photoshopBlockFor(temp_.file("expected.tif"), info.channels));
}

TEST_F(WriterTags, NoExtraSamplesMeansNeitherExtraSamplesNorPhotoshopTag) {
  TiffImageInfo info = imageInfo(4, 4, 8, 2, TiffPhotometric::MinIsBlack);
  info.channels = {{TiffChannelType::AssociatedAlpha, "ignored"}};
  const WrittenTiff file(writeTags(info));
  EXPECT_TRUE(file.extraSamples().empty());
  EXPECT_TRUE(file.block(TIFFTAG_PHOTOSHOP).empty());
}

TEST_F(WriterTags, IccProfileOnlyWhenGivenAndByteExact) {
  TiffImageInfo info = imageInfo(4, 4, 8, 3, TiffPhotometric::Rgb);
  EXPECT_TRUE(WrittenTiff(writeTags(info)).block(TIFFTAG_ICCPROFILE).empty());
  info.iccProfile = {0x00, 0x00, 0x02, 0x0C, 'a', 'p', 'p', 'l', 0xFF, 0x00, 0x7F};
  EXPECT_EQ(WrittenTiff(writeTags(info)).block(TIFFTAG_ICCPROFILE), info.iccProfile);
}

}  // namespace
