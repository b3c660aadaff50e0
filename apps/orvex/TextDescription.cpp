#include "TextDescription.h"

#include <iomanip>
#include <string>

#include "Words.h"

namespace orvex_cli {
namespace {

std::ostream& field(std::ostream& out, const std::string& label) {
  return out << "  " << std::left << std::setw(14) << (label + ":") << std::right;
}

std::string plural(uint32_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void TextDescription::print(std::ostream& out, const FileReport& report) {
  out << report.path << ": " << plural(report.directoryCount, "directory", "directories") << "\n";
  for (const DirectoryReport& directory : report.directories) {
    printDirectory(out, directory);
  }
}

void TextDescription::printDirectory(std::ostream& out, const DirectoryReport& directory) {
  out << "directory " << directory.index << ": ";
  if (!directory.readable) {
    out << "refused: " << directory.refusal << "\n";
    return;
  }
  const PageInfo& info = directory.info;
  out << info.width << " x " << info.height << " pixels\n";
  field(out, "samples") << info.samplesPerPixel << " x " << info.bitsPerSample << " bits, "
                        << Words::text(ORVEX_VOCABULARY_SAMPLE_FORMAT, info.sampleFormat) << ", "
                        << info.extraSamples << " extra\n";
  field(out, "photometric") << Words::text(ORVEX_VOCABULARY_PHOTOMETRIC, info.photometric) << "\n";
  field(out, "resolution") << info.xResolution << " x " << info.yResolution;
  if (info.resolutionUnit == ORVEX_RESOLUTION_UNIT_UNKNOWN) {
    out << " (no unit)\n";
  } else {
    out << " pixels per " << Words::text(ORVEX_VOCABULARY_RESOLUTION_UNIT, info.resolutionUnit)
        << "\n";
  }
  field(out, "scanlines") << (info.rowScanlines ? plural(info.scanlineCount, "row", "rows")
                                                : plural(info.scanlineCount, "column", "columns") +
                                                      ", transposed by the host")
                          << "\n";
  field(out, "ICC profile") << (info.iccProfile.empty()
                                    ? std::string("none")
                                    : plural(static_cast<uint32_t>(info.iccProfile.size()), "byte",
                                             "bytes"))
                            << "\n";
  printChannels(out, info);
}

void TextDescription::printChannels(std::ostream& out, const PageInfo& info) {
  if (info.channels.empty()) {
    field(out, "extra") << "none\n";
    return;
  }
  // Extra samples follow the colour samples; a count above the sample count is the file's
  // inconsistency, and then no sample number is claimed.
  const int firstExtraSample = int{info.samplesPerPixel} - int{info.extraSamples};
  for (size_t i = 0; i < info.channels.size(); ++i) {
    const ChannelRecord& channel = info.channels[i];
    field(out, "extra " + std::to_string(i))
        << Words::text(ORVEX_VOCABULARY_CHANNEL_KIND, channel.kind) << ", "
        << (channel.name.empty() ? std::string("unnamed") : "\"" + channel.name + "\"");
    if (firstExtraSample >= 0) {
      out << " (sample " << firstExtraSample + static_cast<int>(i) << ")";
    }
    if (channel.color) {
      const ChannelColor& color = *channel.color;
      out << ", shown in " << Words::word(ORVEX_VOCABULARY_COLOR_SPACE, color.space) << " "
          << color.components[0] << " " << color.components[1] << " " << color.components[2] << " "
          << color.components[3] << " at " << color.opacity << "%";
    }
    out << "\n";
  }
}

}  // namespace orvex_cli
