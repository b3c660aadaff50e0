// A strip or row of tiles whose decoding failed is not decoded again for each of its rows:
// every row still fails with the decode line, but libtiff reads the block only once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineTestFiles.h"
#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex_test::LogCapture;

constexpr int kError = 4;
constexpr uint32_t kRows = 8;

constexpr uint32_t kPastTheEnd = 0x7FFFFF00;

// One strip of 8 rows or one 16 x 16 tile, stored (says its offset) past the end of the file.
class BrokenBlock : public ::testing::TestWithParam<bool> {
protected:
  std::string writeBrokenImage() {
    const bool tiled = GetParam();
    orvex_test::TiffSpec tiffSpec = layoutSpec(16, kRows, 8, 1, PLANARCONFIG_CONTIG, tiled, 1);
    tiffSpec.rowsPerStrip = tiled ? 0 : kRows;
    const std::string path = temp_.file("broken.tif");
    orvex_test::writeTiff(path, tiffSpec, storedImage(tiffSpec));
    patchTagValue(path, 0, tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, kPastTheEnd);
    return path;
  }

  static std::string decodeFailedLine() {
    return GetParam() ? "[TiffCommonLineReader::readOriginScanline_fromContigTileData] "
                        "TIFFReadTile failed!"
                      : "[TiffCommonLineReader::readOriginScanline_fromContigStripData] "
                        "TIFFReadEncodedStrip failed!";
  }

  orvex_test::TempDir temp_;
};

TEST_P(BrokenBlock, IsReadOnceWhileItsRowsAreRequested) {
  CountingTiff file(writeBrokenImage());
  TiffCommonLineReader reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  LogCapture capture;
  const size_t readsBefore = file.reads();

  for (uint32_t row = 0; row < kRows; ++row) {
    EXPECT_FALSE(reader.readScanline(row, nullptr, nullptr));
  }
  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));

  EXPECT_EQ(file.reads() - readsBefore, 1u);
  std::vector<std::string> expected;
  for (uint32_t i = 0; i <= kRows; ++i) {
    expected.push_back(decodeFailedLine());
    expected.push_back("[TiffLineReaderBase::readScanline] readOriginLine failed!");
  }
  EXPECT_EQ(capture.textsAt(kError), expected);
}

TEST_P(BrokenBlock, IsDecodedAgainInTheNextBeginRead) {
  CountingTiff file(writeBrokenImage());
  TiffCommonLineReader reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));
  ASSERT_TRUE(reader.beginRead(0));
  const size_t readsBefore = file.reads();

  EXPECT_FALSE(reader.readScanline(0, nullptr, nullptr));

  EXPECT_EQ(file.reads() - readsBefore, 1u);
}

INSTANTIATE_TEST_SUITE_P(StripsAndTiles, BrokenBlock, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "Tile" : "Strip";
                         });

}  // namespace
}  // namespace orvex_lines_test
