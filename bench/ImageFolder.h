// The folder holding the generated images: a fresh temporary one removed at the end, or a
// given one that is kept (so that a profiler can rerun one case without regenerating).
#pragma once

#include <filesystem>
#include <string>

namespace orvex_bench {

class ImageFolder {
public:
  /// A temporary folder when `kept` is empty, else `kept` (created when missing).
  explicit ImageFolder(const std::string& kept);
  ~ImageFolder();
  ImageFolder(const ImageFolder&) = delete;
  ImageFolder& operator=(const ImageFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// Path of the image of case `name`, generated first unless the folder has it.
  std::string imageOf(const std::string& name) const;
  /// Path for a file written by a benchmark.
  std::string outputOf(const std::string& name) const;

  /// Writes every case's image that the folder lacks.
  void generateMissing() const;

private:
  std::filesystem::path path_;
  bool temporary_;
};

}  // namespace orvex_bench
