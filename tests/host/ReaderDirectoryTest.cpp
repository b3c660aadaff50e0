// Directories through the exported reader: their description, their rows and the log.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "HostReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_host_test::channelRow;
using orvex_host_test::interleavedRow;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kDetail = 0;
constexpr int kMilestone = 2;
constexpr int kError = 4;

TiffSpec rgb(uint32_t width, uint32_t height) {
  TiffSpec tiffSpec;
  tiffSpec.width = width;
  tiffSpec.height = height;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  tiffSpec.samplesPerPixel = 3;
  return tiffSpec;
}

class ReaderDirectory : public ::testing::Test {
protected:
  /// Writes `tiffSpec` (twice when `directories` is 2) and opens it.
  void open(const TiffSpec& tiffSpec, int directories = 1) {
    path_ = temp_.file("image.tif");
    stored_ = orvex_test::patternImage(tiffSpec);
    orvex_test::TiffFileBuilder builder(path_);
    for (int i = 0; i < directories; ++i) {
      builder.addDirectory(tiffSpec, stored_);
    }
    builder.close();
    ASSERT_TRUE(reader_->begin(path_.c_str()));
  }

  /// Stored row `row` of a contiguous image.
  std::vector<uint8_t> storedRow(const TiffSpec& tiffSpec, uint32_t row) const {
    const size_t bytes = orvex_test::storedRowBytes(tiffSpec);
    return std::vector<uint8_t>(stored_.begin() + row * bytes, stored_.begin() + (row + 1) * bytes);
  }

  orvex_test::TempDir temp_;
  std::string path_;
  std::vector<uint8_t> stored_;
  orvex_host_test::ReaderPtr reader_ = orvex_host_test::makeReader();
};

TEST_F(ReaderDirectory, BeginAndEndOfADirectoryAreLogged) {
  open(rgb(4, 3), 2);
  LogCapture log;
  ASSERT_TRUE(reader_->beginReadSubDir(1));
  reader_->endReadSubDir();
  reader_->endReadSubDir();
  EXPECT_EQ(log.records().front(),
            (LogRecord{kMilestone, "[TiffReader::beginReadSubDir] beginReadSubDir!  (1 / 2)"}));
  EXPECT_EQ(log.records().back(),
            (LogRecord{kMilestone, "[TiffReader::endReadSubDir] endReadSubDir!  (1 / 2)"}));
  EXPECT_EQ(log.count("[TiffReader::endReadSubDir] endReadSubDir!  (1 / 2)"), 1U);
}

TEST_F(ReaderDirectory, IndexEqualToTheCountFailsWhenSelectingIt) {
  open(rgb(4, 3), 2);
  LogCapture log;
  EXPECT_FALSE(reader_->beginReadSubDir(2));
  EXPECT_TRUE(
      log.contains(kError, "[TiffHelper::readTiffInfo] TIFFSetDirectory failed [dirIndex:2]"));
  EXPECT_TRUE(
      log.contains(kError, "[TiffReader::createSuitableTiffLineReader] readTiffInfo failed!"));
  log.clear();
  reader_->endReadSubDir();
  EXPECT_TRUE(log.records().empty());
  EXPECT_TRUE(reader_->beginReadSubDir(1));
}

TEST_F(ReaderDirectory, CallsOutsideTheirStatesAreRefused) {
  LogCapture log;
  EXPECT_FALSE(reader_->beginReadSubDir(0));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::beginReadSubDir] no file is open!"));
  EXPECT_FALSE(reader_->isRowScanline());
  EXPECT_FALSE(reader_->readScanline(0, nullptr, nullptr));
  EXPECT_FALSE(reader_->readScanline(0, 0, nullptr, nullptr));
  const TiffImageInfo unset = reader_->getImageInfo();
  EXPECT_EQ(unset.width, 0U);
  EXPECT_EQ(unset.photometric, TiffPhotometric::Unknown);
  EXPECT_EQ(unset.sampleFormat, TiffSampleFormat::Unknown);
  EXPECT_EQ(unset.resolutionUnit, TiffResolutionUnit::Unknown);
  EXPECT_EQ(unset.xResolution, 0.0F);
  open(rgb(4, 3));
  EXPECT_FALSE(reader_->readScanline(0, nullptr, nullptr));  // no directory begun yet
}

TEST_F(ReaderDirectory, ColumnImageReportsUprightSizeAndExchangedResolutions) {
  TiffSpec tiffSpec = rgb(300, 200);
  tiffSpec.orientation = ORIENTATION_LEFTTOP;
  tiffSpec.xResolution = 300.0F;
  tiffSpec.yResolution = 150.0F;
  tiffSpec.resolutionUnit = RESUNIT_CENTIMETER;
  open(tiffSpec);
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  const TiffImageInfo info = reader_->getImageInfo();
  EXPECT_EQ(info.width, 200U);
  EXPECT_EQ(info.height, 300U);
  EXPECT_EQ(info.scanlineCount, 200U);
  EXPECT_FALSE(reader_->isRowScanline());
  EXPECT_EQ(info.xResolution, 150.0F);
  EXPECT_EQ(info.yResolution, 300.0F);
  EXPECT_EQ(info.resolutionUnit, TiffResolutionUnit::Centimeter);
  EXPECT_EQ(info.bitsPerSample, 8U);
  EXPECT_EQ(info.samplesPerPixel, 3U);
  EXPECT_EQ(info.photometric, TiffPhotometric::Rgb);
  EXPECT_EQ(info.sampleFormat, TiffSampleFormat::Uint);
}

TEST_F(ReaderDirectory, MissingResolutionIsSeventyTwoPerInch) {
  open(rgb(4, 3));
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  const TiffImageInfo info = reader_->getImageInfo();
  EXPECT_EQ(info.xResolution, 72.0F);
  EXPECT_EQ(info.yResolution, 72.0F);
  EXPECT_EQ(info.resolutionUnit, TiffResolutionUnit::Inch);
  EXPECT_TRUE(reader_->isRowScanline());
}

TEST_F(ReaderDirectory, NoResolutionUnitIsUnknown) {
  TiffSpec tiffSpec = rgb(4, 3);
  tiffSpec.resolutionUnit = RESUNIT_NONE;
  open(tiffSpec);
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  EXPECT_EQ(reader_->getImageInfo().resolutionUnit, TiffResolutionUnit::Unknown);
}

TEST_F(ReaderDirectory, ExtraSamplesWithoutResourcesGiveUnnamedChannels) {
  TiffSpec tiffSpec = rgb(4, 3);
  tiffSpec.samplesPerPixel = 5;
  tiffSpec.extraSamples = {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_UNSPECIFIED};
  open(tiffSpec);
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  LogCapture log;
  const TiffImageInfo info = reader_->getImageInfo();
  EXPECT_EQ(info.extraSamples, 2U);
  ASSERT_EQ(info.channels.size(), 2U);
  EXPECT_EQ(info.channels[0].type, TiffChannelType::UnassociatedAlpha);
  EXPECT_EQ(info.channels[1].type, TiffChannelType::Unspecified);
  EXPECT_TRUE(info.channels[0].name.empty());
  EXPECT_TRUE(info.iccProfile.empty());
  EXPECT_TRUE(log.contains(
      kDetail, "[TiffHelper::readTiffIccProfile] tif has no TIFFTAG_ICCPROFILE tag [dirIndex:0]"));
  EXPECT_TRUE(
      log.contains(kDetail, "[TiffPhotoshopTagReader::read] has no TIFFTAG_PHOTOSHOP tag!"));
}

TEST_F(ReaderDirectory, IccProfileArrivesByteForByte) {
  TiffSpec tiffSpec = rgb(4, 3);
  for (int i = 0; i < 300; ++i) {
    tiffSpec.iccProfile.push_back(static_cast<uint8_t>(i * 13));
  }
  open(tiffSpec, 2);
  ASSERT_TRUE(reader_->beginReadSubDir(1));
  EXPECT_EQ(reader_->getImageInfo().iccProfile, tiffSpec.iccProfile);
}

TEST_F(ReaderDirectory, TopLeftAndBottomLeftDeliverStoredRowsAndChannelsInPictureOrder) {
  for (const uint16_t orientation : {ORIENTATION_TOPLEFT, ORIENTATION_BOTLEFT}) {
    TiffSpec tiffSpec = rgb(5, 4);
    tiffSpec.orientation = orientation;
    open(tiffSpec);
    ASSERT_TRUE(reader_->beginReadSubDir(0));
    for (uint32_t row = 0; row < 4; ++row) {
      const std::vector<uint8_t> stored =
          storedRow(tiffSpec, orientation == ORIENTATION_BOTLEFT ? 3 - row : row);
      EXPECT_EQ(interleavedRow(*reader_, row), stored) << orientation << " row " << row;
      const std::vector<uint8_t> green = channelRow(*reader_, 1, row);
      ASSERT_EQ(green.size(), 5U);
      for (size_t x = 0; x < 5; ++x) {
        EXPECT_EQ(green[x], stored[3 * x + 1]) << orientation << " row " << row;
      }
    }
    reader_->end();
  }
}

TEST_F(ReaderDirectory, RowEqualToTheCountFailsWithBothLines) {
  open(rgb(5, 4));
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  LogCapture log;
  EXPECT_FALSE(reader_->readScanline(4, nullptr, nullptr));
  const std::vector<LogRecord> expected = {
      {kError, "[TiffCommonLineReader::readOriginScanline] rowIndex out range!"},
      {kError, "[TiffLineReaderBase::readScanline] readOriginLine failed!"}};
  EXPECT_EQ(log.records(), expected);
}

TEST_F(ReaderDirectory, SameRowTwiceGivesTheSameBytesAndNullOutputsAreAllowed) {
  open(rgb(5, 4));
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  EXPECT_TRUE(reader_->readScanline(1, nullptr, nullptr));
  uint32_t size = 0;
  EXPECT_TRUE(reader_->readScanline(1, nullptr, &size));
  EXPECT_EQ(size, 15U);
  EXPECT_EQ(interleavedRow(*reader_, 1), interleavedRow(*reader_, 1));
}

TEST_F(ReaderDirectory, ChannelBeyondTheSamplesReachesTheHostAsOutRange) {
  open(rgb(5, 4));
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  try {
    reader_->readScanline(3, 0, nullptr, nullptr);
    FAIL() << "no exception";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "out range!");
  }
}

TEST_F(ReaderDirectory, PaletteIsDescribedAsEightBitRgb) {
  TiffSpec tiffSpec;
  tiffSpec.photometric = PHOTOMETRIC_PALETTE;
  tiffSpec.bitsPerSample = 4;
  tiffSpec.colorMap.assign(3 * 16, 0);
  for (size_t i = 0; i < tiffSpec.colorMap.size(); ++i) {
    tiffSpec.colorMap[i] = static_cast<uint16_t>(i * 5);
  }
  open(tiffSpec);
  ASSERT_TRUE(reader_->beginReadSubDir(0));
  const TiffImageInfo info = reader_->getImageInfo();
  EXPECT_EQ(info.photometric, TiffPhotometric::Rgb);
  EXPECT_EQ(info.samplesPerPixel, 3U);
  EXPECT_EQ(info.bitsPerSample, 8U);
  // Stored first byte 0x01: indexes 0 and 1 of a 4-bit palette.
  const std::vector<uint8_t> row = interleavedRow(*reader_, 0);
  ASSERT_EQ(row.size(), 12U);
  const uint8_t index = stored_[0] >> 4;
  EXPECT_EQ(row[0], tiffSpec.colorMap[index]);
  EXPECT_EQ(row[1], tiffSpec.colorMap[16 + index]);
  EXPECT_EQ(row[2], tiffSpec.colorMap[32 + index]);
}

}  // namespace
