// The Python module `orvex`: the library's reader and writer for numpy arrays.
#include <pybind11/pybind11.h>

#include "File.h"
#include "ImageWriter.h"
#include "LibraryCall.h"
#include "Page.h"
#include "PageInfo.h"
#include "RowIterator.h"
#include "Utf8Text.h"
#include "orvex/orvex.h"

namespace py = pybind11;

namespace {

// orvex.Error carries the library's reason, which may quote a file name that is not UTF-8.
void registerError(py::module_& module) {
  py::exception<orvex_python::OrvexError>(module, "Error");
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) {
        std::rethrow_exception(thrown);
      }
    } catch (const orvex_python::OrvexError& error) {
      const py::object type = py::module_::import("orvex").attr("Error");
      PyErr_SetObject(type.ptr(), orvex_python::Utf8Text::toPython(error.what(), "replace").ptr());
    }
  });
}

}  // namespace

PYBIND11_MODULE(orvex, module) {
  module.doc() =
      "Reads and writes TIFF images with the names and kinds of their extra channels (alpha "
      "and spot colours). The library's log records go to the logger \"orvex\".";
  const char* version = nullptr;
  orvexVersionString(&version);
  module.attr("__version__") = version;
  registerError(module);
  orvex_python::PageInfo::bind(module);
  orvex_python::Page::bind(module);
  orvex_python::RowIterator::bind(module);
  orvex_python::File::bind(module);
  orvex_python::ImageWriter::bind(module);
  orvex_python::LibraryCall::connectLog();
}
