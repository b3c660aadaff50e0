// `orvex.write(path, array, ...)`: an array written through the library's writer.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ArrayRows.h"
#include "orvex/orvex.h"

namespace orvex_python {

class ImageWriter {
public:
  using Channels = std::vector<std::tuple<pybind11::str, std::string>>;
  using Resolution = std::tuple<double, double, std::string>;

  /// Checks every argument and describes the image, before any file is touched: TypeError
  /// for a dtype the writer cannot take, ValueError for a shape, name or value that does not
  /// fit. Without `photometric`, 1, 3 and 4 colour samples are grey, RGB and CMYK.
  ImageWriter(pybind11::array array, const std::optional<std::string>& photometric,
              const Channels& channels, const Resolution& resolution,
              const pybind11::bytes& iccProfile, const std::string& planar);

  /// Writes the file; orvex.Error with the library's reason when that fails, ValueError when
  /// a channel name is not valid UTF-8.
  void write(const std::string& path);

  static void bind(pybind11::module_& module);

private:
  bool writeRows(ITiffWriter& writer, ArrayRows& rows) const;

  pybind11::array array_;
  TiffImageInfo info_;
  int32_t planarConfig_ = 1;
};

}  // namespace orvex_python
