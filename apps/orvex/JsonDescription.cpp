#include "JsonDescription.h"

#include "EnumNames.h"

namespace orvex_cli {

nlohmann::ordered_json JsonDescription::of(const FileReport& report) {
  nlohmann::ordered_json file;
  file["file"] = report.path;
  if (!report.error.empty()) {
    file["error"] = report.error;
    return file;
  }
  file["directoryCount"] = report.directoryCount;
  file["directories"] = nlohmann::ordered_json::array();
  for (const DirectoryReport& directory : report.directories) {
    file["directories"].push_back(ofDirectory(directory));
  }
  return file;
}

void JsonDescription::print(std::ostream& out, const nlohmann::ordered_json& document) {
  out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

nlohmann::ordered_json JsonDescription::ofDirectory(const DirectoryReport& directory) {
  nlohmann::ordered_json json;
  json["index"] = directory.index;
  json["readable"] = directory.readable;
  if (!directory.readable) {
    json["refusal"] = directory.refusal.cause;
    json["reasons"] = directory.refusal.records;
    return json;
  }
  const TiffImageInfo& info = directory.info;
  json["width"] = info.width;
  json["height"] = info.height;
  json["bitsPerSample"] = info.bitsPerSample;
  json["samplesPerPixel"] = info.samplesPerPixel;
  json["extraSamples"] = info.extraSamples;
  json["sampleFormat"] = EnumNames::of(info.sampleFormat).id;
  json["photometric"] = EnumNames::of(info.photometric).id;
  json["xResolution"] = static_cast<double>(info.xResolution);
  json["yResolution"] = static_cast<double>(info.yResolution);
  json["resolutionUnit"] = EnumNames::of(info.resolutionUnit).id;
  json["scanlineCount"] = info.scanlineCount;
  json["scanlines"] = directory.rowScanlines ? "rows" : "columns";
  json["iccProfileBytes"] = info.iccProfile.size();
  json["channels"] = ofChannels(info);
  return json;
}

nlohmann::ordered_json JsonDescription::ofChannels(const TiffImageInfo& info) {
  nlohmann::ordered_json channels = nlohmann::ordered_json::array();
  for (const TiffChannelInfo& channel : info.channels) {
    channels.push_back({{"type", EnumNames::of(channel.type).id}, {"name", channel.name}});
  }
  return channels;
}

}  // namespace orvex_cli
