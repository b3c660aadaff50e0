#include "LogTap.h"

#include <algorithm>
#include <cstdio>

#include "merrow_logger/Logger.h"

namespace orvex_cli {
namespace {

constexpr int kMilestone = 2;
constexpr int kError = 4;

// Most directories the library cannot read are refused at level 4, but a few kinds of
// image (unsupported photometric values, unusable palettes) are refused by a milestone
// saying so; those are the only milestones that explain a failure.
bool isRefusal(int level, const std::string& text) {
  return level >= kError || (level == kMilestone && text.find("not support") != std::string::npos);
}

// Some records end in blank lines meant for the log file; on a terminal they only add noise.
std::string withoutTrailingLineFeeds(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

LogTap::LogTap(bool verbose) : verbose_(verbose) {
  merrow_logger_set_observer(&LogTap::observe, this);
}

LogTap::~LogTap() {
  merrow_logger_set_observer(nullptr, nullptr);
}

size_t LogTap::beginCall() {
  echoedInCall_.clear();
  return explaining_.size();
}

Explanation LogTap::explain(size_t call) const {
  Explanation explanation;
  const auto first = explaining_.begin() + static_cast<std::ptrdiff_t>(call);
  for (auto record = first; record != explaining_.end(); ++record) {
    explanation.records.push_back(record->text);
  }
  const auto error = std::find_if(first, explaining_.end(),
                                  [](const Record& record) { return record.level >= kError; });
  if (error != explaining_.end()) {
    explanation.cause = error->text;
  } else if (first != explaining_.end()) {
    explanation.cause = first->text;
  } else {
    explanation.cause = "the library gave no reason";
  }
  return explanation;
}

void LogTap::observe(int level, const char* text, void* context) {
  static_cast<LogTap*>(context)->record(level,
                                        withoutTrailingLineFeeds(text != nullptr ? text : ""));
}

// The library logs some steps more than once within one call (the resolution defaults, for
// one, each time it reads the directory's tags); the echo shows each record once per call.
void LogTap::record(int level, std::string text) {
  if (verbose_ && level >= kMilestone && echoedInCall_.emplace(level, text).second) {
    std::fprintf(stderr, "[%d] %s\n", level, text.c_str());
  }
  if (isRefusal(level, text)) {
    explaining_.push_back({level, std::move(text)});
  }
}

}  // namespace orvex_cli
