// Every delivered row, interleaved and per channel, against rows worked out from the stored
// pixels, for each orientation, layout, planar configuration and bit depth.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex_test::TiffSpec;

// orientation, tiled, planar, bits per sample, samples per pixel
using RowsCase = std::tuple<uint16_t, bool, uint16_t, uint16_t, uint16_t>;

class DeliveredRows : public ::testing::TestWithParam<RowsCase> {};

// 37 pixels across 16-pixel tiles leaves a last tile column of 5; 21 rows leave a last strip of
// 1 row and a last tile row of 5.
TEST_P(DeliveredRows, MatchTheOrientedStoredPixels) {
  const auto [orientation, tiled, planar, bits, samples] = GetParam();
  const TiffSpec image = layoutSpec(37, 21, bits, samples, planar, tiled, orientation);
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, image));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  for (uint32_t row = 0; row < image.height; ++row) {
    ASSERT_EQ(deliveredRow(reader, row), expectedRow(image, row)) << "row " << row;
    for (uint16_t channel = 0; channel < image.samplesPerPixel; ++channel) {
      ASSERT_EQ(deliveredChannel(reader, channel, row), expectedChannelRow(image, row, channel))
          << "row " << row << " channel " << channel;
    }
  }
}

std::string caseName(const ::testing::TestParamInfo<RowsCase>& info) {
  const auto [orientation, tiled, planar, bits, samples] = info.param;
  return "Orientation" + std::to_string(orientation) + (tiled ? "_Tiles" : "_Strips") +
         (planar == PLANARCONFIG_SEPARATE ? "_Separate_" : "_Contig_") + std::to_string(bits) +
         "Bits_" + std::to_string(samples) + "Samples";
}

INSTANTIATE_TEST_SUITE_P(
    AllOrientationsAndDepths, DeliveredRows,
    ::testing::Combine(::testing::Range<uint16_t>(1, 9), ::testing::Bool(),
                       ::testing::Values(PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE),
                       ::testing::Values(1, 2, 4, 8, 16, 32), ::testing::Values(1, 3)),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    OtherSampleCounts, DeliveredRows,
    ::testing::Combine(::testing::Values(1, 2, 7), ::testing::Bool(),
                       ::testing::Values(PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE),
                       ::testing::Values(2, 8, 16), ::testing::Values(2, 4, 5)),
    caseName);

}  // namespace
}  // namespace orvex_lines_test
