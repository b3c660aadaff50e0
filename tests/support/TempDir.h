// A fresh temporary folder per test, removed with its contents afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace orvex_test {

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// Full path of a file named `name` inside the folder, as UTF-8.
  std::string file(const std::string& name) const;

private:
  std::filesystem::path path_;
};

/// The bytes of the file at the UTF-8 `path`; empty when it cannot be read.
std::string fileBytes(const std::string& path);

/// Path of a file in the project's tests/data folder.
std::string testDataFile(const std::string& relativePath);

}  // namespace orvex_test
