// What the tool does with its surroundings: the log folder and a terminal (progress bar). The
// demo, which writes into the system temporary folder, and other programs reading what the tool
// wrote (exiftool, tiffinfo) are sessions.
#include <gtest/gtest.h>

#include "cli/ToolSession.h"

namespace {

using orvex_cli_test::kTemporaryFolderVariable;

// A file that cannot be opened makes the library log an error, which the log file keeps.
TEST(LogFolder, FollowsTheVariableAndAnEmptyOneTurnsTheFileOff) {
  orvex_test::TempDir temporary;
  orvex_test::TempDir logs;
  const std::string missing = temporary.file("missing.tif");
  const std::string record = "[4] [TiffReader::begin] " + missing + " open file failed!";
  for (const std::string& folder : {logs.path().u8string(), std::string()}) {
#if defined(_WIN32)
    if (folder.empty()) {
      continue;  // Windows cannot hold an empty environment variable
    }
#endif
    const orvex_cli_test::Environment environment = {
        {kTemporaryFolderVariable, temporary.path().u8string()}, {"ORVEX_LOG_DIR", folder}};
    EXPECT_EQ(orvex_cli_test::runProgram(ORVEX_CLI_BINARY, {"info", missing}, environment).exitCode,
              1);
    const std::string text = orvex_test::fileBytes(logs.file("Orvex.log"));
    EXPECT_EQ(text.find(record) != std::string::npos, !folder.empty()) << text;
    std::filesystem::remove(logs.path() / "Orvex.log");
    EXPECT_FALSE(std::filesystem::exists(temporary.path() / "Orvex.log"));
  }
}

// 16 MiB of samples, the smallest image that counts as large, shows a bar per command on a
// terminal (where stderr is none, the safewriting session shows nothing extra): script(1) runs
// the tool with stdout and stderr on a pseudo-terminal and prints what it drew.
TEST(Progress, BarReachesOneHundredPercentOnATerminal) {
#if defined(_WIN32)
  GTEST_SKIP() << "a console program under test has no pseudo-terminal to draw on here";
#else
  orvex_cli_test::ToolSession session;
  session.writeInput("large.tif", "w4096 h4096 r256");
  // Each command with its bar's label; merge adds the plane split wrote.
  for (const auto& [command, label] :
       {std::pair<std::string, std::string>{"copy TMP/large.tif TMP/out.tif", "copy"},
        {"split TMP/large.tif TMP/planes", "split"},
        {"merge TMP/out.tif TMP/large.tif --spot S=TMP/planes/Grey.tif", "merge"}}) {
    std::string line = ORVEX_CLI_BINARY;
    for (const std::string& word : session.arguments(command)) line += " '" + word + "'";
    const orvex_cli_test::ToolRun run =
        orvex_cli_test::runProgram("script", {"-qec", line, "/dev/null"});
    if (run.exitCode == 127) GTEST_SKIP() << "script(1) is missing";
    EXPECT_NE(run.out.find("\r" + label + " [........................................]   0%"),
              std::string::npos);
    EXPECT_NE(run.out.find("\r" + label + " [########################################] 100%"),
              std::string::npos);
  }
#endif
}

}  // namespace
