#include "support/TempDir.h"

#include <atomic>
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

std::string TempDir::file(const std::string& name) const {
  return (path_ / std::filesystem::u8path(name)).u8string();
}

std::string testDataFile(const std::string& relativePath) {
  return std::string(ORVEX_TEST_DATA_DIR) + "/" + relativePath;
}

}  // namespace orvex_test
