// The library's words for its enumerations (orvex_word, orvex_parse_word), which Python prints
// and takes: "min_is_black", "float", "unassociated_alpha", "spot", "contig"...
#pragma once

#include <cstdint>
#include <string>

namespace orvex_python {

class Vocabulary {
public:
  /// The word of `value` in `vocabulary` (ORVEX_VOCABULARY_); orvex.OutOfRangeError for a
  /// value without one.
  static std::string word(int32_t vocabulary, int32_t value);
  /// The value `word` names; orvex.InvalidArgumentError, a ValueError, for another word.
  static int32_t value(int32_t vocabulary, const std::string& word);
};

}  // namespace orvex_python
