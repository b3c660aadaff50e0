// SIGINT and SIGTERM stop a command between two rows, so that what it was writing is
// abandoned rather than left half written.
#pragma once

namespace orvex_cli {

class Interruption {
public:
  /// Installs handlers that only note the signal; signal() works on every platform.
  static void install();
  /// Throws ToolError (exit 128 + the signal's number) once a signal arrived; the unwinding
  /// removes the temporary files of the outputs in progress.
  static void check();
};

}  // namespace orvex_cli
