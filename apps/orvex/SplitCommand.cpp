#include "SplitCommand.h"

#include <filesystem>

#include "IccProfileFile.h"
#include "JsonDescription.h"
#include "PictureRows.h"
#include "PlaneFileNames.h"
#include "PreviewCommand.h"
#include "TiffTarget.h"
#include "Words.h"

namespace orvex_cli {
namespace {

bool isGrey(int32_t photometric) {
  return photometric == ORVEX_PHOTOMETRIC_MIN_IS_BLACK ||
         photometric == ORVEX_PHOTOMETRIC_MIN_IS_WHITE;
}

void makeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(folder), error);
  if (error) {
    throw ToolError(kExitFileError, "cannot create " + folder + ": " + error.message());
  }
}

}  // namespace

ExitCode SplitCommand::run(LogTap& log, const SplitOptions& options, std::ostream& out) {
  TiffSource source(log, options.input);
  source.require(options.dir);
  const PageInfo& info = source.info();
  std::string profilePath;
  const std::vector<Plane> planes = choosePaths(options, info, profilePath);
  makeFolder(options.folder);
  if (!profilePath.empty()) {
    IccProfileFile::write(profilePath, info.iccProfile);
  }
  {
    ProgressBar progress("split", uint64_t{info.samplesPerPixel} * info.scanlineCount,
                         PictureRows::rawBytes(info));
    for (uint16_t channel = 0; channel < planes.size(); ++channel) {
      if (options.png) {
        PreviewCommand::render(source, channel, planes[channel].path, progress);
      } else {
        writeTiff(log, source, channel, planes[channel], progress);
      }
    }
  }
  print(options, planes, profilePath, out);
  return kExitSuccess;
}

std::vector<SplitCommand::Plane> SplitCommand::choosePaths(const SplitOptions& options,
                                                           const PageInfo& info,
                                                           std::string& profilePath) {
  PlaneFileNames names;
  std::vector<Plane> planes;
  for (const ChannelLabel& label : ChannelList::labels(info)) {
    const std::string fileName = names.claim(label.name, options.png ? ".png" : ".tif");
    const std::string path =
        (std::filesystem::u8path(options.folder) / std::filesystem::u8path(fileName)).u8string();
    TiffTarget::refuseInput(path, options.input);
    planes.push_back({label, path});
  }
  if (!info.iccProfile.empty() && !isGrey(info.photometric)) {
    profilePath = (std::filesystem::u8path(options.folder) /
                   std::filesystem::u8path(names.claim("profile", ".icc")))
                      .u8string();
    TiffTarget::refuseInput(profilePath, options.input);
  }
  return planes;
}

// Samples stay as delivered. A plate of ink (a separated image's colour, a spot colour) is
// tagged min-is-white, so that it shows as printed; the grey of a grey image keeps its
// photometric and its profile; any other channel is grey with 0 black.
PageInfo SplitCommand::planeInfo(const PageInfo& info, const ChannelLabel& label) {
  const bool sourceGrey = label.colour && isGrey(info.photometric);
  PageInfo plane;
  plane.width = info.width;
  plane.height = info.height;
  plane.bitsPerSample = info.bitsPerSample;
  plane.samplesPerPixel = 1;
  plane.sampleFormat = info.sampleFormat;
  plane.photometric = sourceGrey ? info.photometric
                      : ChannelList::isInk(info.photometric, label)
                          ? ORVEX_PHOTOMETRIC_MIN_IS_WHITE
                          : ORVEX_PHOTOMETRIC_MIN_IS_BLACK;
  plane.xResolution = info.xResolution;
  plane.yResolution = info.yResolution;
  plane.resolutionUnit = info.resolutionUnit;
  if (sourceGrey) {
    plane.iccProfile = info.iccProfile;
  }
  return plane;
}

void SplitCommand::writeTiff(LogTap& log, TiffSource& source, uint16_t channel, const Plane& plane,
                             ProgressBar& progress) {
  TiffTarget target(log, plane.path, planeInfo(source.info(), plane.label), false);
  PictureRows rows(source, channel, progress);
  for (uint32_t y = 0; y < rows.height(); ++y) {
    target.write(y, rows.row(y), rows.rowBytes());
  }
  target.finish();
}

void SplitCommand::print(const SplitOptions& options, const std::vector<Plane>& planes,
                         const std::string& profilePath, std::ostream& out) {
  if (!options.json) {
    for (size_t channel = 0; channel < planes.size(); ++channel) {
      out << ChannelList::describe(channel, planes[channel].label) << " -> " << planes[channel].path
          << "\n";
    }
    if (!profilePath.empty()) {
      out << "ICC profile -> " << profilePath << "\n";
    }
    return;
  }
  nlohmann::ordered_json channels = nlohmann::ordered_json::array();
  for (size_t channel = 0; channel < planes.size(); ++channel) {
    const ChannelLabel& label = planes[channel].label;
    channels.push_back(
        {{"channel", channel},
         {"kind", label.colour ? "colour" : Words::word(ORVEX_VOCABULARY_CHANNEL_KIND, label.kind)},
         {"name", label.name},
         {"path", planes[channel].path}});
  }
  nlohmann::ordered_json description = {
      {"file", options.input}, {"directory", options.dir}, {"channels", channels}};
  if (!profilePath.empty()) {
    description["icc_profile"] = profilePath;
  }
  JsonDescription::print(out, description);
}

}  // namespace orvex_cli
