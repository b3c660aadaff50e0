#include "boundary/TextCodec.h"

#include <cstdint>
#include <stdexcept>

namespace orvex {
namespace {

[[noreturn]] void badConversion() {
  throw std::range_error("bad conversion");
}

struct SequenceShape {
  int trailingBytes;
  char32_t leadBits;
  char32_t minimum;  // smallest code point this length may encode (rejects overlong forms)
};

SequenceShape shapeOf(unsigned char lead) {
  if (lead < 0x80) {
    return {0, lead, 0};
  }
  if ((lead & 0xE0) == 0xC0) {
    return {1, static_cast<char32_t>(lead & 0x1F), 0x80};
  }
  if ((lead & 0xF0) == 0xE0) {
    return {2, static_cast<char32_t>(lead & 0x0F), 0x800};
  }
  if ((lead & 0xF8) == 0xF0) {
    return {3, static_cast<char32_t>(lead & 0x07), 0x10000};
  }
  badConversion();
}

char32_t decodeOne(const std::string& text, size_t& position, TextCodec::Surrogates surrogates) {
  const SequenceShape shape = shapeOf(static_cast<unsigned char>(text[position]));
  ++position;
  if (text.size() - position < static_cast<size_t>(shape.trailingBytes)) {
    badConversion();
  }
  char32_t codePoint = shape.leadBits;
  for (int i = 0; i < shape.trailingBytes; ++i, ++position) {
    const auto next = static_cast<unsigned char>(text[position]);
    if ((next & 0xC0) != 0x80) {
      badConversion();
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  const bool refusedSurrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF &&
                                surrogates == TextCodec::Surrogates::Refused;
  if (codePoint < shape.minimum || refusedSurrogate || codePoint > 0x10FFFF) {
    badConversion();
  }
  return codePoint;
}

}  // namespace

std::u16string TextCodec::utf8ToUtf16(const std::string& text, Surrogates surrogates) {
  std::u16string units;
  units.reserve(text.size());
  size_t position = 0;
  while (position < text.size()) {
    const char32_t codePoint = decodeOne(text, position, surrogates);
    if (codePoint < 0x10000) {
      units.push_back(static_cast<char16_t>(codePoint));
    } else {
      const char32_t offset = codePoint - 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  return units;
}

bool TextCodec::isWellFormed(const std::string& text, Surrogates surrogates) {
  try {
    utf8ToUtf16(text, surrogates);
    return true;
  } catch (const std::range_error&) {
    return false;
  }
}

std::string TextCodec::utf16ToUtf8(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 3);
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      bytes.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
  }
  return bytes;
}

}  // namespace orvex
