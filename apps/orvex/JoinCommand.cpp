#include "JoinCommand.h"

#include "ChannelList.h"
#include "IccProfileFile.h"
#include "PackedBits.h"
#include "PictureRows.h"

namespace orvex_cli {

ExitCode JoinCommand::run(LogTap& log, const JoinOptions& options, std::ostream& out) {
  Planes planes = openPlanes(log, options);
  const PageInfo info = joinedInfo(options, planes.front()->shape());
  const bool separatePlanes = options.separatePlanes.value_or(info.bitsPerSample < 8);
  TiffTarget target(log, options.output, info, separatePlanes);
  {
    ProgressBar progress("join", uint64_t{info.scanlineCount} * planes.size(),
                         PictureRows::rawBytes(info));
    start(planes, info, progress);
    if (separatePlanes) {
      writeSeparate(planes, target, info);
    } else {
      writeInterleaved(planes, target, info);
    }
  }
  target.finish();
  report(options, planes, info, separatePlanes, out);
  return kExitSuccess;
}

JoinCommand::Planes JoinCommand::openPlanes(LogTap& log, const JoinOptions& options) {
  std::vector<std::string> paths = options.colourPlanes;
  for (const PlaneOption& option : options.planes) {
    paths.push_back(option.path);
  }
  for (const std::string& path : paths) {
    TiffTarget::refuseInput(options.output, path);
  }
  Planes planes;
  for (const std::string& path : paths) {
    planes.push_back(std::make_unique<PlaneSource>(log, path));
    const std::string mismatch =
        planes.back()->mismatch(planes.front()->shape(), "the first plane");
    if (!mismatch.empty()) {
      throw ToolError(kExitFileError, "plane " + path + ": " + mismatch);
    }
  }
  return planes;
}

PageInfo JoinCommand::joinedInfo(const JoinOptions& options, const PageInfo& first) {
  PageInfo info = first;
  const bool grey = options.photometric == ORVEX_PHOTOMETRIC_MIN_IS_BLACK;
  info.photometric = grey ? first.photometric : options.photometric;
  info.channels.clear();
  for (const PlaneOption& plane : options.planes) {
    info.channels.push_back({plane.kind, plane.name, plane.color});
  }
  info.extraSamples = static_cast<uint16_t>(options.planes.size());
  info.samplesPerPixel = static_cast<uint16_t>(options.colourPlanes.size() + info.extraSamples);
  if (!options.iccProfile.empty()) {
    info.iccProfile = IccProfileFile::read(options.iccProfile);
  }
  return info;
}

// A plane whose 0 shows the other way than its channel's is inverted; a grey image takes its
// plane's photometric, so its plane is never.
void JoinCommand::start(Planes& planes, const PageInfo& info, ProgressBar& progress) {
  const bool grey = info.photometric == ORVEX_PHOTOMETRIC_MIN_IS_BLACK ||
                    info.photometric == ORVEX_PHOTOMETRIC_MIN_IS_WHITE;
  const std::vector<ChannelLabel> labels = ChannelList::labels(info);
  for (size_t k = 0; k < planes.size(); ++k) {
    const bool inverted =
        !(grey && labels[k].colour) &&
        ChannelList::isInk(info.photometric, labels[k]) != planes[k]->isMinIsWhite();
    if (inverted && info.sampleFormat != ORVEX_SAMPLE_FORMAT_UINT) {
      throw ToolError(kExitFileError, "plane " + planes[k]->path() +
                                          ": its 0 shows the other way than the channel's, and "
                                          "only unsigned samples are inverted");
    }
    planes[k]->start(progress, inverted);
  }
}

void JoinCommand::writeInterleaved(Planes& planes, TiffTarget& target, const PageInfo& info) {
  const size_t bits = info.bitsPerSample;
  const size_t pixelBits = info.samplesPerPixel * bits;
  std::vector<uint8_t> row(PackedBits::bytesFor(uint64_t{info.width} * pixelBits), 0);
  for (uint32_t y = 0; y < info.height; ++y) {
    for (size_t k = 0; k < planes.size(); ++k) {
      const uint8_t* planeRow = planes[k]->row(y);
      for (size_t x = 0; x < info.width; ++x) {
        PackedBits::copy(planeRow, x * bits, row.data(), x * pixelBits + k * bits, bits);
      }
    }
    target.write(y, row.data(), row.size());
  }
}

// Separate planes go to libtiff one whole plane after another.
void JoinCommand::writeSeparate(Planes& planes, TiffTarget& target, const PageInfo& info) {
  for (uint16_t channel = 0; channel < planes.size(); ++channel) {
    for (uint32_t y = 0; y < info.height; ++y) {
      target.write(channel, y, planes[channel]->row(y), planes[channel]->rowBytes());
    }
  }
}

void JoinCommand::report(const JoinOptions& options, const Planes& planes, const PageInfo& info,
                         bool separatePlanes, std::ostream& out) {
  out << "joined " << planes.size() << (planes.size() == 1 ? " plane" : " planes") << " into "
      << options.output << ": " << TiffTarget::summary(info, separatePlanes) << "\n";
  const std::vector<ChannelLabel> labels = ChannelList::labels(info);
  for (size_t k = 0; k < planes.size(); ++k) {
    out << ChannelList::describe(k, labels[k]) << " <- " << planes[k]->path() << "\n";
  }
  if (!options.iccProfile.empty()) {
    out << "ICC profile <- " << options.iccProfile << "\n";
  }
}

}  // namespace orvex_cli
