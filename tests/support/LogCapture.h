// Captures the library's log records through the logging module's observer.
#pragma once

#include <string>
#include <vector>

namespace orvex_test {

struct LogRecord {
  int level;
  std::string text;
};

/// Installs itself as the log observer for its lifetime (one at a time).
class LogCapture {
public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<LogRecord>& records() const { return records_; }
  void clear() { records_.clear(); }

private:
  static void observe(int level, const char* text, void* context);
  std::vector<LogRecord> records_;
};

}  // namespace orvex_test
