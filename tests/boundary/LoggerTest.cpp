#include "merrow_logger/Logger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
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

// A logger writing Unit.log into `folder` from `threshold` up, rotating at `rotationSize`.
std::unique_ptr<Logger> unitLogger(const std::string& folder, severity_level threshold,
                                   std::uint64_t rotationSize = 1 << 20) {
  return std::make_unique<Logger>("Unit", folder.c_str(), threshold, false, false, false, true,
                                  rotationSize, nullptr, nullptr, nullptr);
}

TEST(Logger, ObserverSeesEveryLevelWithWholeFormattedText) {
  orvex_test::TempDir temp;
  const auto logger = unitLogger(temp.path().u8string(), severity_level::error);
  orvex_test::LogCapture capture;
  const std::string longText(10000, 'x');
  logger->log(severity_level::detail, "[%s] value %u", "Op", 7U);
  logger->log(severity_level::error, "plain");
  logger->log(severity_level::warning, "%s!", longText.c_str());  // not truncated
  const std::vector<orvex_test::LogRecord> expected = {
      {0, "[Op] value 7"}, {4, "plain"}, {3, longText + "!"}};
  EXPECT_EQ(capture.records(), expected);
}

TEST(Logger, FileReceivesRecordsAtOrAboveThreshold) {
  orvex_test::TempDir temp;
  {
    const auto logger = unitLogger(temp.path().u8string(), severity_level::warning);
    logger->log(severity_level::milestone, "below the threshold");
    logger->log(severity_level::warning, "a warning %d", 3);
    logger->log(severity_level::error, "an error");
  }
  const std::string content = readFile(temp.file("Unit.log"));
  EXPECT_EQ(content.find("below the threshold"), std::string::npos);
  EXPECT_NE(content.find("[3] a warning 3"), std::string::npos);
  EXPECT_NE(content.find("[4] an error"), std::string::npos);
}

TEST(Logger, RotatesKeepingOnePreviousFile) {
  orvex_test::TempDir temp;
  {
    const auto logger = unitLogger(temp.path().u8string(), severity_level::warning, 4096);
    const std::string line(200, 'r');
    for (int i = 0; i < 100; ++i) {
      logger->log(severity_level::error, "%s", line.c_str());
    }
  }
  EXPECT_TRUE(std::filesystem::exists(temp.file("Unit.log")));
  EXPECT_TRUE(std::filesystem::exists(temp.file("Unit.1.log")));
  EXPECT_FALSE(std::filesystem::exists(temp.file("Unit.2.log")));
  EXPECT_LE(std::filesystem::file_size(temp.file("Unit.log")), 4096U + 300U);
}

TEST(Logger, UnwritableFolderIsSilentlySkipped) {
  const auto logger = unitLogger("/proc/no/such/folder", severity_level::detail);
  orvex_test::LogCapture capture;
  logger->log(severity_level::error, "still observed");
  EXPECT_TRUE(capture.contains(4, "still observed"));
}

// Sets an environment variable for its lifetime and puts the previous value back.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
      previous_ = previous;
    }
    set(value);
  }
  ~ScopedVariable() { set(previous_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
  void set(const std::optional<std::string>& value) const {
#if defined(_WIN32)
    _putenv_s(name_, value.value_or("").c_str());  // an empty value unsets it on Windows
#else
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
#endif
  }

  const char* name_;
  std::optional<std::string> previous_;
};

enum class FileIn { TemporaryFolder, VariableFolder, Nowhere };

class LoggerFolder : public ::testing::TestWithParam<FileIn> {};

// "Probe Log" looks for PROBE_LOG_LOG_DIR when it is given no folder.
TEST_P(LoggerFolder, ComesFromTheVariableNamedAfterTheLog) {
#if defined(_WIN32)
  if (GetParam() == FileIn::Nowhere) {
    GTEST_SKIP() << "Windows cannot hold an empty environment variable";
  }
  const char* const temporaryVariable = "TMP";
#else
  const char* const temporaryVariable = "TMPDIR";
#endif
  orvex_test::TempDir temporary;
  orvex_test::TempDir named;
  {
    const ScopedVariable temporaryFolder(temporaryVariable, temporary.path().u8string());
    const ScopedVariable logFolder("PROBE_LOG_LOG_DIR",
                                   GetParam() == FileIn::TemporaryFolder ? std::nullopt
                                   : GetParam() == FileIn::Nowhere ? std::optional<std::string>("")
                                                                   : named.path().u8string());
    Logger("Probe Log", nullptr, severity_level::error, false, false, false, true, 0, nullptr,
           nullptr, nullptr)
        .log(severity_level::error, "kept");
  }
  EXPECT_EQ(std::filesystem::exists(temporary.file("Probe Log.log")),
            GetParam() == FileIn::TemporaryFolder);
  EXPECT_EQ(std::filesystem::exists(named.file("Probe Log.log")),
            GetParam() == FileIn::VariableFolder);
}

INSTANTIATE_TEST_SUITE_P(Variable, LoggerFolder,
                         ::testing::Values(FileIn::TemporaryFolder, FileIn::VariableFolder,
                                           FileIn::Nowhere));

}  // namespace
