#include "psd/PsdText.h"

#include <tiffio.h>

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "psd/PSDDecoder.h"
#include "psd/TiffPhotoshopTagReader.h"
#include "reader/ExtraChannels.h"
#include "reader/TiffHelper.h"
#include "support/LogCapture.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace psd_test {
namespace {

const char* const kKinds[] = {"unspecified", "assoc", "unassoc", "spot"};

std::ostream& print(std::ostream& out, const orvex::PSDColor& color, char space = ',') {
  out << color.colorSpace;
  for (size_t i = 0; i < 4; ++i) out << (i == 0 ? space : ',') << color.components[i];
  return out;
}

}  // namespace

std::string resource(uint16_t id, const std::string& dataHex) {
  const size_t size = orvex_test::bytesOf(dataHex).size();
  std::ostringstream header;
  header << std::hex << std::setfill('0') << "'8BIM' " << std::setw(4) << id << " 0000 "
         << std::setw(8) << size << ' ' << dataHex << (size % 2 != 0 ? " 00 " : " ");
  return header.str();
}

orvex::PSDImageResources resourcesOf(const Bytes& block) {
  const std::unique_ptr<uint8_t[]> copy(new uint8_t[block.size()]);
  std::copy(block.begin(), block.end(), copy.get());
  orvex::PSDDecoder decoder;
  decoder.readImageResources(copy.get(), static_cast<uint32_t>(block.size()));
  return {decoder.alphaNames(), decoder.unicodeAlphaNames(), decoder.displayInfo(),
          decoder.alphaIdentifiers(), decoder.alternateSpotColors()};
}

std::string decoded(const Bytes& block) {
  const orvex::PSDImageResources resources = resourcesOf(block);
  std::ostringstream out;
  if (!resources.alphaNames.empty()) out << "; names";
  for (const std::string& name : resources.alphaNames) out << ' ' << std::quoted(name);
  if (!resources.unicodeAlphaNames.empty()) out << "; unicode";
  for (const std::u16string& name : resources.unicodeAlphaNames) {
    out << (name.empty() ? " -" : " ") << std::hex << std::uppercase;
    for (size_t i = 0; i < name.size(); ++i) out << (i > 0 ? "," : "") << +name[i];
    out << std::dec;
  }
  if (const auto& display = resources.displayInfo) {
    out << "; display " << display->version;
    for (const orvex::ChannelDisplayInfo& entry : display->entries) {
      print(out << ' ', entry.color);
      out << ',' << entry.opacity << ',' << +entry.kind;
    }
  }
  if (const auto& identifiers = resources.alphaIdentifiers) {
    out << "; ids";
    for (uint32_t identifier : identifiers->identifiers) out << ' ' << identifier;
  }
  if (const auto& spots = resources.alternateSpotColors) {
    out << "; spots " << spots->version;
    for (const orvex::AlternateSpotColor& spot : spots->colors) {
      print(out << ' ' << spot.channelId << ',', spot.color);
    }
  }
  return out.str().substr(std::min<size_t>(2, out.str().size()));
}

std::vector<TiffChannelInfo> channelsFrom(const std::string& text) {
  std::vector<TiffChannelInfo> channels;
  std::istringstream in(text + ';');
  for (std::string kind, name;
       std::getline(in >> std::ws, kind, ':') && std::getline(in, name, ';');) {
    const auto known = std::find(std::begin(kKinds), std::end(kKinds), kind);
    const int type = known != std::end(kKinds) ? static_cast<int>(known - kKinds) : std::stoi(kind);
    channels.push_back({static_cast<TiffChannelType>(type), name});
  }
  return channels;
}

std::string channelsOf(const std::string& path) {
  TIFF* tif = orvex_test::openTiff(path, "r");
  orvex::TiffInfo info;
  orvex::TiffHelper::readTiffInfo(tif, info);
  const std::vector<TiffChannelInfo> extraChannels = orvex::ExtraChannels::of(info);
  orvex_test::LogCapture log;
  orvex::TiffPhotoshopTagReader reader;
  const bool read = reader.read(tif, extraChannels);
  TIFFClose(tif);
  std::string text = read ? "" : "false";
  for (const TiffChannelInfo& channel :
       read ? reader.channelInfos() : std::vector<TiffChannelInfo>()) {
    const auto kind = static_cast<size_t>(channel.type);
    text += (text.empty() ? "" : "; ") + std::string(kind < 4 ? kKinds[kind] : "?") + ":" +
            channel.name;
  }
  std::ostringstream colors;
  for (const std::optional<orvex::ChannelColor>& color : reader.channelColors()) {
    colors << (colors.tellp() > 0 ? "; " : "");
    if (color) {
      print(colors, color->color, ' ') << ' ' << color->opacity;
    } else {
      colors << '-';
    }
  }
  return text + "\n" + orvex_test::transcriptOf(log.records()) + colors.str();
}

}  // namespace psd_test
