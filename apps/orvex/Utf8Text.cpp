#include "Utf8Text.h"

#include <cstdint>

namespace orvex_cli {
namespace {

struct LeadByte {
  uint8_t first;
  uint8_t last;
  size_t length;
  uint8_t secondMin;  // the second byte's range rules out overlong forms and surrogates
  uint8_t secondMax;
};

const LeadByte kLeadBytes[] = {
    {0x00, 0x7F, 1, 0, 0},       {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

bool isContinuation(uint8_t byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

size_t Utf8Text::sequenceAt(std::string_view text, size_t at) {
  if (at >= text.size()) {
    return 0;
  }
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
  for (const LeadByte& lead : kLeadBytes) {
    if (byte(0) < lead.first || byte(0) > lead.last) {
      continue;
    }
    if (lead.length == 1) {
      return 1;
    }
    if (at + lead.length > text.size() || byte(1) < lead.secondMin || byte(1) > lead.secondMax) {
      return 0;
    }
    for (size_t i = 2; i < lead.length; ++i) {
      if (!isContinuation(byte(i))) {
        return 0;
      }
    }
    return lead.length;
  }
  return 0;
}

bool Utf8Text::isWellFormed(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = sequenceAt(text, at);
    if (length == 0) {
      return false;
    }
    at += length;
  }
  return true;
}

}  // namespace orvex_cli
