// `orvex.open(path)`: an open TIFF file, a sequence of pages and a context manager.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>

#include "Page.h"
#include "SharedReader.h"

namespace orvex_python {

class File {
public:
  /// Opens a file named by str, bytes or os.PathLike; an orvex.Error when the library cannot.
  explicit File(const pybind11::object& path);

  uint32_t size() const { return reader_->pageCount(); }
  /// Page `index`, counted from the end when negative; IndexError beyond the pages.
  Page page(int64_t index) const;
  void close() { reader_->close(); }
  /// <orvex.File 'path', n pages>, the path as it was given.
  std::string repr() const;

  static void bind(pybind11::module_& module);

private:
  std::shared_ptr<SharedReader> reader_;
  pybind11::object path_;
};

}  // namespace orvex_python
