#include "MergeCommand.h"

#include <algorithm>
#include <limits>

#include "ChannelList.h"
#include "PackedBits.h"
#include "PictureRows.h"

namespace orvex_cli {
namespace {

// A plane whose 0 shows the other way than its channel's (white for ink, black for light) is
// inverted, so that it looks the same in OUT.
bool invertsPlane(const ChannelLabel& channel, const PlaneSource& plane) {
  return ChannelList::isInk(ORVEX_PHOTOMETRIC_UNKNOWN, channel) != plane.isMinIsWhite();
}

}  // namespace

ExitCode MergeCommand::run(LogTap& log, const MergeOptions& options, std::ostream& out) {
  TiffTarget::refuseInput(options.output, options.base);
  for (const PlaneOption& plane : options.planes) {
    TiffTarget::refuseInput(options.output, plane.path);
  }
  TiffSource base(log, options.base);
  base.require(options.dir);
  const Samples samples = planeSamples(options, base.info());
  const PageInfo info = mergedInfo(base.info(), options.planes);
  const std::vector<ChannelLabel> labels = ChannelList::labels(info);
  std::vector<ChannelLabel> channels;
  for (const uint16_t sample : samples) {
    channels.push_back(labels[sample]);
  }
  Planes planes = openPlanes(log, options, base.info(), channels);
  const bool separatePlanes = options.separatePlanes.value_or(info.bitsPerSample < 8);
  TiffTarget target(log, options.output, info, separatePlanes);
  {
    // Separate planes read each base channel a plane does not replace.
    const size_t replaced = samples.size() - (info.samplesPerPixel - base.info().samplesPerPixel);
    uint64_t scanlines = uint64_t{base.info().scanlineCount} *
                         (separatePlanes ? base.info().samplesPerPixel - replaced : 1);
    for (const auto& plane : planes) {
      scanlines += plane->scanlineCount();
    }
    ProgressBar progress("merge", scanlines, PictureRows::rawBytes(info));
    for (size_t k = 0; k < planes.size(); ++k) {
      planes[k]->start(progress, invertsPlane(channels[k], *planes[k]));
    }
    if (separatePlanes) {
      writeSeparate(base, planes, samples, target, info, progress);
    } else {
      writeInterleaved(base, planes, samples, target, info, progress);
    }
  }
  target.finish();
  report(options, info, samples, separatePlanes, out);
  return kExitSuccess;
}

// Added planes follow the base's samples in the order given; a replacing plane fills the
// sample of the extra channel it names.
MergeCommand::Samples MergeCommand::planeSamples(const MergeOptions& options,
                                                 const PageInfo& base) {
  const size_t colour = base.samplesPerPixel - base.channels.size();
  auto added = base.samplesPerPixel;
  Samples samples;
  for (const PlaneOption& option : options.planes) {
    if (!option.replaces) {
      samples.push_back(added++);
      continue;
    }
    const auto channel =
        std::find_if(base.channels.begin(), base.channels.end(),
                     [&](const ChannelRecord& c) { return c.name == option.name; });
    if (channel == base.channels.end()) {
      throw ToolError(kExitUsage, "--replace " + option.name + ": directory " +
                                      std::to_string(options.dir) + " of " + options.base +
                                      " has no extra channel of that name");
    }
    const auto sample = static_cast<uint16_t>(colour + (channel - base.channels.begin()));
    if (std::find(samples.begin(), samples.end(), sample) != samples.end()) {
      throw ToolError(kExitUsage, "--replace " + option.name + ": given twice");
    }
    samples.push_back(sample);
  }
  return samples;
}

MergeCommand::Planes MergeCommand::openPlanes(LogTap& log, const MergeOptions& options,
                                              const PageInfo& base,
                                              const std::vector<ChannelLabel>& channels) {
  if (options.planes.size() > std::numeric_limits<uint16_t>::max() - size_t{base.samplesPerPixel}) {
    throw ToolError(kExitUsage, "too many planes for one TIFF directory");
  }
  Planes planes;
  for (const PlaneOption& option : options.planes) {
    planes.push_back(std::make_unique<PlaneSource>(log, option.path));
    const std::string mismatch = planes.back()->mismatch(base, "the base");
    if (!mismatch.empty()) {
      throw ToolError(kExitFileError, "plane " + option.path + ": " + mismatch);
    }
    if (invertsPlane(channels[planes.size() - 1], *planes.back()) &&
        base.sampleFormat != ORVEX_SAMPLE_FORMAT_UINT) {
      throw ToolError(kExitFileError, "plane " + option.path +
                                          ": its 0 shows the other way than the channel's, and "
                                          "only unsigned samples are inverted");
    }
  }
  return planes;
}

PageInfo MergeCommand::mergedInfo(const PageInfo& base, const std::vector<PlaneOption>& planes) {
  PageInfo info = base;
  for (const PlaneOption& plane : planes) {
    if (!plane.replaces) {
      info.channels.push_back({plane.kind, plane.name, plane.color});
    }
  }
  const size_t added = info.channels.size() - base.channels.size();
  info.samplesPerPixel = static_cast<uint16_t>(info.samplesPerPixel + added);
  info.extraSamples = static_cast<uint16_t>(info.extraSamples + added);
  return info;
}

void MergeCommand::writeInterleaved(TiffSource& base, Planes& planes, const Samples& samples,
                                    TiffTarget& target, const PageInfo& info,
                                    ProgressBar& progress) {
  PictureRows baseRows(base, std::nullopt, progress);
  const size_t bits = info.bitsPerSample;
  const size_t basePixelBits = baseRows.samplesPerPixel() * bits;
  const size_t pixelBits = info.samplesPerPixel * bits;
  std::vector<uint8_t> row(PackedBits::bytesFor(uint64_t{info.width} * pixelBits), 0);
  std::vector<const uint8_t*> planeRows(planes.size());
  for (uint32_t y = 0; y < info.height; ++y) {
    const uint8_t* baseRow = baseRows.row(y);
    for (size_t k = 0; k < planes.size(); ++k) {
      planeRows[k] = planes[k]->row(y);
    }
    for (size_t x = 0; x < info.width; ++x) {
      PackedBits::copy(baseRow, x * basePixelBits, row.data(), x * pixelBits, basePixelBits);
      for (size_t k = 0; k < planes.size(); ++k) {
        PackedBits::copy(planeRows[k], x * bits, row.data(), x * pixelBits + samples[k] * bits,
                         bits);
      }
    }
    target.write(y, row.data(), row.size());
  }
}

// Separate planes go to libtiff one whole plane after another, so each base channel is a
// pass of its own over the base, as in copy; a channel a plane fills is read from the plane.
void MergeCommand::writeSeparate(TiffSource& base, Planes& planes, const Samples& samples,
                                 TiffTarget& target, const PageInfo& info, ProgressBar& progress) {
  for (uint16_t channel = 0; channel < info.samplesPerPixel; ++channel) {
    const size_t k = std::find(samples.begin(), samples.end(), channel) - samples.begin();
    if (k < planes.size()) {
      for (uint32_t y = 0; y < info.height; ++y) {
        target.write(channel, y, planes[k]->row(y), planes[k]->rowBytes());
      }
      continue;
    }
    PictureRows rows(base, channel, progress);
    for (uint32_t y = 0; y < rows.height(); ++y) {
      target.write(channel, y, rows.row(y), rows.rowBytes());
    }
  }
}

void MergeCommand::report(const MergeOptions& options, const PageInfo& info, const Samples& samples,
                          bool separatePlanes, std::ostream& out) {
  out << "merged directory " << options.dir << " of " << options.base << " and "
      << options.planes.size() << (options.planes.size() == 1 ? " plane" : " planes") << " into "
      << options.output << ": " << TiffTarget::summary(info, separatePlanes) << "\n";
  const std::vector<ChannelLabel> labels = ChannelList::labels(info);
  for (size_t k = 0; k < options.planes.size(); ++k) {
    out << ChannelList::describe(samples[k], labels[samples[k]]) << " <- " << options.planes[k].path
        << "\n";
  }
}

}  // namespace orvex_cli
