// The tool's window on the library's log, through the logging module's observer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvex_cli {

/// Installs itself as the log observer for its lifetime. It keeps the records that explain
/// a failure (errors, and the milestones that announce a refused directory) so that a
/// command can tell the user why the library said no, and with `verbose` it echoes every
/// record of level 2 and above on stderr.
class LogTap {
public:
  explicit LogTap(bool verbose);
  ~LogTap();
  LogTap(const LogTap&) = delete;
  LogTap& operator=(const LogTap&) = delete;

  /// A position to pass to reasonSince before calling the library.
  size_t mark() const { return reasons_.size(); }
  /// The last explaining record logged after `mark`, or a text saying there was none.
  std::string reasonSince(size_t mark) const;

private:
  static void observe(int level, const char* text, void* context);
  void record(int level, const std::string& text);

  bool verbose_;
  std::vector<std::string> reasons_;
};

}  // namespace orvex_cli
