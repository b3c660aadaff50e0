#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {

py::str Utf8Text::toPython(const std::string& text, const char* errors) {
  PyObject* decoded =
      PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), errors);
  if (decoded == nullptr) {
    throw py::error_already_set();
  }
  return py::reinterpret_steal<py::str>(decoded);
}

std::string Utf8Text::fromPython(const py::str& text) {
  PyObject* encoded = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape");
  if (encoded == nullptr) {
    throw py::error_already_set();
  }
  return py::reinterpret_steal<py::bytes>(encoded);
}

std::string Utf8Text::path(const py::object& path) {
  const py::object name = py::module_::import("os").attr("fspath")(path);
  std::string bytes =
      py::isinstance<py::bytes>(name) ? name.cast<std::string>() : fromPython(py::str(name));
  // The library takes a C string, which would end at the first zero.
  if (bytes.find('\0') != std::string::npos) {
    throw py::value_error("embedded null character in path");
  }
  return bytes;
}

}  // namespace orvex_python
