// What our hosts show and write for the channel records the reader delivers: names with a
// character above U+FFFF, whose surrogates arrive each on its own, and the alpha of a YCbCr
// directory with Photoshop image resources, which arrives without a record.
#include <gtest/gtest.h>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::runTool;

const std::string kName = "Ink \xF0\x9F\x98\x80";  // U+1F600

struct RecordCase {
  const char* label;
  bool ycbcr;  ///< the input: the YCbCr file, else grey with a spot channel named kName
  std::string infoLine;
  std::string jsonPart;
  std::string exampleLine;
};

void PrintTo(const RecordCase& recordCase, std::ostream* out) {
  *out << recordCase.label;
}

std::string makeInput(const orvex_test::TempDir& temp, bool ycbcr) {
  const std::string path = temp.file("in.tif");
  if (ycbcr) {
    // One Pascal name in resource 1006; the stored directory has no extra sample to name.
    const std::vector<uint8_t> block = {'8', 'B', 'I', 'M', 0x03, 0xEE, 0,   0,   0,
                                        0,   0,   6,   5,   'A',  'l',  'p', 'h', 'a'};
    orvex_cli_test::editedCopy(
        orvex_test::testDataFile("pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif"), path,
        [&block](TIFF* tif) {
          TIFFSetField(tif, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(block.size()), block.data());
        });
    return path;
  }
  TiffImageInfo info;
  info.width = 3;
  info.height = 2;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 2;
  info.extraSamples = 1;
  info.channels = {{TiffChannelType::SpotColor, kName}};
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::MinIsBlack;
  EXPECT_TRUE(orvex_cli_test::writeWithLibrary(path, info));
  return path;
}

class ChannelRecords : public ::testing::TestWithParam<RecordCase> {};

// info, info --json, info of the copy and the reader example each show the record.
TEST_P(ChannelRecords, HostsShowAndWriteOneWellFormedRecordPerExtraSample) {
  const RecordCase& c = GetParam();
  orvex_test::TempDir temp;
  const std::string input = makeInput(temp, c.ycbcr);
  const std::string copy = temp.file("copy.tif");
  ASSERT_EQ(runTool({"copy", input, copy}).exitCode, 0);
  for (const auto& [run, expected] : {std::pair{runTool({"info", input}), c.infoLine},
                                      {runTool({"info", "--json", input}), c.jsonPart},
                                      {runTool({"info", copy}), c.infoLine},
                                      {orvex_cli_test::runReadExample(input), c.exampleLine}}) {
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChannelRecords,
    ::testing::Values(RecordCase{"NameAboveUffff", false,
                                 "  extra 0:      spot colour, \"" + kName + "\" (sample 1)\n",
                                 "\"name\": \"" + kName + "\"",
                                 "  channel 0: SpotColor \"" + kName + "\"\n"},
                      RecordCase{"YCbCrAlphaWithoutRecord", true,
                                 "  extra 0:      associated alpha, unnamed (sample 3)\n",
                                 "\"type\": \"AssociatedAlpha\"",
                                 "  channel 0: AssociatedAlpha \"\"\n"}),
    [](const auto& test) { return std::string(test.param.label); });

}  // namespace
