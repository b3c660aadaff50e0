// split, then merge of the extra planes onto the colour channels, gives back the original;
// names given to merge and copy are what other programs read.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "orvex/ChannelNames.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::libraryInfo;
using orvex_cli_test::readTiffPicture;
using orvex_cli_test::runTool;

const std::map<std::string, std::string> kKindOptions = {
    {"SpotColor", "--spot"}, {"UnassociatedAlpha", "--alpha"}, {"AssociatedAlpha", "--associated"}};

// CMYK of 8 bits with extra channels; without them it holds the same colour samples.
TiffImageInfo cmyk(std::vector<TiffChannelInfo> channels) {
  return orvex_cli_test::eightBitInfo(TiffPhotometric::Separated, 4, std::move(channels), 7, 5);
}

std::vector<std::pair<TiffChannelType, std::string>> namedKinds(const TiffImageInfo& info) {
  std::vector<std::pair<TiffChannelType, std::string>> kinds;
  for (const TiffChannelInfo& channel : info.channels) {
    kinds.emplace_back(channel.type, orvex::joinSurrogatePairs(channel.name));
  }
  return kinds;
}

struct RoundTrip {
  const char* name;
  bool builtCmyk;  // else the Photoshop file, whose colour channels are its only ones
};

class ChannelRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ChannelRoundTrip, SplitThenMergeGivesBackSamplesNamesAndKinds) {
  orvex_test::TempDir temp;
  std::string original = orvex_test::testDataFile("pillow/tiff_adobe_deflate.tif");
  std::string base = original;
  if (GetParam().builtCmyk) {
    original = temp.file("press.tif");
    base = temp.file("cmyk.tif");
    // U+1F947 comes back from the reader as two surrogates, joined by the tool.
    ASSERT_TRUE(orvex_cli_test::writeWithLibrary(
        original, cmyk({{TiffChannelType::SpotColor, "Gold \xF0\x9F\xA5\x87"}})));
    ASSERT_TRUE(orvex_cli_test::writeWithLibrary(base, cmyk({})));
  }
  const auto split = runTool({"split", original, temp.file("planes"), "--json"});
  ASSERT_EQ(split.exitCode, 0) << split.err;
  const orvex_cli_test::Picture picture = readTiffPicture(original);
  std::vector<std::string> merge = {"merge", temp.file("merged.tif"), base};
  const nlohmann::json planes = nlohmann::json::parse(split.out)["channels"];
  for (const auto& plane : planes) {
    const std::vector<uint32_t> values = readTiffPicture(plane["path"]).values;
    for (size_t i = 0; i < values.size(); ++i) {
      ASSERT_EQ(values[i], picture.values[i * picture.samples + plane["channel"].get<size_t>()]);
    }
    if (plane["kind"] != "Color") {
      merge.push_back(kKindOptions.at(plane["kind"]));
      merge.push_back(plane["name"].get<std::string>() + "=" + plane["path"].get<std::string>());
    }
  }
  const auto merged = runTool(merge);
  ASSERT_EQ(merged.exitCode, 0) << merged.err;
  EXPECT_EQ(readTiffPicture(temp.file("merged.tif")), picture);
  const TiffImageInfo info = libraryInfo(temp.file("merged.tif"));
  EXPECT_EQ(namedKinds(info), namedKinds(libraryInfo(original)));
  EXPECT_EQ(info.iccProfile, libraryInfo(original).iccProfile);
}

INSTANTIATE_TEST_SUITE_P(Files, ChannelRoundTrip,
                         ::testing::Values(RoundTrip{"CmykAndSpot", true},
                                           RoundTrip{"PhotoshopRgb", false}),
                         [](const auto& test) { return std::string(test.param.name); });

// exiftool reads the names from the Photoshop image resources, as Photoshop would.
TEST(ChannelNames, ExiftoolReadsMergedAndRenamedNamesAndTiffinfoDoesNotWarn) {
#if defined(_WIN32)
  GTEST_SKIP() << "exiftool and tiffinfo are Linux programs; the Linux build runs this";
#else
  if (std::system("command -v exiftool >/dev/null 2>&1 && command -v tiffinfo >/dev/null 2>&1") !=
      0) {
    GTEST_SKIP() << "exiftool or tiffinfo not installed (scripts/install-deps.sh installs them)";
  }
  orvex_test::TempDir temp;
  const std::map<std::string, std::string> paths = {{"base", temp.file("cmyk.tif")},
                                                    {"p", temp.file("p.tif")},
                                                    {"merged", temp.file("merged.tif")},
                                                    {"renamed", temp.file("renamed.tif")}};
  const TiffImageInfo grey = orvex_cli_test::eightBitInfo(TiffPhotometric::MinIsBlack, 1, {}, 7, 5);
  ASSERT_TRUE(orvex_cli_test::writeWithLibrary(paths.at("base"), cmyk({})));
  ASSERT_TRUE(orvex_cli_test::writeWithLibrary(paths.at("p"), grey));
  for (const char* command :
       {"merge {merged} {base} --spot Gold={p} --alpha Mask={p} --spot Varnish={p}",
        "copy {merged} {renamed} --name 1=Silver"}) {
    ASSERT_EQ(runTool(orvex_cli_test::argumentsOf(command, paths)).exitCode, 0) << command;
  }
  const auto printed = [&](const std::string& command) {  // stdout and stderr
    const std::string out = temp.file("out.txt");
    EXPECT_EQ(std::system(("(" + command + ") >'" + out + "' 2>&1").c_str()), 0) << command;
    return orvex_cli_test::readTextFile(out);
  };
  for (const auto& [file, names] :
       {std::pair<std::string, std::string>{"merged", "Gold, Mask, Varnish\n"},
        {"renamed", "Gold, Silver, Varnish\n"}}) {
    EXPECT_EQ(printed("exiftool -s3 -AlphaChannelsNames '" + paths.at(file) + "'"), names);
    EXPECT_EQ(printed("tiffinfo '" + paths.at(file) + "' >/dev/null"), "");
  }
#endif
}

}  // namespace
