#include "ImageFolder.h"

#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "BenchCases.h"

namespace orvex_bench {
namespace {

std::filesystem::path makeTemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  return pattern;
}

}  // namespace

ImageFolder::ImageFolder(const std::string& kept)
    : path_(kept.empty() ? makeTemporaryFolder() : std::filesystem::path(kept)),
      temporary_(kept.empty()) {
  std::filesystem::create_directories(path_);
}

ImageFolder::~ImageFolder() {
  if (temporary_) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}

std::string ImageFolder::imageOf(const std::string& name) const {
  return (path_ / (name + ".tif")).string();
}

std::string ImageFolder::outputOf(const std::string& name) const {
  return (path_ / (name + "-out.tif")).string();
}

void ImageFolder::generateMissing() const {
  for (const ReadCase& c : readCases()) {
    const std::string path = imageOf(c.name);
    if (std::filesystem::exists(path)) {
      continue;
    }
    // Written under another name first, so an interrupted run leaves no half image behind
    // for the next run with the same folder to take.
    const std::string partial = path + ".part";
    writeBenchImage(partial, c.image);
    std::filesystem::rename(partial, path);
    const double mebibyte = 1 << 20;
    std::cerr << "generated " << path << std::fixed << std::setprecision(1) << ": "
              << static_cast<double>(rawBytesOf(c.image)) / mebibyte << " MiB raw, "
              << static_cast<double>(std::filesystem::file_size(path)) / mebibyte
              << " MiB stored\n";
  }
}

}  // namespace orvex_bench
