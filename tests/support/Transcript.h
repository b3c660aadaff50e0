// Expected output kept as text files in tests/data/transcripts: the whole log of a scenario, or
// what a program prints. A transcript is compared as a whole, so every text, level and line
// order is pinned by one line of test code. ORVEX_UPDATE_TRANSCRIPTS=1 rewrites the files from
// what the code does now; review their diff before committing it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/LogCapture.h"

namespace orvex_test {

/// Text replaced in a transcript, such as a temporary path by a fixed word.
using Replacements = std::vector<std::pair<std::string, std::string>>;

/// One "[level] text" line per record.
std::string transcriptOf(const std::vector<LogRecord>& records,
                         const Replacements& replacements = {});

/// `text` with every `from` of `replacements` replaced by its `to`.
std::string replaced(std::string text, const Replacements& replacements);

/// Expects `actual` to equal tests/data/transcripts/`name`.
void expectTranscript(const std::string& name, const std::string& actual);

/// The names of the transcripts in tests/data/transcripts/`folder`, without ".txt", sorted.
std::vector<std::string> transcriptNames(const std::string& folder);

/// Plays the session kept as tests/data/transcripts/`name`: `input` writes the file each line
/// "## file: words" declares, then `step` runs each line that starts with `prompt`, given without
/// the prompt and without a result after " = ", and returns what it did as text. Expects the
/// transcript to read its "#" lines where they stand and, in place of each step, that text.
void expectSession(const std::string& name, const std::string& prompt,
                   const std::function<void(const std::string&, const std::string&)>& input,
                   const std::function<std::string(const std::string&)>& step);

/// The non-empty parts of `text` between separators.
std::vector<std::string> split(const std::string& text, char separator);

/// A number in C's notation (9, 0x7F).
uint32_t number(const std::string& text);

/// The bytes of a text of hexadecimal digits, two a byte, blanks ignored; text in single quotes
/// stands for its ASCII bytes ('8BIM').
std::vector<uint8_t> bytesOf(const std::string& hex);

/// The bytes in hexadecimal, each after a blank (" 0a ff").
std::string hexOf(const std::vector<uint8_t>& bytes);

/// FNV-1a of every `step`-th value from `first` on, each folded to 32 bits, in 8 hex digits.
template <typename Values>
std::string fnv1a(const Values& values, size_t first = 0, size_t step = 1) {
  uint32_t hash = 2166136261U;
  for (size_t i = first; i < values.size(); i += step) {
    const uint64_t value = values[i];
    hash = (hash ^ static_cast<uint32_t>(value ^ value >> 32)) * 16777619U;
  }
  char text[9];
  std::snprintf(text, sizeof text, "%08x", hash);
  return text;
}

}  // namespace orvex_test
