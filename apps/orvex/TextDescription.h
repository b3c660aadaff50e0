// The description of a file for people.
#pragma once

#include <ostream>

#include "FileReport.h"

namespace orvex_cli {

class TextDescription {
public:
  /// One line naming the file, then one block per directory.
  static void print(std::ostream& out, const FileReport& report);

private:
  static void printDirectory(std::ostream& out, const DirectoryReport& directory);
  static void printChannels(std::ostream& out, const PageInfo& info);
};

}  // namespace orvex_cli
