// How beginRead and readScanline fail: results, exact log lines and levels, and the
// "out range!" exceptions.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "LineTestFiles.h"
#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "lines/TiffLineReaderBase.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex::TiffLineReaderBase;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kDetail = 0;
constexpr int kError = 4;

class LineReaderFailure : public ::testing::Test {
protected:
  // Opens a 4 x 4 grey image, or the image of `tiffSpec`.
  TiffHandle open(const TiffSpec& tiffSpec = layoutSpec(4, 4, 8, 1, PLANARCONFIG_CONTIG, false,
                                                        1)) {
    return openForReading(writeImage(temp_, tiffSpec));
  }

  // beginRead fails with exactly `message` at error level, and no row can be read after it.
  static void expectBeginReadFails(TiffLineReaderBase& reader, const std::string& message) {
    LogCapture capture;
    EXPECT_FALSE(reader.beginRead(0));
    EXPECT_EQ(capture.textsAt(kError), std::vector<std::string>{message});
    uint8_t* data = nullptr;
    EXPECT_FALSE(reader.readScanline(0, &data, nullptr));
  }

  orvex_test::TempDir temp_;
};

// Derived readers use adjustTiffInfo to rewrite the description before the cache is sized.
class PlanarRewritingReader : public TiffCommonLineReader {
public:
  using TiffCommonLineReader::TiffCommonLineReader;
  bool adjustTiffInfo() override {
    info_.planarconfig_ = 3;
    return true;
  }
};

class AdjusterRefusingReader : public TiffCommonLineReader {
public:
  using TiffCommonLineReader::TiffCommonLineReader;
  bool initTiffLineAdjuster() override { return false; }
};

TEST_F(LineReaderFailure, PlanarConfigurationOtherThanOneOrTwoCannotSizeTheCache) {
  TiffHandle tif = open();
  LineReaderOf<PlanarRewritingReader> reader(tif.get());
  expectBeginReadFails(reader, "[TiffLineReaderBase::beginRead] cacheArray_ alloc failed!");
}

TEST_F(LineReaderFailure, MissingAdjusterFailsBeginRead) {
  TiffHandle tif = open();
  LineReaderOf<AdjusterRefusingReader> reader(tif.get());
  expectBeginReadFails(reader, "[TiffLineReaderBase::beginRead] initTiffLineAdjuster failed!");
}

TEST_F(LineReaderFailure, DirectoryIndexAtTheCountFailsSilentlyAndDropsThePreviousDirectory) {
  TiffHandle tif = open();
  const orvex::TiffInfo info = recordOf(tif.get());
  LogCapture capture;
  TiffCommonLineReader reader(tif.get(), info, 1);
  EXPECT_EQ(capture.records(), (std::vector<LogRecord>{{kDetail, "[TIFFNumberOfDirectories]:1"}}));
  ASSERT_TRUE(reader.beginRead(0));
  uint8_t* data = nullptr;
  ASSERT_TRUE(reader.readScanline(0, &data, nullptr));
  capture.clear();
  EXPECT_FALSE(reader.beginRead(1));
  EXPECT_TRUE(capture.records().empty());
  EXPECT_EQ(reader.tiffLineAdjuster(), nullptr);
  EXPECT_FALSE(reader.readScanline(0, &data, nullptr));
}

// orientation, tiled
class RowOutOfRange : public LineReaderFailure,
                      public ::testing::WithParamInterface<std::tuple<uint16_t, bool>> {};

TEST_P(RowOutOfRange, RowEqualToTheLengthFailsWithBothMessages) {
  const auto [orientation, tiled] = GetParam();
  TiffHandle tif = open(layoutSpec(20, 9, 8, 1, PLANARCONFIG_CONTIG, tiled, orientation));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  LogCapture capture;
  uint8_t* data = nullptr;
  uint32_t size = 0;
  EXPECT_FALSE(reader.readScanline(9, &data, &size));
  EXPECT_FALSE(reader.readScanline(0, 9, &data, &size));
  const std::vector<LogRecord> once = {
      {kError, "[TiffCommonLineReader::readOriginScanline] rowIndex out range!"},
      {kError, "[TiffLineReaderBase::readScanline] readOriginLine failed!"}};
  std::vector<LogRecord> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(capture.records(), twice);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0u);
}

INSTANTIATE_TEST_SUITE_P(Orientations, RowOutOfRange,
                         ::testing::Combine(::testing::Values(1, 3, 6, 8), ::testing::Bool()));

// planar, bits per sample
class ChannelOutOfRange : public LineReaderFailure,
                          public ::testing::WithParamInterface<std::tuple<uint16_t, uint16_t>> {};

TEST_P(ChannelOutOfRange, ChannelEqualToTheSampleCountThrows) {
  const auto [planar, bits] = GetParam();
  TiffHandle tif = open(layoutSpec(20, 9, bits, 3, planar, false, 2));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  uint8_t* data = nullptr;
  try {
    reader.readScanline(3, 0, &data, nullptr);
    FAIL() << "no exception";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "out range!");
  }
  EXPECT_TRUE(reader.readScanline(2, 0, &data, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ChannelOutOfRange,
                         ::testing::Combine(::testing::Values(PLANARCONFIG_CONTIG,
                                                              PLANARCONFIG_SEPARATE),
                                            ::testing::Values(1, 8, 16)));

}  // namespace
}  // namespace orvex_lines_test
