// A small, valid ICC profile (version 2.1, RGB display class, matrix and gamma curves) for
// the demo image, built byte by byte so that the tool ships no profile file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex_cli {

class IccProfileBuilder {
public:
  /// sRGB primaries adapted to D50 with a 2.2 gamma curve, described as `description`.
  static std::vector<uint8_t> rgbDisplayProfile(const std::string& description);

private:
  struct Tag {
    const char* signature;
    std::vector<uint8_t> element;
  };

  static std::vector<uint8_t> header(uint32_t size);
  static std::vector<uint8_t> textDescription(const std::string& text);
  static std::vector<uint8_t> text(const std::string& text);
  static std::vector<uint8_t> xyz(double x, double y, double z);
  static std::vector<uint8_t> gammaCurve(double gamma);
  static std::vector<uint8_t> assemble(const std::vector<Tag>& tags);
};

}  // namespace orvex_cli
