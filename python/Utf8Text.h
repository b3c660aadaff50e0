// Text between the C interface, which speaks UTF-8, and Python's str.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace orvex_python {

class Utf8Text {
public:
  /// `text` decoded as UTF-8, its other bytes handled by the codec error handler `errors`
  /// ("replace" shows them as U+FFFD).
  static pybind11::str toPython(const std::string& text, const char* errors);
  /// A channel name as the reader delivers it. A lone surrogate, which comes encoded on its
  /// own in 3 bytes, is that surrogate ("surrogatepass"); the bytes of a name that is not
  /// UTF-8 even so (a Pascal name in another encoding) are surrogate escapes.
  static pybind11::str channelName(const std::string& bytes);
  /// A channel name for the writer: its lone surrogates each encoded on its own in 3 bytes,
  /// so that a name read is written back as the same bytes.
  static std::string channelNameBytes(const pybind11::str& name);
  /// A file name as os.fsencode gives it, from str, bytes or os.PathLike. Throws TypeError
  /// for anything else, ValueError for a name with a zero byte.
  static std::string path(const pybind11::object& path);
};

}  // namespace orvex_python
