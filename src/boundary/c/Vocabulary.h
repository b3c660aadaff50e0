// One word and one text for people per value of each public enumeration, in both
// directions, so that every host names them alike.
#pragma once

#include <cstdint>

#include "orvex/orvex_c.h"

namespace orvex {

class Vocabulary {
public:
  Vocabulary() = delete;

  static orvex_status word(int32_t vocabulary, int32_t value, const char** word);
  static orvex_status displayText(int32_t vocabulary, int32_t value, const char** text);
  static orvex_status parse(int32_t vocabulary, const char* word, int32_t* value);
};

}  // namespace orvex
