#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

PyObject* decode(const std::string& text, const char* errors) {
  return PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), errors);
}

py::str stolen(PyObject* text) {
  if (text == nullptr) {
    throw py::error_already_set();
  }
  return py::reinterpret_steal<py::str>(text);
}

}  // namespace

py::str Utf8Text::toPython(const std::string& text, const char* errors) {
  return stolen(decode(text, errors));
}

py::str Utf8Text::channelName(const std::string& bytes) {
  PyObject* name = decode(bytes, "surrogatepass");
  if (name == nullptr) {
    PyErr_Clear();
    name = decode(bytes, "surrogateescape");
  }
  return stolen(name);
}

std::string Utf8Text::channelNameBytes(const py::str& name) {
  PyObject* encoded = PyUnicode_AsEncodedString(name.ptr(), "utf-8", "surrogatepass");
  if (encoded == nullptr) {
    throw py::error_already_set();
  }
  return py::reinterpret_steal<py::bytes>(encoded);
}

std::string Utf8Text::path(const py::object& path) {
  std::string bytes = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
  // The library takes a C string, which would end at the first zero.
  if (bytes.find('\0') != std::string::npos) {
    throw py::value_error("embedded null character in path");
  }
  return bytes;
}

}  // namespace orvex_python
