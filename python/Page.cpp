#include "Page.h"

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "LibraryCall.h"
#include "RowIterator.h"
#include "SampleType.h"

namespace py = pybind11;

namespace orvex_python {

Page::Page(std::shared_ptr<SharedReader> file, uint32_t index)
    : file_(std::move(file)), index_(index) {
  LibraryCall().check([&] {
    return file_->onPage(index, [&](orvex_reader* reader) { return info_.read(reader); });
  });
}

std::optional<uint16_t> Page::channelIndex(std::optional<int64_t> channel) {
  if (channel && (*channel < 0 || *channel > std::numeric_limits<uint16_t>::max())) {
    throw py::index_error("channel " + std::to_string(*channel) + " out of range");
  }
  return channel ? std::optional<uint16_t>(static_cast<uint16_t>(*channel)) : std::nullopt;
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

py::array Page::allocate(const PictureShape& shape, bool oneRow, bool oneChannel) const {
  std::vector<py::ssize_t> dimensions{shape.width};
  if (!oneRow) {
    dimensions.insert(dimensions.begin(), shape.height);
  }
  if (!oneChannel) {
    dimensions.push_back(shape.samples);
  }
  return py::array(SampleType::ofSamples(shape.bits, info_.description().sample_format),
                   dimensions);
}

py::array Page::read(std::optional<uint16_t> channel) const {
  const PictureShape shape = shapeOf(channel);
  py::array picture = allocate(shape, false, channel.has_value());
  fill(picture, shape, channel, 0, info_.description().scanline_count);
  return picture;
}

py::array Page::readRow(uint32_t y, std::optional<uint16_t> channel) const {
  const PictureShape shape = shapeOf(channel);
  py::array row = allocate(shape, true, channel.has_value());
  fill(row, shape, channel, y, 1);
  return row;
}

void Page::fill(py::array& picture, const PictureShape& shape, std::optional<uint16_t> channel,
                uint32_t first, uint32_t count) const {
  auto* target = static_cast<uint8_t*>(picture.mutable_data());
  LibraryCall().check([&] {
    return file_->onPage(index_, [&](orvex_reader* reader) {
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
          [](const Page& page, std::optional<int64_t> channel) {
            return page.read(channelIndex(channel));
          },
          py::kw_only(), py::arg("channel") = py::none(),
          "The upright picture as an array (height, width, samples), or (height, width) for "
          "one channel.")
      .def(
          "rows",
          [](const Page& page, std::optional<int64_t> channel) {
            return RowIterator(page, channelIndex(channel));
          },
          py::kw_only(), py::arg("channel") = py::none(),
          "An iterator over the rows of the upright picture, one array (width, samples) or "
          "(width,) each.");
}

}  // namespace orvex_python
