#include "ImageWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "Arguments.h"
#include "ChannelColor.h"
#include "LibraryCall.h"
#include "SampleType.h"
#include "Utf8Text.h"
#include "Vocabulary.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

// The photometric an array of so many colour samples has without one named.
int32_t usualPhotometric(int colourSamples) {
  static const std::pair<int, int32_t> kUsual[] = {{1, ORVEX_PHOTOMETRIC_MIN_IS_BLACK},
                                                   {3, ORVEX_PHOTOMETRIC_RGB},
                                                   {4, ORVEX_PHOTOMETRIC_SEPARATED}};
  for (const auto& [samples, photometric] : kUsual) {
    if (samples == colourSamples) {
      return photometric;
    }
  }
  throw py::value_error("an array of " + std::to_string(colourSamples) +
                        " colour samples needs photometric=");
}

void describeShape(const py::array& array, orvex_page_info& info) {
  if (array.ndim() != 2 && array.ndim() != 3) {
    throw py::value_error("the array must be (height, width) or (height, width, samples), not " +
                          std::to_string(array.ndim()) + "-dimensional");
  }
  const py::ssize_t samples = array.ndim() == 3 ? array.shape(2) : 1;
  const py::ssize_t rowBytes = array.shape(1) * samples * array.itemsize();
  if (array.size() == 0 || array.shape(0) > std::numeric_limits<uint32_t>::max() ||
      samples > std::numeric_limits<uint16_t>::max() ||
      rowBytes > std::numeric_limits<uint32_t>::max()) {
    throw py::value_error(
        "the array's shape cannot be written: no dimension may be 0, rows "
        "are at most 4 GiB, pixels at most 65535 samples");
  }
  info.height = static_cast<uint32_t>(array.shape(0));
  info.width = static_cast<uint32_t>(array.shape(1));
  info.samples_per_pixel = static_cast<uint16_t>(samples);
}

// A resolution beyond the range of float is infinite, which the library refuses with its
// reason; converting it as it is would be undefined.
float resolutionOf(double value) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (std::abs(value) > std::numeric_limits<float>::max()) {
    return value > 0 ? kInfinity : -kInfinity;
  }
  return static_cast<float>(value);
}

void describeResolution(const py::object& resolution, orvex_page_info& info) {
  const Argument argument("resolution", "(x, y, unit), such as (300, 300, \"inch\")");
  const py::tuple items = argument.items(resolution, 3, 3);
  info.x_resolution = resolutionOf(argument.as<double>(items[0]));
  info.y_resolution = resolutionOf(argument.as<double>(items[1]));
  info.resolution_unit =
      Vocabulary::value(ORVEX_VOCABULARY_RESOLUTION_UNIT, argument.as<std::string>(items[2]));
}

py::array arrayOf(const py::object& array) {
  py::array converted = py::array::ensure(array);
  if (!converted) {
    Argument("array", "a numpy array or what numpy.asarray takes").refuse(array);
  }
  return converted;
}

int32_t photometricOf(const py::object& photometric, int colourSamples) {
  if (photometric.is_none()) {
    return usualPhotometric(colourSamples);
  }
  const auto word =
      Argument("photometric", "a word such as \"rgb\", or None").as<std::string>(photometric);
  return Vocabulary::value(ORVEX_VOCABULARY_PHOTOMETRIC, word);
}

}  // namespace

ImageWriter::ImageWriter(const py::object& array, const py::object& photometric,
                         const py::object& channels, const py::object& resolution,
                         const py::object& iccProfile, const py::object& planar)
    : array_(arrayOf(array)),
      iccProfile_(Argument("icc_profile", "bytes").as<py::bytes>(iccProfile)),
      planar_(Vocabulary::value(
          ORVEX_VOCABULARY_PLANAR,
          Argument("planar", "\"contig\" or \"separate\"").as<std::string>(planar))) {
  info_.struct_size = sizeof info_;
  SampleType::describe(array_.dtype(), info_);
  describeShape(array_, info_);
  describeChannels(channels);
  info_.extra_samples = static_cast<uint16_t>(std::min<size_t>(channels_.size(), UINT16_MAX));
  info_.photometric =
      photometricOf(photometric, std::max(info_.samples_per_pixel - info_.extra_samples, 0));
  describeResolution(resolution, info_);
  info_.icc_profile_size = static_cast<uint32_t>(iccProfile_.size());
}

void ImageWriter::describeChannels(const py::object& channels) {
  const Argument all("channels", "a list of (name, kind) or (name, kind, colour)");
  if (!py::isinstance<py::tuple>(channels) && !py::isinstance<py::list>(channels)) {
    all.refuse(channels);
  }
  for (const py::handle& channel : channels) {
    const std::string name = "channels[" + std::to_string(channels_.size()) + "]";
    const Argument one(name, "(name, kind) or (name, kind, colour)");
    const py::tuple items = one.items(channel, 2, 3);
    if (!py::isinstance<py::str>(items[0])) {
      one.refuse(items[0]);
    }
    Channel added{{}, Utf8Text::channelNameBytes(items[0].cast<py::str>())};
    added.record.struct_size = sizeof added.record;
    added.record.kind =
        Vocabulary::value(ORVEX_VOCABULARY_CHANNEL_KIND, one.as<std::string>(items[1]));
    if (items.size() == 3) {
      ChannelColor::fromPython(items[2], name + "[2]", added.record);
    }
    channels_.push_back(std::move(added));
  }
}

std::vector<orvex_channel> ImageWriter::channelRecords() const {
  std::vector<orvex_channel> records;
  for (const Channel& channel : channels_) {
    orvex_channel record = channel.record;
    record.name_size = static_cast<uint32_t>(channel.name.size());
    record.name = channel.name.data();
    records.push_back(record);
  }
  return records;
}

void ImageWriter::write(const std::string& path) {
  ArrayRows rows(array_);
  const std::vector<orvex_channel> channels = channelRecords();
  orvex_page_info info = info_;
  info.icc_profile = reinterpret_cast<const uint8_t*>(iccProfile_.data());
  LibraryCall().check([&] {
    orvex_writer* created = nullptr;
    orvex_status status =
        orvex_writer_create(path.c_str(), &info, channels.data(),
                            static_cast<uint32_t>(channels.size()), planar_, &created);
    const std::unique_ptr<orvex_writer, orvex_status (*)(orvex_writer*)> writer(
        created, &orvex_writer_destroy);
    if (status == ORVEX_STATUS_OK) {
      status = writeRows(writer.get(), rows);
    }
    return status == ORVEX_STATUS_OK ? orvex_writer_close(writer.get()) : status;
  });
}

// With separate planes one whole channel after another: the writer compresses each strip as
// it fills and cannot go back into it.
orvex_status ImageWriter::writeRows(orvex_writer* writer, ArrayRows& rows) const {
  const auto element = static_cast<uint32_t>(array_.itemsize());
  orvex_status status = ORVEX_STATUS_OK;
  if (planar_ == ORVEX_PLANAR_SEPARATE) {
    for (uint16_t c = 0; c < info_.samples_per_pixel && status == ORVEX_STATUS_OK; ++c) {
      for (uint32_t y = 0; y < info_.height && status == ORVEX_STATUS_OK; ++y) {
        status = orvex_writer_write_channel_scanline(writer, c, y, rows.channelRow(c, y),
                                                     info_.width * element);
      }
    }
    return status;
  }
  const uint32_t rowBytes = info_.width * info_.samples_per_pixel * element;
  for (uint32_t y = 0; y < info_.height && status == ORVEX_STATUS_OK; ++y) {
    status = orvex_writer_write_scanline(writer, y, rows.row(y), rowBytes);
  }
  return status;
}

void ImageWriter::bind(py::module_& module) {
  module.def(
      "write",
      [](const py::object& path, const py::object& array, const py::object& photometric,
         const py::object& channels, const py::object& resolution, const py::object& iccProfile,
         const py::object& planar) {
        const std::string name = Utf8Text::path(path);
        ImageWriter(array, photometric, channels, resolution, iccProfile, planar).write(name);
      },
      py::arg("path"), py::arg("array"), py::kw_only(), py::arg("photometric") = py::none(),
      py::arg("channels") = py::tuple(), py::arg("resolution") = py::make_tuple(72.0, 72.0, "inch"),
      py::arg("icc_profile") = py::bytes(), py::arg("planar") = "contig",
      "Writes a (height, width) or (height, width, samples) array as a TIFF file; the last "
      "len(channels) samples are the extra channels, given as [(name, kind), ...], or "
      "(name, kind, colour) with a colour as PageInfo.colors gives it.");
}

}  // namespace orvex_python
