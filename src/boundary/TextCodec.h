// Conversions between the UTF-8 text of the interface and the 16-bit units used for file
// names and Photoshop channel names.
#pragma once

#include <string>

namespace orvex {

class TextCodec {
public:
  /// What becomes of a surrogate code point encoded on its own in 3 bytes (ED A0 80 to
  /// ED BF BF), the form in which the reader delivers a lone surrogate of a Unicode name.
  enum class Surrogates {
    Refused,  ///< Ill-formed, as UTF-8 says.
    Kept,     ///< Converted to that 16-bit unit.
  };

  /// Strict UTF-8 to UTF-16: characters above U+FFFF become surrogate pairs. Ill-formed
  /// input (bad lead or continuation bytes, truncation, overlong forms, encoded surrogates
  /// unless kept, values above U+10FFFF) throws std::range_error("bad conversion").
  static std::u16string utf8ToUtf16(const std::string& text,
                                    Surrogates surrogates = Surrogates::Refused);

  /// True when utf8ToUtf16 would take the text.
  static bool isWellFormed(const std::string& text, Surrogates surrogates = Surrogates::Refused);

  /// Each 16-bit unit written as one character of 1 to 3 bytes (surrogates are not
  /// paired); cannot fail.
  static std::string utf16ToUtf8(const std::u16string& text);
};

}  // namespace orvex
