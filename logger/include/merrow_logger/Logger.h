/// \file
/// MerrowLogger: the logging module shared by Orvex and its hosts.
///
/// Orvex writes every diagnostic to one Logger of its own, named "Orvex", built when the
/// library loads with threshold 4: its records of level 4 (errors) are appended to
/// `Orvex.log` in the folder named by the environment variable ORVEX_LOG_DIR at that moment
/// (no file when it is set but empty), or else in the system temporary folder. A host sees
/// every record of every level through merrow_logger_set_observer().
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
/// Marks what the logging module exports: visible outside its shared library, and imported
/// from the DLL by hosts on Windows.
#define MERROW_LOGGER_API __attribute__((visibility("default")))
/// Has the compiler check a printf-style format (argument `fmt`) against the arguments from
/// position `args` on.
#define MERROW_LOGGER_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

namespace merrow_logger {

/// Numeric severities, from fine detail to failure. A record reaches a Logger's default
/// output when its level is at or above the threshold given to the constructor; the observer
/// receives every level.
enum class severity_level : int {
  detail = 0,     ///< Fine detail: a buffer allocated, an optional tag absent.
  dump = 1,       ///< The description of a directory, tag by tag.
  milestone = 2,  ///< An object begins or ends, a file is opened, a choice is made.
  warning = 3,    ///< A default was assumed or an optional step failed; the operation goes on.
  error = 4,      ///< The operation fails.
};

/// A named log with a file as its default output.
///
/// Records at or above the threshold are appended to `<name>.log`, one line each: the time
/// stamp, the level in brackets, the text. The file is opened (created when missing) with
/// the first such record, so a log that never takes one leaves no file. The file is rotated once it passes the size limit,
/// keeping one previous file. Every record, whatever its level, also goes to the observer of
/// merrow_logger_set_observer(). A Logger may be used from several threads at once.
class MERROW_LOGGER_API Logger {
public:
  /// Opens the log. A folder that cannot be written costs only the file output.
  /// \param name Name of the log and of its file; "merrow" when null or empty.
  /// \param folder Folder of the file in UTF-8. When null or empty, the folder is read here
  ///   from the environment variable named after the log: its name in capitals, other
  ///   characters as '_', followed by `_LOG_DIR` (ORVEX_LOG_DIR for "Orvex"); that variable set
  ///   but empty turns the file off; unset, the system temporary folder is used (the current
  ///   folder if there is none).
  /// \param threshold Lowest level written to the file and to stderr.
  /// \param copyToStderr Also writes those records to stderr.
  /// \param reserved1 Reserved; ignored.
  /// \param reserved2 Reserved; ignored.
  /// \param flushEveryRecord Flushes the file after every record; otherwise only after
  ///   errors.
  /// \param maxFileBytes Size at which the file is rotated; 1 MiB when 0.
  /// \param reservedText1 Reserved; ignored.
  /// \param reservedText2 Reserved; ignored.
  /// \param reservedText3 Reserved; ignored.
  Logger(const char* name, const char* folder, severity_level threshold, bool copyToStderr,
         bool reserved1, bool reserved2, bool flushEveryRecord, std::uint64_t maxFileBytes,
         const char* reservedText1, const char* reservedText2, const char* reservedText3);
  /// Flushes and closes the file.
  ~Logger();
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  /// Writes one record. Never throws and never fails its caller.
  /// \param level Severity of the record.
  /// \param format printf-style format; the whole text is kept, without truncation. A null
  ///   format writes nothing.
  /// \param ... The format's arguments.
  void log(severity_level level, const char* format, ...) MERROW_LOGGER_PRINTF(3, 4);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace merrow_logger

extern "C" {

/// Receives the records of every Logger in the process, of every level.
///
/// It is called on the thread that logs, one call at a time across all threads, with the
/// module's observer lock held: it must return quickly and must neither log nor call
/// merrow_logger_set_observer(), which would wait for itself.
/// \param level The record's level, 0 to 4 (see merrow_logger::severity_level).
/// \param text The formatted text, without time stamp or level; valid during the call only.
/// \param context The pointer given to merrow_logger_set_observer().
typedef void (*merrow_logger_observer)(int level, const char* text, void* context);

/// Installs the process's one observer, replacing the previous one. When the call returns,
/// the previous observer is no longer running and will not be called again, so its context
/// may be freed.
/// \param observer The observer; null removes it.
/// \param context Handed to every call of the observer.
MERROW_LOGGER_API void merrow_logger_set_observer(merrow_logger_observer observer, void* context);
}
