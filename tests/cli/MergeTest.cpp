// orvex merge: a base directory with single-channel planes added as named extra channels.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::expanded;
using orvex_cli_test::Picture;
using orvex_cli_test::readTiffPicture;
using orvex_cli_test::runTool;

struct MergeCase {
  const char* name;
  std::string arguments;
  int exitCode;
  std::string err;  // found in stderr
  std::string out = "";
};

struct PlaneFile {
  const char* key;
  uint32_t width;
  uint16_t bits;
  uint16_t samples;
  uint16_t format;
};

// 6 x 4 pixels unless the plane is there to differ.
const PlaneFile kPlaneFiles[] = {
    {"grey", 6, 8, 1, SAMPLEFORMAT_UINT}, {"x=y", 6, 8, 1, SAMPLEFORMAT_UINT},
    {"wide", 7, 8, 1, SAMPLEFORMAT_UINT}, {"deep", 6, 16, 1, SAMPLEFORMAT_UINT},
    {"rgb", 6, 8, 3, SAMPLEFORMAT_UINT},  {"signed", 6, 8, 1, SAMPLEFORMAT_INT}};

class Merge : public ::testing::TestWithParam<MergeCase> {
protected:
  void SetUp() override {
    const TiffImageInfo base = orvex_cli_test::eightBitInfo(
        TiffPhotometric::Rgb, 3, {{TiffChannelType::UnassociatedAlpha, "Alpha"}}, 6, 4);
    ASSERT_TRUE(orvex_cli_test::writeWithLibrary(paths_["base"], base));
    uint8_t seed = 1;
    for (const PlaneFile& plane : kPlaneFiles) {
      orvex_test::TiffSpec tiffSpec;
      tiffSpec.width = plane.width;
      tiffSpec.bitsPerSample = plane.bits;
      tiffSpec.samplesPerPixel = plane.samples;
      tiffSpec.photometric = plane.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
      tiffSpec.sampleFormat = plane.format;
      paths_[plane.key] = temp_.file(plane.key + std::string(".tif"));
      orvex_test::writeTiff(paths_[plane.key], tiffSpec,
                            orvex_test::patternImage(tiffSpec, seed += 4));
    }
    std::vector<uint8_t> pixels(6 * 4 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 5);
    ASSERT_TRUE(orvex_cli_test::writePng(paths_["png"], 6, 4, 1, pixels));
    ASSERT_TRUE(orvex_cli_test::writePng(paths_["rgbpng"], 6, 4, 3, pixels));
    // Cut inside its image data: the header reads, the rows do not.
    const std::string whole = orvex_cli_test::readTextFile(paths_["png"]);
    std::ofstream(paths_["cut"], std::ios::binary) << whole.substr(0, whole.size() - 20);
  }

  orvex_test::TempDir temp_;
  std::map<std::string, std::string> paths_ = {{"base", temp_.file("base.tif")},
                                               {"png", temp_.file("grey.png")},
                                               {"rgbpng", temp_.file("rgb.png")},
                                               {"cut", temp_.file("cut.png")},
                                               {"out", temp_.file("out.tif")}};
};

TEST_P(Merge, AddsPlanesInOrderOrFailsWithoutLeavingOut) {
  const MergeCase& test = GetParam();
  const std::vector<std::string> arguments = orvex_cli_test::argumentsOf(test.arguments, paths_);
  if (!orvex_cli_test::commandLineCarries(arguments)) {
    GTEST_SKIP() << "a UTF-16 command line cannot carry ill-formed UTF-8 to the tool";
  }
  const auto run = runTool(arguments);
  EXPECT_EQ(run.exitCode, test.exitCode) << run.err;
  EXPECT_NE(run.err.find(expanded(test.err, paths_)), std::string::npos) << run.err;
  EXPECT_EQ(run.out, expanded(test.out, paths_));
  EXPECT_EQ(std::filesystem::exists(std::filesystem::u8path(paths_["out"])), run.exitCode == 0);
  if (test.exitCode == 0) {
    std::vector<std::pair<TiffChannelType, std::string>> channels;
    for (const TiffChannelInfo& channel : orvex_cli_test::libraryInfo(paths_["out"]).channels) {
      channels.emplace_back(channel.type, channel.name);
    }
    EXPECT_EQ(channels, (std::vector<std::pair<TiffChannelType, std::string>>{
                            {TiffChannelType::UnassociatedAlpha, "Alpha"},
                            {TiffChannelType::AssociatedAlpha, "a"},
                            {TiffChannelType::SpotColor, "Gold"},
                            {TiffChannelType::UnassociatedAlpha, "Mask"}}));
    // Each pixel: the base's samples, then those of the planes in order.
    const Picture out = readTiffPicture(paths_["out"]);
    const Picture base = readTiffPicture(paths_["base"]);
    const auto png = orvex_cli_test::readPng(paths_["png"]).pixels;
    const std::vector<uint32_t> planes[] = {readTiffPicture(paths_["x=y"]).values,
                                            readTiffPicture(paths_["grey"]).values,
                                            {png.begin(), png.end()}};
    ASSERT_EQ(out.values.size(), size_t{6 * 4 * 7});
    for (size_t i = 0; i < out.values.size(); ++i) {
      const size_t pixel = i / 7;
      const size_t s = i % 7;
      EXPECT_EQ(out.values[i], s < 4 ? base.values[pixel * 4 + s] : planes[s - 4][pixel]) << i;
    }
  }
}

const std::string kThreePlanes =
    "merge {out} {base} --associated a={x=y} --spot Gold={grey} --alpha Mask={png}";
const std::string kAdded =
    "channel 4: associated alpha, \"a\" <- {x=y}\n"
    "channel 5: spot colour, \"Gold\" <- {grey}\n"
    "channel 6: unassociated alpha, \"Mask\" <- {png}\n";
const std::string kOnePlane = "merge {out} {base} --spot S=";

const MergeCase kMergeCases[] = {
    {"Interleaved", kThreePlanes, 0, "",
     "merged directory 0 of {base} and 3 planes into {out}: 6 x 4, 7 x 8 bits, interleaved\n" +
         kAdded},
    {"SeparatePlanes", kThreePlanes + " --planar separate", 0, "",
     "merged directory 0 of {base} and 3 planes into {out}: 6 x 4, 7 x 8 bits, separate planes\n" +
         kAdded},
    {"OtherSize", kOnePlane + "{wide}", 1,
     "orvex: plane {wide}: 7 x 4 pixels, the base has 6 x 4\n"},
    {"OtherBits", kOnePlane + "{deep}", 1,
     "orvex: plane {deep}: 16 bits per sample, the base has 8\n"},
    {"OtherSampleFormat", kOnePlane + "{signed}", 1,
     "orvex: plane {signed}: signed integer samples, the base has unsigned integer samples\n"},
    {"SeveralChannels", kOnePlane + "{grey} --alpha S={rgb}", 1,
     "orvex: plane {rgb}: 3 channels, a plane must have one\n"},
    {"ColourPng", kOnePlane + "{rgbpng}", 1,
     "orvex: plane {rgbpng}: a PNG of 8-bit RGB, a PNG plane must be 8-bit grey\n"},
    {"PngCutShort", kOnePlane + "{cut}", 1, "orvex: cannot read {cut}: "},
    {"NoPlane", "merge {out} {base} --spot Gold", 2, "--spot: \"Gold\" is not NAME=PLANE\n"},
    {"IllFormedName", "merge {out} {base} --spot \xC3(={grey}", 2,
     "--spot: the name is not well-formed UTF-8\n"},
    {"OutIsBase", "merge {base} {base}", 2, "orvex: {base} is the input file\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Merge, ::testing::ValuesIn(kMergeCases),
                         [](const auto& test) { return std::string(test.param.name); });

// The library reads several samples of 1, 2 or 4 bits only from separate planes.
TEST(MergeSubByte, GoesToSeparatePlanesTheLibraryReadsBack) {
  orvex_test::TempDir temp;
  const std::string fax = orvex_test::testDataFile("pillow/g4_orientation_6.tif");
  ASSERT_EQ(runTool({"split", fax, temp.file("a")}).exitCode, 0);
  const std::string plane = temp.file("a/Grey.tif");
  const auto run = runTool({"merge", temp.file("out.tif"), fax, "--spot", "S=" + plane});
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "merged directory 0 of " + fax +
                                                       " and 1 plane into " + temp.file("out.tif") +
                                                       ": 590 x 88, 2 x 1 bits, separate planes");
  ASSERT_EQ(runTool({"split", temp.file("out.tif"), temp.file("b")}).exitCode, 0);
  EXPECT_EQ(readTiffPicture(temp.file("b/S.tif")).values, readTiffPicture(plane).values);
}

}  // namespace
