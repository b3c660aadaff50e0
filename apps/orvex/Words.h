// The library's vocabulary: a word for JSON and scripts ("min_is_black", "spot"), a text for
// people ("grey, min is black", "spot colour").
#pragma once

#include <cstdint>
#include <string>

#include "orvex/orvex_c.h"

namespace orvex_cli {

class Words {
public:
  /// The word of `value` in `vocabulary` (ORVEX_VOCABULARY_); "unknown" for a value this
  /// library does not name.
  static std::string word(int32_t vocabulary, int32_t value);
  /// The display text of `value`, likewise.
  static std::string text(int32_t vocabulary, int32_t value);
};

}  // namespace orvex_cli
