// Well-formedness of UTF-8 text: names typed by the user are stored in files as they are, so
// they are checked here, and names read from files are cleaned before they become file names.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvex_cli {

class Utf8Text {
public:
  /// Length of the well-formed sequence that starts at `text[at]` (1 to 4), or 0 when the
  /// bytes there are not one: a stray continuation byte, a truncated or overlong sequence, a
  /// surrogate or a value above U+10FFFF.
  static size_t sequenceAt(std::string_view text, size_t at);
  static bool isWellFormed(std::string_view text);
};

}  // namespace orvex_cli
