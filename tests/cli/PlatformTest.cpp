// What the tool does with its surroundings: the log folder, a terminal (progress bar), and
// other programs reading what it wrote (exiftool, tiffinfo). The demo, which writes into the
// system temporary folder, is a session.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cli/ToolSession.h"
#include "support/Transcript.h"

namespace {

using orvex_cli_test::kTemporaryFolderVariable;
using orvex_cli_test::runTool;

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
    EXPECT_EQ(runTool({"info", missing}, environment).exitCode, 1);
    {
      std::ifstream log(logs.path() / "Orvex.log");
      const std::string text(std::istreambuf_iterator<char>(log), {});
      EXPECT_EQ(text.find(record) != std::string::npos, !folder.empty()) << text;
    }
    std::filesystem::remove(logs.path() / "Orvex.log");
    EXPECT_FALSE(std::filesystem::exists(temporary.path() / "Orvex.log"));
  }
}

// 16 MiB of samples, the smallest image that counts as large, shows a bar per command on a
// terminal (where stderr is none, the safewriting session shows nothing extra).
TEST(Progress, BarReachesOneHundredPercentOnATerminal) {
  orvex_cli_test::ToolSession session;
  session.writeInput("large.tif", "w4096 h4096 r256");
  // Each command with its bar's label; merge adds the plane split wrote.
  for (const auto& [command, label] :
       {std::pair<std::string, std::string>{"copy TMP/large.tif TMP/out.tif", "copy"},
        {"split TMP/large.tif TMP/planes", "split"},
        {"merge TMP/out.tif TMP/large.tif --spot S=TMP/planes/Grey.tif", "merge"}}) {
    std::string output;
    if (!orvex_cli_test::runToolOnTerminal(session.arguments(command), output)) {
      GTEST_SKIP() << "no pseudo-terminal for the tool: script(1) is missing, or this is Windows";
    }
    EXPECT_NE(output.find("\r" + label + " [........................................]   0%"),
              std::string::npos);
    EXPECT_NE(output.find("\r" + label + " [########################################] 100%"),
              std::string::npos);
  }
}

// exiftool reads the names from the Photoshop image resources, as Photoshop would.
TEST(ChannelNames, ExiftoolReadsMergedAndRenamedNamesAndTiffinfoDoesNotWarn) {
#if defined(_WIN32)
  GTEST_SKIP() << "exiftool and tiffinfo are Linux programs; the Linux build runs this";
#else
  if (std::system("command -v exiftool >/dev/null 2>&1 && command -v tiffinfo >/dev/null 2>&1") !=
      0) {
    GTEST_SKIP() << "exiftool or tiffinfo not installed (scripts/install-deps.sh installs them)";
  }
  orvex_cli_test::ToolSession session;
  for (const char* command :
       {"split DATA/libtiff/rgb-3c-8b.tiff TMP/p",
        "merge TMP/merged.tif DATA/libtiff/rgb-3c-8b.tiff --spot Gold=TMP/p/R.tif --alpha "
        "Mask=TMP/p/G.tif --spot Varnish=TMP/p/B.tif",
        "copy TMP/merged.tif TMP/renamed.tif --name 1=Silver"}) {
    ASSERT_EQ(runTool(session.arguments(command)).exitCode, 0) << command;
  }
  for (const auto& [file, names] : {std::pair{"merged.tif", "Gold, Mask, Varnish\n"},
                                    {"renamed.tif", "Gold, Silver, Varnish\n"}}) {
    const std::string path = session.file(file);
    const std::string command =
        "exiftool -s3 -AlphaChannelsNames '" + path + "' && tiffinfo '" + path + "' >/dev/null";
    const std::string out = session.file("out.txt");
    EXPECT_EQ(std::system(("(" + command + ") >'" + out + "' 2>&1").c_str()), 0) << command;
    std::ifstream printed(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(printed), {}), names) << command;
  }
#endif
}

}  // namespace
