#include "support/Transcript.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/TempDir.h"

namespace orvex_test {

std::string replaced(std::string text, const Replacements& replacements) {
  for (const auto& [from, to] : replacements) {
    for (size_t at = text.find(from); !from.empty() && at != std::string::npos;
         at = text.find(from, at + to.size())) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

std::string transcriptOf(const std::vector<LogRecord>& records, const Replacements& replacements) {
  std::ostringstream text;
  for (const LogRecord& record : records) {
    text << "[" << record.level << "] " << replaced(record.text, replacements) << "\n";
  }
  return text.str();
}

void expectTranscript(const std::string& name, const std::string& actual) {
  const std::filesystem::path file = std::filesystem::u8path(testDataFile("transcripts/" + name));
  if (std::getenv("ORVEX_UPDATE_TRANSCRIPTS") != nullptr) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << actual;
  }
  std::ifstream expected(file, std::ios::binary);
  ASSERT_TRUE(expected) << file.u8string() << " is missing";
  EXPECT_EQ(actual, std::string(std::istreambuf_iterator<char>(expected), {})) << name;
}

}  // namespace orvex_test
