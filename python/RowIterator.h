// `Page.rows()`: the rows of the upright picture, one at a time.
#pragma once

#include <pybind11/numpy.h>

#include <cstdint>
#include <optional>

#include "Page.h"

namespace orvex_python {

/// Reads one scanline per row, so a picture larger than memory passes through in the space
/// of a row. A page delivered as columns (stored orientations 5 to 8) has every column
/// cross every row: it is read whole on the first step, as the orvex tool does.
class RowIterator {
public:
  RowIterator(Page page, std::optional<uint16_t> channel);

  /// The next row; StopIteration after the last.
  pybind11::object next();

  static void bind(pybind11::module_& module);

private:
  Page page_;
  std::optional<uint16_t> channel_;
  uint32_t next_ = 0;
  std::optional<pybind11::array> picture_;
};

}  // namespace orvex_python
