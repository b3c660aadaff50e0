// The command line itself: help, version, the verbose log and the exit codes of bad usage.
#include <gtest/gtest.h>

#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::runTool;
using orvex_test::testDataFile;

TEST(CommandLine, VersionIsTheLibrarys) {
  const auto run = runTool({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "orvex 1.3.4\n");
}

TEST(CommandLine, HelpNamesTheCommandsAndTheMemoryRule) {
  const auto run = runTool({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* text : {"info", "copy", "preview", "--verbose", "--version",
                           "Only images\nstored in orientations 5 to 8",
                           "Exit codes: 0 success, 1 a file could not be read or written, 2 bad "
                           "usage."}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  }
}

TEST(CommandLine, BadUsageExitsWithTwo) {
  const std::string file = testDataFile("libtiff/rgb-3c-8b.tiff");
  const std::vector<std::vector<std::string>> commands = {
      {"frobnicate"},
      {"--no-such-option"},
      {"info"},
      {"copy", file},
      {"preview", file},
      {"copy", file, "/tmp/x.tif", "--planar", "diagonal"},
      {"copy", file, "/tmp/x.tif", "--dir", "65536"},
      {"preview", file, "/tmp/x.png", "--channel", "-1"},
      {"preview", file, "/tmp/x.png", "--dir", "two"},
  };
  for (const auto& command : commands) {
    const auto run = runTool(command);
    EXPECT_EQ(run.exitCode, 2) << command[0];
    EXPECT_NE(run.err, "") << command[0];
    EXPECT_EQ(run.out, "") << command[0];
  }
}

TEST(CommandLine, FailuresExitWithTheirCodeAndTheReasonLast) {
  orvex_test::TempDir temp;
  const std::string missing = temp.file("missing.tif");
  const std::string notTiff = temp.file("text.tif");
  {
    std::FILE* file = std::fopen(notTiff.c_str(), "w");
    std::fputs("not a TIFF file at all\n", file);
    std::fclose(file);
  }
  const std::string refused = temp.file("unknown.tif");
  orvex_test::TiffSpec unknown;
  unknown.photometric = 32767;
  orvex_test::writeTiff(refused, unknown, orvex_test::patternImage(unknown));
  const std::string good = testDataFile("libtiff/rgb-3c-8b.tiff");
  const std::string noFolder = temp.file("no/such/folder/out");
  // libtiff's own error handler may print its line first where `afterLibtiff` is set; the
  // tool's reason comes last.
  const auto expectFailure = [](const std::vector<std::string>& command, int exitCode,
                                const std::string& err, bool afterLibtiff) {
    const auto run = runTool(command);
    EXPECT_EQ(run.exitCode, exitCode) << err;
    const size_t start =
        afterLibtiff && run.err.size() > err.size() ? run.err.size() - err.size() : 0;
    EXPECT_EQ(run.err.substr(start), err);
  };
  expectFailure({"copy", good, temp.file("a.tif"), "--dir", "1"}, 2,
                "orvex: --dir 1: " + good + " has 1 directory\n", false);
  expectFailure(
      {"copy", missing, temp.file("a.tif")}, 1,
      "orvex: cannot read " + missing + ": [TiffReader::begin] " + missing + " open file failed!\n",
      true);
  expectFailure(
      {"preview", notTiff, temp.file("a.png")}, 1,
      "orvex: cannot read " + notTiff + ": [TiffReader::begin] " + notTiff + " open file failed!\n",
      true);
  expectFailure({"copy", refused, temp.file("a.tif")}, 1,
                "orvex: cannot read directory 0 of " + refused +
                    ": [TiffReader::createSuitableTiffLineReader] not support photometric:32767!\n",
                false);
  expectFailure({"copy", good, noFolder + ".tif"}, 1,
                "orvex: cannot write " + noFolder + ".tif: [TiffWriter::begin] can't open " +
                    noFolder + ".tif as a TIFF file!\n",
                true);
  expectFailure({"preview", good, noFolder + ".png"}, 1,
                "orvex: cannot write " + noFolder + ".png: No such file or directory\n", true);
}

TEST(CommandLine, VerboseShowsMilestonesOnStderrBeforeOrAfterTheCommand) {
  const std::string file = testDataFile("libtiff/rgb-3c-8b.tiff");
  const std::string opened =
      "[2] [TiffReader::begin] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> begin fileName:" + file + "!\n";
  const std::string closed =
      "[2] [TiffReader::end] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> end fileName:" + file + "!\n";
  for (const auto& command : {std::vector<std::string>{"--verbose", "info", file},
                              std::vector<std::string>{"info", file, "--verbose"}}) {
    const auto run = runTool(command);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(opened), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(closed), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("[0]"), std::string::npos);
    EXPECT_EQ(run.err.find("[1]"), std::string::npos);
  }
  EXPECT_EQ(runTool({"info", file}).err, "");
}

}  // namespace
