#include "PsdTestSupport.h"

#include <tiffio.h>

#include <algorithm>

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

Bytes resource(uint16_t id, const Bytes& data, const std::string& name) {
  Bytes name8 = cat({{static_cast<uint8_t>(name.size())}, ascii(name)});
  if (name8.size() % 2 != 0) {
    name8.push_back(0);
  }
  Bytes all = cat({ascii("8BIM"), be16(id), name8, be32(static_cast<uint32_t>(data.size())), data});
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
  orvex::PSDImageResources resources;
  resources.alphaNames = decoder.alphaNames();
  resources.unicodeAlphaNames = decoder.unicodeAlphaNames();
  resources.displayInfo = decoder.displayInfo();
  resources.alphaIdentifiers = decoder.alphaIdentifiers();
  resources.alternateSpotColors = decoder.alternateSpotColors();
  return resources;
}

Bytes pascalNames(const std::vector<std::string>& names) {
  Bytes data;
  for (const std::string& name : names) {
    data = cat({data, {static_cast<uint8_t>(name.size())}, ascii(name)});
  }
  return resource(1006, data);
}

Bytes unicodeNames(const std::vector<std::u16string>& names) {
  Bytes data;
  for (const std::u16string& name : names) {
    data = cat({data, be32(static_cast<uint32_t>(name.size() + 1))});
    for (char16_t unit : name) {
      data = cat({data, be16(unit)});
    }
    data = cat({data, be16(0)});
  }
  return resource(1045, data);
}

Bytes alphaIdentifiers(const std::vector<uint32_t>& identifiers) {
  Bytes data;
  for (uint32_t identifier : identifiers) {
    data = cat({data, be32(identifier)});
  }
  return resource(1053, data);
}

Bytes spotColors(const std::vector<uint32_t>& channelIds) {
  Bytes data = cat({be16(1), be16(static_cast<uint16_t>(channelIds.size()))});
  for (uint32_t channelId : channelIds) {
    data = cat({data, be32(channelId), be16(7), be16(12800), be16(0), be16(0), be16(0)});
  }
  return resource(1067, data);
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
