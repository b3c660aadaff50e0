// Palette images delivered as RGB: every row and channel byte by byte across index depths,
// colour maps, orientations and layouts; the output depth rule; the buffer and log lines;
// and real palette files checked against a decoding done here.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "LineTestReader.h"
#include "PaletteTestImage.h"
#include "ReferenceImage.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace orvex_lines_test {
namespace {

using orvex::AdjustedImageInfo;
using orvex::TiffCommonLineReader;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kDetail = 0;
constexpr int kMilestone = 2;

void expectRgbDescription(const AdjustedImageInfo& info, uint16_t outputBits) {
  EXPECT_EQ(info.bitspersample_, outputBits);
  EXPECT_EQ(info.samplesperpixel_, 3);
  EXPECT_EQ(info.sampleformat_, SAMPLEFORMAT_UINT);
  EXPECT_EQ(info.photometric_, PHOTOMETRIC_RGB);
  EXPECT_EQ(info.planarconfig_, PLANARCONFIG_CONTIG);
}

// bits, wide colour map, orientation, tiled, planar
using RowsCase = std::tuple<uint16_t, bool, uint16_t, bool, uint16_t>;

class PaletteRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(PaletteRows, DeliverEveryRowAndChannelThroughTheColourMap) {
  const auto [bits, wide, orientation, tiled, planar] = GetParam();
  TiffSpec tiffSpec = paletteSpec(37, 21, bits, planar, tiled, orientation, narrowColorMap(bits));
  if (wide) {
    // One value above a byte, on an entry the image uses, turns the whole image to 16 bits.
    const uint32_t used = storedSample(tiffSpec, 0, 0, 0);
    tiffSpec.colorMap[tiffSpec.colorMap.size() / 3 + used] = 0xABCD;
  }
  const uint16_t outputBits = wide ? 16 : 8;
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  expectRgbDescription(reader.tiffLineAdjuster()->adjustedImageInfo(), outputBits);

  for (uint32_t row = 0; row < tiffSpec.height; ++row) {
    const std::vector<uint8_t> expected = expectedRgbRow(tiffSpec, row, outputBits);
    ASSERT_EQ(expected.size(), size_t{tiffSpec.width} * 3 * outputBits / 8);
    ASSERT_EQ(deliveredRow(reader, row), expected) << "row " << row;
    for (uint16_t channel = 0; channel < 3; ++channel) {
      ASSERT_EQ(deliveredChannel(reader, channel, row), channelOf(expected, channel, outputBits))
          << "row " << row << " channel " << channel;
    }
  }
}

std::string rowsCaseName(const ::testing::TestParamInfo<RowsCase>& testInfo) {
  const auto [bits, wide, orientation, tiled, planar] = testInfo.param;
  return "Bits" + std::to_string(bits) + (wide ? "WideMap" : "NarrowMap") + "Orientation" +
         std::to_string(orientation) + (planar == PLANARCONFIG_SEPARATE ? "Separate" : "Contig") +
         (tiled ? "Tiles" : "Strips");
}

INSTANTIATE_TEST_SUITE_P(DepthsMapsOrientationsLayouts, PaletteRows,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16), ::testing::Bool(),
                                            ::testing::Values(1, 2, 7), ::testing::Bool(),
                                            ::testing::Values(PLANARCONFIG_CONTIG,
                                                              PLANARCONFIG_SEPARATE)),
                         rowsCaseName);

// Where the first value of 256 or more sits, and whether there is one at all.
struct DepthCase {
  const char* name;
  uint16_t table;
  uint32_t entry;
  uint16_t value;
  uint16_t outputBits;
};

class PaletteOutputDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(PaletteOutputDepth, IsSixteenBitsOnlyWhenSomeValueNeedsThem) {
  const DepthCase& param = GetParam();
  TiffSpec tiffSpec = paletteSpec(5, 2, 8, PLANARCONFIG_CONTIG, false, 1, narrowColorMap(8));
  tiffSpec.colorMap[256 * param.table + param.entry] = param.value;
  // Every pixel shows the changed entry.
  const std::vector<uint8_t> stored(10, static_cast<uint8_t>(param.entry));
  orvex_test::TempDir temp;
  orvex_test::writeTiff(temp.file("p.tif"), tiffSpec, stored);
  TiffHandle tif = openForReading(temp.file("p.tif"));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  EXPECT_EQ(reader.tiffLineAdjuster()->adjustedImageInfo().bitspersample_, param.outputBits);
  const std::vector<uint32_t> indexes(5, param.entry);
  EXPECT_EQ(deliveredRow(reader, 1), rgbRowOf(indexes, tiffSpec.colorMap, param.outputBits));
}

INSTANTIATE_TEST_SUITE_P(ColourMapValues, PaletteOutputDepth,
                         ::testing::Values(DepthCase{"All255", 0, 0, 255, 8},
                                           DepthCase{"Red256First", 0, 0, 256, 16},
                                           DepthCase{"Blue256Last", 2, 255, 256, 16},
                                           DepthCase{"Green65535", 1, 128, 65535, 16}),
                         [](const ::testing::TestParamInfo<DepthCase>& testInfo) {
                           return std::string(testInfo.param.name);
                         });

TEST(PaletteChannels, ChannelThreeIsOutOfRange) {
  for (const bool wide : {false, true}) {
    TiffSpec tiffSpec = paletteSpec(6, 3, 8, PLANARCONFIG_CONTIG, false, 2, narrowColorMap(8));
    tiffSpec.colorMap[0] = wide ? 300 : 30;
    orvex_test::TempDir temp;
    TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
    LineReaderOf<TiffCommonLineReader> reader(tif.get());
    ASSERT_TRUE(reader.beginRead(0));
    uint8_t* data = nullptr;
    try {
      reader.readScanline(3, 0, &data, nullptr);
      ADD_FAILURE() << "channel 3 was delivered";
    } catch (const std::out_of_range& error) {
      EXPECT_STREQ(error.what(), "out range!");
    }
    // Green stays reachable afterwards.
    const std::vector<uint8_t> expected = expectedRgbRow(tiffSpec, 0, wide ? 16 : 8);
    EXPECT_EQ(deliveredChannel(reader, 1, 0), channelOf(expected, 1, wide ? 16 : 8));
  }
}

struct LogCase {
  const char* name;
  uint16_t planar;
  std::vector<std::string> allocations;
};

class PaletteLog : public ::testing::TestWithParam<LogCase> {};

bool fromPostInitialize(const LogRecord& record) {
  return record.text.rfind("[TiffLineAdjuster::postInitialize] ", 0) == 0 ||
         record.text.rfind("[TiffPaletteLineAdjuster::", 0) == 0;
}

TEST_P(PaletteLog, PostInitializeAndRowBuffersLogExactly) {
  const TiffSpec tiffSpec = paletteSpec(9, 12, 4, GetParam().planar, false, 2, narrowColorMap(4));
  orvex_test::TempDir temp;
  TiffHandle tif = openForReading(writeImage(temp, tiffSpec));
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  LogCapture capture;
  ASSERT_TRUE(reader.beginRead(0));
  std::vector<LogRecord> postInitialize;
  for (const LogRecord& record : capture.records()) {
    if (fromPostInitialize(record)) postInitialize.push_back(record);
  }
  const std::vector<LogRecord> expected = {
      {kMilestone, "[TiffLineAdjuster::postInitialize] RowFirst_RowFirst"},
      {kMilestone, "[TiffLineAdjuster::postInitialize] PerRowBufNeedReverse"}};
  EXPECT_EQ(postInitialize, expected);

  capture.clear();
  uint8_t* firstRow = nullptr;
  uint8_t* firstChannel = nullptr;
  ASSERT_TRUE(reader.readScanline(0, &firstRow, nullptr));
  ASSERT_TRUE(reader.readScanline(0, 0, &firstChannel, nullptr));
  for (uint32_t row = 1; row < tiffSpec.height; ++row) {
    uint8_t* data = nullptr;
    ASSERT_TRUE(reader.readScanline(row, &data, nullptr));
    EXPECT_EQ(data, firstRow) << "RGB row reallocated at row " << row;
    for (uint16_t channel = 0; channel < 3; ++channel) {
      ASSERT_TRUE(reader.readScanline(channel, row, &data, nullptr));
      EXPECT_EQ(data, firstChannel) << "channel row reallocated at row " << row;
    }
  }
  EXPECT_EQ(capture.textsAt(kDetail), GetParam().allocations);
  EXPECT_EQ(capture.records().size(), GetParam().allocations.size());
}

const std::string kContigAllocated =
    "[TiffLineAdjuster::initContigScanlineBuffer] contigScanlineBuffer_ memory alloc success!";
const std::string kRgbAllocated =
    "[TiffPaletteLineAdjuster::initRGBContigScanlineBuffer] RGBContigScanlineBuffer_ memory "
    "alloc success!";

INSTANTIATE_TEST_SUITE_P(
    Planar, PaletteLog,
    ::testing::Values(LogCase{"Contig", PLANARCONFIG_CONTIG, {kContigAllocated, kRgbAllocated}},
                      LogCase{"Separate",
                              PLANARCONFIG_SEPARATE,
                              {"[TiffLineAdjuster::initSeparateScanlineBufferArray] "
                               "separateScanlineBufferArray_ memory alloc success!",
                               kContigAllocated, kRgbAllocated}}),
    [](const ::testing::TestParamInfo<LogCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

// The files' rows decoded with libtiff alone: strips, colour map, and unpacking done here.
uint32_t packedIndex(const uint8_t* row, uint16_t bits, uint32_t i) {
  if (bits == 16) {
    uint16_t value = 0;
    std::memcpy(&value, row + 2 * size_t{i}, 2);
    return value;
  }
  const size_t bit = size_t{i} * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

std::vector<std::vector<uint8_t>> decodedRgbRows(TIFF* tif, uint16_t& outputBits) {
  uint32_t width = 0;
  uint32_t length = 0;
  uint32_t rowsPerStrip = 0;
  uint16_t bits = 0;
  uint16_t* tables[3] = {nullptr, nullptr, nullptr};
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &length);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  if (TIFFGetField(tif, TIFFTAG_COLORMAP, &tables[0], &tables[1], &tables[2]) == 0) {
    throw std::runtime_error("no colour map");
  }
  const size_t entries = size_t{1} << bits;
  std::vector<uint16_t> colorMap;
  outputBits = 8;
  for (const uint16_t* table : tables) {
    colorMap.insert(colorMap.end(), table, table + entries);
  }
  for (uint16_t value : colorMap) {
    if (value > 255) outputBits = 16;
  }
  const size_t rowBytes = static_cast<size_t>(TIFFScanlineSize(tif));
  std::vector<uint8_t> strip(static_cast<size_t>(TIFFStripSize(tif)));
  std::vector<std::vector<uint8_t>> rows;
  for (uint32_t first = 0; first < length; first += rowsPerStrip) {
    if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, first, 0), strip.data(), -1) < 0) {
      throw std::runtime_error("strip not decoded");
    }
    for (uint32_t line = 0; line < rowsPerStrip && first + line < length; ++line) {
      std::vector<uint32_t> indexes;
      for (uint32_t x = 0; x < width; ++x) {
        indexes.push_back(packedIndex(strip.data() + line * rowBytes, bits, x));
      }
      rows.push_back(rgbRowOf(indexes, colorMap, outputBits));
    }
  }
  return rows;
}

class PaletteFile : public ::testing::TestWithParam<const char*> {};

TEST_P(PaletteFile, MatchesLibtiffDecodingThroughTheColourMap) {
  const std::string path = orvex_test::testDataFile(std::string("libtiff/") + GetParam());
  TiffHandle reference = openForReading(path);
  uint16_t outputBits = 0;
  const std::vector<std::vector<uint8_t>> expected = decodedRgbRows(reference.get(), outputBits);
  ASSERT_FALSE(expected.empty());

  TiffHandle tif = openForReading(path);
  LineReaderOf<TiffCommonLineReader> reader(tif.get());
  ASSERT_TRUE(reader.beginRead(0));
  expectRgbDescription(reader.tiffLineAdjuster()->adjustedImageInfo(), outputBits);
  for (uint32_t row = 0; row < expected.size(); ++row) {
    ASSERT_EQ(deliveredRow(reader, row), expected[row]) << "row " << row;
  }
  const uint32_t middle = static_cast<uint32_t>(expected.size() / 2);
  EXPECT_EQ(deliveredChannel(reader, 2, middle), channelOf(expected[middle], 2, outputBits));
}

INSTANTIATE_TEST_SUITE_P(LibtiffSamples, PaletteFile,
                         ::testing::Values("palette-1c-1b.tiff", "palette-1c-4b.tiff",
                                           "palette-1c-8b.tiff"),
                         [](const ::testing::TestParamInfo<const char*>& testInfo) {
                           std::string name = testInfo.param;
                           return name.substr(11, name.find('.') - 11);
                         });

}  // namespace
}  // namespace orvex_lines_test
