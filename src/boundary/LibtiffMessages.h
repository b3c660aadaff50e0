// libtiff's errors and warnings about the files the library opens, seen through handlers
// attached to each handle. By default they only note the first error of the calling thread
// (with the errno of that moment, before anything else can change it) and let libtiff's own
// handlers print the message; routed, they send it to the log instead.
#pragma once

#include <tiffio.h>

#include <string>

namespace orvex {

/// The first libtiff error on a thread since LibtiffMessages::forget().
struct LibtiffError {
  bool reported = false;
  int systemError = 0;  ///< errno when libtiff reported it
  std::string text;     ///< "module: message"
};

class LibtiffMessages {
public:
  LibtiffMessages() = delete;

  /// Attaches the handlers to a handle about to be opened with `options`.
  static void attachTo(TIFFOpenOptions* options);
  /// Routes the messages to the log (true) or leaves them to libtiff's handlers (false).
  static void route(bool routed);
  static bool routed();

  /// Forgets the calling thread's error, before a call that may fail.
  static void forget();
  /// The calling thread's first error since forget().
  static const LibtiffError& firstError();

private:
  static int onError(TIFF* tif, void* userData, const char* module, const char* format,
                     va_list arguments);
  static int onWarning(TIFF* tif, void* userData, const char* module, const char* format,
                       va_list arguments);
};

}  // namespace orvex
