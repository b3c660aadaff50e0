// `File[k]`: one page of an open file, described and read into numpy arrays.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "PageInfo.h"
#include "ScanlinePlacer.h"
#include "SharedReader.h"

namespace orvex_python {

class Page {
public:
  /// Selects page `index` of the file opened from `path` to describe it; an orvex.Error when
  /// the library refuses it.
  Page(std::shared_ptr<SharedReader> file, pybind11::object path, uint32_t index);

  const PageInfo& info() const { return info_; }
  bool rowScanlines() const { return info_.description().scanlines_are_rows != 0; }

  /// The upright picture, (height, width, samples), or (height, width) for one channel.
  pybind11::array read(std::optional<uint16_t> channel) const;
  /// Rows `first` to `first + count` of the upright picture, (count, width, samples) or
  /// (count, width) for a channel; read whole and cut for a page delivered as columns.
  pybind11::array readRows(uint32_t first, uint32_t count, std::optional<uint16_t> channel) const;
  /// Row `y` of a page whose scanlines are rows: (width, samples), or (width,) for a channel.
  pybind11::array readRow(uint32_t y, std::optional<uint16_t> channel) const;
  /// The upright picture as planes, (samples, height, width), decoded once.
  pybind11::array readPlanes() const;

  /// A channel number from Python, or None; TypeError naming `channel` for another type,
  /// IndexError when no reader could have it.
  static std::optional<uint16_t> channelIndex(const pybind11::object& channel);

  /// (path, index): the page is opened again by path when unpickled.
  pybind11::tuple state() const { return pybind11::make_tuple(path_, index_); }
  static Page fromState(const pybind11::tuple& state);

  static void bind(pybind11::module_& module);

private:
  PictureShape shapeOf(std::optional<uint16_t> channel) const;
  /// An array of `rows` rows, or of one row without that axis when there is no count.
  pybind11::array allocate(const PictureShape& shape, std::optional<uint32_t> rows,
                           bool oneChannel) const;
  /// The slice of rows `rows` takes, a slice of step 1 within the picture; TypeError or
  /// ValueError naming `rows` otherwise.
  std::pair<uint32_t, uint32_t> rowRange(const pybind11::object& rows) const;
  /// Reads `count` scanlines from `first` on into the C-ordered picture at `target`, with
  /// the GIL released.
  void fill(uint8_t* target, const PictureShape& shape, std::optional<uint16_t> channel,
            uint32_t first, uint32_t count) const;
  /// True when the scanlines are the picture's rows as numpy lays them, so a block read puts
  /// them in place.
  static bool scanlinesAreRows(const PictureShape& shape);

  std::shared_ptr<SharedReader> file_;
  pybind11::object path_;
  uint32_t index_;
  PageInfo info_;
};

}  // namespace orvex_python
