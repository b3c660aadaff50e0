// The C interface's observer of the library's log: it gives each thread's records to
// CallRecords and every record to the host's callback.
#pragma once

#include "orvex/orvex_c.h"

namespace orvex {

class LogRelay {
public:
  LogRelay() = delete;

  /// Installs the relay as the logging module's observer. Called whenever a handle is made,
  /// so that a host that observed the log itself for a while gets its reasons back.
  static void attach();
  /// Installs the relay when no call of the C interface has yet; cheap after the first time.
  static void attachOnce();
  /// The host's callback; null for none. The previous one is no longer running on return.
  static void setCallback(orvex_log_callback callback, void* userData);

private:
  static void observe(int level, const char* text, void* context);
};

}  // namespace orvex
