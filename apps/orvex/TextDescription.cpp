#include "TextDescription.h"

#include <iomanip>
#include <string>

#include "EnumNames.h"

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
    out << "refused: " << directory.refusal.cause << "\n";
    return;
  }
  const TiffImageInfo& info = directory.info;
  out << info.width << " x " << info.height << " pixels\n";
  field(out, "samples") << info.samplesPerPixel << " x " << info.bitsPerSample << " bits, "
                        << EnumNames::of(info.sampleFormat).text << ", " << info.extraSamples
                        << " extra\n";
  field(out, "photometric") << EnumNames::of(info.photometric).text << "\n";
  field(out, "resolution") << info.xResolution << " x " << info.yResolution;
  if (info.resolutionUnit == TiffResolutionUnit::Unknown) {
    out << " (no unit)\n";
  } else {
    out << " pixels per " << EnumNames::of(info.resolutionUnit).text << "\n";
  }
  field(out, "scanlines") << (directory.rowScanlines
                                  ? plural(info.scanlineCount, "row", "rows")
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

void TextDescription::printChannels(std::ostream& out, const TiffImageInfo& info) {
  if (info.channels.empty()) {
    field(out, "extra") << "none\n";
    return;
  }
  // Extra samples follow the colour samples; a count above the sample count is the file's
  // inconsistency, and then no sample number is claimed.
  const int firstExtraSample = int{info.samplesPerPixel} - int{info.extraSamples};
  for (size_t i = 0; i < info.channels.size(); ++i) {
    const TiffChannelInfo& channel = info.channels[i];
    field(out, "extra " + std::to_string(i))
        << EnumNames::of(channel.type).text << ", "
        << (channel.name.empty() ? std::string("unnamed") : "\"" + channel.name + "\"");
    if (firstExtraSample >= 0) {
      out << " (sample " << firstExtraSample + static_cast<int>(i) << ")";
    }
    out << "\n";
  }
}

}  // namespace orvex_cli
