#include "Words.h"

namespace orvex_cli {
namespace {

// A value without a word can only come from a file or library newer than this tool.
std::string named(orvex_status (*name)(int32_t, int32_t, const char**), int32_t vocabulary,
                  int32_t value) {
  const char* found = nullptr;
  return name(vocabulary, value, &found) == ORVEX_STATUS_OK && found != nullptr ? found : "unknown";
}

}  // namespace

std::string Words::word(int32_t vocabulary, int32_t value) {
  return named(orvex_word, vocabulary, value);
}

std::string Words::text(int32_t vocabulary, int32_t value) {
  return named(orvex_display_text, vocabulary, value);
}

}  // namespace orvex_cli
