#include "MergeCommand.h"

#include <limits>

#include "ChannelList.h"
#include "PackedBits.h"
#include "PictureRows.h"

namespace orvex_cli {
namespace {

// A plane whose 0 shows the other way than the channel's (white for ink, black for light) is
// inverted, so that it looks the same in OUT.
bool invertsPlane(const PlaneOption& option, const PlaneSource& plane) {
  return ChannelList::isInk(ORVEX_PHOTOMETRIC_UNKNOWN, {false, option.kind, option.name}) !=
         plane.isMinIsWhite();
}

}  // namespace

ExitCode MergeCommand::run(LogTap& log, const MergeOptions& options, std::ostream& out) {
  TiffTarget::refuseInput(options.output, options.base);
  for (const PlaneOption& plane : options.planes) {
    TiffTarget::refuseInput(options.output, plane.path);
  }
  TiffSource base(log, options.base);
  base.require(options.dir);
  Planes planes = openPlanes(log, options, base.info());
  const PageInfo info = mergedInfo(base.info(), options.planes);
  const bool separatePlanes = options.separatePlanes.value_or(info.bitsPerSample < 8);
  TiffTarget target(log, options.output, info, separatePlanes);
  {
    uint64_t scanlines =
        uint64_t{base.info().scanlineCount} * (separatePlanes ? base.info().samplesPerPixel : 1);
    for (const auto& plane : planes) {
      scanlines += plane->scanlineCount();
    }
    ProgressBar progress("merge", scanlines, PictureRows::rawBytes(info));
    for (size_t k = 0; k < planes.size(); ++k) {
      planes[k]->start(progress, invertsPlane(options.planes[k], *planes[k]));
    }
    if (separatePlanes) {
      writeSeparate(base, planes, target, progress);
    } else {
      writeInterleaved(base, planes, target, info, progress);
    }
  }
  target.finish();
  report(options, info, separatePlanes, out);
  return kExitSuccess;
}

MergeCommand::Planes MergeCommand::openPlanes(LogTap& log, const MergeOptions& options,
                                              const PageInfo& base) {
  if (options.planes.size() > std::numeric_limits<uint16_t>::max() - size_t{base.samplesPerPixel}) {
    throw ToolError(kExitUsage, "too many planes for one TIFF directory");
  }
  Planes planes;
  for (const PlaneOption& option : options.planes) {
    planes.push_back(std::make_unique<PlaneSource>(log, option.path));
    const std::string mismatch = planes.back()->mismatch(base);
    if (!mismatch.empty()) {
      throw ToolError(kExitFileError, "plane " + option.path + ": " + mismatch);
    }
    if (invertsPlane(option, *planes.back()) && base.sampleFormat != ORVEX_SAMPLE_FORMAT_UINT) {
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
    info.channels.push_back({plane.kind, plane.name, std::nullopt});
  }
  info.samplesPerPixel = static_cast<uint16_t>(info.samplesPerPixel + planes.size());
  info.extraSamples = static_cast<uint16_t>(info.extraSamples + planes.size());
  return info;
}

void MergeCommand::writeInterleaved(TiffSource& base, Planes& planes, TiffTarget& target,
                                    const PageInfo& info, ProgressBar& progress) {
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
        PackedBits::copy(planeRows[k], x * bits, row.data(),
                         x * pixelBits + basePixelBits + k * bits, bits);
      }
    }
    target.write(y, row.data(), row.size());
  }
}

// Separate planes go to libtiff one whole plane after another, so each base channel is a
// pass of its own over the base, as in copy.
void MergeCommand::writeSeparate(TiffSource& base, Planes& planes, TiffTarget& target,
                                 ProgressBar& progress) {
  const uint16_t baseChannels = base.info().samplesPerPixel;
  for (uint16_t channel = 0; channel < baseChannels; ++channel) {
    PictureRows rows(base, channel, progress);
    for (uint32_t y = 0; y < rows.height(); ++y) {
      target.write(channel, y, rows.row(y), rows.rowBytes());
    }
  }
  for (size_t k = 0; k < planes.size(); ++k) {
    const auto channel = static_cast<uint16_t>(baseChannels + k);
    for (uint32_t y = 0; y < base.info().height; ++y) {
      const uint8_t* row = planes[k]->row(y);
      target.write(channel, y, row, planes[k]->rowBytes());
    }
  }
}

void MergeCommand::report(const MergeOptions& options, const PageInfo& info, bool separatePlanes,
                          std::ostream& out) {
  out << "merged directory " << options.dir << " of " << options.base << " and "
      << options.planes.size() << (options.planes.size() == 1 ? " plane" : " planes") << " into "
      << options.output << ": " << TiffTarget::summary(info, separatePlanes) << "\n";
  const std::vector<ChannelLabel> labels = ChannelList::labels(info);
  const size_t first = labels.size() - options.planes.size();
  for (size_t k = 0; k < options.planes.size(); ++k) {
    out << ChannelList::describe(first + k, labels[first + k]) << " <- " << options.planes[k].path
        << "\n";
  }
}

}  // namespace orvex_cli
