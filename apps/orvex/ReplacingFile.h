// A file the tool writes itself (a PNG) under a temporary name in its target's folder, put in
// place of the target only once it is complete, as the library's writer does with TIFFs.
#pragma once

#include <cstdio>
#include <string>

namespace orvex_cli {

/// The temporary file is created by the constructor; commit() closes it and renames it over
/// the target. Destroyed before a successful commit, it removes the temporary file and the
/// target stays as it was. Failures are thrown as ToolError.
class ReplacingFile {
public:
  explicit ReplacingFile(const std::string& target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  std::FILE* stream() const { return stream_; }
  void commit();

  /// The suffix of every temporary name, after the target's name and a random part.
  static constexpr const char* kSuffix = ".orvex-tmp";

private:
  [[noreturn]] void fail(const std::string& reason) const;

  std::string target_;
  std::string temporary_;
  std::FILE* stream_ = nullptr;
  bool committed_ = false;
};

}  // namespace orvex_cli
