#include "LogTap.h"

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

std::string LogTap::reasonSince(size_t mark) const {
  return reasons_.size() > mark ? reasons_.back() : std::string("the library gave no reason");
}

void LogTap::observe(int level, const char* text, void* context) {
  static_cast<LogTap*>(context)->record(level, text != nullptr ? text : "");
}

void LogTap::record(int level, const std::string& text) {
  if (verbose_ && level >= kMilestone) {
    std::fprintf(stderr, "[%d] %s\n", level, withoutTrailingLineFeeds(text).c_str());
  }
  if (isRefusal(level, text)) {
    reasons_.push_back(withoutTrailingLineFeeds(text));
  }
}

}  // namespace orvex_cli
