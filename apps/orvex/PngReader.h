// A PNG read row by row with libpng, its samples as stored (no transformations).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orvex_cli {

/// Opens the file and reads its header on construction. Failures are thrown as ToolError.
class PngReader {
public:
  explicit PngReader(const std::string& path);
  ~PngReader();
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  /// True when the file starts with PNG's signature.
  static bool isPng(const std::string& path);

  uint32_t width() const;
  uint32_t height() const;
  unsigned bitDepth() const;
  /// libpng's colour type (PNG_COLOR_TYPE_GRAY, ...).
  int colourType() const;
  bool interlaced() const;
  size_t rowBytes() const;

  /// The next row, rowBytes() long, into `row`.
  void readRow(uint8_t* row);

  struct State;

private:
  void fail();

  std::unique_ptr<State> state_;
};

}  // namespace orvex_cli
