#include "PlaneFileNames.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "Utf8Text.h"

namespace orvex_cli {
namespace {

constexpr char kReplacement = '_';
constexpr std::string_view kReservedCharacters = "<>:\"/\\|?*";

bool isControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

std::string lowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Windows opens the device, not a file, for these names whatever extension follows them;
// COM and LPT also take the superscript digits 1 to 3.
bool isReservedDevice(const std::string& stem) {
  std::string device = lowerAscii(stem.substr(0, stem.find('.')));
  device.erase(device.find_last_not_of(' ') + 1);
  if (device == "con" || device == "prn" || device == "aux" || device == "nul") {
    return true;
  }
  const std::string prefix = device.substr(0, 3);
  const std::string number = device.size() > 3 ? device.substr(3) : std::string();
  const bool numbered = (number.size() == 1 && number[0] >= '1' && number[0] <= '9') ||
                        number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
  return (prefix == "com" || prefix == "lpt") && numbered;
}

}  // namespace

std::string PlaneFileNames::safeStem(const std::string& name) {
  std::string stem;
  for (size_t at = 0; at < name.size();) {
    const size_t sequence = Utf8Text::sequenceAt(name, at);
    const size_t length = std::max<size_t>(1, sequence);
    if (stem.size() + length > kMaxStemBytes) {
      break;
    }
    const bool replaced = sequence == 0 || isControl(static_cast<unsigned char>(name[at])) ||
                          kReservedCharacters.find(name[at]) != std::string_view::npos;
    stem += replaced ? std::string(1, kReplacement) : name.substr(at, length);
    at += length;
  }
  stem.erase(stem.find_last_not_of(". ") + 1);
  if (stem.empty() || isReservedDevice(stem)) {
    stem.insert(stem.begin(), kReplacement);
  }
  return stem;
}

std::string PlaneFileNames::claim(const std::string& name, const std::string& extension) {
  const std::string stem = safeStem(name);
  std::string fileName = stem + extension;
  for (unsigned number = 2; !taken_.insert(lowerAscii(fileName)).second; ++number) {
    fileName = stem + " (" + std::to_string(number) + ")" + extension;
  }
  return fileName;
}

}  // namespace orvex_cli
