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

// Each help ends with its command's own notes and the exit codes; the notes on memory and
// orientation are the copy's alone.
TEST(CommandLine, EachHelpHoldsItsOwnNotes) {
  struct HelpCase {
    std::vector<std::string> command;
    std::vector<const char*> holds;
  };
  const std::string memory = "Only images\nstored in orientations 5 to 8";
  const std::string exitCodes =
      "\nExit codes: 0 success, 1 a file could not be read or written, 2 bad usage.\n";
  for (const HelpCase& help :
       {HelpCase{{"--help"}, {"info", "copy", "preview", "split", "merge", "--verbose"}},
        HelpCase{{"info", "--help"}, {"--json", "first error it logged, which is the\ncause"}},
        HelpCase{{"copy", "--help"}, {"--name I=TEXT", "--kind I=KIND", memory.c_str()}},
        HelpCase{{"split", "--help"}, {"--png", "\"extra N\" when they have\nnone"}},
        HelpCase{{"merge", "--help"}, {"--spot NAME=PLANE", "ends at the first '='"}},
        HelpCase{{"preview", "--help"}, {"--channel", "premultiplied by an associated alpha"}}}) {
    const auto run = runTool(help.command);
    EXPECT_EQ(run.exitCode, 0);
    for (const char* text : help.holds) {
      EXPECT_NE(run.out.find(text), std::string::npos) << help.command[0] << ": " << text;
    }
    EXPECT_EQ(run.out.find(memory) != std::string::npos, help.command[0] == "copy")
        << help.command[0];
    ASSERT_GE(run.out.size(), exitCodes.size());
    EXPECT_EQ(run.out.substr(run.out.size() - exitCodes.size()), exitCodes) << help.command[0];
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

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
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

// The library logs its resolution defaults twice while it begins a directory; the echo shows
// a record once per call, so once for each of two directories.
TEST(CommandLine, VerboseShowsARecordRepeatedWithinOneCallOnce) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("two.tif");
  {
    orvex_test::TiffFileBuilder builder(path);
    orvex_test::TiffSpec grey;
    builder.addDirectory(grey, orvex_test::patternImage(grey));
    builder.addDirectory(grey, orvex_test::patternImage(grey));
  }
  const auto run = runTool({"--verbose", "info", path});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* record : {"[3] [TIFFTAG_XRESOLUTION] no xresolution tag : assume 72.0f\n",
                             "[3] [TIFFTAG_YRESOLUTION] no yresolution tag : assume 72.0f\n"}) {
    EXPECT_EQ(occurrences(run.err, record), 2U) << run.err;
  }
}

}  // namespace
