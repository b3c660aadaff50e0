// File names beyond ASCII on the tool's command line: on Windows they reach the tool only
// through its wide command line, and its own files (the PNG) through wide opens.
#include <gtest/gtest.h>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::runTool;

// "карта-地图.tif", "копия-副本.tif" and "вид-预览.png"
const std::string kInput = "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0-\xE5\x9C\xB0\xE5\x9B\xBE.tif";
const std::string kCopy = "\xD0\xBA\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x8F-\xE5\x89\xAF\xE6\x9C\xAC.tif";
const std::string kPreview = "\xD0\xB2\xD0\xB8\xD0\xB4-\xE9\xA2\x84\xE8\xA7\x88.png";

class UnicodeName : public ::testing::Test {
protected:
  void SetUp() override {
    tiffSpec_.width = 6;
    tiffSpec_.height = 4;
    stored_ = orvex_test::patternImage(tiffSpec_);
    orvex_test::writeTiff(input_, tiffSpec_, stored_);
  }

  orvex_test::TempDir temp_;
  const std::string input_ = temp_.file(kInput);
  orvex_test::TiffSpec tiffSpec_;
  std::vector<uint8_t> stored_;
};

TEST_F(UnicodeName, InfoNamesTheFileAsGiven) {
  const auto run = runTool({"info", input_});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind(input_ + ": 1 directory\ndirectory 0: 6 x 4 pixels\n", 0), 0U) << run.out;
}

TEST_F(UnicodeName, CopyAndPreviewWriteUnderTheExactNames) {
  const std::string copy = temp_.file(kCopy);
  const std::string preview = temp_.file(kPreview);
  ASSERT_EQ(runTool({"copy", input_, copy}).exitCode, 0);
  ASSERT_EQ(runTool({"preview", copy, preview}).exitCode, 0);

  EXPECT_EQ(orvex_cli_test::readTiffPicture(copy),
            orvex_cli_test::uprightPicture(tiffSpec_, stored_));
  const orvex_cli_test::PngPicture png = orvex_cli_test::readPng(preview);
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.at(5, 3, 0), stored_.back());
}

}  // namespace
