#include "CopyCommand.h"

#include "PackedBits.h"
#include "PictureRows.h"

namespace orvex_cli {
namespace {

// The `kept` samples of each pixel of `source`, a row of `rows`, packed into `target`.
void keepSamples(const uint8_t* source, const PictureRows& rows, const std::vector<uint16_t>& kept,
                 size_t bits, uint8_t* target) {
  const size_t pixelBits = rows.samplesPerPixel() * bits;
  size_t to = 0;
  for (size_t x = 0; x < rows.width(); ++x) {
    for (const uint16_t sample : kept) {
      PackedBits::copy(source, x * pixelBits + sample * bits, target, to, bits);
      to += bits;
    }
  }
}

}  // namespace

ExitCode CopyCommand::run(LogTap& log, const CopyOptions& options, std::ostream& out) {
  TiffTarget::refuseInput(options.output, options.input);
  TiffSource source(log, options.input);
  source.require(options.dir);
  PageInfo edited = source.info();
  edited.channels = editedChannels(options, edited);
  const std::vector<uint16_t> kept = keptSamples(options, edited);
  const PageInfo info = keptInfo(edited, kept);
  TiffTarget target(log, options.output, info, options.separatePlanes);
  // Separate planes are written one whole plane after the other (libtiff cannot go back to
  // an earlier plane's strips), so each plane is a pass of its own over the source.
  const uint64_t passes = options.separatePlanes ? info.samplesPerPixel : 1;
  {
    ProgressBar progress("copy", passes * info.scanlineCount, PictureRows::rawBytes(info));
    if (options.separatePlanes) {
      copyPlanes(source, target, kept, progress);
    } else {
      copyInterleaved(source, target, kept, progress);
    }
  }
  target.finish();
  out << "copied directory " << options.dir << " of " << options.input << " to " << options.output
      << ": " << TiffTarget::summary(info, options.separatePlanes) << "\n";
  return kExitSuccess;
}

std::vector<ChannelRecord> CopyCommand::editedChannels(const CopyOptions& options,
                                                       const PageInfo& info) {
  std::vector<ChannelRecord> channels = info.channels;
  for (const auto& [index, name] : options.names) {
    requireChannel(options, "--name", index, channels.size());
    channels[index].name = name;
  }
  for (const auto& [index, kind] : options.kinds) {
    requireChannel(options, "--kind", index, channels.size());
    channels[index].kind = kind;
  }
  return channels;
}

void CopyCommand::requireChannel(const CopyOptions& options, const char* option, uint16_t index,
                                 size_t count) {
  if (index >= count) {
    const std::string extras = count == 0   ? "no extra channels"
                               : count == 1 ? "1 extra channel"
                                            : std::to_string(count) + " extra channels";
    throw ToolError(kExitUsage, std::string(option) + " " + std::to_string(index) + ": directory " +
                                    std::to_string(options.dir) + " of " + options.input + " has " +
                                    extras);
  }
}

// The source samples OUT holds, in order: all but the dropped extra channels.
std::vector<uint16_t> CopyCommand::keptSamples(const CopyOptions& options, const PageInfo& info) {
  for (const uint16_t index : options.drops) {
    requireChannel(options, "--drop", index, info.channels.size());
  }
  const auto colour = static_cast<uint16_t>(info.samplesPerPixel - info.channels.size());
  std::vector<uint16_t> kept;
  for (uint16_t sample = 0; sample < info.samplesPerPixel; ++sample) {
    if (sample < colour || options.drops.count(static_cast<uint16_t>(sample - colour)) == 0) {
      kept.push_back(sample);
    }
  }
  return kept;
}

PageInfo CopyCommand::keptInfo(const PageInfo& edited, const std::vector<uint16_t>& kept) {
  PageInfo info = edited;
  const size_t colour = edited.samplesPerPixel - edited.channels.size();
  info.channels.clear();
  for (const uint16_t sample : kept) {
    if (sample >= colour) {
      info.channels.push_back(edited.channels[sample - colour]);
    }
  }
  info.samplesPerPixel = static_cast<uint16_t>(kept.size());
  info.extraSamples = static_cast<uint16_t>(info.channels.size());
  return info;
}

void CopyCommand::copyInterleaved(TiffSource& source, TiffTarget& target,
                                  const std::vector<uint16_t>& kept, ProgressBar& progress) {
  PictureRows rows(source, std::nullopt, progress);
  const size_t bits = source.info().bitsPerSample;
  std::vector<uint8_t> row(PackedBits::bytesFor(uint64_t{rows.width()} * kept.size() * bits), 0);
  for (uint32_t y = 0; y < rows.height(); ++y) {
    if (kept.size() == rows.samplesPerPixel()) {
      target.write(y, rows.row(y), rows.rowBytes());
    } else {
      keepSamples(rows.row(y), rows, kept, bits, row.data());
      target.write(y, row.data(), row.size());
    }
  }
}

void CopyCommand::copyPlanes(TiffSource& source, TiffTarget& target,
                             const std::vector<uint16_t>& kept, ProgressBar& progress) {
  for (uint16_t channel = 0; channel < kept.size(); ++channel) {
    PictureRows rows(source, kept[channel], progress);
    for (uint32_t y = 0; y < rows.height(); ++y) {
      target.write(channel, y, rows.row(y), rows.rowBytes());
    }
  }
}

}  // namespace orvex_cli
