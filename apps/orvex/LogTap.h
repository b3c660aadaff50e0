// The tool's window on the library's log, through the logging module's observer.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvex_cli {

/// Why a call into the library failed, from the records it logged.
struct Explanation {
  /// The first error, which is the cause (later ones say which step gave up), else the
  /// milestone that refused the directory, else a text saying there was none.
  std::string cause;
  /// Every error and refusing milestone of the call, in the order logged.
  std::vector<std::string> records;
};

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

  /// Called before each call into the library: returns the position to pass to explain.
  /// The echo shows a record that the call repeats word for word only once.
  size_t beginCall();
  /// Why the call begun at `call` failed.
  Explanation explain(size_t call) const;

private:
  struct Record {
    int level;
    std::string text;
  };

  static void observe(int level, const char* text, void* context);
  void record(int level, std::string text);

  bool verbose_;
  std::vector<Record> explaining_;
  std::set<std::pair<int, std::string>> echoedInCall_;
};

}  // namespace orvex_cli
