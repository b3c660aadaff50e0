// An 8-bit PNG written row by row with libpng.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orvex_cli {

/// Fast: zlib's level 1 and each row as the difference from its left neighbour (PNG's Sub
/// filter), several times quicker than zlib's default for a file about a third larger. Best:
/// zlib's default level, 6, and the filter libpng finds smallest for each row, as PNG writers
/// do by default; level 9 would take some ten times longer for a file a tenth smaller.
enum class PngCompression { Fast, Best };

/// The file is written under a temporary name from the constructor on and replaces its target
/// in finish(); a writer destroyed before that leaves the target as it was and no temporary
/// file. Failures are thrown as ToolError; a signal noted by Interruption stops the next row.
class PngWriter {
public:
  /// `channels` 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA.
  PngWriter(const std::string& path, uint32_t width, uint32_t height, unsigned channels,
            PngCompression compression = PngCompression::Fast);
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  /// The next row: width x channels bytes.
  void writeRow(const uint8_t* row);
  void finish();

  struct State;

private:
  void fail();

  std::unique_ptr<State> state_;
};

}  // namespace orvex_cli
