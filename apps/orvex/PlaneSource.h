// One single-channel picture that merge adds to its base as an extra channel: a TIFF read
// through the library, or an 8-bit grey PNG read with libpng. Rows are streamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LogTap.h"
#include "PictureRows.h"
#include "PngReader.h"
#include "ProgressBar.h"
#include "TiffSource.h"

namespace orvex_cli {

/// Opens the file and reads its description on construction; failures are thrown as
/// ToolError.
class PlaneSource {
public:
  PlaneSource(LogTap& log, const std::string& path);

  const std::string& path() const { return path_; }
  /// What keeps the plane from being a channel beside `base`, for the user, who knows `base`
  /// as `reference` ("the base"); empty when nothing does.
  std::string mismatch(const PageInfo& base, const std::string& reference) const;
  /// Scanlines the plane is read in, for a progress bar.
  uint32_t scanlineCount() const;
  /// Size, bits, sample format, photometric, and a TIFF's resolution and ICC profile.
  const PageInfo& shape() const { return shape_; }
  /// Whether 0 shows white in the plane (a PNG's 0 is black).
  bool isMinIsWhite() const { return shape_.photometric == ORVEX_PHOTOMETRIC_MIN_IS_WHITE; }

  /// Starts reading; each scanline read advances `progress`. `inverted` delivers every
  /// sample as its complement (unsigned samples only), for a channel whose 0 shows the
  /// other way.
  void start(ProgressBar& progress, bool inverted);
  size_t rowBytes() const;
  /// Row `y`, rowBytes() long, valid until the next call; rows are asked for top to bottom.
  const uint8_t* row(uint32_t y);

private:
  std::string pngMismatch() const;
  const uint8_t* stored(uint32_t y);

  std::string path_;
  std::unique_ptr<TiffSource> tiff_;
  std::unique_ptr<PictureRows> tiffRows_;
  std::unique_ptr<PngReader> png_;
  std::vector<uint8_t> pngRow_;
  std::vector<uint8_t> invertedRow_;  ///< empty unless inverted
  ProgressBar* progress_ = nullptr;
  PageInfo shape_;  ///< size, channels, bits and sample format, whatever the file type
};

}  // namespace orvex_cli
