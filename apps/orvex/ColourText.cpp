#include "ColourText.h"

#include <cmath>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace orvex_cli {
namespace {

const char* const kLab = "lab:";
const char* const kCmyk = "cmyk:";

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// `count` comma-separated decimal numbers, each within [low, high].
std::vector<double> numbers(const std::string& text, size_t count, double low, double high) {
  std::vector<double> values;
  std::istringstream items(text);
  for (std::string item; std::getline(items, item, ',');) {
    size_t used = 0;
    double value = 0.0;
    try {
      value = std::stod(item, &used);
    } catch (const std::logic_error&) {
      used = 0;
    }
    if (item.empty() || used != item.size() || !(value >= low && value <= high)) {
      throw std::invalid_argument("\"" + item + "\" is not a number from " +
                                  std::to_string(static_cast<int>(low)) + " to " +
                                  std::to_string(static_cast<int>(high)));
    }
    values.push_back(value);
  }
  if (values.size() != count || (!text.empty() && text.back() == ',')) {
    throw std::invalid_argument("\"" + text + "\" is not " + std::to_string(count) +
                                " numbers separated by commas");
  }
  return values;
}

uint16_t rounded(double value) {
  return static_cast<uint16_t>(std::lround(value));
}

// A signed hundredth as the 16 bits of an int16_t.
uint16_t signedHundredths(double value) {
  return static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 100.0)));
}

}  // namespace

bool ColourText::isColour(const std::string& text) {
  return startsWith(text, "#") || startsWith(text, kLab) || startsWith(text, kCmyk);
}

ChannelColor ColourText::parse(const std::string& text) {
  if (startsWith(text, kLab)) {
    return lab(text.substr(std::string(kLab).size()));
  }
  if (startsWith(text, kCmyk)) {
    return cmyk(text.substr(std::string(kCmyk).size()));
  }
  return rgb(text.substr(1));
}

ChannelColor ColourText::rgb(const std::string& hex) {
  if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw std::invalid_argument("\"#" + hex + "\" is not # and six hexadecimal digits");
  }
  ChannelColor colour{ORVEX_COLOR_SPACE_RGB, {}, 100, {}};
  for (size_t k = 0; k < 3; ++k) {
    colour.components[k] =
        static_cast<uint16_t>(std::stoul(hex.substr(k * 2, 2), nullptr, 16) * 257);
  }
  return colour;
}

ChannelColor ColourText::lab(const std::string& text) {
  const std::vector<double> values = numbers(text, 3, -128.0, 127.0);
  if (values[0] < 0.0 || values[0] > 100.0) {
    throw std::invalid_argument("L is from 0 to 100");
  }
  return {ORVEX_COLOR_SPACE_LAB,
          {rounded(values[0] * 100.0), signedHundredths(values[1]), signedHundredths(values[2]), 0},
          100,
          {}};
}

// Photoshop stores CMYK as what is left of white: 0 is 100 % ink.
ChannelColor ColourText::cmyk(const std::string& text) {
  const std::vector<double> values = numbers(text, 4, 0.0, 100.0);
  ChannelColor colour{ORVEX_COLOR_SPACE_CMYK, {}, 100, {}};
  for (size_t k = 0; k < 4; ++k) {
    colour.components[k] = rounded((100.0 - values[k]) / 100.0 * 65535.0);
  }
  return colour;
}

}  // namespace orvex_cli
