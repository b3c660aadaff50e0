// What one call of the C interface leaves behind on its thread: the records that explain a
// failure while the call runs, and the reason of the last call that failed.
#pragma once

#include <string>

namespace orvex {

class CallRecords {
public:
  CallRecords() = delete;

  /// Starts collecting for a call on this thread.
  static void begin();
  /// A log record of this thread; kept when it can explain a failure.
  static void note(int level, const char* text);
  /// The file system's error behind the failure, whose words end the reason.
  static void noteSystemError(int error);
  /// Stops collecting. A failed call's reason becomes the thread's last failure: the first
  /// error it logged, else the record that refused a page, else `otherwise` (an exception's
  /// text), then libtiff's first error when its messages are routed to the log, then the
  /// system's words.
  static void end(bool failed, const std::string& otherwise);
  /// The thread's last failure; "" before any.
  static const char* lastFailure();
};

}  // namespace orvex
