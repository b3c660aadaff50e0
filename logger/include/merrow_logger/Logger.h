// MerrowLogger: the logging module shared by Orvex and its hosts.
#pragma once

#include <cstdint>
#include <memory>

#if defined(_WIN32)
#if defined(MERROW_LOGGER_BUILDING)
#define MERROW_LOGGER_API __declspec(dllexport)
#else
#define MERROW_LOGGER_API __declspec(dllimport)
#endif
#define MERROW_LOGGER_PRINTF(fmt, args)
#else
#define MERROW_LOGGER_API __attribute__((visibility("default")))
#define MERROW_LOGGER_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

namespace merrow_logger {

/// Numeric severities: a record is written to the default output when its level is at
/// or above the threshold given to the constructor.
enum class severity_level : int {
  detail = 0,     ///< fine detail
  dump = 1,       ///< directory dumps
  milestone = 2,  ///< an object begins or ends, a file is opened
  warning = 3,    ///< a default was assumed; the operation goes on
  error = 4,      ///< the operation fails
};

/// A named log. Records at or above `threshold` are appended, one line each (time stamp,
/// level, text), to `<name>.log` in `folder` (the system temporary folder when null),
/// rotated once the file passes `maxFileBytes` (one previous file is kept).
///
/// Flags: `copyToStderr` also writes those lines to stderr; `flushEveryRecord` flushes the
/// file after each record instead of only for errors. `reserved1` and `reserved2`, and the
/// three trailing texts, are reserved and ignored.
class MERROW_LOGGER_API Logger {
public:
  Logger(const char* name, const char* folder, severity_level threshold, bool copyToStderr,
         bool reserved1, bool reserved2, bool flushEveryRecord, std::uint64_t maxFileBytes,
         const char* reservedText1, const char* reservedText2, const char* reservedText3);
  ~Logger();
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  /// Formats printf-style, without truncation, and hands the record to the observer and
  /// the default output. Safe from several threads; never throws.
  void log(severity_level level, const char* format, ...) MERROW_LOGGER_PRINTF(3, 4);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace merrow_logger

extern "C" {
/// Receives every record of every Logger, whatever its threshold: the level and the
/// formatted text (no time stamp, no level prefix).
typedef void (*merrow_logger_observer)(int level, const char* text, void* context);

/// Installs `observer` (called with `context`); a null observer removes it.
MERROW_LOGGER_API void merrow_logger_set_observer(merrow_logger_observer observer, void* context);
}
