#include "CopyCommand.h"

#include <filesystem>

#include "PictureRows.h"

namespace orvex_cli {

ExitCode CopyCommand::run(LogTap& log, const CopyOptions& options, std::ostream& out) {
  refuseSameFile(options);
  TiffSource source(log, options.input);
  source.require(options.dir);
  const TiffImageInfo& info = source.info();
  TiffTarget target(log, options.output, info, options.separatePlanes);
  // Separate planes are written one whole plane after the other (libtiff cannot go back to
  // an earlier plane's strips), so each plane is a pass of its own over the source.
  const uint64_t passes = options.separatePlanes ? info.samplesPerPixel : 1;
  {
    ProgressBar progress("copy", passes * info.scanlineCount, PictureRows::rawBytes(info));
    if (options.separatePlanes) {
      copyPlanes(source, target, progress);
    } else {
      copyInterleaved(source, target, progress);
    }
  }
  target.finish();
  out << "copied directory " << options.dir << " of " << options.input << " to " << options.output
      << ": " << info.width << " x " << info.height << ", " << info.samplesPerPixel << " x "
      << info.bitsPerSample << " bits, "
      << (options.separatePlanes ? "separate planes" : "interleaved") << "\n";
  return kExitSuccess;
}

void CopyCommand::refuseSameFile(const CopyOptions& options) {
  std::error_code error;
  if (std::filesystem::equivalent(std::filesystem::u8path(options.input),
                                  std::filesystem::u8path(options.output), error)) {
    throw ToolError(kExitUsage, options.output + " is the input file");
  }
}

void CopyCommand::copyInterleaved(TiffSource& source, TiffTarget& target, ProgressBar& progress) {
  PictureRows rows(source, std::nullopt, progress);
  for (uint32_t y = 0; y < rows.height(); ++y) {
    target.write(y, rows.row(y), rows.rowBytes());
  }
}

void CopyCommand::copyPlanes(TiffSource& source, TiffTarget& target, ProgressBar& progress) {
  for (uint16_t channel = 0; channel < source.info().samplesPerPixel; ++channel) {
    PictureRows rows(source, channel, progress);
    for (uint32_t y = 0; y < rows.height(); ++y) {
      target.write(channel, y, rows.row(y), rows.rowBytes());
    }
  }
}

}  // namespace orvex_cli
