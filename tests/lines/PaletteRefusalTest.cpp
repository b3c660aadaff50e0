// Palette images the adjuster cannot expand, and the colour-map lookup of TiffHelper: results
// and exact log lines with their levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineTestReader.h"
#include "PaletteTestImage.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "reader/TiffHelper.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex::TiffHelper;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kError = 4;

class PaletteRefusal : public ::testing::Test {
protected:
  // Any bytes do as image data: these images are refused or fail before their samples count.
  std::string write(const TiffSpec& tiffSpec) {
    const std::string path = temp_.file("p.tif");
    const size_t bytes = orvex_test::storedRowBytes(tiffSpec) * tiffSpec.height *
                         orvex_test::storedPlaneCount(tiffSpec);
    std::vector<uint8_t> stored(bytes);
    for (size_t i = 0; i < bytes; ++i) stored[i] = static_cast<uint8_t>(i * 7);
    orvex_test::writeTiff(path, tiffSpec, stored);
    return path;
  }

  orvex_test::TempDir temp_;
};

TEST_F(PaletteRefusal, TwelveBitIndexesPassPostInitializeButNoRowIsExpanded) {
  const TiffSpec tiffSpec =
      paletteSpec(5, 6, 12, PLANARCONFIG_CONTIG, false, 1, narrowColorMap(12));
  TiffHandle tif = openForReading(write(tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_EQ(reader.tiffLineAdjuster()->adjustedImageInfo().bitspersample_, 8);

  LogCapture capture;
  const std::string failed = "[TiffLineAdjuster::adjustScanline] adjustPhotometric failed!";
  size_t attempts = 0;
  for (uint32_t row = 0; row < tiffSpec.height; ++row) {
    uint8_t* data = nullptr;
    EXPECT_FALSE(reader.readScanline(row, &data, nullptr)) << "row " << row;
    EXPECT_FALSE(reader.readScanline(1, row, &data, nullptr)) << "row " << row;
    attempts += 2;
  }
  EXPECT_EQ(capture.textsAt(kError), std::vector<std::string>(attempts, failed));
}

using PaletteInfo = PaletteRefusal;

TEST_F(PaletteInfo, YieldsLibtiffsOwnTables) {
  const TiffSpec tiffSpec = paletteSpec(4, 2, 4, PLANARCONFIG_CONTIG, false, 1, narrowColorMap(4));
  TiffHandle tif = openForReading(write(tiffSpec));
  orvex::ColorMap colorMap;
  LogCapture capture;
  ASSERT_TRUE(TiffHelper::getPaletteInfo(tif.get(), colorMap));
  EXPECT_TRUE(capture.records().empty());
  const uint16_t* tables[3] = {colorMap.red, colorMap.green, colorMap.blue};
  uint16_t* own[3] = {nullptr, nullptr, nullptr};
  ASSERT_EQ(TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &own[0], &own[1], &own[2]), 1);
  for (uint16_t table = 0; table < 3; ++table) {
    EXPECT_EQ(tables[table], own[table]) << "table " << table << " was copied";
    const std::vector<uint16_t> values(tables[table], tables[table] + 16);
    const auto first = tiffSpec.colorMap.begin() + 16 * table;
    EXPECT_EQ(values, std::vector<uint16_t>(first, first + 16)) << "table " << table;
  }
}

// A directory still being written can lack the colour map libtiff's reader would insist on; no
// handle at all fails silently.
class PaletteInfoRefusal : public PaletteRefusal, public ::testing::WithParamInterface<bool> {};

TEST_P(PaletteInfoRefusal, FailsWithTheReason) {
  TiffHandle tif(TIFFOpen(temp_.file("w.tif").c_str(), "w"));
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, 2u);
  TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, 2u);
  TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
  LogCapture capture;
  orvex::ColorMap colorMap;
  EXPECT_FALSE(TiffHelper::getPaletteInfo(GetParam() ? tif.get() : nullptr, colorMap));
  const std::vector<LogRecord> expected = {
      {kError, "[TiffHelper::getPaletteInfo] No colormap(not a valid palette image)!"}};
  EXPECT_EQ(capture.records(), GetParam() ? expected : std::vector<LogRecord>());
}

INSTANTIATE_TEST_SUITE_P(Handles, PaletteInfoRefusal, ::testing::Bool());

}  // namespace
}  // namespace orvex_lines_test
