#include "LogTap.h"

#include <cstdio>
#include <utility>

#include "orvex/orvex_c.h"

namespace orvex_cli {
namespace {

constexpr int kMilestone = 2;

}  // namespace

LogTap::LogTap(bool verbose) {
  orvex_route_libtiff_messages(1);
  if (verbose) {
    orvex_set_log_callback(&LogTap::observe, this);
  }
}

LogTap::~LogTap() {
  orvex_set_log_callback(nullptr, nullptr);
}

void LogTap::beginCall() {
  echoedInCall_.clear();
}

std::string LogTap::lastFailure() {
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  return reason != nullptr ? reason : "";
}

// Some records end in blank lines meant for the log file; on a terminal they only add noise.
void LogTap::observe(int32_t level, const char* text, void* context) {
  std::string shown = text != nullptr ? text : "";
  shown.erase(shown.find_last_not_of("\r\n") + 1);
  static_cast<LogTap*>(context)->echo(level, std::move(shown));
}

// The library logs some steps more than once within one call (the resolution defaults, for
// one, each time it reads the directory's tags).
void LogTap::echo(int level, std::string text) {
  if (level >= kMilestone && echoedInCall_.emplace(level, text).second) {
    std::fprintf(stderr, "[%d] %s\n", level, text.c_str());
  }
}

}  // namespace orvex_cli
