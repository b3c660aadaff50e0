// Expected output kept as text files in tests/data/transcripts: the whole log of a scenario, or
// what a program prints. A transcript is compared as a whole, so every text, level and line
// order is pinned by one line of test code. ORVEX_UPDATE_TRANSCRIPTS=1 rewrites the files from
// what the code does now; review their diff before committing it.
#pragma once

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

}  // namespace orvex_test
