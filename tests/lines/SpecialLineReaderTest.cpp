// The RGBA line reader: YCbCr images come out as libtiff's RGBA decoding of them, oriented the
// way every other image is, and the handle keeps the file's orientation value outside reads.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "LineTestFiles.h"
#include "LineTestReader.h"
#include "ReferenceImage.h"
#include "SpecialLineReaderFiles.h"
#include "lines/TiffLineAdjuster.h"
#include "lines/TiffSpecialLineReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffSpecialLineReader;

enum class Layout { kStrips, kTiles, kJpegStrips, kJpegTiles };
const Layout kLayouts[] = {Layout::kStrips, Layout::kTiles, Layout::kJpegStrips,
                           Layout::kJpegTiles};

// Images whose last strip or row of tiles is short, with two or three tile columns, the last
// one partial. Uncompressed tiles hold a multiple of 1024 bytes: libtiff 4.5.0 refuses others in
// its RGBA interface when the file is not memory-mapped (it compares the tile size with its
// read buffer's rounded-up size).
YCbCrSpec specOf(Layout layout, uint16_t orientation) {
  YCbCrSpec tiffSpec;
  tiffSpec.orientation = orientation;
  tiffSpec.width = 40;
  tiffSpec.height = 37;
  const bool jpeg = layout == Layout::kJpegStrips || layout == Layout::kJpegTiles;
  tiffSpec.compression = jpeg ? COMPRESSION_JPEG : COMPRESSION_NONE;
  tiffSpec.rowsPerStrip = jpeg ? 16 : 4;
  if (layout == Layout::kTiles || layout == Layout::kJpegTiles) {
    tiffSpec.tileWidth = jpeg ? 16 : 32;
    tiffSpec.tileLength = tiffSpec.tileWidth;
  }
  return tiffSpec;
}

uint16_t orientationOf(TIFF* tif) {
  uint16_t orientation = 0;
  TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);
  return orientation;
}

class SpecialLineReaderFile : public ::testing::Test {
protected:
  void write(const YCbCrSpec& tiffSpec) {
    spec_ = tiffSpec;
    path_ = temp_.file("ycbcr.tif");
    writeYCbCr(path_, spec_);
  }

  // Row `row` of a raster from libtiffRaster as the reader delivers it.
  std::vector<uint8_t> rasterRow(const std::vector<uint32_t>& raster, uint32_t row) const {
    return rasterBytes(&raster[size_t{row} * spec_.width], spec_.width);
  }

  orvex_test::TempDir temp_;
  YCbCrSpec spec_;
  std::string path_;
};

using RowsCase = std::tuple<Layout, uint16_t>;

class SpecialLineReaderRows : public SpecialLineReaderFile,
                              public ::testing::WithParamInterface<RowsCase> {};

TEST_P(SpecialLineReaderRows, DeliverTheStoredRGBAPixelsInTheFilesOrientation) {
  const auto [layout, orientation] = GetParam();
  write(specOf(layout, orientation));
  // Asking libtiff for the file's own orientation leaves the rows in stored order. Whichever
  // the orientation, a delivered row is one stored row (maybe mirrored), as from
  // TiffCommonLineReader.
  const std::vector<uint32_t> stored = libtiffRaster(path_, orientation);
  TiffHandle tif = openForReading(path_);
  LineReaderOf<TiffSpecialLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  for (uint32_t row = 0; row < spec_.height; ++row) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < spec_.width; ++i) {
      const StoredPixel p = storedPixelOfDelivered(orientation, spec_.width, spec_.height, row, i);
      pixels.push_back(stored[size_t{p.y} * spec_.width + p.x]);
    }
    EXPECT_EQ(deliveredRow(reader, row), rasterBytes(pixels.data(), pixels.size()))
        << "row " << row;
  }
  // Orientations 1 to 4 are delivered as the upright picture, which libtiff can produce itself.
  // Bottom to top, so that strips and tiles are also entered from their last row.
  if (orientation > ORIENTATION_BOTLEFT) return;
  const std::vector<uint32_t> upright = libtiffRaster(path_, ORIENTATION_TOPLEFT);
  for (uint32_t row = spec_.height; row-- > 0;) {
    EXPECT_EQ(deliveredRow(reader, row), rasterRow(upright, row)) << "upright row " << row;
  }
}

std::string rowsCaseName(const ::testing::TestParamInfo<RowsCase>& testInfo) {
  static const char* const kLayoutNames[] = {"Strips", "Tiles", "JpegStrips", "JpegTiles"};
  return std::string(kLayoutNames[static_cast<int>(std::get<0>(testInfo.param))]) + "_Orientation" +
         std::to_string(std::get<1>(testInfo.param));
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndOrientations, SpecialLineReaderRows,
                         ::testing::Combine(::testing::ValuesIn(kLayouts),
                                            ::testing::Range<uint16_t>(1, 9)),
                         rowsCaseName);

class SpecialLineReaderRealFile : public ::testing::TestWithParam<const char*> {};

TEST_P(SpecialLineReaderRealFile, EveryRowEqualsLibtiffsTopLeftImage) {
  const std::string path = orvex_test::testDataFile(GetParam());
  const std::vector<uint32_t> upright = libtiffRaster(path, ORIENTATION_TOPLEFT);
  TiffHandle tif = openForReading(path);
  uint32_t width = 0;
  uint32_t height = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  LineReaderOf<TiffSpecialLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  for (uint32_t row = 0; row < height; ++row) {
    ASSERT_EQ(deliveredRow(reader, row), rasterBytes(&upright[size_t{row} * width], width))
        << "row " << row;
  }
}

// A short last strip; a single, short row of two tile columns (the second partial); a 2 x 2
// subsampled tiled JPEG.
INSTANTIATE_TEST_SUITE_P(Files, SpecialLineReaderRealFile,
                         ::testing::Values("pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif",
                                           "pillow/tiff_tiled_ycbcr_jpeg_1x1_sampling.tif",
                                           "libtiff/quad-tile.jpg.tiff"));

TEST_F(SpecialLineReaderFile, DescribesEightBitRGBWithAssociatedAlphaContiguous) {
  write(specOf(Layout::kTiles, ORIENTATION_TOPLEFT));
  TiffHandle tif = openForReading(path_);
  LineReaderOf<TiffSpecialLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  const orvex::AdjustedImageInfo& info = reader.tiffLineAdjuster()->adjustedImageInfo();
  EXPECT_EQ(info.outputWidth_, spec_.width);
  EXPECT_EQ(info.outputLength_, spec_.height);
  EXPECT_EQ(info.bitspersample_, 8);
  EXPECT_EQ(info.samplesperpixel_, 4);
  EXPECT_EQ(reader.description().extrasamples_, 1);
  EXPECT_EQ(reader.description().extrasamplesinfo_, std::vector<uint16_t>{EXTRASAMPLE_ASSOCALPHA});
  EXPECT_EQ(info.photometric_, PHOTOMETRIC_RGB);
  EXPECT_EQ(info.sampleformat_, SAMPLEFORMAT_UINT);
  EXPECT_EQ(info.planarconfig_, PLANARCONFIG_CONTIG);

  const std::vector<uint8_t> row = deliveredRow(reader, 20);
  ASSERT_EQ(row.size(), 4u * spec_.width);
  for (uint16_t channel = 0; channel < 4; ++channel) {
    std::vector<uint8_t> samples;
    for (uint32_t x = 0; x < spec_.width; ++x) samples.push_back(row[4 * x + channel]);
    EXPECT_EQ(deliveredChannel(reader, channel, 20), samples) << "channel " << channel;
  }
  EXPECT_EQ(deliveredChannel(reader, 3, 20), std::vector<uint8_t>(spec_.width, 0xFF));
}

TEST_F(SpecialLineReaderFile, HandleShowsBottomLeftOnlyWhileADirectoryIsRead) {
  write(specOf(Layout::kStrips, ORIENTATION_BOTRIGHT));
  TiffHandle tif = openForReading(path_);
  {
    LineReaderOf<TiffSpecialLineReader> reader(tif.get());
    EXPECT_FALSE(reader.beginRead(1));
    EXPECT_EQ(orientationOf(tif.get()), ORIENTATION_BOTRIGHT);
    ASSERT_TRUE(reader.beginRead(0));
    EXPECT_EQ(orientationOf(tif.get()), ORIENTATION_BOTLEFT);
    ASSERT_TRUE(reader.beginRead(0));
    reader.endRead();
    EXPECT_EQ(orientationOf(tif.get()), ORIENTATION_BOTRIGHT);
    ASSERT_TRUE(reader.beginRead(0));
  }
  // Destroyed with the directory still open.
  EXPECT_EQ(orientationOf(tif.get()), ORIENTATION_BOTRIGHT);
}

TEST_F(SpecialLineReaderFile, OneStripBeyondTheLengthIsDecodedOnceForAllRows) {
  YCbCrSpec tiffSpec;
  tiffSpec.rowsPerStrip = 1000;
  write(tiffSpec);
  const std::vector<uint32_t> upright = libtiffRaster(path_, ORIENTATION_TOPLEFT);
  CountingTiff file(path_);
  LineReaderOf<TiffSpecialLineReader> reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  ASSERT_FALSE(deliveredRow(reader, 0).empty());
  const size_t readsAfterRow0 = file.reads();
  for (uint32_t row = 0; row < spec_.height; ++row) {
    EXPECT_EQ(deliveredRow(reader, row), rasterRow(upright, row));
  }
  EXPECT_EQ(file.reads(), readsAfterRow0);
}

TEST_F(SpecialLineReaderFile, RowAtTheLengthFailsWithoutTouchingTheFile) {
  write(specOf(Layout::kStrips, ORIENTATION_TOPLEFT));
  CountingTiff file(path_);
  LineReaderOf<TiffSpecialLineReader> reader(file.tif());
  ASSERT_TRUE(reader.beginRead(0));
  const size_t before = file.reads();
  orvex_test::LogCapture log;
  EXPECT_FALSE(reader.readOriginScanline(37));
  EXPECT_EQ(log.records(), (std::vector<orvex_test::LogRecord>{
                               {4,
                                "[TiffSpecialLineReader::readOriginScanline] rowIndex(37) >= "
                                "imagelength(37)!"}}));
  EXPECT_EQ(file.reads(), before);
  EXPECT_TRUE(deliveredRow(reader, 37).empty());
  EXPECT_TRUE(log.contains(4, "[TiffLineReaderBase::readScanline] readOriginLine failed!"));
}

class SpecialLineReaderUndecodable : public SpecialLineReaderFile,
                                     public ::testing::WithParamInterface<Layout> {};

// libtiff's RGBA interface converts 8-bit YCbCr only.
TEST_P(SpecialLineReaderUndecodable, SixteenBitYCbCrFailsWithTheRGBACallNamed) {
  YCbCrSpec tiffSpec = specOf(GetParam(), ORIENTATION_TOPLEFT);
  tiffSpec.bitsPerSample = 16;
  write(tiffSpec);
  TiffHandle tif = openForReading(path_);
  LineReaderOf<TiffSpecialLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  orvex_test::LogCapture log;
  EXPECT_TRUE(deliveredRow(reader, 0).empty());
  const std::string expected = GetParam() == Layout::kTiles
                                   ? "[TiffSpecialLineReader::readRGBAScanline_tile] "
                                     "TIFFReadRGBATile failed!"
                                   : "[TiffSpecialLineReader::readRGBAScanline_strip] "
                                     "TIFFReadRGBAStrip failed!";
  EXPECT_EQ(log.textsAt(4),
            (std::vector<std::string>{
                expected, "[TiffLineReaderBase::readScanline] readOriginLine failed!"}));
}

INSTANTIATE_TEST_SUITE_P(StripsAndTiles, SpecialLineReaderUndecodable,
                         ::testing::Values(Layout::kStrips, Layout::kTiles));

}  // namespace
}  // namespace orvex_lines_test
