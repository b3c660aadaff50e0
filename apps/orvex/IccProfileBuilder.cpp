#include "IccProfileBuilder.h"

#include <cmath>
#include <utility>

namespace orvex_cli {
namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kTagEntryBytes = 12;

void put32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<uint8_t>(value >> shift));
  }
}

void put16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value >> 8));
  bytes.push_back(static_cast<uint8_t>(value));
}

// Byte by byte: GCC 12 takes a range insert into a vector still empty for an overflow.
void putSignature(std::vector<uint8_t>& bytes, const char* signature) {
  for (int i = 0; i < 4; ++i) {
    bytes.push_back(static_cast<uint8_t>(signature[i]));
  }
}

// s15Fixed16Number: signed 16.16 fixed point.
uint32_t fixed16(double value) {
  return static_cast<uint32_t>(static_cast<int32_t>(std::lround(value * 65536.0)));
}

// Tag data elements start on 4-byte boundaries.
void padToFour(std::vector<uint8_t>& bytes) {
  while (bytes.size() % 4 != 0) {
    bytes.push_back(0);
  }
}

// D50, the profile connection space's illuminant.
constexpr double kD50[] = {0.9642, 1.0, 0.8249};

}  // namespace

std::vector<uint8_t> IccProfileBuilder::rgbDisplayProfile(const std::string& description) {
  const std::vector<uint8_t> curve = gammaCurve(2.2);
  return assemble({
      {"desc", textDescription(description)},
      {"cprt", text("No copyright, use freely.")},
      {"wtpt", xyz(kD50[0], kD50[1], kD50[2])},
      {"rXYZ", xyz(0.4361, 0.2225, 0.0139)},
      {"gXYZ", xyz(0.3851, 0.7169, 0.0971)},
      {"bXYZ", xyz(0.1431, 0.0606, 0.7141)},
      {"rTRC", curve},
      {"gTRC", curve},
      {"bTRC", curve},
  });
}

std::vector<uint8_t> IccProfileBuilder::header(uint32_t size) {
  std::vector<uint8_t> bytes;
  put32(bytes, size);
  put32(bytes, 0);           // preferred CMM
  put32(bytes, 0x02100000);  // version 2.1
  putSignature(bytes, "mntr");
  putSignature(bytes, "RGB ");
  putSignature(bytes, "XYZ ");
  for (uint16_t part : {2024, 1, 1, 0, 0, 0}) {  // creation date and time
    put16(bytes, part);
  }
  putSignature(bytes, "acsp");
  bytes.resize(64, 0);  // platform, flags, manufacturer, model, attributes
  put32(bytes, 0);      // perceptual rendering intent
  for (double component : kD50) {
    put32(bytes, fixed16(component));
  }
  bytes.resize(kHeaderBytes, 0);  // creator and reserved bytes
  return bytes;
}

std::vector<uint8_t> IccProfileBuilder::textDescription(const std::string& text) {
  std::vector<uint8_t> bytes;
  putSignature(bytes, "desc");
  put32(bytes, 0);
  put32(bytes, static_cast<uint32_t>(text.size() + 1));
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  put32(bytes, 0);                     // Unicode language code
  put32(bytes, 0);                     // Unicode character count
  put16(bytes, 0);                     // ScriptCode code
  bytes.push_back(0);                  // ScriptCode character count
  bytes.resize(bytes.size() + 67, 0);  // ScriptCode text
  return bytes;
}

std::vector<uint8_t> IccProfileBuilder::text(const std::string& text) {
  std::vector<uint8_t> bytes;
  putSignature(bytes, "text");
  put32(bytes, 0);
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

std::vector<uint8_t> IccProfileBuilder::xyz(double x, double y, double z) {
  std::vector<uint8_t> bytes;
  putSignature(bytes, "XYZ ");
  put32(bytes, 0);
  for (double component : {x, y, z}) {
    put32(bytes, fixed16(component));
  }
  return bytes;
}

std::vector<uint8_t> IccProfileBuilder::gammaCurve(double gamma) {
  std::vector<uint8_t> bytes;
  putSignature(bytes, "curv");
  put32(bytes, 0);
  put32(bytes, 1);  // one entry: a gamma value in u8Fixed8Number
  put16(bytes, static_cast<uint16_t>(std::lround(gamma * 256.0)));
  return bytes;
}

// Tags with identical elements share one copy, as profile writers usually do for the three
// tone curves.
std::vector<uint8_t> IccProfileBuilder::assemble(const std::vector<Tag>& tags) {
  std::vector<uint8_t> table;
  put32(table, static_cast<uint32_t>(tags.size()));
  std::vector<uint8_t> data;
  const size_t dataStart = kHeaderBytes + 4 + kTagEntryBytes * tags.size();
  std::vector<std::pair<const std::vector<uint8_t>*, size_t>> placed;
  for (const Tag& tag : tags) {
    size_t offset = 0;
    for (const auto& [element, at] : placed) {
      if (*element == tag.element) {
        offset = at;
      }
    }
    if (offset == 0) {
      padToFour(data);
      offset = dataStart + data.size();
      data.insert(data.end(), tag.element.begin(), tag.element.end());
      placed.emplace_back(&tag.element, offset);
    }
    putSignature(table, tag.signature);
    put32(table, static_cast<uint32_t>(offset));
    put32(table, static_cast<uint32_t>(tag.element.size()));
  }
  padToFour(data);
  std::vector<uint8_t> profile =
      header(static_cast<uint32_t>(kHeaderBytes + table.size() + data.size()));
  profile.insert(profile.end(), table.begin(), table.end());
  profile.insert(profile.end(), data.begin(), data.end());
  return profile;
}

}  // namespace orvex_cli
