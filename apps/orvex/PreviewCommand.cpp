#include "PreviewCommand.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace orvex_cli {

ExitCode PreviewCommand::run(LogTap& log, const PreviewOptions& options, std::ostream& out) {
  TiffSource source(log, options.input);
  source.require(options.dir);
  const PageInfo& info = source.info();
  std::string shown;
  {
    ProgressBar progress("preview", info.scanlineCount, PictureRows::rawBytes(info));
    shown = render(source, options.channel, options.output, progress, options.compression);
  }
  out << "wrote " << options.output << ": " << info.width << " x " << info.height << ", " << shown
      << "\n";
  return kExitSuccess;
}

// The PNG is begun before the proof's colour conversion, so that a target that cannot be
// written is the first failure whatever the build converts. It is compressed on a thread of
// its own while the next rows are read and converted.
std::string PreviewCommand::render(TiffSource& source, std::optional<uint16_t> channel,
                                   const std::string& pngPath, ProgressBar& progress,
                                   PngCompression compression) {
  const PageInfo& info = source.info();
  const PreviewLayout layout = PreviewLayout::choose(info, channel);
  const SampleConverter converter(info.bitsPerSample, info.sampleFormat);
  PictureRows rows(source, layout.channel, progress);
  PngWriter png(pngPath, rows.width(), rows.height(), static_cast<unsigned>(layout.samples.size()),
                compression);
  std::unique_ptr<CmykProof> proof = layout.proof ? std::make_unique<CmykProof>(info) : nullptr;
  BackgroundPng background(png, size_t{rows.width()} * layout.samples.size());
  writeRows(layout, converter, rows, proof.get(), background);
  background.finish();
  png.finish();
  return proof ? proof->description() : layout.description;
}

void PreviewCommand::writeRows(const PreviewLayout& layout, const SampleConverter& converter,
                               PictureRows& rows, CmykProof* proof, BackgroundPng& png) {
  std::vector<uint8_t> pngRow(size_t{rows.width()} * layout.samples.size());
  for (uint32_t y = 0; y < rows.height(); ++y) {
    const uint8_t* row = rows.row(y);
    if (proof != nullptr) {
      proof->render(row, pngRow.data());
    } else {
      for (uint32_t x = 0; x < rows.width(); ++x) {
        convertPixel(layout, converter, row, size_t{x} * rows.samplesPerPixel(),
                     pngRow.data() + size_t{x} * layout.samples.size());
      }
    }
    png.writeRow(pngRow.data());
  }
}

void PreviewCommand::convertPixel(const PreviewLayout& layout, const SampleConverter& converter,
                                  const uint8_t* row, size_t firstSample, uint8_t* target) {
  const size_t count = layout.samples.size();
  for (size_t k = 0; k < count; ++k) {
    target[k] = converter.toByte(row, firstSample + layout.samples[k]);
  }
  if (layout.invertFirst) {
    target[0] = static_cast<uint8_t>(255 - target[0]);
  }
  if (layout.premultiplied) {
    const unsigned alpha = target[count - 1];
    for (size_t k = 0; k + 1 < count; ++k) {
      target[k] =
          alpha == 0 ? 0
                     : static_cast<uint8_t>(std::min(255U, (target[k] * 255U + alpha / 2) / alpha));
    }
  }
}

}  // namespace orvex_cli
