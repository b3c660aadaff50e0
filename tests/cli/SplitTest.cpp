// orvex split: one single-channel image per channel, named after the channel.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::expanded;
using Planes = std::vector<std::pair<std::string, std::string>>;  // printed line, file stem

struct SplitCase {
  const char* name;
  std::string arguments;
  int exitCode;
  std::string err;  // the start of stderr
  Planes planes = {};
};

class Split : public ::testing::TestWithParam<SplitCase> {
protected:
  void SetUp() override {
    using orvex_cli_test::eightBitInfo;
    ASSERT_TRUE(orvex_cli_test::writeWithLibrary(
        paths_["cmyk"],
        eightBitInfo(TiffPhotometric::Separated, 4, {{TiffChannelType::SpotColor, "Gold"}})));
    ASSERT_TRUE(orvex_cli_test::writeWithLibrary(
        paths_["names"], eightBitInfo(TiffPhotometric::Rgb, 3,
                                      {{TiffChannelType::SpotColor, "a/b"},
                                       {TiffChannelType::Unspecified, "A/B"},
                                       {TiffChannelType::UnassociatedAlpha, ""},
                                       {TiffChannelType::AssociatedAlpha, "CON"}})));
    orvex_test::TiffSpec grey;
    grey.bitsPerSample = 16;
    grey.photometric = PHOTOMETRIC_MINISWHITE;
    grey.iccProfile = {0, 0, 0, 12, 'g', 'r', 'e', 'y', 1, 2, 3, 4};
    grey.xResolution = grey.yResolution = 150.0F;
    grey.resolutionUnit = RESUNIT_CENTIMETER;
    orvex_test::writeTiff(paths_["grey"], grey, orvex_test::patternImage(grey));
  }

  std::string planePath(const std::string& file) const {
    return (std::filesystem::u8path(paths_.at("out")) / file).u8string();
  }

  orvex_test::TempDir temp_;
  std::map<std::string, std::string> paths_ = {{"cmyk", temp_.file("cmyk.tif")},
                                               {"names", temp_.file("names.tif")},
                                               {"grey", temp_.file("Grey.tif")},
                                               {"tmp", temp_.path().u8string()},
                                               {"out", temp_.file("new/planes")}};
};

// Each plane holds one sample of every pixel, and a TIFF plane the input's bits and
// resolution, with the photometric and profile of a grey input's colour channel.
TEST_P(Split, WritesOnePlanePerChannelAndSaysWhere) {
  const SplitCase& test = GetParam();
  const std::vector<std::string> arguments = orvex_cli_test::argumentsOf(test.arguments, paths_);
  const auto run = orvex_cli_test::runTool(arguments);
  EXPECT_EQ(run.exitCode, test.exitCode) << run.err;
  EXPECT_EQ(run.err.rfind(expanded(test.err, paths_), 0), 0U) << run.err;
  const std::string extension = arguments.back() == "--png" ? ".png" : ".tif";
  std::string lines;
  for (const auto& [line, stem] : test.planes) {
    lines += line + " -> " + planePath(stem + extension) + "\n";
  }
  EXPECT_EQ(run.out, lines);
  EXPECT_EQ(std::filesystem::exists(std::filesystem::u8path(paths_["out"])), run.exitCode == 0);
  const std::string input = arguments[1];
  const orvex_cli_test::Picture picture = orvex_cli_test::readTiffPicture(input);
  const TiffImageInfo info = orvex_cli_test::libraryInfo(input);
  for (uint16_t s = 0; s < test.planes.size(); ++s) {
    const std::string path = planePath(test.planes[s].second + extension);
    std::vector<uint32_t> samples;
    for (size_t i = s; i < picture.values.size(); i += picture.samples) {
      samples.push_back(picture.values[i]);
    }
    const auto png = orvex_cli_test::readPng(path);
    EXPECT_EQ(extension == ".png" ? std::vector<uint32_t>(png.pixels.begin(), png.pixels.end())
                                  : orvex_cli_test::readTiffPicture(path).values,
              samples);
    const TiffImageInfo plane = orvex_cli_test::libraryInfo(path);
    const bool greyInput = info.photometric == TiffPhotometric::MinIsWhite;
    if (extension == ".tif") {
      EXPECT_EQ(plane.bitsPerSample, info.bitsPerSample);
      EXPECT_EQ(plane.photometric, greyInput ? info.photometric : TiffPhotometric::MinIsBlack);
      EXPECT_EQ(plane.iccProfile, greyInput ? info.iccProfile : std::vector<uint8_t>());
      EXPECT_EQ(plane.resolutionUnit, info.resolutionUnit);
    }
  }
}

const Planes kCmykPlanes = {{"channel 0: colour, \"C\"", "C"},
                            {"channel 1: colour, \"M\"", "M"},
                            {"channel 2: colour, \"Y\"", "Y"},
                            {"channel 3: colour, \"K\"", "K"},
                            {"channel 4: spot colour, \"Gold\"", "Gold"}};

const SplitCase kSplitCases[] = {
    {"Tiff", "split {cmyk} {out}", 0, "", kCmykPlanes},
    {"Png", "split {cmyk} {out} --png", 0, "", kCmykPlanes},
    {"NamesMadeSafeAndUnique",
     "split {names} {out}",
     0,
     "",
     {{"channel 0: colour, \"R\"", "R"},
      {"channel 1: colour, \"G\"", "G"},
      {"channel 2: colour, \"B\"", "B"},
      {"channel 3: spot colour, \"a/b\"", "a_b"},
      {"channel 4: unspecified, \"A/B\"", "A_B (2)"},
      {"channel 5: unassociated alpha, \"extra 2\"", "extra 2"},
      {"channel 6: associated alpha, \"CON\"", "_CON"}}},
    {"Grey", "split {grey} {out}", 0, "", {{"channel 0: colour, \"Grey\"", "Grey"}}},
    {"NoSuchDirectory", "split {cmyk} {out} --dir 1", 2,
     "orvex: --dir 1: {cmyk} has 1 directory\n"},
    {"FolderIsAFile", "split {cmyk} {cmyk}", 1, "orvex: cannot create {cmyk}: "},
    {"PlaneWouldBeItsInput", "split {grey} {tmp}", 2, "orvex: {grey} is the input file\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Split, ::testing::ValuesIn(kSplitCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
