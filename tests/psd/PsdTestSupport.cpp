#include "PsdTestSupport.h"

#include <tiffio.h>

#include <algorithm>

#include "psd/PSDEncoder.h"

bool operator==(const TiffChannelInfo& a, const TiffChannelInfo& b) {
  return a.type == b.type && a.name == b.name;
}

void PrintTo(const TiffChannelInfo& channel, std::ostream* out) {
  *out << "{type " << static_cast<int>(channel.type) << ", \"" << channel.name << "\"}";
}

namespace orvex {
namespace {

template <typename Record>
bool samePointee(const std::shared_ptr<Record>& a, const std::shared_ptr<Record>& b) {
  return a && b ? *a == *b : a == b;
}

}  // namespace

bool operator==(const PSDColor& a, const PSDColor& b) {
  return a.colorSpace == b.colorSpace && a.components == b.components;
}
bool operator==(const AlternateSpotColor& a, const AlternateSpotColor& b) {
  return a.channelId == b.channelId && a.color == b.color;
}
bool operator==(const AlternateSpotColors& a, const AlternateSpotColors& b) {
  return a.version == b.version && a.colors == b.colors;
}
bool operator==(const ChannelDisplayInfo& a, const ChannelDisplayInfo& b) {
  return a.color == b.color && a.opacity == b.opacity && a.kind == b.kind;
}
bool operator==(const DisplayInfo& a, const DisplayInfo& b) {
  return a.version == b.version && a.entries == b.entries;
}
bool operator==(const AlphaIdentifiers& a, const AlphaIdentifiers& b) {
  return a.identifiers == b.identifiers;
}
bool operator==(const PSDImageResources& a, const PSDImageResources& b) {
  return a.alphaNames == b.alphaNames && a.unicodeAlphaNames == b.unicodeAlphaNames &&
         samePointee(a.displayInfo, b.displayInfo) &&
         samePointee(a.alphaIdentifiers, b.alphaIdentifiers) &&
         samePointee(a.alternateSpotColors, b.alternateSpotColors);
}

}  // namespace orvex

namespace psd_test {
namespace {

std::unique_ptr<uint8_t[]> exactCopy(const Bytes& bytes) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return copy;
}

}  // namespace

Bytes cat(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

Bytes be16(uint16_t value) {
  return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

Bytes be32(uint32_t value) {
  return cat({be16(static_cast<uint16_t>(value >> 16)), be16(static_cast<uint16_t>(value))});
}

Bytes ascii(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

Bytes resource(uint16_t id, const Bytes& data) {
  Bytes all =
      cat({ascii("8BIM"), be16(id), {0x00, 0x00}, be32(static_cast<uint32_t>(data.size())), data});
  if (data.size() % 2 != 0) {
    all.push_back(0);
  }
  return all;
}

std::shared_ptr<orvex::PSDDecoder> decodeBlock(const Bytes& block) {
  const auto copy = exactCopy(block);
  auto decoder = std::make_shared<orvex::PSDDecoder>();
  decoder->readImageResources(copy.get(), static_cast<uint32_t>(block.size()));
  return decoder;
}

std::shared_ptr<orvex::PSDDecoder> decodeResource(uint16_t id, const Bytes& data) {
  const auto copy = exactCopy(data);
  auto decoder = std::make_shared<orvex::PSDDecoder>();
  decoder->readImageResource(id, copy.get(), static_cast<uint32_t>(data.size()));
  return decoder;
}

orvex::PSDImageResources resourcesOf(const orvex::PSDDecoder& decoder) {
  return {decoder.alphaNames(), decoder.unicodeAlphaNames(), decoder.displayInfo(),
          decoder.alphaIdentifiers(), decoder.alternateSpotColors()};
}

orvex::PSDColor color(uint16_t colorSpace, uint16_t c0, uint16_t c1, uint16_t c2, uint16_t c3) {
  return orvex::PSDColor{colorSpace, {c0, c1, c2, c3}};
}

orvex::PSDImageResources withNames(std::vector<std::string> names) {
  return {std::move(names), {}, nullptr, nullptr, nullptr};
}

orvex::PSDImageResources withUnicode(std::vector<std::u16string> names) {
  return {{}, std::move(names), nullptr, nullptr, nullptr};
}

orvex::PSDImageResources withIdentifiers(std::vector<uint32_t> identifiers) {
  orvex::PSDImageResources resources;
  resources.alphaIdentifiers =
      std::make_shared<orvex::AlphaIdentifiers>(orvex::AlphaIdentifiers{std::move(identifiers)});
  return resources;
}

orvex::PSDImageResources withSpotColors(uint16_t version,
                                        std::vector<orvex::AlternateSpotColor> colors) {
  orvex::PSDImageResources resources;
  resources.alternateSpotColors = std::make_shared<orvex::AlternateSpotColors>(
      orvex::AlternateSpotColors{version, std::move(colors)});
  return resources;
}

orvex::PSDImageResources withDisplay(uint32_t version,
                                     std::vector<orvex::ChannelDisplayInfo> entries) {
  orvex::PSDImageResources resources;
  resources.displayInfo =
      std::make_shared<orvex::DisplayInfo>(orvex::DisplayInfo{version, std::move(entries)});
  return resources;
}

orvex::PSDImageResources merged(const std::vector<orvex::PSDImageResources>& parts) {
  orvex::PSDImageResources all;
  for (const orvex::PSDImageResources& part : parts) {
    all.alphaNames.insert(all.alphaNames.end(), part.alphaNames.begin(), part.alphaNames.end());
    all.unicodeAlphaNames.insert(all.unicodeAlphaNames.end(), part.unicodeAlphaNames.begin(),
                                 part.unicodeAlphaNames.end());
    all.displayInfo = part.displayInfo ? part.displayInfo : all.displayInfo;
    all.alphaIdentifiers = part.alphaIdentifiers ? part.alphaIdentifiers : all.alphaIdentifiers;
    all.alternateSpotColors =
        part.alternateSpotColors ? part.alternateSpotColors : all.alternateSpotColors;
  }
  return all;
}

Bytes encode(const orvex::PSDImageResources& resources) {
  orvex::PSDEncoder encoder(resources);
  EXPECT_TRUE(encoder.encode());
  return encoder.bytesStream();
}

Bytes readPhotoshopTag(const std::string& path) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (tif == nullptr) {
    return {};
  }
  uint32_t size = 0;
  void* data = nullptr;
  Bytes bytes;
  if (TIFFGetField(tif, TIFFTAG_PHOTOSHOP, &size, &data) != 0 && data != nullptr) {
    const auto* begin = static_cast<const uint8_t*>(data);
    bytes.assign(begin, begin + size);
  }
  TIFFClose(tif);
  return bytes;
}

}  // namespace psd_test
