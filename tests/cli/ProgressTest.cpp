// The progress bar of copy: drawn for a large image on a terminal, never into a file.
#include <gtest/gtest.h>

#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

class Progress : public ::testing::Test {
protected:
  // 16 MiB of samples: the smallest image that counts as large.
  void SetUp() override {
    orvex_test::TiffSpec tiffSpec;
    tiffSpec.width = 4096;
    tiffSpec.height = 4096;
    tiffSpec.rowsPerStrip = 256;
    orvex_test::writeTiff(input_, tiffSpec, std::vector<uint8_t>(size_t{4096} * 4096, 0x5A));
  }

  orvex_test::TempDir temp_;
  const std::string input_ = temp_.file("large.tif");
};

TEST_F(Progress, NothingExtraWhenStderrIsNotATerminal) {
  const auto run = orvex_cli_test::runTool({"copy", input_, temp_.file("out.tif")});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

TEST_F(Progress, BarReachesOneHundredPercentOnATerminal) {
  std::string output;
  if (!orvex_cli_test::runToolOnTerminal({"copy", input_, temp_.file("out.tif")}, output)) {
    GTEST_SKIP() << "no pseudo-terminal for the tool: script(1) is missing, or this is Windows";
  }
  EXPECT_NE(output.find("\rcopy [........................................]   0%"),
            std::string::npos);
  EXPECT_NE(output.find("\rcopy [########################################] 100%"),
            std::string::npos);
}

}  // namespace
