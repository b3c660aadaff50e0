#include "CopyCommand.h"

#include "PictureRows.h"

namespace orvex_cli {

ExitCode CopyCommand::run(LogTap& log, const CopyOptions& options, std::ostream& out) {
  TiffTarget::refuseInput(options.output, options.input);
  TiffSource source(log, options.input);
  source.require(options.dir);
  PageInfo info = source.info();
  info.channels = editedChannels(options, info);
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
