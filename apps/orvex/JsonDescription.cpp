#include "JsonDescription.h"

#include "Words.h"

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
    json["refusal"] = directory.refusal;
    return json;
  }
  const PageInfo& info = directory.info;
  json["width"] = info.width;
  json["height"] = info.height;
  json["bitsPerSample"] = info.bitsPerSample;
  json["samplesPerPixel"] = info.samplesPerPixel;
  json["extraSamples"] = info.extraSamples;
  json["sampleFormat"] = Words::word(ORVEX_VOCABULARY_SAMPLE_FORMAT, info.sampleFormat);
  json["photometric"] = Words::word(ORVEX_VOCABULARY_PHOTOMETRIC, info.photometric);
  json["xResolution"] = static_cast<double>(info.xResolution);
  json["yResolution"] = static_cast<double>(info.yResolution);
  json["resolutionUnit"] = Words::word(ORVEX_VOCABULARY_RESOLUTION_UNIT, info.resolutionUnit);
  json["scanlineCount"] = info.scanlineCount;
  json["scanlines"] = info.rowScanlines ? "rows" : "columns";
  json["iccProfileBytes"] = info.iccProfile.size();
  json["channels"] = ofChannels(info);
  return json;
}

nlohmann::ordered_json JsonDescription::ofChannels(const PageInfo& info) {
  nlohmann::ordered_json channels = nlohmann::ordered_json::array();
  for (const ChannelRecord& channel : info.channels) {
    nlohmann::ordered_json record = {
        {"kind", Words::word(ORVEX_VOCABULARY_CHANNEL_KIND, channel.kind)}, {"name", channel.name}};
    if (channel.color) {
      record["color"] = {{"space", Words::word(ORVEX_VOCABULARY_COLOR_SPACE, channel.color->space)},
                         {"components", channel.color->components},
                         {"opacity", channel.color->opacity}};
    }
    channels.push_back(record);
  }
  return channels;
}

}  // namespace orvex_cli
