#include "File.h"

#include "Arguments.h"
#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {

File::File(const py::object& path)
    : reader_(std::make_shared<SharedReader>(Utf8Text::path(path))),
      path_(py::module_::import("os").attr("fspath")(path)) {}

Page File::page(int64_t index) const {
  const int64_t count = size();
  const int64_t dir = index < 0 ? index + count : index;
  if (dir < 0 || dir >= count) {
    throw py::index_error("directory " + std::to_string(index) + " out of range");
  }
  return Page(reader_, path_, static_cast<uint32_t>(dir));
}

std::string File::repr() const {
  return "<orvex.File " + py::repr(path_).cast<std::string>() + ", " + std::to_string(size()) +
         " pages>";
}

void File::bind(py::module_& module) {
  py::class_<File>(module, "File", "An open TIFF file: a sequence of pages.")
      .def(py::init<const py::object&>(), py::arg("path"),
           "Opens the file at `path` (str, bytes or os.PathLike), as orvex.open does.")
      .def("__len__", &File::size, "The number of pages.")
      .def("__getitem__", &File::page, py::arg("index"),
           "Page `index`, counted from the end when negative.")
      .def("close", &File::close, "Closes the file; its pages can no longer be read.")
      .def("__repr__", &File::repr, "<orvex.File 'path', n pages>")
      .def(
          "__enter__", [](py::object self) { return self; }, "The file itself.")
      .def(
          "__exit__", [](File& file, const py::args&) { file.close(); }, "Closes the file.")
      .def(py::pickle([](const File& file) { return py::make_tuple(file.path_); },
                      [](const py::tuple& state) {
                        return File(Argument("File state", "(path,)").items(state, 1, 1)[0]);
                      }));
  module.def(
      "open", [](const py::object& path) { return File(path); }, py::arg("path"),
      "Opens a TIFF file for reading: `with orvex.open(path) as f: f[0].read()`.");
}

}  // namespace orvex_python
