// A strip or row of tiles whose decoding failed is not decoded again for each of its rows:
// every row still fails with the decode line naming the layout, but libtiff reads the block
// only once.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "LineTestFiles.h"
#include "LineTestReader.h"
#include "lines/TiffCommonLineReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex_test::LogCapture;

constexpr int kError = 4;
constexpr uint32_t kRows = 8;

// tiled, planar: one strip of 8 rows or one 16 x 16 tile per plane, stored (says its offset)
// past the end of the file.
class BrokenBlock : public ::testing::TestWithParam<std::tuple<bool, uint16_t>> {
protected:
  void SetUp() override {
    const auto [tiled, planar] = GetParam();
    orvex_test::TiffSpec tiffSpec = layoutSpec(16, kRows, 8, 1, planar, tiled, 1);
    tiffSpec.rowsPerStrip = tiled ? 0 : kRows;
    path_ = writeImage(temp_, tiffSpec);
    patchTagValue(path_, 0, tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, 0x7FFFFF00);
  }

  orvex_test::TempDir temp_;
  std::string path_;
};

TEST_P(BrokenBlock, IsReadOnceWhileItsRowsAreRequestedAndLoggedByTheVariant) {
  const auto [tiled, planar] = GetParam();
  CountingTiff file(path_);
  LineReaderOf<TiffCommonLineReader> reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  LogCapture capture;
  const size_t readsBefore = file.reads();

  for (uint32_t row = 0; row < kRows; ++row) {
    EXPECT_FALSE(reader.readScanline(row, nullptr, nullptr));
  }
  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));

  EXPECT_EQ(file.reads() - readsBefore, 1u);
  const std::string decodeFailed =
      "[TiffCommonLineReader::readOriginScanline_from" +
      std::string(planar == PLANARCONFIG_SEPARATE ? "Separate" : "Contig") +
      (tiled ? "TileData] TIFFReadTile failed!" : "StripData] TIFFReadEncodedStrip failed!");
  std::vector<std::string> expected;
  for (uint32_t i = 0; i <= kRows; ++i) {
    expected.push_back(decodeFailed);
    expected.push_back("[TiffLineReaderBase::readScanline] readOriginLine failed!");
  }
  EXPECT_EQ(capture.textsAt(kError), expected);
}

TEST_P(BrokenBlock, IsDecodedAgainInTheNextBeginRead) {
  CountingTiff file(path_);
  LineReaderOf<TiffCommonLineReader> reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));
  ASSERT_TRUE(reader.beginRead(0));
  const size_t readsBefore = file.reads();

  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));

  EXPECT_EQ(file.reads() - readsBefore, 1u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BrokenBlock,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(PLANARCONFIG_CONTIG,
                                                              PLANARCONFIG_SEPARATE)),
                         [](const ::testing::TestParamInfo<std::tuple<bool, uint16_t>>& testInfo) {
                           return std::string(std::get<0>(testInfo.param) ? "Tile" : "Strip") +
                                  (std::get<1>(testInfo.param) == PLANARCONFIG_SEPARATE ? "Separate"
                                                                                        : "Contig");
                         });

}  // namespace
}  // namespace orvex_lines_test
