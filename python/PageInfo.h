// `Page.info`: a directory as the library describes it, with the enumerations by name.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <utility>

#include "orvex/orvex.h"

namespace orvex_python {

class PageInfo {
public:
  PageInfo() = default;
  explicit PageInfo(TiffImageInfo info) : info_(std::move(info)) {}

  const TiffImageInfo& description() const { return info_; }
  /// (x, y, unit), as orvex.write takes it.
  pybind11::tuple resolution() const;
  /// [(name, kind), ...] for the extra channels, as orvex.write takes them; names with their
  /// surrogate pairs joined (see orvex/ChannelNames.h).
  pybind11::list channels() const;
  pybind11::bytes iccProfile() const;
  std::string repr() const;

  static void bind(pybind11::module_& module);

private:
  TiffImageInfo info_;
};

}  // namespace orvex_python
