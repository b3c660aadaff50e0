// Where the library's log file goes, as ORVEX_LOG_DIR says when the library loads.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ToolRunner.h"
#include "support/TempDir.h"

namespace {

using orvex_cli_test::runTool;

// A file that cannot be opened makes the library log an error, which the file keeps.
TEST(LogFolder, FollowsTheVariableAndAnEmptyOneTurnsTheFileOff) {
  orvex_test::TempDir temporary;
  orvex_test::TempDir logs;
  const std::string missing = temporary.file("missing.tif");
  for (const std::string& folder : {logs.path().u8string(), std::string()}) {
#if defined(_WIN32)
    if (folder.empty()) {
      continue;  // Windows cannot hold an empty environment variable
    }
#endif
    const orvex_cli_test::ToolRun run = runTool(
        {"info", missing}, {{orvex_cli_test::kTemporaryFolderVariable, temporary.path().u8string()},
                            {"ORVEX_LOG_DIR", folder}});
    EXPECT_EQ(run.exitCode, 1);
    const std::string log = logs.file("Orvex.log");
    EXPECT_EQ(std::filesystem::exists(log), !folder.empty());
    if (!folder.empty()) {
      EXPECT_NE(orvex_cli_test::readTextFile(log).find("[4] [TiffReader::begin] " + missing +
                                                       " open file failed!"),
                std::string::npos);
      std::filesystem::remove(log);
    }
    EXPECT_FALSE(std::filesystem::exists(temporary.file("Orvex.log")));
  }
}

}  // namespace
