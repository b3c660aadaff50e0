// The directory dump: exact lines and levels, from records read from files and built by hand.
#include <gtest/gtest.h>

#include <memory>
#include <string>
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

std::string beginLine(const std::string& file, const std::string& position) {
  return " infos begin -------------------- (" + file + ")[dirIndex: " + position +
         "] -------------------- begin";
}

std::string endLine(const std::string& file, const std::string& position) {
  return " infos end   -------------------- (" + file + ")[dirIndex: " + position +
         "] --------------------   end";
}

// Reads directory `dirIndex` of `path` and dumps it; returns the dump's records.
std::vector<LogRecord> dumpOf(const std::string& path, uint16_t dirIndex) {
  std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(path.c_str(), "r"), TIFFClose);
  TiffInfo info;
  EXPECT_EQ(TIFFSetDirectory(tif.get(), dirIndex), 1);
  EXPECT_TRUE(TiffHelper::readTiffInfo(tif.get(), info));
  LogCapture log;
  TiffHelper::logTiffInfo(TIFFFileName(tif.get()), info);
  return log.records();
}

TEST(TiffInfoDump, StripImageLineByLine) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("strip.tif");
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
  orvex_test::writeTiff(path, tiffSpec, orvex_test::patternImage(tiffSpec));
  const std::vector<LogRecord> expected = {
      {kDump, beginLine(path, "0 / 1")},
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
      {kDump, endLine(path, "0 / 1")},
  };
  EXPECT_EQ(dumpOf(path, 0), expected);
}

TEST(TiffInfoDump, TiledImageLineByLine) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("tiled.tif");
  TiffSpec first;
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
  {
    orvex_test::TiffFileBuilder builder(path);
    builder.addDirectory(first, orvex_test::patternImage(first));
    builder.addDirectory(tiled, orvex_test::patternImage(tiled));
  }
  const std::vector<LogRecord> expected = {
      {kDump, beginLine(path, "1 / 2")},
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
      {kDump, endLine(path, "1 / 2")},
  };
  EXPECT_EQ(dumpOf(path, 1), expected);
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

struct NamedValueCase {
  uint16_t TiffInfo::*field;
  uint16_t value;
  int level;
  const char* line;
};

class TiffInfoDumpNames : public ::testing::TestWithParam<NamedValueCase> {};

TEST_P(TiffInfoDumpNames, DumpsValueByName) {
  TiffInfo info;
  info.*GetParam().field = GetParam().value;
  const std::string line = GetParam().line;
  const std::string tag = line.substr(0, line.find(']') + 1);
  EXPECT_EQ(linesStartingWith(info, tag), (std::vector<LogRecord>{{GetParam().level, line}}));
}

INSTANTIATE_TEST_SUITE_P(
    SampleFormat, TiffInfoDumpNames,
    ::testing::Values(
        NamedValueCase{&TiffInfo::sampleformat_, 1, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_UINT(unsigned "
                       "integer data)"},
        NamedValueCase{&TiffInfo::sampleformat_, 2, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_INT(signed integer "
                       "data)"},
        NamedValueCase{&TiffInfo::sampleformat_, 3, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_IEEEFP(IEEE "
                       "floating point data)"},
        NamedValueCase{&TiffInfo::sampleformat_, 4, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_VOID(untyped data)"},
        NamedValueCase{&TiffInfo::sampleformat_, 5, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- SAMPLEFORMAT_COMPLEXINT(complex "
                       "signed int)"},
        NamedValueCase{&TiffInfo::sampleformat_, 6, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- "
                       "SAMPLEFORMAT_COMPLEXIEEEFP(complex ieee floating)"},
        NamedValueCase{&TiffInfo::sampleformat_, 0, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- 0"},
        NamedValueCase{&TiffInfo::sampleformat_, 7, kDump,
                       "[TIFFTAG_SAMPLEFORMAT]:  --------------- 7"}));

INSTANTIATE_TEST_SUITE_P(
    Photometric, TiffInfoDumpNames,
    ::testing::Values(
        NamedValueCase{&TiffInfo::photometric_, 0, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_MINISWHITE"},
        NamedValueCase{&TiffInfo::photometric_, 1, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_MINISBLACK"},
        NamedValueCase{&TiffInfo::photometric_, 2, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_RGB"},
        NamedValueCase{&TiffInfo::photometric_, 3, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_PALETTE"},
        NamedValueCase{&TiffInfo::photometric_, 4, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_MASK"},
        NamedValueCase{&TiffInfo::photometric_, 5, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_SEPARATED(CMYK)"},
        NamedValueCase{&TiffInfo::photometric_, 6, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_YCBCR"},
        NamedValueCase{&TiffInfo::photometric_, 7, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- 7"},
        NamedValueCase{&TiffInfo::photometric_, 8, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_CIELAB"},
        NamedValueCase{&TiffInfo::photometric_, 9, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_ICCLAB"},
        NamedValueCase{&TiffInfo::photometric_, 10, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_ITULAB"},
        NamedValueCase{&TiffInfo::photometric_, 32803, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_CFA"},
        NamedValueCase{&TiffInfo::photometric_, 32844, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_LOGL"},
        NamedValueCase{&TiffInfo::photometric_, 32845, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- PHOTOMETRIC_LOGLUV"},
        NamedValueCase{&TiffInfo::photometric_, 0xFFFF, kDump,
                       "[TIFFTAG_PHOTOMETRIC]: --------------- 65535"}));

INSTANTIATE_TEST_SUITE_P(
    PlanarConfig, TiffInfoDumpNames,
    ::testing::Values(NamedValueCase{&TiffInfo::planarconfig_, 1, kDump,
                                     "[TIFFTAG_PLANARCONFIG]: --------------- PLANARCONFIG_CONTIG"},
                      NamedValueCase{
                          &TiffInfo::planarconfig_, 2, kDump,
                          "[TIFFTAG_PLANARCONFIG]: --------------- PLANARCONFIG_SEPARATE"},
                      NamedValueCase{&TiffInfo::planarconfig_, 3, kDump,
                                     "[TIFFTAG_PLANARCONFIG]: --------------- 3"}));

INSTANTIATE_TEST_SUITE_P(
    Orientation, TiffInfoDumpNames,
    ::testing::Values(
        NamedValueCase{&TiffInfo::orientation_, 1, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_TOPLEFT(row 0 top, col 0 lhs)"},
        NamedValueCase{&TiffInfo::orientation_, 2, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_TOPRIGHT(row 0 top, col 0 rhs)"},
        NamedValueCase{&TiffInfo::orientation_, 3, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_BOTRIGHT(row 0 bottom, col 0 rhs)"},
        NamedValueCase{&TiffInfo::orientation_, 4, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_BOTLEFT(row 0 bottom, col 0 lhs)"},
        NamedValueCase{&TiffInfo::orientation_, 5, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_LEFTTOP(row 0 lhs, col 0 top)"},
        NamedValueCase{&TiffInfo::orientation_, 6, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_RIGHTTOP(row 0 rhs, col 0 top)"},
        NamedValueCase{&TiffInfo::orientation_, 7, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_RIGHTBOT(row 0 rhs, col 0 bottom)"},
        NamedValueCase{&TiffInfo::orientation_, 8, kDetail,
                       "[TIFFTAG_ORIENTATION]: ORIENTATION_LEFTBOT(row 0 lhs, col 0 bottom)"},
        NamedValueCase{&TiffInfo::orientation_, 0, kDetail, "[TIFFTAG_ORIENTATION]:0"},
        NamedValueCase{&TiffInfo::orientation_, 9, kDetail, "[TIFFTAG_ORIENTATION]:9"}));

INSTANTIATE_TEST_SUITE_P(
    ResolutionUnit, TiffInfoDumpNames,
    ::testing::Values(NamedValueCase{&TiffInfo::resolutionunit_, 1, kDump,
                                     "[TIFFTAG_RESOLUTIONUNIT]: --------------- RESUNIT_NONE"},
                      NamedValueCase{&TiffInfo::resolutionunit_, 2, kDump,
                                     "[TIFFTAG_RESOLUTIONUNIT]: --------------- RESUNIT_INCH"},
                      NamedValueCase{
                          &TiffInfo::resolutionunit_, 3, kDump,
                          "[TIFFTAG_RESOLUTIONUNIT]: --------------- RESUNIT_CENTIMETER"},
                      NamedValueCase{&TiffInfo::resolutionunit_, 0, kDump,
                                     "[TIFFTAG_RESOLUTIONUNIT]: --------------- 0"}));

}  // namespace
