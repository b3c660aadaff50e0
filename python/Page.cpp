#include "Page.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "Arguments.h"
#include "File.h"
#include "LibraryCall.h"
#include "RowIterator.h"
#include "SampleType.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

// One pass over the pixels, each sample to its plane, with the sample size known at compile
// time so that every move is a single load and store.
template <typename Sample>
void spreadSamples(const uint8_t* pixels, uint8_t* planes, size_t count, uint16_t samples) {
  std::vector<Sample*> plane(samples);
  for (uint16_t c = 0; c < samples; ++c) {
    plane[c] = reinterpret_cast<Sample*>(planes) + c * count;
  }
  const auto* sample = reinterpret_cast<const Sample*>(pixels);
  for (size_t i = 0; i < count; ++i) {
    for (uint16_t c = 0; c < samples; ++c) {
      plane[c][i] = *sample++;
    }
  }
}

void spreadIntoPlanes(const uint8_t* pixels, uint8_t* planes, size_t count, uint16_t samples,
                      size_t sampleBytes) {
  switch (sampleBytes) {
    case 1:
      return spreadSamples<uint8_t>(pixels, planes, count, samples);
    case 2:
      return spreadSamples<uint16_t>(pixels, planes, count, samples);
    case 4:
      return spreadSamples<uint32_t>(pixels, planes, count, samples);
    default:
      return spreadSamples<uint64_t>(pixels, planes, count, samples);
  }
}

}  // namespace

Page::Page(std::shared_ptr<SharedReader> file, py::object path, uint32_t index)
    : file_(std::move(file)), path_(std::move(path)), index_(index) {
  LibraryCall().check([&] {
    return file_->onPage(index, [&](orvex_reader* reader) { return info_.read(reader); });
  });
}

std::optional<uint16_t> Page::channelIndex(const py::object& channel) {
  if (channel.is_none()) {
    return std::nullopt;
  }
  const auto index = Argument("channel", "a sample index or None").as<int64_t>(channel);
  if (index < 0 || index > std::numeric_limits<uint16_t>::max()) {
    throw py::index_error("channel " + std::to_string(index) + " out of range");
  }
  return static_cast<uint16_t>(index);
}

Page Page::fromState(const py::tuple& state) {
  const Argument argument("Page state", "(path, index)");
  const py::tuple items = argument.items(state, 2, 2);
  return File(items[0]).page(argument.as<int64_t>(items[1]));
}

std::pair<uint32_t, uint32_t> Page::rowRange(const py::object& rows) const {
  const Argument argument("rows", "a slice of rows with step 1");
  if (!py::isinstance<py::slice>(rows)) {
    argument.refuse(rows);
  }
  py::ssize_t start = 0;
  py::ssize_t stop = 0;
  py::ssize_t step = 0;
  py::ssize_t length = 0;
  if (!rows.cast<py::slice>().compute(info_.description().height, &start, &stop, &step, &length)) {
    throw py::error_already_set();
  }
  if (step != 1) {
    throw py::value_error("rows takes a slice of rows with step 1, not " +
                          py::repr(rows).cast<std::string>());
  }
  return {static_cast<uint32_t>(start), static_cast<uint32_t>(length)};
}

PictureShape Page::shapeOf(std::optional<uint16_t> channel) const {
  const orvex_page_info& info = info_.description();
  PictureShape shape;
  shape.width = info.width;
  shape.height = info.height;
  shape.samples = channel ? 1 : info.samples_per_pixel;
  shape.bits = info.bits_per_sample;
  shape.elementBytes = SampleType::ofSamples(info.bits_per_sample, info.sample_format).itemsize();
  shape.rowScanlines = rowScanlines();
  return shape;
}

py::array Page::allocate(const PictureShape& shape, std::optional<uint32_t> rows,
                         bool oneChannel) const {
  std::vector<py::ssize_t> dimensions{shape.width};
  if (rows) {
    dimensions.insert(dimensions.begin(), *rows);
  }
  if (!oneChannel) {
    dimensions.push_back(shape.samples);
  }
  return py::array(SampleType::ofSamples(shape.bits, info_.description().sample_format),
                   dimensions);
}

py::array Page::read(std::optional<uint16_t> channel) const {
  const PictureShape shape = shapeOf(channel);
  py::array picture = allocate(shape, shape.height, channel.has_value());
  fill(static_cast<uint8_t*>(picture.mutable_data()), shape, channel, 0,
       info_.description().scanline_count);
  return picture;
}

py::array Page::readRows(uint32_t first, uint32_t count, std::optional<uint16_t> channel) const {
  const PictureShape shape = shapeOf(channel);
  if (!shape.rowScanlines) {
    return read(channel)[py::slice(first, first + count, 1)].attr("copy")();
  }
  py::array rows = allocate(shape, count, channel.has_value());
  fill(static_cast<uint8_t*>(rows.mutable_data()), shape, channel, first, count);
  return rows;
}

py::array Page::readRow(uint32_t y, std::optional<uint16_t> channel) const {
  const PictureShape shape = shapeOf(channel);
  py::array row = allocate(shape, std::nullopt, channel.has_value());
  fill(static_cast<uint8_t*>(row.mutable_data()), shape, channel, y, 1);
  return row;
}

// Separate planes are read channel by channel, each plane's strips decoded once straight into
// its slab; contiguous pixels are read whole, once, then spread into the planes. A picture of
// one sample is its own plane.
py::array Page::readPlanes() const {
  const orvex_page_info& info = info_.description();
  const PictureShape one = shapeOf(uint16_t{0});
  const size_t planeBytes = size_t{one.width} * one.height * one.elementBytes;
  py::array planes(SampleType::ofSamples(one.bits, info.sample_format),
                   std::vector<py::ssize_t>{info.samples_per_pixel, one.height, one.width});
  auto* target = static_cast<uint8_t*>(planes.mutable_data());
  if (info.samples_per_pixel == 1 && scanlinesAreRows(one)) {
    fill(target, one, std::nullopt, 0, info.scanline_count);  // one plane is the picture
    return planes;
  }
  if (info.planar == ORVEX_PLANAR_SEPARATE || !scanlinesAreRows(one)) {
    for (uint16_t channel = 0; channel < info.samples_per_pixel; ++channel) {
      fill(target + channel * planeBytes, one, channel, 0, info.scanline_count);
    }
    return planes;
  }
  const py::array picture = read(std::nullopt);
  py::gil_scoped_release released;
  spreadIntoPlanes(static_cast<const uint8_t*>(picture.data()), target,
                   size_t{one.width} * one.height, info.samples_per_pixel, one.elementBytes);
  return planes;
}

bool Page::scanlinesAreRows(const PictureShape& shape) {
  return shape.rowScanlines && shape.bits == 8 * shape.elementBytes;
}

void Page::fill(uint8_t* target, const PictureShape& shape, std::optional<uint16_t> channel,
                uint32_t first, uint32_t count) const {
  LibraryCall().check([&] {
    return file_->onPage(index_, [&](orvex_reader* reader) {
      if (scanlinesAreRows(shape)) {
        const uint64_t rowBytes = uint64_t{shape.width} * shape.samples * shape.elementBytes;
        return channel ? orvex_reader_read_channel_scanlines(reader, *channel, first, count, target,
                                                             rowBytes, rowBytes * count)
                       : orvex_reader_read_scanlines(reader, first, count, target, rowBytes,
                                                     rowBytes * count);
      }
      ScanlinePlacer placer(target, shape);
      for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        const orvex_status status =
            channel ? orvex_reader_read_channel_scanline(reader, *channel, first + i, &data, &size)
                    : orvex_reader_read_scanline(reader, first + i, &data, &size);
        if (status != ORVEX_STATUS_OK) {
          return status;
        }
        if (!placer.place(i, data, size)) {
          throw std::runtime_error("scanline " + std::to_string(first + i) +
                                   " is shorter than its description");
        }
      }
      return ORVEX_STATUS_OK;
    });
  });
}

void Page::bind(py::module_& module) {
  py::class_<Page>(module, "Page", "One page of a TIFF file.")
      .def_property_readonly("info", &Page::info, "The page as the library delivers it.")
      .def(
          "read",
          [](const Page& page, const py::object& channel, bool planes, const py::object& rows) {
            if (planes && !channel.is_none()) {
              throw py::value_error("read: give either channel or planes=True, not both");
            }
            if (planes && !rows.is_none()) {
              throw py::value_error("read: give either rows or planes=True, not both");
            }
            if (planes) {
              return page.readPlanes();
            }
            if (rows.is_none()) {
              return page.read(channelIndex(channel));
            }
            const auto [first, count] = page.rowRange(rows);
            return page.readRows(first, count, channelIndex(channel));
          },
          py::kw_only(), py::arg("channel") = py::none(), py::arg("planes") = false,
          py::arg("rows") = py::none(),
          "The upright picture as an array (height, width, samples), or (height, width) for "
          "one channel, or with planes=True (samples, height, width), one plane per channel. "
          "rows=slice(first, stop) reads those rows only, decoding the strips that hold them.")
      .def(
          "rows",
          [](const Page& page, const py::object& channel) {
            return RowIterator(page, channelIndex(channel));
          },
          py::kw_only(), py::arg("channel") = py::none(),
          "An iterator over the rows of the upright picture, one array (width, samples) or "
          "(width,) each.")
      .def(py::pickle([](const Page& page) { return page.state(); }, &fromState));
}

}  // namespace orvex_python
