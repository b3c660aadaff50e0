// An ICC profile as a file of its own: split keeps a colour image's profile beside its plates,
// and join puts it back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex_cli {

class IccProfileFile {
public:
  IccProfileFile() = delete;

  /// Writes `profile` to `path` through a temporary file. Throws ToolError.
  static void write(const std::string& path, const std::vector<uint8_t>& profile);
  /// The profile in `path`, whose first four bytes give its size (big-endian), as in every ICC
  /// profile. Throws ToolError for a file that cannot be read or is no profile. The rest is
  /// taken as it is: what split wrote goes back exactly.
  static std::vector<uint8_t> read(const std::string& path);
};

}  // namespace orvex_cli
