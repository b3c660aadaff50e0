// orvex info: every directory of a file as a host sees it, in text and in JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using nlohmann::json;
using orvex_cli_test::runTool;
using orvex_test::testDataFile;

json parsedOutput(const orvex_cli_test::ToolRun& run) {
  return json::parse(run.out);
}

TEST(Info, DescribesEveryFieldOfAnRgbFileInText) {
  const std::string path = testDataFile("libtiff/rgb-3c-8b.tiff");
  const auto run = runTool({"info", path});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, path +
                         ": 1 directory\n"
                         "directory 0: 157 x 151 pixels\n"
                         "  samples:      3 x 8 bits, unsigned integer, 0 extra\n"
                         "  photometric:  RGB\n"
                         "  resolution:   72 x 72 pixels per inch\n"
                         "  scanlines:    151 rows\n"
                         "  ICC profile:  none\n"
                         "  extra:        none\n");
  EXPECT_EQ(run.err, "");
}

TEST(Info, DescribesColumnsAlphaAndProfilesInText) {
  const auto run = runTool({"info", testDataFile("pillow/g4_orientation_6.tif"),
                            testDataFile("pillow/tiff_16bit_RGBa.tiff")});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* line :
       {"directory 0: 590 x 88 pixels\n", "  samples:      1 x 1 bits, unsigned integer, 0 extra\n",
        "  photometric:  grey, min is white\n", "  resolution:   96 x 96 pixels per inch\n",
        "  scanlines:    590 columns, transposed by the host\n", "directory 0: 100 x 40 pixels\n",
        "  samples:      4 x 16 bits, unsigned integer, 1 extra\n", "  ICC profile:  3144 bytes\n",
        "  extra 0:      associated alpha, unnamed (sample 3)\n"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  }
}

// The JSON of a file with one readable directory of unsigned samples, resolution in inches.
json oneDirectory(const std::string& file, int width, int height, int bits, int samples, int extra,
                  const char* photometric, double resolution, int scanlineCount,
                  const char* scanlines, int iccProfileBytes, const json& channels) {
  const json directory = {{"index", 0},
                          {"readable", true},
                          {"width", width},
                          {"height", height},
                          {"bitsPerSample", bits},
                          {"samplesPerPixel", samples},
                          {"extraSamples", extra},
                          {"sampleFormat", "Uint"},
                          {"photometric", photometric},
                          {"xResolution", resolution},
                          {"yResolution", resolution},
                          {"resolutionUnit", "Inch"},
                          {"scanlineCount", scanlineCount},
                          {"scanlines", scanlines},
                          {"iccProfileBytes", iccProfileBytes},
                          {"channels", channels}};
  return {{"file", file}, {"directoryCount", 1}, {"directories", json::array({directory})}};
}

TEST(Info, JsonHoldsEveryFieldOfEachDirectory) {
  const std::string rgb = testDataFile("libtiff/rgb-3c-8b.tiff");
  const std::string columns = testDataFile("pillow/g4_orientation_6.tif");
  const std::string alpha = testDataFile("pillow/tiff_16bit_RGBa.tiff");
  const auto run = runTool({"info", "--json", rgb, columns, alpha});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json expected = {
      {"files",
       json::array({
           oneDirectory(rgb, 157, 151, 8, 3, 0, "Rgb", 72.0, 151, "rows", 0, json::array()),
           oneDirectory(columns, 590, 88, 1, 1, 0, "MinIsWhite", 96.0, 590, "columns", 0,
                        json::array()),
           oneDirectory(alpha, 100, 40, 16, 4, 1, "Rgb", 72.0, 40, "rows", 3144,
                        json::array({{{"type", "AssociatedAlpha"}, {"name", ""}}})),
       })}};
  EXPECT_EQ(parsedOutput(run), expected);
}

// Named channels, a spot colour and a resolution in centimetres, written by the library's
// own writer the way a host would write them.
TEST(Info, JsonAndTextCarryChannelNamesSpotColoursAndUnits) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("named.tif");
  TiffImageInfo info;
  info.width = 6;
  info.height = 3;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 3;
  info.extraSamples = 2;
  info.channels = {{TiffChannelType::SpotColor, "Vernis sélectif"},
                   {TiffChannelType::UnassociatedAlpha, "Mask"}};
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::MinIsBlack;
  info.xResolution = 118.0F;
  info.yResolution = 59.0F;
  info.resolutionUnit = TiffResolutionUnit::Centimeter;
  ASSERT_TRUE(orvex_cli_test::writeWithLibrary(path, info));

  const auto run = runTool({"info", "--json", path});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json directory = parsedOutput(run)["files"][0]["directories"][0];
  EXPECT_EQ(directory["photometric"], "MinIsBlack");
  EXPECT_EQ(directory["resolutionUnit"], "Centimeter");
  EXPECT_EQ(directory["xResolution"], 118.0);
  EXPECT_EQ(directory["yResolution"], 59.0);
  EXPECT_EQ(directory["channels"], json::parse(R"([{"type": "SpotColor", "name": "Vernis sélectif"},
                                                   {"type": "UnassociatedAlpha", "name": "Mask"}])"));

  const auto text = runTool({"info", path});
  EXPECT_NE(text.out.find("  resolution:   118 x 59 pixels per centimetre\n"), std::string::npos);
  EXPECT_NE(text.out.find("  extra 0:      spot colour, \"Vernis sélectif\" (sample 1)\n"),
            std::string::npos);
  EXPECT_NE(text.out.find("  extra 1:      unassociated alpha, \"Mask\" (sample 2)\n"),
            std::string::npos);
}

// Directories the library refuses are listed with the reason it logged: a milestone for an
// unknown photometric value, an error for too few colour samples.
TEST(Info, RefusedDirectoriesCarryTheLoggedReason) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("refusals.tif");
  {
    orvex_test::TiffFileBuilder builder(path);
    orvex_test::TiffSpec grey;
    builder.addDirectory(grey, orvex_test::patternImage(grey));
    orvex_test::TiffSpec unknown;
    unknown.photometric = 32767;
    builder.addDirectory(unknown, orvex_test::patternImage(unknown));
    orvex_test::TiffSpec rgb;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.samplesPerPixel = 4;
    rgb.extraSamples = {EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED};
    builder.addDirectory(rgb, orvex_test::patternImage(rgb));
  }
  const std::string unknownReason =
      "[TiffReader::createSuitableTiffLineReader] not support photometric:32767!";
  const std::string rgbReason =
      "[TiffReader::createSuitableTiffLineReader] PHOTOMETRIC_RGB: samplesperpixel(4) - "
      "extrasamples(2) < 3";

  const auto text = runTool({"info", path});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find(path + ": 3 directories\ndirectory 0: 4 x 4 pixels\n"),
            std::string::npos);
  EXPECT_NE(text.out.find("directory 1: refused: " + unknownReason + "\n"), std::string::npos);
  EXPECT_NE(text.out.find("directory 2: refused: " + rgbReason + "\n"), std::string::npos);

  const auto run = runTool({"info", "--json", path});
  ASSERT_EQ(run.exitCode, 0);
  const json directories = parsedOutput(run)["files"][0]["directories"];
  ASSERT_EQ(directories.size(), 3U);
  EXPECT_EQ(directories[0]["readable"], true);
  EXPECT_EQ(directories[1], json({{"index", 1}, {"readable", false}, {"refusal", unknownReason}}));
  EXPECT_EQ(directories[2], json({{"index", 2}, {"readable", false}, {"refusal", rgbReason}}));
}

TEST(Info, FileThatCannotBeOpenedFailsWhileTheOthersAreStillDescribed) {
  orvex_test::TempDir temp;
  const std::string missing = temp.file("missing.tif");
  const std::string present = testDataFile("libtiff/minisblack-1c-8b.tiff");
  const auto run = runTool({"info", missing, present});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find(present + ": 1 directory\n"), std::string::npos);
  EXPECT_NE(run.err.find("orvex: cannot read " + missing + ": [TiffReader::begin] " + missing +
                         " open file failed!\n"),
            std::string::npos);

  const auto jsonRun = runTool({"info", "--json", missing, present});
  EXPECT_EQ(jsonRun.exitCode, 1);
  const json files = parsedOutput(jsonRun)["files"];
  EXPECT_EQ(files[0]["error"],
            "cannot read " + missing + ": [TiffReader::begin] " + missing + " open file failed!");
  EXPECT_EQ(files[1]["directoryCount"], 1);
}

}  // namespace
