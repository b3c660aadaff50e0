// The adjuster's description of the delivered rows, its log lines, and rows checked byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::AdjustedImageInfo;
using orvex::TiffCommonLineReader;
using orvex::TiffLineAdjuster;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kDetail = 0;
constexpr int kMilestone = 2;
const std::string kPostInitialize = "[TiffLineAdjuster::postInitialize] ";

std::vector<LogRecord> postInitializeRecords(const LogCapture& capture) {
  std::vector<LogRecord> records;
  for (const LogRecord& record : capture.records()) {
    if (record.text.rfind(kPostInitialize, 0) == 0) records.push_back(record);
  }
  return records;
}

struct OrientationLog {
  uint16_t orientation;
  std::vector<LogRecord> records;
  uint32_t colFirst;
};

class AdjusterOrientation : public ::testing::TestWithParam<OrientationLog> {};

TEST_P(AdjusterOrientation, LogsItsModeAndDescribesTheDeliveredImage) {
  const OrientationLog& param = GetParam();
  TiffSpec tiffSpec = layoutSpec(37, 21, 16, 2, PLANARCONFIG_SEPARATE, false, param.orientation);
  tiffSpec.xResolution = 300.0f;
  tiffSpec.yResolution = 150.0f;
  tiffSpec.resolutionUnit = RESUNIT_CENTIMETER;
  tiffSpec.sampleFormat = SAMPLEFORMAT_INT;
  tiffSpec.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  LogCapture capture;
  ASSERT_TRUE(reader.beginRead(0));

  EXPECT_EQ(postInitializeRecords(capture), param.records);
  const TiffLineAdjuster& adjuster = *reader.tiffLineAdjuster();
  EXPECT_EQ(adjuster.colFirst(), param.colFirst);
  const AdjustedImageInfo& info = adjuster.adjustedImageInfo();
  const bool columns = param.colFirst == 1;
  EXPECT_EQ(info.outputWidth_, columns ? 21u : 37u);
  EXPECT_EQ(info.outputLength_, columns ? 37u : 21u);
  EXPECT_EQ(info.xresolution_, columns ? 150.0f : 300.0f);
  EXPECT_EQ(info.yresolution_, columns ? 300.0f : 150.0f);
  EXPECT_EQ(info.resolutionunit_, RESUNIT_CENTIMETER);
  EXPECT_EQ(info.bitspersample_, 16);
  EXPECT_EQ(info.samplesperpixel_, 2);
  EXPECT_EQ(info.sampleformat_, SAMPLEFORMAT_INT);
  EXPECT_EQ(info.photometric_, PHOTOMETRIC_MINISBLACK);
  EXPECT_EQ(info.planarconfig_, PLANARCONFIG_SEPARATE);
}

const LogRecord kReverse = {kMilestone, kPostInitialize + "PerRowBufNeedReverse"};
LogRecord mode(const std::string& name) {
  return {kMilestone, kPostInitialize + name};
}

INSTANTIATE_TEST_SUITE_P(
    AllOrientations, AdjusterOrientation,
    ::testing::Values(OrientationLog{1, {{kDetail, kPostInitialize + "DoNothing"}}, 0},
                      OrientationLog{2, {mode("RowFirst_RowFirst"), kReverse}, 0},
                      OrientationLog{3, {mode("RowFirst_RowLast"), kReverse}, 0},
                      OrientationLog{4, {mode("RowFirst_RowLast")}, 0},
                      OrientationLog{5, {mode("RowFirst_ColFirst")}, 1},
                      OrientationLog{6, {mode("RowFirst_ColLast")}, 1},
                      OrientationLog{7, {mode("RowFirst_ColLast"), kReverse}, 1},
                      OrientationLog{8, {mode("RowFirst_ColFirst"), kReverse}, 1}),
    [](const ::testing::TestParamInfo<OrientationLog>& testInfo) {
      return "Orientation" + std::to_string(testInfo.param.orientation);
    });

// libtiff refuses to read or write orientations outside 1 to 8, so a derived reader's
// description hook stands in for a file carrying one.
class OrientationRewritingReader : public TiffCommonLineReader {
public:
  using TiffCommonLineReader::TiffCommonLineReader;
  bool adjustTiffInfo() override {
    info_.orientation_ = forced;
    return true;
  }
  uint16_t forced = ORIENTATION_TOPLEFT;
};

class UnknownOrientation : public ::testing::TestWithParam<uint16_t> {};

TEST_P(UnknownOrientation, BehavesAsTopLeft) {
  const TiffSpec tiffSpec = layoutSpec(37, 21, 8, 3, PLANARCONFIG_CONTIG, true, 1);
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
  LineReaderOf<OrientationRewritingReader> reader(tif.get());
  reader.forced = GetParam();
  LogCapture capture;
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_EQ(postInitializeRecords(capture),
            (std::vector<LogRecord>{{kDetail, kPostInitialize + "DoNothing"}}));
  EXPECT_EQ(reader.tiffLineAdjuster()->colFirst(), 0u);
  for (uint32_t row = 0; row < tiffSpec.height; ++row) {
    ASSERT_EQ(deliveredRow(reader, row), expectedRow(tiffSpec, row)) << "row " << row;
  }
}

INSTANTIATE_TEST_SUITE_P(OutsideOneToEight, UnknownOrientation, ::testing::Values(0, 9));

TEST(AdjusterRows, OneBitWidthTenMirroredKeepsSpareBitsClear) {
  TiffSpec tiffSpec = layoutSpec(10, 1, 1, 1, PLANARCONFIG_CONTIG, false, 2);
  // Pixels 1101001001, with the six spare bits of the stored row set.
  const std::vector<uint8_t> stored = {0xD2, 0x7F};
  orvex_test::TempDir temp;
  orvex_test::writeTiff(temp.file("bits.tif"), tiffSpec, stored);
  TiffHandle tif = openForReading(temp.file("bits.tif"));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_EQ(deliveredRow(reader, 0), (std::vector<uint8_t>{0x92, 0xC0}));
  EXPECT_EQ(deliveredChannel(reader, 0, 0), (std::vector<uint8_t>{0x92, 0xC0}));
}

TEST(AdjusterRows, RowBuffersAreAllocatedOncePerDirectory) {
  const TiffSpec tiffSpec = layoutSpec(37, 21, 4, 3, PLANARCONFIG_CONTIG, true, 3);
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  LogCapture capture;
  for (uint32_t row = 0; row < tiffSpec.height; ++row) {
    uint8_t* data = nullptr;
    ASSERT_TRUE(reader.readScanline(row, &data, nullptr));
    for (uint16_t channel = 0; channel < tiffSpec.samplesPerPixel; ++channel) {
      ASSERT_TRUE(reader.readScanline(channel, row, &data, nullptr));
    }
  }
  const std::vector<std::string> expected = {
      "[TiffLineAdjuster::initContigScanlineBuffer] contigScanlineBuffer_ memory alloc success!",
      "[TiffLineAdjuster::initRealContigScanlineBuffer_1_2_4] realContigScanlineBuffer_1_2_4_ "
      "memory alloc success!",
      "[TiffLineAdjuster::initSeparateScanlineBufferArray] separateScanlineBufferArray_ memory "
      "alloc success!",
      "[TiffLineAdjuster::initRealSeparateScanlineBuffer_1_2_4] realSeparateScanlineBuffer_1_2_4_ "
      "memory alloc success!"};
  EXPECT_EQ(capture.textsAt(kDetail), expected);
  EXPECT_EQ(capture.records().size(), expected.size());
}

}  // namespace
}  // namespace orvex_lines_test
