// A file written under a temporary name beside its target, put in the target's place only
// once it is complete.
#pragma once

#include <string>

namespace orvex {

class FileReplacement {
public:
  FileReplacement() = delete;

  /// A name in the target's folder that no other writer picks: the target's name followed
  /// by a random suffix.
  static std::string temporaryNameFor(const std::string& target);
  /// Replaces `target` by `temporary` in one step. 0 on success, else the errno value.
  static int replace(const std::string& temporary, const std::string& target);
  /// Removes a file if it is there.
  static void remove(const std::string& path);
  /// Whether `path` names an existing folder, which no file can replace.
  static bool isFolder(const std::string& path);
};

}  // namespace orvex
