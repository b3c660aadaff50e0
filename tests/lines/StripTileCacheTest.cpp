// A strip or row of tiles is decoded once per visit: rows inside the cached block are served
// without touching the file, whichever direction the rows are read in.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "LineTestFiles.h"
#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex_test::TiffSpec;

// orientation, tiled, planar
using CacheCase = std::tuple<uint16_t, bool, uint16_t>;

class StripTileCache : public ::testing::TestWithParam<CacheCase> {
protected:
  void SetUp() override {
    const auto [orientation, tiled, planar] = GetParam();
    spec_ = layoutSpec(37, 21, 8, 3, planar, tiled, orientation);
    path_ = writeImage(temp_, spec_);
  }

  uint32_t blockRows() const {
    return spec_.tileWidth != 0 ? spec_.tileLength : spec_.rowsPerStrip;
  }

  uint32_t storedRowOf(uint32_t row) const {
    return storedPixelOfDelivered(spec_.orientation.value_or(1), spec_.width, spec_.height, row, 0)
        .y;
  }

  // Reads the delivered rows in the given order; true at each position where the file was read.
  std::vector<bool> fileReadsFor(const std::vector<uint32_t>& rows) {
    CountingTiff file(path_);
    LineReaderOf<TiffCommonLineReader> reader(file.tif());
    EXPECT_TRUE(reader.beginRead(0));
    std::vector<bool> touched;
    for (uint32_t row : rows) {
      const size_t before = file.reads();
      EXPECT_EQ(deliveredRow(reader, row), expectedRow(spec_, row)) << "row " << row;
      touched.push_back(file.reads() != before);
    }
    return touched;
  }

  // A decode is due exactly when the stored row lies in another block than the one before.
  std::vector<bool> expectedDecodes(const std::vector<uint32_t>& rows) const {
    std::vector<bool> decodes;
    uint32_t cachedBlock = 0xFFFFFFFF;
    for (uint32_t row : rows) {
      const uint32_t block = storedRowOf(row) / blockRows();
      decodes.push_back(block != cachedBlock);
      cachedBlock = block;
    }
    return decodes;
  }

  orvex_test::TempDir temp_;
  TiffSpec spec_;
  std::string path_;
};

// Forward, backward, and rows repeated.
TEST_P(StripTileCache, DecodesEachBlockOnceWhateverTheReadingOrder) {
  std::vector<uint32_t> forward;
  for (uint32_t row = 0; row < spec_.height; ++row) forward.push_back(row);
  const std::vector<std::vector<uint32_t>> orders = {
      forward, {forward.rbegin(), forward.rend()}, {5, 5, 17, 17, 5}};
  for (const std::vector<uint32_t>& rows : orders) {
    EXPECT_EQ(fileReadsFor(rows), expectedDecodes(rows)) << "from row " << rows[0];
  }
}

std::string cacheCaseName(const ::testing::TestParamInfo<CacheCase>& info) {
  const auto [orientation, tiled, planar] = info.param;
  return "Orientation" + std::to_string(orientation) + (tiled ? "_Tiles" : "_Strips") +
         (planar == PLANARCONFIG_SEPARATE ? "_Separate" : "_Contig");
}

INSTANTIATE_TEST_SUITE_P(Layouts, StripTileCache,
                         ::testing::Combine(::testing::Values(1, 3, 6, 8), ::testing::Bool(),
                                            ::testing::Values(PLANARCONFIG_CONTIG,
                                                              PLANARCONFIG_SEPARATE)),
                         cacheCaseName);

TEST(StripCache, RowsPerStripBeyondTheLengthDecodeOnceForTheWholeImage) {
  orvex_test::TempDir temp;
  TiffSpec tiffSpec = layoutSpec(37, 21, 16, 1, PLANARCONFIG_CONTIG, false, 1);
  tiffSpec.rowsPerStrip = 1000;
  CountingTiff file(writeImage(temp, tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  size_t readsAfterRow0 = 0;
  for (uint32_t row = 0; row < tiffSpec.height; ++row) {
    const size_t before = file.reads();
    EXPECT_EQ(deliveredRow(reader, row), expectedRow(tiffSpec, row)) << "row " << row;
    if (row == 0) {
      EXPECT_GT(file.reads(), before);
      readsAfterRow0 = file.reads();
    }
  }
  EXPECT_EQ(file.reads(), readsAfterRow0);
}

}  // namespace
}  // namespace orvex_lines_test
