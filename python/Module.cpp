// The Python module `orvex`: the library's reader and writer for numpy arrays.
#include <pybind11/pybind11.h>

#include "Errors.h"
#include "File.h"
#include "ImageWriter.h"
#include "LibraryCall.h"
#include "Page.h"
#include "PageInfo.h"
#include "RowIterator.h"
#include "orvex/orvex_c.h"

PYBIND11_MODULE(orvex, module) {
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
}
