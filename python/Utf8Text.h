// Text between the library, which speaks UTF-8 in std::string, and Python's str. Bytes that
// are not UTF-8 (a channel name stored in another encoding, a lone surrogate of a damaged
// Unicode name) travel as Python's surrogate escapes, as file names do in `os.fsdecode`, so
// that every name read can be written back byte for byte.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace orvex_python {

class Utf8Text {
public:
  /// `text` decoded as UTF-8, its other bytes handled by the codec error handler `errors`
  /// ("surrogateescape" keeps them, "replace" shows them as U+FFFD).
  static pybind11::str toPython(const std::string& text, const char* errors = "surrogateescape");
  /// The UTF-8 bytes of a str, surrogate escapes turned back into the bytes they stand for.
  /// Throws ValueError (UnicodeEncodeError) for other lone surrogates.
  static std::string fromPython(const pybind11::str& text);
  /// A file name: a str as by fromPython, bytes as they are, or an os.PathLike giving one of
  /// them. Throws TypeError for anything else.
  static std::string path(const pybind11::object& path);
};

}  // namespace orvex_python
