// orvex copy: the copy holds the upright picture a host receives, with its extra channels.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::Picture;
using orvex_cli_test::readTiffPicture;
using orvex_cli_test::runTool;
using orvex_test::TiffSpec;

struct TagValues {
  uint16_t orientation = 0;
  uint16_t planar = 0;
  uint16_t photometric = 0;
  uint16_t samples = 0;
  uint16_t bits = 0;
  std::vector<uint16_t> extraSamples;
};

TagValues tagsOf(const std::string& path) {
  TagValues tags;
  TIFF* tif = orvex_test::openTiff(path.c_str(), "r");
  if (tif == nullptr) {
    return tags;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &tags.orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &tags.planar);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &tags.photometric);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &tags.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &tags.bits);
  uint16_t count = 0;
  uint16_t* values = nullptr;
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &values) == 1) {
    tags.extraSamples.assign(values, values + count);
  }
  TIFFClose(tif);
  return tags;
}

struct Layout {
  const char* name;
  uint16_t bits;
  uint16_t samples;
  uint16_t photometric;
  std::vector<uint16_t> extraSamples;
  const char* planar;
};

void PrintTo(const Layout& layout, std::ostream* out) {
  *out << layout.name;
}

const Layout kLayouts[] = {
    {"Rgba8Contig", 8, 4, PHOTOMETRIC_RGB, {EXTRASAMPLE_UNASSALPHA}, "contig"},
    {"Rgba8Separate", 8, 4, PHOTOMETRIC_RGB, {EXTRASAMPLE_UNASSALPHA}, "separate"},
    {"Grey1Contig", 1, 1, PHOTOMETRIC_MINISBLACK, {}, "contig"},
    {"Grey1Separate", 1, 1, PHOTOMETRIC_MINISWHITE, {}, "separate"},
    {"Grey4Contig", 4, 1, PHOTOMETRIC_MINISBLACK, {}, "contig"},
    {"Rgb16Separate", 16, 3, PHOTOMETRIC_RGB, {}, "separate"},
};

class CopyOrientation : public ::testing::TestWithParam<std::tuple<uint16_t, Layout>> {};

// 13 x 7 stored pixels: odd sizes, so that sub-byte rows end inside a byte both before and
// after transposition.
TEST_P(CopyOrientation, CopyHoldsTheUprightPicture) {
  const auto& [orientation, layout] = GetParam();
  orvex_test::TempDir temp;
  TiffSpec tiffSpec;
  tiffSpec.width = 13;
  tiffSpec.height = 7;
  tiffSpec.bitsPerSample = layout.bits;
  tiffSpec.samplesPerPixel = layout.samples;
  tiffSpec.photometric = layout.photometric;
  tiffSpec.extraSamples = layout.extraSamples;
  tiffSpec.orientation = orientation;
  tiffSpec.rowsPerStrip = 3;
  const std::vector<uint8_t> stored = orvex_test::patternImage(tiffSpec, 5);
  const std::string input = temp.file("in.tif");
  const std::string output = temp.file("out.tif");
  orvex_test::writeTiff(input, tiffSpec, stored);

  const auto run = runTool({"copy", input, output, "--planar", layout.planar});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readTiffPicture(output), orvex_cli_test::uprightPicture(tiffSpec, stored));
  const TagValues tags = tagsOf(output);
  EXPECT_EQ(tags.orientation, ORIENTATION_TOPLEFT);
  EXPECT_EQ(tags.planar,
            std::string(layout.planar) == "separate" ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  EXPECT_EQ(tags.photometric, layout.photometric);
  EXPECT_EQ(tags.extraSamples, layout.extraSamples);
}

INSTANTIATE_TEST_SUITE_P(EveryOrientation, CopyOrientation,
                         ::testing::Combine(::testing::Range<uint16_t>(1, 9),
                                            ::testing::ValuesIn(kLayouts)),
                         [](const auto& test) {
                           return "Orientation" + std::to_string(std::get<0>(test.param)) +
                                  std::get<1>(test.param).name;
                         });

TEST(Copy, KeepsChannelNamesSpotTypesResolutionAndProfile) {
  orvex_test::TempDir temp;
  const std::string input = temp.file("named.tif");
  TiffImageInfo info =
      orvex_cli_test::eightBitInfo(TiffPhotometric::Rgb, 3,
                                   {{TiffChannelType::SpotColor, "Vernis sélectif"},
                                    {TiffChannelType::AssociatedAlpha, "Alpha 1"}},
                                   5, 4);
  info.xResolution = 150.0F;
  info.yResolution = 75.0F;
  info.resolutionUnit = TiffResolutionUnit::Centimeter;
  info.iccProfile = {0, 0, 0, 12, 'a', 'b', 'c', 'd', 1, 2, 3, 4};
  ASSERT_TRUE(orvex_cli_test::writeWithLibrary(input, info));
  for (const char* planar : {"contig", "separate"}) {
    const std::string output = temp.file(std::string(planar) + ".tif");
    const auto run = runTool({"copy", input, output, "--planar", planar});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const TiffImageInfo copied = orvex_cli_test::libraryInfo(output);
    ASSERT_EQ(copied.channels.size(), 2U) << planar;
    EXPECT_EQ(copied.channels[0].type, TiffChannelType::SpotColor);
    EXPECT_EQ(copied.channels[0].name, "Vernis sélectif");
    EXPECT_EQ(copied.channels[1].type, TiffChannelType::AssociatedAlpha);
    EXPECT_EQ(copied.channels[1].name, "Alpha 1");
    EXPECT_EQ(copied.xResolution, 150.0F);
    EXPECT_EQ(copied.yResolution, 75.0F);
    EXPECT_EQ(copied.resolutionUnit, TiffResolutionUnit::Centimeter);
    EXPECT_EQ(copied.iccProfile, info.iccProfile);
    EXPECT_EQ(tagsOf(output).extraSamples,
              (std::vector<uint16_t>{EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_ASSOCALPHA}));
    EXPECT_EQ(readTiffPicture(output), readTiffPicture(input)) << planar;
  }
}

TEST(Copy, PaletteAndYCbCrBecomeRgb) {
  struct Case {
    const char* file;
    uint16_t samples;
    uint16_t bits;
    std::vector<uint16_t> extraSamples;
    uint32_t width;
    uint32_t height;
  };
  for (const Case& test : {Case{"libtiff/palette-1c-8b.tiff", 3, 16, {}, 157, 151},
                           Case{"pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif",
                                4,
                                8,
                                {EXTRASAMPLE_ASSOCALPHA},
                                480,
                                360}}) {
    orvex_test::TempDir temp;
    const std::string output = temp.file("rgb.tif");
    const auto run = runTool({"copy", orvex_test::testDataFile(test.file), output});
    ASSERT_EQ(run.exitCode, 0) << test.file << ": " << run.err;
    const TagValues tags = tagsOf(output);
    EXPECT_EQ(tags.photometric, PHOTOMETRIC_RGB) << test.file;
    EXPECT_EQ(tags.samples, test.samples) << test.file;
    EXPECT_EQ(tags.bits, test.bits) << test.file;
    EXPECT_EQ(tags.extraSamples, test.extraSamples) << test.file;
    const Picture picture = readTiffPicture(output);
    EXPECT_EQ(picture.width, test.width) << test.file;
    EXPECT_EQ(picture.height, test.height) << test.file;
  }
}

TEST(Copy, CopiesTheDirectoryAskedFor) {
  orvex_test::TempDir temp;
  const std::string input = temp.file("two.tif");
  TiffSpec first;
  TiffSpec second;
  second.width = 9;
  second.height = 2;
  const std::vector<uint8_t> secondStored = orvex_test::patternImage(second, 9);
  {
    orvex_test::TiffFileBuilder builder(input);
    builder.addDirectory(first, orvex_test::patternImage(first));
    builder.addDirectory(second, secondStored);
  }
  const std::string output = temp.file("second.tif");
  const auto run = runTool({"copy", input, output, "--dir", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readTiffPicture(output), orvex_cli_test::uprightPicture(second, secondStored));
}

TEST(Copy, UnreadableRowFailsAndLeavesNoFile) {
  orvex_test::TempDir temp;
  const std::string input = orvex_test::testDataFile("pillow/separate_planar_extra_samples.tiff");
  const std::string output = temp.file("broken.tif");
  const auto run = runTool({"copy", input, output});
  EXPECT_EQ(run.exitCode, 1);
  // The first error of the call is the cause; the reader's own "readOriginLine failed!" follows.
  EXPECT_NE(run.err.find("orvex: cannot read scanline 0 of directory 0 of " + input +
                         ": [TiffCommonLineReader::readOriginScanline_fromSeparateStripData] "
                         "TIFFReadEncodedStrip failed!\n"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(Copy, RefusesToWriteOverItsInput) {
  orvex_test::TempDir temp;
  const std::string input = temp.file("self.tif");
  TiffSpec tiffSpec;
  orvex_test::writeTiff(input, tiffSpec, orvex_test::patternImage(tiffSpec));
  const auto before = orvex_cli_test::readTextFile(input);
  const auto run = runTool({"copy", input, input});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "orvex: " + input + " is the input file\n");
  EXPECT_EQ(orvex_cli_test::readTextFile(input), before);
}

struct RenameCase {
  const char* name;
  std::string options;
  int exitCode;
  std::string err;  // the start of stderr
  std::vector<TiffChannelInfo> channels = {};
};

class CopyRename : public ::testing::TestWithParam<RenameCase> {};

TEST_P(CopyRename, NamesAndKindsOfExtraChannelsChange) {
  const RenameCase& test = GetParam();
  orvex_test::TempDir temp;
  const std::map<std::string, std::string> paths = {{"in", temp.file("in.tif")},
                                                    {"out", temp.file("out.tif")}};
  ASSERT_TRUE(orvex_cli_test::writeWithLibrary(
      paths.at("in"),
      orvex_cli_test::eightBitInfo(TiffPhotometric::MinIsBlack, 1,
                                   {{TiffChannelType::SpotColor, "Vernis"},
                                    {TiffChannelType::AssociatedAlpha, "Alpha 1"}})));
  const auto arguments = orvex_cli_test::argumentsOf("copy {in} {out} " + test.options, paths);
  if (!orvex_cli_test::commandLineCarries(arguments)) {
    GTEST_SKIP() << "a UTF-16 command line cannot carry ill-formed UTF-8 to the tool";
  }
  const auto run = runTool(arguments);
  EXPECT_EQ(run.exitCode, test.exitCode);
  EXPECT_EQ(run.err.rfind(orvex_cli_test::expanded(test.err, paths), 0), 0U) << run.err;
  const TiffImageInfo copied = orvex_cli_test::libraryInfo(paths.at("out"));
  ASSERT_EQ(copied.channels.size(), test.channels.size());
  for (size_t i = 0; i < test.channels.size(); ++i) {
    EXPECT_EQ(copied.channels[i].type, test.channels[i].type) << i;
    EXPECT_EQ(copied.channels[i].name, test.channels[i].name) << i;
  }
}

const RenameCase kRenameCases[] = {
    {"NameAndKind",
     "--name 0=Gold --kind 1=alpha",
     0,
     "",
     {{TiffChannelType::SpotColor, "Gold"}, {TiffChannelType::UnassociatedAlpha, "Alpha 1"}}},
    {"LastOptionForAChannelWins",
     "--kind 0=unspecified --name 0= --name 1=x=y --name 1=Vernis_s\xC3\xA9lectif --kind 1=spot",
     0,
     "",
     {{TiffChannelType::Unspecified, ""}, {TiffChannelType::SpotColor, "Vernis_s\xC3\xA9lectif"}}},
    {"ChannelTheFileLacks", "--name 2=X", 2,
     "orvex: --name 2: directory 0 of {in} has 2 extra channels\n"},
    {"UnknownKind", "--kind 0=spotty", 2,
     "--kind: \"spotty\" is not spot, alpha, associated or unspecified\n"},
    {"IllFormedName", "--name 0=\xC3", 2, "--name: the name is not well-formed UTF-8\n"},
    {"IndexNotANumber", "--name one=X", 2,
     "--name: \"one\" is not a channel index from 0 to 65535\n"},
    {"IndexTooLarge", "--kind 65536=spot", 2,
     "--kind: \"65536\" is not a channel index from 0 to 65535\n"},
};

INSTANTIATE_TEST_SUITE_P(Options, CopyRename, ::testing::ValuesIn(kRenameCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
