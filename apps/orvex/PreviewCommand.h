// orvex preview IN OUT.png: an 8-bit PNG of what a host receives from one directory.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "BackgroundPng.h"
#include "CmykProof.h"
#include "LogTap.h"
#include "PictureRows.h"
#include "PngWriter.h"
#include "PreviewLayout.h"
#include "ProgressBar.h"
#include "SampleConverter.h"
#include "TiffSource.h"
#include "ToolError.h"

namespace orvex_cli {

struct PreviewOptions {
  std::string input;
  std::string output;
  uint16_t dir = 0;
  std::optional<uint16_t> channel;
  PngCompression compression = PngCompression::Fast;
};

class PreviewCommand {
public:
  static ExitCode run(LogTap& log, const PreviewOptions& options, std::ostream& out);
  /// Writes the PNG of the current directory of `source` (all of it, or one channel) and
  /// says what it shows. Each scanline read advances `progress`.
  static std::string render(TiffSource& source, std::optional<uint16_t> channel,
                            const std::string& pngPath, ProgressBar& progress,
                            PngCompression compression = PngCompression::Fast);

private:
  /// Row after row of `rows` into `png`, each pixel by convertPixel, or as a CMYK proof.
  static void writeRows(const PreviewLayout& layout, const SampleConverter& converter,
                        PictureRows& rows, CmykProof* proof, BackgroundPng& png);
  /// One pixel of the PNG from one delivered pixel.
  static void convertPixel(const PreviewLayout& layout, const SampleConverter& converter,
                           const uint8_t* row, size_t firstSample, uint8_t* target);
};

}  // namespace orvex_cli
