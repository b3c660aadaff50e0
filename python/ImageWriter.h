// `orvex.write(path, array, ...)`: an array written through the library's C writer.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ArrayRows.h"
#include "orvex/orvex_c.h"

namespace orvex_python {

class ImageWriter {
public:
  /// Describes the image from orvex.write's arguments: TypeError naming the argument for one
  /// of another type or form, or for a dtype the writer cannot take, ValueError for a shape or
  /// a value out of range, and orvex.InvalidArgumentError for a word the library does not
  /// know. Without `photometric`, 1, 3 and 4 colour samples are grey, RGB and CMYK.
  ImageWriter(const pybind11::object& array, const pybind11::object& photometric,
              const pybind11::object& channels, const pybind11::object& resolution,
              const pybind11::object& iccProfile, const pybind11::object& planar);

  /// Writes the file, which the library checks before the disk is touched and puts in place
  /// of `path` only once it is complete; the orvex.Error of the failing call otherwise.
  void write(const std::string& path);

  static void bind(pybind11::module_& module);

private:
  struct Channel {
    orvex_channel record;  // its name pointer is set for each write
    std::string name;
  };

  void describeChannels(const pybind11::object& channels);

  std::vector<orvex_channel> channelRecords() const;
  orvex_status writeRows(orvex_writer* writer, ArrayRows& rows) const;

  pybind11::array array_;
  orvex_page_info info_{};  // its profile pointer is set for each write
  std::string iccProfile_;
  std::vector<Channel> channels_;
  int32_t planar_ = ORVEX_PLANAR_CONTIG;
};

}  // namespace orvex_python
