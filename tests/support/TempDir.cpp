#include "support/TempDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <unistd.h>

namespace orvex_test {

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const std::string leaf =
      "orvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  path_ = std::filesystem::temp_directory_path() / leaf;
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// Joined as bytes, not through std::filesystem: on Windows that would convert the name to
// UTF-16 and throw on the ill-formed names some tests pass on purpose.
std::string TempDir::file(const std::string& name) const {
  return path_.u8string() + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string testDataFile(const std::string& relativePath) {
  return std::string(ORVEX_TEST_DATA_DIR) + "/" + relativePath;
}

}  // namespace orvex_test
