// A spot colour as the command line gives it: "#rrggbb", "lab:L,a,b" or "cmyk:c,m,y,k" in
// percent, in Photoshop's encoding of its colour space.
#pragma once

#include <string>

#include "PageInfo.h"

namespace orvex_cli {

class ColourText {
public:
  /// Whether `text` starts as one of the forms ("#", "lab:", "cmyk:").
  static bool isColour(const std::string& text);
  /// The colour, opacity 100; std::invalid_argument, with what is wrong, when a component is
  /// not a number in its range.
  static ChannelColor parse(const std::string& text);

private:
  static ChannelColor rgb(const std::string& hex);
  static ChannelColor lab(const std::string& numbers);
  static ChannelColor cmyk(const std::string& numbers);
};

}  // namespace orvex_cli
