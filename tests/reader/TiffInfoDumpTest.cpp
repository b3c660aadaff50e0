// The directory dump: exact lines and levels, from records read from files and built by hand.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reader/TiffHelper.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex::TiffHelper;
using orvex::TiffInfo;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TiffSpec;

constexpr int kDetail = 0;
constexpr int kDump = 1;

// Writes `directories` to a file and dumps directory `dirIndex` of it; checks the frame lines,
// which name the file and the position, and returns the lines between them.
std::vector<LogRecord> dumpInsideFrame(const std::vector<TiffSpec>& directories,
                                       uint16_t dirIndex) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("dump.tif");
  {
    orvex_test::TiffFileBuilder builder(path);
    for (const TiffSpec& tiffSpec : directories) {
      builder.addDirectory(tiffSpec, orvex_test::patternImage(tiffSpec));
    }
  }
  std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(path.c_str(), "r"), TIFFClose);
  orvex::DirectoryChain chain;
  chain.walk(tif.get());
  TiffInfo info;
  EXPECT_TRUE(TiffHelper::readTiffInfo(tif.get(), chain, dirIndex, info));
  LogCapture log;
  TiffHelper::logTiffInfo(TIFFFileName(tif.get()), info);
  std::vector<LogRecord> lines = log.records();
  const std::string frame = " -------------------- (" + path +
                            ")[dirIndex: " + std::to_string(dirIndex) + " / " +
                            std::to_string(directories.size()) + "] -------------------- ";
  EXPECT_GE(lines.size(), 2U);
  EXPECT_EQ(lines.front(), (LogRecord{kDump, " infos begin" + frame + "begin"}));
  EXPECT_EQ(lines.back(), (LogRecord{kDump, " infos end  " + frame + "  end"}));
  return std::vector<LogRecord>(lines.begin() + 1, lines.end() - 1);
}

TEST(TiffInfoDump, StripImageLineByLine) {
  TiffSpec tiffSpec;
  tiffSpec.width = 5;
  tiffSpec.height = 3;
  tiffSpec.samplesPerPixel = 4;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  tiffSpec.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  tiffSpec.orientation = ORIENTATION_BOTRIGHT;
  tiffSpec.xResolution = 300.0f;
  tiffSpec.yResolution = 150.5f;
  tiffSpec.resolutionUnit = RESUNIT_CENTIMETER;
  tiffSpec.rowsPerStrip = 2;
  const std::vector<LogRecord> expected = {
      {kDetail, "TIFFIsTiled:false[is strip]"},
      {kDump, "[TIFFTAG_IMAGEWIDTH]: --------------- 5"},
      {kDump, "[TIFFTAG_IMAGELENGTH]: -------------- 3"},
      {kDump, "[TIFFTAG_BITSPERSAMPLE]: ------------ 8"},
      {kDump, "[TIFFTAG_SAMPLESPERPIXEL]: ---------- 4"},
      {kDump, "[TIFFTAG_EXTRASAMPLES]: ------------- 1"},
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 0 - EXTRASAMPLE_UNASSALPHA"},
      {kDump, "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_UINT(unsigned integer data)"},
      {kDump, "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_RGB"},
      {kDetail, "[TIFFTAG_COMPRESSION]: --------------- 1"},
      {kDump, "[TIFFTAG_PLANARCONFIG]: --------------- PLANARCONFIG_CONTIG"},
      {kDetail, "[TIFFTAG_ORIENTATION]: ORIENTATION_BOTRIGHT(row 0 bottom, col 0 rhs)"},
      {kDump, "[TIFFTAG_XRESOLUTION]: --------------- 300.000000"},
      {kDump, "[TIFFTAG_YRESOLUTION]: --------------- 150.500000"},
      {kDump, "[TIFFTAG_RESOLUTIONUNIT]: --------------- RESUNIT_CENTIMETER"},
      {kDetail, "[TIFFTAG_FILLORDER]: --------------- 1"},
      {kDetail, "[TIFFTAG_ROWSPERSTRIP]:2"},
  };
  EXPECT_EQ(dumpInsideFrame({tiffSpec}, 0), expected);
}

TEST(TiffInfoDump, TiledImageLineByLine) {
  TiffSpec tiled;
  tiled.width = 20;
  tiled.height = 18;
  tiled.bitsPerSample = 16;
  tiled.samplesPerPixel = 2;
  tiled.planar = PLANARCONFIG_SEPARATE;
  tiled.compression = COMPRESSION_LZW;
  tiled.sampleFormat = SAMPLEFORMAT_INT;
  tiled.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  tiled.tileWidth = 16;
  tiled.tileLength = 32;
  const std::vector<LogRecord> expected = {
      {kDetail, "TIFFIsTiled:true[is tile]"},
      {kDump, "[TIFFTAG_IMAGEWIDTH]: --------------- 20"},
      {kDump, "[TIFFTAG_IMAGELENGTH]: -------------- 18"},
      {kDump, "[TIFFTAG_BITSPERSAMPLE]: ------------ 16"},
      {kDump, "[TIFFTAG_SAMPLESPERPIXEL]: ---------- 2"},
      {kDump, "[TIFFTAG_EXTRASAMPLES]: ------------- 1"},
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 0 - EXTRASAMPLE_ASSOCALPHA"},
      {kDump, "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_INT(signed integer data)"},
      {kDump, "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_MINISBLACK"},
      {kDetail, "[TIFFTAG_COMPRESSION]: --------------- 5"},
      {kDump, "[TIFFTAG_PLANARCONFIG]: --------------- PLANARCONFIG_SEPARATE"},
      {kDetail, "[TIFFTAG_ORIENTATION]: ORIENTATION_TOPLEFT(row 0 top, col 0 lhs)"},
      {kDump, "[TIFFTAG_XRESOLUTION]: --------------- 72.000000"},
      {kDump, "[TIFFTAG_YRESOLUTION]: --------------- 72.000000"},
      {kDump, "[TIFFTAG_RESOLUTIONUNIT]: --------------- RESUNIT_INCH"},
      {kDetail, "[TIFFTAG_FILLORDER]: --------------- 1"},
      {kDetail, "[TIFFTAG_TILEWIDTH]:16"},
      {kDetail, "[TIFFTAG_TILELENGTH]:32"},
  };
  EXPECT_EQ(dumpInsideFrame({TiffSpec{}, tiled}, 1), expected);
}

// Only records built by hand can carry values that libtiff would refuse in a file.
std::vector<LogRecord> linesStartingWith(const TiffInfo& info, const std::string& start) {
  LogCapture log;
  TiffHelper::logTiffInfo("x.tif", info);
  std::vector<LogRecord> lines;
  for (const LogRecord& record : log.records()) {
    if (record.text.compare(0, start.size(), start) == 0) {
      lines.push_back(record);
    }
  }
  return lines;
}

TEST(TiffInfoDump, NamesKnownExtraSampleKindsAndNumbersOthers) {
  TiffInfo info;
  info.extrasamples_ = 4;
  info.extrasamplesinfo_ = {2, 7, 0, 1};
  const std::vector<LogRecord> expected = {
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 0 - EXTRASAMPLE_UNASSALPHA"},
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 1 - 7"},
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 2 - EXTRASAMPLE_UNSPECIFIED"},
      {kDetail, "    [TIFFTAG_EXTRASAMPLES] 3 - EXTRASAMPLE_ASSOCALPHA"},
  };
  EXPECT_EQ(linesStartingWith(info, "    [TIFFTAG_EXTRASAMPLES]"), expected);
}

TEST(TiffInfoDump, ExtraSampleLinesStopAtTheShorterOfCountAndList) {
  TiffInfo info;
  info.extrasamples_ = 3;
  info.extrasamplesinfo_ = {1};
  EXPECT_EQ(linesStartingWith(info, "    [TIFFTAG_EXTRASAMPLES]").size(), 1U);
  info.extrasamples_ = 1;
  info.extrasamplesinfo_ = {1, 2, 0};
  EXPECT_EQ(linesStartingWith(info, "    [TIFFTAG_EXTRASAMPLES]").size(), 1U);
}

// Each value of one field with the dump line it gives: known values by name, others as numbers.
struct NamedField {
  const char* name;
  uint16_t TiffInfo::*field;
  int level;
  const char* lineStart;
  std::vector<std::pair<uint16_t, std::string>> values;
};

class TiffInfoDumpNames : public ::testing::TestWithParam<NamedField> {};

TEST_P(TiffInfoDumpNames, DumpsEachValueByNameOrNumber) {
  const NamedField& param = GetParam();
  const std::string lineStart = param.lineStart;
  const std::string tag = lineStart.substr(0, lineStart.find(']') + 1);
  for (const auto& [value, shown] : param.values) {
    TiffInfo info;
    info.*param.field = value;
    EXPECT_EQ(linesStartingWith(info, tag),
              (std::vector<LogRecord>{{param.level, lineStart + shown}}))
        << "value " << value;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TiffInfoDumpNames,
    ::testing::Values(
        NamedField{"SampleFormat",
                   &TiffInfo::sampleformat_,
                   kDump,
                   "[TIFFTAG_SAMPLEFORMAT]:  --------------- ",
                   {{1, "SAMPLEFORMAT_UINT(unsigned integer data)"},
                    {2, "SAMPLEFORMAT_INT(signed integer data)"},
                    {3, "SAMPLEFORMAT_IEEEFP(IEEE floating point data)"},
                    {4, "SAMPLEFORMAT_VOID(untyped data)"},
                    {5, "SAMPLEFORMAT_COMPLEXINT(complex signed int)"},
                    {6, "SAMPLEFORMAT_COMPLEXIEEEFP(complex ieee floating)"},
                    {0, "0"},
                    {7, "7"}}},
        NamedField{"Photometric",
                   &TiffInfo::photometric_,
                   kDump,
                   "[TIFFTAG_PHOTOMETRIC]: --------------- ",
                   {{0, "PHOTOMETRIC_MINISWHITE"},
                    {1, "PHOTOMETRIC_MINISBLACK"},
                    {2, "PHOTOMETRIC_RGB"},
                    {3, "PHOTOMETRIC_PALETTE"},
                    {4, "PHOTOMETRIC_MASK"},
                    {5, "PHOTOMETRIC_SEPARATED(CMYK)"},
                    {6, "PHOTOMETRIC_YCBCR"},
                    {7, "7"},
                    {8, "PHOTOMETRIC_CIELAB"},
                    {9, "PHOTOMETRIC_ICCLAB"},
                    {10, "PHOTOMETRIC_ITULAB"},
                    {32803, "PHOTOMETRIC_CFA"},
                    {32844, "PHOTOMETRIC_LOGL"},
                    {32845, "PHOTOMETRIC_LOGLUV"},
                    {0xFFFF, "65535"}}},
        NamedField{"PlanarConfig",
                   &TiffInfo::planarconfig_,
                   kDump,
                   "[TIFFTAG_PLANARCONFIG]: --------------- ",
                   {{1, "PLANARCONFIG_CONTIG"}, {2, "PLANARCONFIG_SEPARATE"}, {3, "3"}}},
        NamedField{"Orientation",
                   &TiffInfo::orientation_,
                   kDetail,
                   "[TIFFTAG_ORIENTATION]:",
                   {{1, " ORIENTATION_TOPLEFT(row 0 top, col 0 lhs)"},
                    {2, " ORIENTATION_TOPRIGHT(row 0 top, col 0 rhs)"},
                    {3, " ORIENTATION_BOTRIGHT(row 0 bottom, col 0 rhs)"},
                    {4, " ORIENTATION_BOTLEFT(row 0 bottom, col 0 lhs)"},
                    {5, " ORIENTATION_LEFTTOP(row 0 lhs, col 0 top)"},
                    {6, " ORIENTATION_RIGHTTOP(row 0 rhs, col 0 top)"},
                    {7, " ORIENTATION_RIGHTBOT(row 0 rhs, col 0 bottom)"},
                    {8, " ORIENTATION_LEFTBOT(row 0 lhs, col 0 bottom)"},
                    {0, "0"},
                    {9, "9"}}},
        NamedField{
            "ResolutionUnit",
            &TiffInfo::resolutionunit_,
            kDump,
            "[TIFFTAG_RESOLUTIONUNIT]: --------------- ",
            {{1, "RESUNIT_NONE"}, {2, "RESUNIT_INCH"}, {3, "RESUNIT_CENTIMETER"}, {0, "0"}}}),
    [](const ::testing::TestParamInfo<NamedField>& testInfo) {
      return std::string(testInfo.param.name);
    });

}  // namespace
