#include "merrow_logger/Logger.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace {

using merrow_logger::Logger;
using merrow_logger::severity_level;

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(Logger, ObserverSeesEveryLevelWithFormattedText) {
  orvex_test::TempDir temp;
  Logger logger("Unit", temp.path().u8string().c_str(), severity_level::error, false, false, false,
                true, 1 << 20, nullptr, nullptr, nullptr);
  orvex_test::LogCapture capture;
  logger.log(severity_level::detail, "[%s] value %u", "Op", 7U);
  logger.log(severity_level::error, "plain");
  const std::vector<orvex_test::LogRecord> expected = {{0, "[Op] value 7"}, {4, "plain"}};
  EXPECT_EQ(capture.records(), expected);
}

TEST(Logger, LongTextsAreNotTruncated) {
  orvex_test::TempDir temp;
  Logger logger("Unit", temp.path().u8string().c_str(), severity_level::error, false, false, false,
                true, 1 << 20, nullptr, nullptr, nullptr);
  orvex_test::LogCapture capture;
  const std::string longText(10000, 'x');
  logger.log(severity_level::warning, "%s!", longText.c_str());
  ASSERT_EQ(capture.records().size(), 1U);
  EXPECT_EQ(capture.records()[0].text, longText + "!");
}

TEST(Logger, FileReceivesRecordsAtOrAboveThreshold) {
  orvex_test::TempDir temp;
  {
    Logger logger("Unit", temp.path().u8string().c_str(), severity_level::warning, false, false,
                  false, true, 1 << 20, nullptr, nullptr, nullptr);
    logger.log(severity_level::milestone, "below the threshold");
    logger.log(severity_level::warning, "a warning %d", 3);
    logger.log(severity_level::error, "an error");
  }
  const std::string content = readFile(temp.file("Unit.log"));
  EXPECT_EQ(content.find("below the threshold"), std::string::npos);
  EXPECT_NE(content.find("[3] a warning 3"), std::string::npos);
  EXPECT_NE(content.find("[4] an error"), std::string::npos);
}

TEST(Logger, RotatesKeepingOnePreviousFile) {
  orvex_test::TempDir temp;
  {
    Logger logger("Unit", temp.path().u8string().c_str(), severity_level::warning, false, false,
                  false, true, 4096, nullptr, nullptr, nullptr);
    const std::string line(200, 'r');
    for (int i = 0; i < 100; ++i) {
      logger.log(severity_level::error, "%s", line.c_str());
    }
  }
  EXPECT_TRUE(std::filesystem::exists(temp.file("Unit.log")));
  EXPECT_TRUE(std::filesystem::exists(temp.file("Unit.1.log")));
  EXPECT_FALSE(std::filesystem::exists(temp.file("Unit.2.log")));
  EXPECT_LE(std::filesystem::file_size(temp.file("Unit.log")), 4096U + 300U);
}

TEST(Logger, UnwritableFolderIsSilentlySkipped) {
  Logger logger("Unit", "/proc/no/such/folder", severity_level::detail, false, false, false, true,
                1 << 20, nullptr, nullptr, nullptr);
  orvex_test::LogCapture capture;
  logger.log(severity_level::error, "still observed");
  EXPECT_TRUE(capture.contains(4, "still observed"));
}

}  // namespace
