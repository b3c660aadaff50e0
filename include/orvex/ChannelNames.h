/// \file
/// Repairs channel names as the reader delivers them, for hosts that show or write them.
///
/// The reader converts each 16-bit unit of a file's Unicode channel name to UTF-8 on its own.
/// A character above U+FFFF, stored as a surrogate pair, therefore arrives as two 3-byte
/// sequences, one per surrogate: U+1F600 arrives as `ED A0 BD ED B8 80`. That is not
/// well-formed UTF-8, and the writer refuses it. joinSurrogatePairs() turns each such pair
/// back into the character's one 4-byte sequence (`F0 9F 98 80`); names without
/// supplementary characters come back unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvex {

namespace detail {

/// Reads one surrogate encoded on its own as a 3-byte sequence.
/// \param text The name being repaired.
/// \param at Where the sequence would start.
/// \return The surrogate encoded at `text[at]`, or 0 when there is none there.
inline uint32_t surrogateAt(std::string_view text, size_t at) {
  if (at + 3 > text.size()) {
    return 0;
  }
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
  if (byte(0) != 0xED || (byte(1) & 0xE0) != 0xA0 || (byte(2) & 0xC0) != 0x80) {
    return 0;
  }
  return 0xD000U | ((byte(1) & 0x3FU) << 6) | (byte(2) & 0x3FU);
}

}  // namespace detail

/// Joins every high surrogate directly followed by a low surrogate, each encoded on its own
/// as 3 bytes, into the 4-byte UTF-8 sequence of the character they encode. Every other byte,
/// a lone surrogate among them, is kept as it is.
/// \param name A channel name as TiffChannelInfo::name delivers it.
/// \return The name with its surrogate pairs joined.
inline std::string joinSurrogatePairs(std::string_view name) {
  std::string joined;
  joined.reserve(name.size());
  for (size_t at = 0; at < name.size();) {
    const uint32_t high = detail::surrogateAt(name, at);
    const uint32_t low = detail::surrogateAt(name, at + 3);
    if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
      const uint32_t character = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
      joined += static_cast<char>(0xF0 | (character >> 18));
      joined += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
      joined += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
      joined += static_cast<char>(0x80 | (character & 0x3F));
      at += 6;
    } else {
      joined += name[at];
      ++at;
    }
  }
  return joined;
}

}  // namespace orvex
