// Palette images the adjuster refuses or cannot expand, and the colour-map lookup of
// TiffHelper: results and exact log lines with their levels.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LineTestReader.h"
#include "PaletteTestImage.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffPaletteLineAdjuster.h"
#include "reader/TiffHelper.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::TiffCommonLineReader;
using orvex::TiffHelper;
using orvex::TiffPaletteLineAdjuster;
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
  TiffCommonLineReader reader(tif.get());
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

struct RefusedCase {
  const char* name;
  uint16_t bitsPerSample;
  uint16_t samplesPerPixel;
  std::string message;
};

class PaletteRefused : public PaletteRefusal, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(PaletteRefused, BeginReadFailsWithTheReason) {
  const RefusedCase& param = GetParam();
  TiffSpec tiffSpec = paletteSpec(3, 2, param.bitsPerSample, PLANARCONFIG_CONTIG, false, 1,
                                  narrowColorMap(param.bitsPerSample));
  tiffSpec.samplesPerPixel = param.samplesPerPixel;
  TiffHandle tif = openForReading(write(tiffSpec));
  TiffCommonLineReader reader(tif.get());
  LogCapture capture;
  EXPECT_FALSE(reader.beginRead(0));
  EXPECT_EQ(reader.tiffLineAdjuster(), nullptr);
  const std::vector<std::string> expected = {
      "[TiffPaletteLineAdjuster::postInitialize] " + param.message,
      "[TiffLineReaderBase::beginRead] initTiffLineAdjuster failed!"};
  EXPECT_EQ(capture.textsAt(kError), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, PaletteRefused,
    ::testing::Values(RefusedCase{"TwoSamples", 8, 2, "samplesperpixel > 1! not support!"},
                      RefusedCase{"SeventeenBits", 17, 1, "bitspersample > 16! not support!"}),
    [](const ::testing::TestParamInfo<RefusedCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

TEST_F(PaletteRefusal, NonPaletteDirectoryIsRefusedBeforeAnythingElse) {
  const TiffSpec tiffSpec = layoutSpec(3, 2, 8, 1, PLANARCONFIG_CONTIG, false, 1);
  TiffHandle tif = openForReading(write(tiffSpec));
  TiffCommonLineReader reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  TiffPaletteLineAdjuster adjuster(&reader);
  LogCapture capture;
  EXPECT_FALSE(adjuster.postInitialize());
  const std::vector<LogRecord> expected = {
      {kError,
       "[TiffPaletteLineAdjuster::postInitialize] photometric is not PHOTOMETRIC_PALETTE!"}};
  EXPECT_EQ(capture.records(), expected);
}

using PaletteInfo = PaletteRefusal;

TEST_F(PaletteInfo, YieldsLibtiffsOwnTables) {
  const TiffSpec tiffSpec = paletteSpec(4, 2, 4, PLANARCONFIG_CONTIG, false, 1, narrowColorMap(4));
  TiffHandle tif = openForReading(write(tiffSpec));
  uint16_t bits = 0;
  const uint16_t* tables[3] = {nullptr, nullptr, nullptr};
  LogCapture capture;
  ASSERT_TRUE(TiffHelper::getPaletteInfo(tif.get(), bits, tables[0], tables[1], tables[2]));
  EXPECT_TRUE(capture.records().empty());
  EXPECT_EQ(bits, 4);
  uint16_t* own[3] = {nullptr, nullptr, nullptr};
  ASSERT_EQ(TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &own[0], &own[1], &own[2]), 1);
  for (uint16_t table = 0; table < 3; ++table) {
    EXPECT_EQ(tables[table], own[table]) << "table " << table << " was copied";
    const std::vector<uint16_t> values(tables[table], tables[table] + 16);
    const auto first = tiffSpec.colorMap.begin() + 16 * table;
    EXPECT_EQ(values, std::vector<uint16_t>(first, first + 16)) << "table " << table;
  }
}

// A directory still being written can lack what libtiff's reader would make up; no handle at
// all fails silently.
struct InfoRefusalCase {
  bool handle;
  std::optional<uint16_t> photometric;
  std::vector<LogRecord> records;
};

class PaletteInfoRefusal : public PaletteRefusal,
                           public ::testing::WithParamInterface<InfoRefusalCase> {};

TEST_P(PaletteInfoRefusal, FailsWithTheReason) {
  TiffHandle tif(TIFFOpen(temp_.file("w.tif").c_str(), "w"));
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, 2u);
  TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, 2u);
  TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 8);
  if (GetParam().photometric) {
    TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, *GetParam().photometric);
  }
  LogCapture capture;
  uint16_t bits = 0;
  const uint16_t* red = nullptr;
  const uint16_t* green = nullptr;
  const uint16_t* blue = nullptr;
  EXPECT_FALSE(
      TiffHelper::getPaletteInfo(GetParam().handle ? tif.get() : nullptr, bits, red, green, blue));
  EXPECT_EQ(capture.records(), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, PaletteInfoRefusal,
    ::testing::Values(
        InfoRefusalCase{true, std::nullopt, {{kError, "TIFFTAG_PHOTOMETRIC is empty!"}}},
        InfoRefusalCase{
            true, PHOTOMETRIC_RGB, {{kError, "TIFFTAG_PHOTOMETRIC is not PHOTOMETRIC_PALETTE!"}}},
        InfoRefusalCase{
            true,
            PHOTOMETRIC_PALETTE,
            {{kError, "[TiffHelper::getPaletteInfo] No colormap(not a valid palette image)!"}}},
        InfoRefusalCase{false, std::nullopt, {}}));

}  // namespace
}  // namespace orvex_lines_test
