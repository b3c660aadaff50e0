// The progress bar of the commands that stream whole images: drawn for a large image on a
// terminal, never into a file.
#include <gtest/gtest.h>

#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::argumentsOf;

class Progress : public ::testing::Test {
protected:
  // 16 MiB of samples: the smallest image that counts as large.
  void SetUp() override {
    orvex_test::TiffSpec tiffSpec;
    tiffSpec.width = 4096;
    tiffSpec.height = 4096;
    tiffSpec.rowsPerStrip = 256;
    orvex_test::writeTiff(paths_["in"], tiffSpec, std::vector<uint8_t>(size_t{4096} * 4096, 0x5A));
  }

  orvex_test::TempDir temp_;
  std::map<std::string, std::string> paths_ = {{"in", temp_.file("large.tif")},
                                               {"out", temp_.file("out.tif")},
                                               {"dir", temp_.file("planes")}};
};

// Each command with the bar's label; merge adds the plane split wrote.
const std::pair<const char*, std::string> kCommands[] = {
    {"copy {in} {out}", "copy"},
    {"split {in} {dir}", "split"},
    {"merge {out} {in} --spot S={dir}/Grey.tif", "merge"},
};

TEST_F(Progress, NothingExtraWhenStderrIsNotATerminal) {
  for (const auto& [command, label] : kCommands) {
    const auto run = orvex_cli_test::runTool(argumentsOf(command, paths_));
    EXPECT_EQ(run.exitCode, 0) << label;
    EXPECT_EQ(run.err, "") << label;
  }
}

TEST_F(Progress, BarReachesOneHundredPercentOnATerminal) {
  for (const auto& [command, label] : kCommands) {
    std::string output;
    if (!orvex_cli_test::runToolOnTerminal(argumentsOf(command, paths_), output)) {
      GTEST_SKIP() << "no pseudo-terminal for the tool: script(1) is missing, or this is Windows";
    }
    EXPECT_NE(output.find("\r" + label + " [........................................]   0%"),
              std::string::npos);
    EXPECT_NE(output.find("\r" + label + " [########################################] 100%"),
              std::string::npos);
  }
}

}  // namespace
