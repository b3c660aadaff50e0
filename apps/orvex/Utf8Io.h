// The tool speaks UTF-8 everywhere. On Windows the narrow argv and fopen use the ANSI code
// page, which cannot hold most non-ASCII file names, so arguments are taken from the wide
// command line and files are opened by their wide names there.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orvex_cli {

class Utf8Io {
public:
  /// The program's arguments in UTF-8, the program name first.
  static std::vector<std::string> arguments(int argc, char** argv);
  /// fopen of a UTF-8 path.
  static std::FILE* openFile(const std::string& utf8Path, const char* mode);
  /// Lets a console show the UTF-8 the tool prints (a no-op outside Windows).
  static void useUtf8Console();
};

}  // namespace orvex_cli
