// The extension module `orvex._orvex`: the library's reader and writer for numpy arrays. The
// package `orvex` (orvex/__init__.py) gives its names with the xarray and dask readers.
#include <pybind11/pybind11.h>

#include "Errors.h"
#include "File.h"
#include "ImageWriter.h"
#include "LibraryCall.h"
#include "Page.h"
#include "PageInfo.h"
#include "RowIterator.h"
#include "orvex/orvex_c.h"

namespace py = pybind11;

PYBIND11_MODULE(_orvex, module) {
  // Classes and functions take the module's name as theirs: they are named, documented and
  // pickled as the package's (orvex.Page), which is where users meet them.
  const py::object ownName = module.attr("__name__");
  module.attr("__name__") = "orvex";
  module.doc() =
      "Reads and writes TIFF images with the names and kinds of their extra channels (alpha "
      "and spot colours). The library's log records go to the logger \"orvex\".";
  const char* version = nullptr;
  orvex_version(nullptr, nullptr, nullptr, &version);
  module.attr("__version__") = version;
  orvex_python::Errors::bind(module);
  orvex_python::PageInfo::bind(module);
  orvex_python::RowIterator::bind(module);  // before Page, whose rows() returns one
  orvex_python::Page::bind(module);
  orvex_python::File::bind(module);
  orvex_python::ImageWriter::bind(module);
  orvex_python::LibraryCall::connectLog();
  module.attr("__name__") = ownName;
}
