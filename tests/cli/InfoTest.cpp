// orvex info: every directory of a file as a host sees it, in text and in JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <functional>

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
  TiffImageInfo info =
      orvex_cli_test::eightBitInfo(TiffPhotometric::MinIsBlack, 1,
                                   {{TiffChannelType::SpotColor, "Vernis sélectif"},
                                    {TiffChannelType::UnassociatedAlpha, "Mask"}},
                                   6, 3);
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

// Files from other programs that the library refuses, as they are or with a tag changed in a
// copy. Text shows the first error (the cause), or the refusing milestone when there is none;
// JSON lists every explaining record after it.
struct RefusalCase {
  const char* label;
  const char* file;
  std::function<void(TIFF*)> edit;  ///< null: the file as it is
  std::vector<std::string> reasons;
};

void PrintTo(const RefusalCase& refusalCase, std::ostream* out) {
  *out << refusalCase.label;
}

const std::string kSelect = "[TiffReader::createSuitableTiffLineReader] ";
const std::string kTagsFailed = kSelect + "readTiffInfo failed!";
const uint16_t kOneUnspecified[] = {EXTRASAMPLE_UNSPECIFIED};

template <typename... Values>
std::function<void(TIFF*)> setting(uint32_t tag, Values... values) {
  return [=](TIFF* tif) { TIFFSetField(tif, tag, values...); };
}

class InfoRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(InfoRefusal, ShowsTheCauseAndListsEveryReason) {
  const RefusalCase& c = GetParam();
  orvex_test::TempDir temp;
  std::string path = testDataFile(c.file);
  if (c.edit) {
    orvex_cli_test::editedCopy(path, temp.file("edited.tif"), c.edit);
    path = temp.file("edited.tif");
  }
  const auto text = runTool({"info", path});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("\ndirectory 0: refused: " + c.reasons[0] + "\n"), std::string::npos)
      << text.out;

  const json file = parsedOutput(runTool({"info", "--json", path}))["files"][0];
  EXPECT_EQ(
      file["directories"][0],
      json({{"index", 0}, {"readable", false}, {"refusal", c.reasons[0]}, {"reasons", c.reasons}}));
  // The directories after a refused one are still described.
  ASSERT_EQ(file["directories"].size(), file["directoryCount"]);
  for (size_t dir = 1; dir < file["directories"].size(); ++dir) {
    EXPECT_EQ(file["directories"][dir]["readable"], true) << dir;
  }
}

INSTANTIATE_TEST_SUITE_P(
    DataFiles, InfoRefusal,
    ::testing::Values(
        RefusalCase{"HostileStripCounts",
                    "hostile/libtiff_segfault.tif",
                    nullptr,
                    {"[TiffLineReaderBase::beginRead] cacheArray_ alloc failed!"}},
        RefusalCase{"NoPhotometric",
                    "libtiff/rgb-3c-8b.tiff",
                    [](TIFF* tif) { TIFFUnsetField(tif, TIFFTAG_PHOTOMETRIC); },
                    {"TIFFTAG_PHOTOMETRIC is empty!", kTagsFailed}},
        RefusalCase{
            "InksNotCmyk",
            "pillow/tiff_strip_cmyk_jpeg.tif",
            setting(TIFFTAG_INKSET, INKSET_MULTIINK),
            {"photometric is PHOTOMETRIC_SEPARATED. but inkset is not INKSET_CMYK!", kTagsFailed}},
        RefusalCase{"TooFewRgbSamples",
                    "libtiff/rgb-3c-8b.tiff",
                    setting(TIFFTAG_EXTRASAMPLES, uint16_t{1}, kOneUnspecified),
                    {kSelect + "PHOTOMETRIC_RGB: samplesperpixel(3) - extrasamples(1) < 3"}},
        // Refused by a milestone alone; the directories after it are read.
        RefusalCase{"UnknownPhotometric",
                    "pillow/multipage.tiff",
                    setting(TIFFTAG_PHOTOMETRIC, uint16_t{32767}),
                    {kSelect + "not support photometric:32767!"}}),
    [](const auto& test) { return std::string(test.param.label); });

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

// libtiff prints its own warnings each time it reads a directory; the reader reads each one
// once, the first when the file opens.
TEST(Info, LibtiffWarningsOfADirectoryAppearOnce) {
  const auto run =
      runTool({"info", testDataFile("hostile/crash-1152ec2d1a1a71395b6f2ce6721c38924d025bf3.tif")});
  EXPECT_EQ(run.exitCode, 0);
  const std::string warning = "Unknown field with tag 42112 (0xa480) encountered.";
  const size_t first = run.err.find(warning);
  ASSERT_NE(first, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(warning, first + 1), std::string::npos) << run.err;
}

}  // namespace
