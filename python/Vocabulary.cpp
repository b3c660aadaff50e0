#include "Vocabulary.h"

#include "LibraryCall.h"
#include "orvex/orvex_c.h"

namespace orvex_python {

std::string Vocabulary::word(int32_t vocabulary, int32_t value) {
  const char* word = nullptr;
  LibraryCall().check([&] { return orvex_word(vocabulary, value, &word); });
  return word;
}

int32_t Vocabulary::value(int32_t vocabulary, const std::string& word) {
  int32_t value = 0;
  LibraryCall().check([&] { return orvex_parse_word(vocabulary, word.c_str(), &value); });
  return value;
}

}  // namespace orvex_python
