#include "support/Transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::string hexOf(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (const uint8_t byte : bytes) {
    text += {' ', "0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
  }
  return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

uint32_t number(const std::string& text) {
  return static_cast<uint32_t>(std::stoul(text, nullptr, 0));
}

std::vector<uint8_t> bytesOf(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < hex.size(); ++i) {
    if (hex[i] == '\'') {
      const size_t end = hex.find('\'', i + 1);
      bytes.insert(bytes.end(), &hex[i + 1], &hex[end]);
      i = end;
    } else if (hex[i] != ' ') {
      bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i++, 2), nullptr, 16)));
    }
  }
  return bytes;
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

std::vector<std::string> transcriptNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(
           std::filesystem::u8path(testDataFile("transcripts/" + folder)))) {
    names.push_back(file.path().stem().u8string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void expectSession(const std::string& name, const std::string& prompt,
                   const std::function<void(const std::string&, const std::string&)>& input,
                   const std::function<std::string(const std::string&)>& step) {
  std::ifstream file(std::filesystem::u8path(testDataFile("transcripts/" + name)),
                     std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("## ", 0) == 0) {
      input(line.substr(3, line.find(": ") - 3), line.substr(line.find(": ") + 2));
    }
    if (line.rfind('#', 0) == 0 || line.rfind(prompt, 0) == 0) lines.push_back(line);
  }
  std::string text;
  for (const std::string& line : lines) {
    text += line.rfind('#', 0) == 0
                ? line + "\n"
                : step(line.substr(prompt.size(), line.find(" = ") - prompt.size()));
  }
  ASSERT_NE(text, "") << name << " is missing or holds nothing to play";
  expectTranscript(name, text);
}

}  // namespace orvex_test
