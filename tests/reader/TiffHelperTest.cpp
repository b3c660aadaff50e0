// Reading a directory's tags into TiffInfo, and its ICC profile.
#include "reader/TiffHelper.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

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
constexpr int kWarning = 3;
constexpr int kError = 4;

using TiffHandle = std::unique_ptr<TIFF, void (*)(TIFF*)>;

TiffHandle openTiff(const std::string& path, const char* mode = "r") {
  return TiffHandle(TIFFOpen(path.c_str(), mode), TIFFClose);
}

TiffSpec withResolution(TiffSpec tiffSpec) {
  tiffSpec.xResolution = 300.0f;
  tiffSpec.yResolution = 300.0f;
  return tiffSpec;
}

class TiffHelperRead : public ::testing::Test {
protected:
  std::string write(const std::vector<TiffSpec>& tiffSpecs) {
    const std::string path = temp_.file("image" + std::to_string(++files_) + ".tif");
    orvex_test::TiffFileBuilder builder(path);
    for (const TiffSpec& tiffSpec : tiffSpecs) {
      builder.addDirectory(tiffSpec, orvex_test::patternImage(tiffSpec));
    }
    return path;
  }

  // Reads the first directory of a one-directory file made from `tiffSpec`.
  bool read(const TiffSpec& tiffSpec, TiffInfo& info) {
    TiffHandle tif = openTiff(write({tiffSpec}));
    return TiffHelper::readTiffInfo(tif.get(), info);
  }

  orvex_test::TempDir temp_;
  int files_ = 0;
};

// libtiff supplies its own defaults for orientation, resolution unit, sample format, fill
// order and rows per strip, so only the two resolutions fall back to the library's values.
TEST_F(TiffHelperRead, DirectoryWithoutOptionalTagsAssumes72Dpi) {
  TiffSpec tiffSpec;
  tiffSpec.width = 7;
  tiffSpec.height = 5;
  LogCapture log;
  TiffInfo info;
  ASSERT_TRUE(read(tiffSpec, info));
  EXPECT_EQ(info.imagewidth_, 7U);
  EXPECT_EQ(info.imagelength_, 5U);
  EXPECT_EQ(info.bitspersample_, 8U);
  EXPECT_EQ(info.samplesperpixel_, 1U);
  EXPECT_EQ(info.extrasamples_, 0U);
  EXPECT_TRUE(info.extrasamplesinfo_.empty());
  EXPECT_EQ(info.sampleformat_, SAMPLEFORMAT_UINT);
  EXPECT_EQ(info.photometric_, PHOTOMETRIC_MINISBLACK);
  EXPECT_EQ(info.compression_, COMPRESSION_NONE);
  EXPECT_EQ(info.planarconfig_, PLANARCONFIG_CONTIG);
  EXPECT_EQ(info.orientation_, ORIENTATION_TOPLEFT);
  EXPECT_EQ(info.xresolution_, 72.0f);
  EXPECT_EQ(info.yresolution_, 72.0f);
  EXPECT_EQ(info.resolutionunit_, RESUNIT_INCH);
  EXPECT_EQ(info.fillorder_, FILLORDER_MSB2LSB);  // libtiff's default, not the library's
  EXPECT_FALSE(info.isTiled_);
  EXPECT_GT(info.rowsperstrip_, 0U);
  EXPECT_EQ(info.tilewidth_, 0U);
  EXPECT_EQ(info.tilelength_, 0U);
  const std::vector<LogRecord> expected = {
      {kWarning, "[TIFFTAG_XRESOLUTION] no xresolution tag : assume 72.0f"},
      {kWarning, "[TIFFTAG_YRESOLUTION] no yresolution tag : assume 72.0f"},
  };
  EXPECT_EQ(log.records(), expected);
  log.clear();
  TiffHelper::logAssumedDefaults(info);
  EXPECT_EQ(log.records(), expected);
}

// The other written tags are checked through the dump of a tiled image.
TEST_F(TiffHelperRead, KeepsResolutionUnitNoneAndItsResolutions) {
  TiffSpec tiffSpec;
  tiffSpec.xResolution = 11.5f;
  tiffSpec.yResolution = 23.25f;
  tiffSpec.resolutionUnit = RESUNIT_NONE;
  LogCapture log;
  TiffInfo info;
  ASSERT_TRUE(read(tiffSpec, info));
  EXPECT_EQ(info.xresolution_, 11.5f);
  EXPECT_EQ(info.yresolution_, 23.25f);
  EXPECT_EQ(info.resolutionunit_, RESUNIT_NONE);
  EXPECT_TRUE(log.records().empty());
}

// tile width, tile length, rows per strip
using LayoutCase = std::tuple<uint32_t, uint32_t, uint32_t>;

class TiffHelperLayout : public TiffHelperRead, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(TiffHelperLayout, ReadsTheSizesOfItsLayoutAndLeavesTheOthersAtZero) {
  const auto [tileWidth, tileLength, rowsPerStrip] = GetParam();
  TiffSpec tiffSpec = withResolution({});
  tiffSpec.width = 40;
  tiffSpec.height = 20;
  tiffSpec.tileWidth = tileWidth;
  tiffSpec.tileLength = tileLength;
  tiffSpec.rowsPerStrip = rowsPerStrip;
  TiffInfo info;
  ASSERT_TRUE(read(tiffSpec, info));
  EXPECT_EQ(info.isTiled_, tileWidth != 0);
  EXPECT_EQ(info.tilewidth_, tileWidth);
  EXPECT_EQ(info.tilelength_, tileLength);
  EXPECT_EQ(info.rowsperstrip_, rowsPerStrip);
}

INSTANTIATE_TEST_SUITE_P(TilesAndStrips, TiffHelperLayout,
                         ::testing::Values(LayoutCase{16, 32, 0}, LayoutCase{0, 0, 3}));

// libtiff refuses ExtraSamples values above 2 when writing and refuses to open files that
// hold them, so the kinds read from a file are always 0, 1 or 2 (the dump of other values
// is covered with a record built by hand).
TEST_F(TiffHelperRead, ReadsOneKindPerExtraSample) {
  TiffSpec tiffSpec = withResolution({});
  tiffSpec.samplesPerPixel = 5;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  tiffSpec.extraSamples = {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_UNSPECIFIED};
  TiffInfo info;
  info.extrasamplesinfo_ = {9, 9, 9};  // a reused record does not keep stale kinds
  ASSERT_TRUE(read(tiffSpec, info));
  EXPECT_EQ(info.extrasamples_, 2U);
  EXPECT_EQ(info.extrasamplesinfo_, (std::vector<uint16_t>{2, 0}));
}

struct InkSetCase {
  uint16_t photometric;
  std::optional<uint16_t> inkSet;
  bool accepted;
};

class TiffHelperInkSet : public TiffHelperRead, public ::testing::WithParamInterface<InkSetCase> {};

TEST_P(TiffHelperInkSet, OnlySeparatedImagesNeedTheCmykInkSet) {
  TiffSpec tiffSpec = withResolution({});
  tiffSpec.samplesPerPixel = 4;
  tiffSpec.photometric = GetParam().photometric;
  tiffSpec.inkSet = GetParam().inkSet;
  if (tiffSpec.photometric == PHOTOMETRIC_RGB) {
    tiffSpec.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  }
  LogCapture log;
  TiffInfo info;
  EXPECT_EQ(read(tiffSpec, info), GetParam().accepted);
  std::vector<LogRecord> expected;
  if (!GetParam().accepted) {
    expected.push_back(
        {kError, "photometric is PHOTOMETRIC_SEPARATED. but inkset is not INKSET_CMYK!"});
  }
  EXPECT_EQ(log.records(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TiffHelperInkSet,
    ::testing::Values(InkSetCase{PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, false},
                      InkSetCase{PHOTOMETRIC_SEPARATED, INKSET_CMYK, true},
                      InkSetCase{PHOTOMETRIC_SEPARATED, std::nullopt, true},  // libtiff: CMYK
                      InkSetCase{PHOTOMETRIC_RGB, INKSET_MULTIINK, true}));

TEST_F(TiffHelperRead, NullHandleFailsSilently) {
  LogCapture log;
  TiffInfo info;
  EXPECT_FALSE(TiffHelper::readTiffInfo(nullptr, info));
  orvex::DirectoryChain chain;
  EXPECT_FALSE(TiffHelper::readTiffInfo(nullptr, chain, 0, info));
  std::vector<uint8_t> profile = {1, 2};
  TiffHelper::readTiffIccProfile(nullptr, 0, profile);
  EXPECT_EQ(profile, (std::vector<uint8_t>{1, 2}));
  EXPECT_TRUE(log.records().empty());
}

// A file read back always has width, length and photometric interpretation (libtiff refuses
// a directory without the dimensions and guesses a photometric interpretation), and libtiff
// defaults bits and samples per pixel, compression, planar configuration, extra samples,
// sample format, orientation, resolution unit, fill order, rows per strip, tile sizes and
// the ink set. A handle whose directory is still being written really lacks the dimensions
// and the photometric interpretation. Width and length share one "is set" mark in libtiff,
// so "TIFFTAG_IMAGELENGTH is empty!" cannot be reached even there.
struct MissingTagCase {
  bool dimensionsSet;
  const char* message;
};

class TiffHelperMissingTag : public TiffHelperRead,
                             public ::testing::WithParamInterface<MissingTagCase> {};

TEST_P(TiffHelperMissingTag, RefusesDirectoryWithoutRequiredTag) {
  TiffHandle tif = openTiff(temp_.file("unfinished.tif"), "w");
  ASSERT_NE(tif, nullptr);
  if (GetParam().dimensionsSet) {
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, 9U);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, 4U);
  }
  LogCapture log;
  TiffInfo info;
  EXPECT_FALSE(TiffHelper::readTiffInfo(tif.get(), info));
  EXPECT_EQ(log.records(), (std::vector<LogRecord>{{kError, GetParam().message}}));
  EXPECT_EQ(info.imagewidth_, GetParam().dimensionsSet ? 9U : 0U);
  EXPECT_EQ(info.imagelength_, GetParam().dimensionsSet ? 4U : 0U);
  EXPECT_EQ(info.bitspersample_, GetParam().dimensionsSet ? 1U : 0U);  // libtiff's default
  EXPECT_EQ(info.photometric_, 0xFFFFU);
  EXPECT_EQ(info.compression_, 0xFFFFU);  // never reached
  // Give libtiff a complete directory to write when the handle closes.
  TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, 1U);
  TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, 1U);
  TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
}

INSTANTIATE_TEST_SUITE_P(Tags, TiffHelperMissingTag,
                         ::testing::Values(MissingTagCase{false, "TIFFTAG_IMAGEWIDTH is empty!"},
                                           MissingTagCase{true, "TIFFTAG_PHOTOMETRIC is empty!"}));

class TiffHelperDirectories : public TiffHelperRead {
protected:
  void SetUp() override {
    for (uint32_t width : {5U, 6U, 7U}) {
      TiffSpec tiffSpec = withResolution({});
      tiffSpec.width = width;
      specs_.push_back(tiffSpec);
    }
  }
  std::vector<TiffSpec> specs_;
};

// Each directory is read where the chain recorded it, and the handle stays on it.
TEST_F(TiffHelperDirectories, ReadsTheGivenDirectoryAndStaysThere) {
  TiffHandle tif = openTiff(write(specs_));
  orvex::DirectoryChain chain;
  chain.walk(tif.get());
  LogCapture log;
  for (const uint16_t dir : {2, 0, 1, 1}) {
    TiffInfo info;
    ASSERT_TRUE(TiffHelper::readTiffInfo(tif.get(), chain, dir, info));
    EXPECT_EQ(info.dirIndex_, dir);
    EXPECT_EQ(info.numberOfDirectories_, 3U);
    EXPECT_EQ(info.imagewidth_, specs_[dir].width);
    EXPECT_EQ(TIFFCurrentDirectory(tif.get()), dir);
  }
  EXPECT_TRUE(log.records().empty());
  TiffInfo info;
  EXPECT_FALSE(TiffHelper::readTiffInfo(tif.get(), chain, 3, info));
  EXPECT_EQ(log.records(),
            (std::vector<LogRecord>{
                {kError, "[TiffHelper::readTiffInfo] TIFFSetDirectory failed [dirIndex:3]"}}));
}

TEST_F(TiffHelperDirectories, RefusedDirectoryStaysSelected) {
  specs_[1].samplesPerPixel = 4;
  specs_[1].photometric = PHOTOMETRIC_SEPARATED;
  specs_[1].inkSet = INKSET_MULTIINK;
  TiffHandle tif = openTiff(write(specs_));
  orvex::DirectoryChain chain;
  chain.walk(tif.get());
  TiffInfo info;
  EXPECT_FALSE(TiffHelper::readTiffInfo(tif.get(), chain, 1, info));
  EXPECT_EQ(TIFFCurrentDirectory(tif.get()), 1U);
}

// The profile's bytes as stored in the file, found by walking the first directory of a
// classic TIFF without libtiff.
std::vector<uint8_t> storedIccProfile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  const bool little = file.at(0) == 'I';
  auto number = [&](size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const uint32_t byte = file.at(at + (little ? bytes - 1 - i : i));
      value = (value << 8) | byte;
    }
    return value;
  };
  const size_t directory = number(4, 4);
  for (uint32_t entry = 0; entry < number(directory, 2); ++entry) {
    const size_t at = directory + 2 + 12 * entry;
    if (number(at, 2) == TIFFTAG_ICCPROFILE) {
      const auto begin = file.begin() + number(at + 8, 4);
      return std::vector<uint8_t>(begin, begin + number(at + 4, 4));
    }
  }
  return {};
}

class TiffHelperIccFile : public ::testing::TestWithParam<const char*> {};

TEST_P(TiffHelperIccFile, CopiesThe3144ByteProfileByteForByte) {
  const std::string path = orvex_test::testDataFile(GetParam());
  TiffHandle tif = openTiff(path);
  ASSERT_NE(tif, nullptr);
  LogCapture log;
  std::vector<uint8_t> profile;
  TiffHelper::readTiffIccProfile(tif.get(), 0, profile);
  ASSERT_EQ(profile.size(), 3144U);
  EXPECT_EQ(profile, storedIccProfile(path));
  EXPECT_EQ(std::string(profile.begin() + 36, profile.begin() + 40), "acsp");
  EXPECT_TRUE(log.records().empty());
}

INSTANTIATE_TEST_SUITE_P(Pillow, TiffHelperIccFile,
                         ::testing::Values("pillow/tiff_adobe_deflate.tif",
                                           "pillow/hopper.iccprofile.tif"));

TEST_F(TiffHelperRead, ProfileOfTheCurrentDirectoryIsCopied) {
  TiffSpec plain = withResolution({});
  TiffSpec withProfile = plain;
  for (int i = 0; i < 3144; ++i) {
    withProfile.iccProfile.push_back(static_cast<uint8_t>(i * 31 + i / 256));
  }
  TiffHandle tif = openTiff(write({plain, withProfile}));
  ASSERT_EQ(TIFFSetDirectory(tif.get(), 1), 1);
  LogCapture log;
  std::vector<uint8_t> profile = {1, 2, 3};
  TiffHelper::readTiffIccProfile(tif.get(), 1, profile);
  EXPECT_EQ(profile, withProfile.iccProfile);
  EXPECT_TRUE(log.records().empty());
}

// libtiff refuses an ICC profile of zero bytes both when setting it and when reading a file,
// so a present tag always comes with its bytes and the "tag is invalid" refusal is
// unreachable. A missing profile is only a detail.
TEST_F(TiffHelperRead, NoProfileLeavesTheBytesAndLogsADetail) {
  TiffHandle tif = openTiff(write({withResolution({})}));
  LogCapture log;
  std::vector<uint8_t> profile = {1, 2, 3};
  TiffHelper::readTiffIccProfile(tif.get(), 0, profile);
  EXPECT_EQ(profile, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(
      log.records(),
      (std::vector<LogRecord>{
          {kDetail,
           "[TiffHelper::readTiffIccProfile] tif has no TIFFTAG_ICCPROFILE tag [dirIndex:0]"}}));
}

}  // namespace
