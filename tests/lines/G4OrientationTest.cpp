// One fax picture stored by another program in all eight orientations: once the columns of
// orientations 5 to 8 are transposed, every file shows the picture of orientation 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineTestReader.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;  ///< one byte per 1-bit pixel, row after row
};

// Reads every delivered row of a 1-bit file and places it as a picture row, or as a picture
// column when the reader delivers columns.
Picture uprightPicture(const std::string& path) {
  TiffHandle tif = openForReading(path);
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  EXPECT_TRUE(reader.beginRead(0));
  const orvex::AdjustedImageInfo& info = reader.tiffLineAdjuster()->adjustedImageInfo();
  const bool columns = reader.tiffLineAdjuster()->colFirst() == 1;
  Picture picture{info.outputWidth_, info.outputLength_, {}};
  picture.pixels.resize(size_t{picture.width} * picture.height);
  const uint32_t delivered = columns ? picture.width : picture.height;
  const uint32_t length = columns ? picture.height : picture.width;
  for (uint32_t row = 0; row < delivered; ++row) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    EXPECT_TRUE(reader.readScanline(row, &data, &size));
    EXPECT_EQ(size, (length + 7) / 8);
    for (uint32_t i = 0; i < length; ++i) {
      const uint8_t bit = (data[i / 8] >> (7 - i % 8)) & 1;
      const size_t at = columns ? size_t{i} * picture.width + row : size_t{row} * picture.width + i;
      picture.pixels[at] = bit;
    }
  }
  return picture;
}

class G4Orientation : public ::testing::TestWithParam<int> {};

TEST_P(G4Orientation, ShowsThePictureOfOrientationOne) {
  const Picture reference = uprightPicture(orvex_test::testDataFile("pillow/g4_orientation_1.tif"));
  const Picture picture = uprightPicture(
      orvex_test::testDataFile("pillow/g4_orientation_" + std::to_string(GetParam()) + ".tif"));
  ASSERT_EQ(picture.width, reference.width);
  ASSERT_EQ(picture.height, reference.height);
  size_t differing = 0;
  size_t black = 0;
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    differing += picture.pixels[i] != reference.pixels[i];
    black += reference.pixels[i];
  }
  // The files were rotated by a program that left a few edge pixels differing.
  EXPECT_LT(differing * 1000, picture.pixels.size() * 3);
  EXPECT_GT(black, picture.pixels.size() / 50) << "the reference picture is not blank";
}

INSTANTIATE_TEST_SUITE_P(PillowFiles, G4Orientation, ::testing::Range(1, 9));

}  // namespace
}  // namespace orvex_lines_test
