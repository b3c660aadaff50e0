// The tool's window on the library's log, through the C interface's log callback.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace orvex_cli {

/// Sends libtiff's errors and warnings into the library's log, where they become part of the
/// failure reasons, instead of stderr. With `verbose` it echoes every record of level 2 and
/// above on stderr for its lifetime.
class LogTap {
public:
  explicit LogTap(bool verbose);
  ~LogTap();
  LogTap(const LogTap&) = delete;
  LogTap& operator=(const LogTap&) = delete;

  /// Called before each call into the library: the echo shows a record that the call
  /// repeats word for word only once.
  void beginCall();
  /// Why the last failing call into the library on this thread failed, as it explains it.
  static std::string lastFailure();

private:
  static void observe(int32_t level, const char* text, void* context);
  void echo(int level, std::string text);

  std::set<std::pair<int, std::string>> echoedInCall_;
};

}  // namespace orvex_cli
