// `Page.info`: a page as the library describes it, with the enumerations as words.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orvex/orvex_c.h"

namespace orvex_python {

class PageInfo {
public:
  /// Reads the description of the page `reader` has selected, its profile and one record
  /// per extra sample; called with the GIL released.
  orvex_status read(orvex_reader* reader);

  const orvex_page_info& description() const { return info_; }
  /// (x, y, unit), as orvex.write takes it, each number the shortest decimal of its float.
  pybind11::tuple resolution() const;
  /// [(name, kind), ...], one per extra sample, as orvex.write takes them.
  pybind11::list channels() const;
  /// [(name, kind), ...], one per sample: colour samples named as the orvex tool names
  /// them, of kind "colour", then the extra channels, "extra N" when unnamed.
  pybind11::list samples() const;
  /// [colour or None, ...], one per extra sample, as ChannelColor gives them.
  pybind11::list colors() const;
  pybind11::bytes iccProfile() const { return pybind11::bytes(iccProfile_); }
  std::string repr() const;
  /// `self == other` for Python: NotImplemented for another type.
  static pybind11::object equals(const pybind11::object& self, const pybind11::object& other);

  /// The description's records as bytes, with the profile and the names: a description passes
  /// between processes of the same build, such as a dask cluster's.
  pybind11::tuple state() const;
  /// The description `state()` gave; ValueError for the state of another build.
  static PageInfo fromState(const pybind11::tuple& state);

  static void bind(pybind11::module_& module);

private:
  struct Channel {
    orvex_channel record;  // its name pointer is not kept: the bytes are in name
    std::string name;
  };

  orvex_page_info info_{};  // its profile pointer is not kept: the bytes are in iccProfile_
  std::string iccProfile_;
  std::vector<Channel> channels_;
};

}  // namespace orvex_python
