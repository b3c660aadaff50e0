#include "PageInfo.h"

#include <cstring>

#include "Arguments.h"
#include "ChannelColor.h"
#include "ColourSampleNames.h"
#include "SampleType.h"
#include "Utf8Text.h"
#include "Vocabulary.h"

namespace py = pybind11;

namespace orvex_python {

// The profile and the names belong to the reader until another page is selected.
orvex_status PageInfo::read(orvex_reader* reader) {
  info_.struct_size = sizeof info_;
  orvex_status status = orvex_reader_page_info(reader, &info_);
  if (status != ORVEX_STATUS_OK) {
    return status;
  }
  const auto* profile = reinterpret_cast<const char*>(info_.icc_profile);
  iccProfile_.assign(profile == nullptr ? "" : profile, info_.icc_profile_size);
  info_.icc_profile = nullptr;
  channels_.clear();
  for (uint32_t index = 0; index < info_.extra_samples && status == ORVEX_STATUS_OK; ++index) {
    orvex_channel channel{};
    channel.struct_size = sizeof channel;
    status = orvex_reader_channel(reader, index, &channel);
    const std::string name(channel.name == nullptr ? "" : channel.name, channel.name_size);
    channel.name = nullptr;
    channels_.push_back({channel, name});
  }
  return status;
}

py::tuple PageInfo::resolution() const {
  return py::make_tuple(shortestDecimal(info_.x_resolution), shortestDecimal(info_.y_resolution),
                        Vocabulary::word(ORVEX_VOCABULARY_RESOLUTION_UNIT, info_.resolution_unit));
}

py::list PageInfo::channels() const {
  py::list channels;
  for (const Channel& channel : channels_) {
    channels.append(
        py::make_tuple(Utf8Text::channelName(channel.name),
                       Vocabulary::word(ORVEX_VOCABULARY_CHANNEL_KIND, channel.record.kind)));
  }
  return channels;
}

py::list PageInfo::samples() const {
  py::list samples;
  const size_t samplesPerPixel = info_.samples_per_pixel;
  const auto colour = static_cast<uint16_t>(
      samplesPerPixel > channels_.size() ? samplesPerPixel - channels_.size() : 0);
  for (uint16_t sample = 0; sample < colour; ++sample) {
    samples.append(
        py::make_tuple(orvex_hosts::colourSampleName(info_.photometric, sample), "colour"));
  }
  for (size_t index = 0; index < channels_.size(); ++index) {
    const Channel& channel = channels_[index];
    samples.append(
        py::make_tuple(Utf8Text::channelName(orvex_hosts::extraChannelName(channel.name, index)),
                       Vocabulary::word(ORVEX_VOCABULARY_CHANNEL_KIND, channel.record.kind)));
  }
  return samples;
}

py::list PageInfo::colors() const {
  py::list colors;
  for (const Channel& channel : channels_) {
    colors.append(ChannelColor::toPython(channel.record));
  }
  return colors;
}

std::string PageInfo::repr() const {
  return "<orvex.PageInfo " + std::to_string(info_.width) + "x" + std::to_string(info_.height) +
         " " + Vocabulary::word(ORVEX_VOCABULARY_PHOTOMETRIC, info_.photometric) + " " +
         std::to_string(info_.samples_per_pixel) + " x " + std::to_string(info_.bits_per_sample) +
         "-bit " + Vocabulary::word(ORVEX_VOCABULARY_SAMPLE_FORMAT, info_.sample_format) + ", " +
         std::to_string(channels_.size()) + " extra channels>";
}

// Two descriptions are equal when everything Python sees of them is.
py::object PageInfo::equals(const py::object& self, const py::object& other) {
  static const char* const kFields[] = {
      "width",         "height",        "bits_per_sample", "samples_per_pixel",
      "extra_samples", "sample_format", "photometric",     "resolution",
      "icc_profile",   "channels",      "colors"};
  if (!py::isinstance<PageInfo>(other)) {
    return py::reinterpret_borrow<py::object>(Py_NotImplemented);
  }
  for (const char* field : kFields) {
    if (!self.attr(field).equal(other.attr(field))) {
      return py::bool_(false);
    }
  }
  return py::bool_(true);
}

namespace {

template <class Record>
py::bytes recordBytes(const Record& record) {
  return py::bytes(reinterpret_cast<const char*>(&record), sizeof record);
}

// A record of the same size is taken as the same record: the state of another build of the
// module, with other fields, has another size.
template <class Record>
Record recordOf(const py::handle& bytes) {
  const std::string text = Argument("PageInfo state", "bytes").as<std::string>(bytes);
  Record record{};
  if (text.size() != sizeof record) {
    throw py::value_error("PageInfo state of another build: a record of " +
                          std::to_string(text.size()) + " bytes, not " +
                          std::to_string(sizeof record));
  }
  std::memcpy(&record, text.data(), sizeof record);
  return record;
}

}  // namespace

py::tuple PageInfo::state() const {
  py::list channels;
  for (const Channel& channel : channels_) {
    channels.append(py::make_tuple(recordBytes(channel.record), py::bytes(channel.name)));
  }
  return py::make_tuple(recordBytes(info_), iccProfile(), channels);
}

PageInfo PageInfo::fromState(const py::tuple& state) {
  const Argument argument("PageInfo state", "(description, profile, channels)");
  const py::tuple items = argument.items(state, 3, 3);
  PageInfo info;
  info.info_ = recordOf<orvex_page_info>(items[0]);
  info.iccProfile_ = argument.as<std::string>(items[1]);
  for (const py::handle& channel : argument.as<py::list>(items[2])) {
    const py::tuple fields = argument.items(channel, 2, 2);
    info.channels_.push_back(
        {recordOf<orvex_channel>(fields[0]), argument.as<std::string>(fields[1])});
  }
  return info;
}

void PageInfo::bind(py::module_& module) {
  using Info = PageInfo;
  py::class_<Info>(module, "PageInfo", "A page as the library delivers it.")
      .def_property_readonly(
          "width", [](const Info& i) { return i.info_.width; }, "Pixels per row, upright.")
      .def_property_readonly(
          "height", [](const Info& i) { return i.info_.height; }, "Rows, upright.")
      .def_property_readonly(
          "bits_per_sample", [](const Info& i) { return i.info_.bits_per_sample; },
          "Bits of one delivered sample.")
      .def_property_readonly(
          "samples_per_pixel", [](const Info& i) { return i.info_.samples_per_pixel; },
          "Samples of a pixel, the extra channels included.")
      .def_property_readonly(
          "extra_samples", [](const Info& i) { return i.info_.extra_samples; },
          "Samples beyond the colour model, the last of a pixel.")
      .def_property_readonly(
          "sample_format",
          [](const Info& i) {
            return Vocabulary::word(ORVEX_VOCABULARY_SAMPLE_FORMAT, i.info_.sample_format);
          },
          "\"uint\", \"int\", \"float\"... as the vocabulary words it.")
      .def_property_readonly(
          "photometric",
          [](const Info& i) {
            return Vocabulary::word(ORVEX_VOCABULARY_PHOTOMETRIC, i.info_.photometric);
          },
          "\"min_is_black\", \"rgb\", \"separated\"... as the vocabulary words it.")
      .def_property_readonly(
          "rows_per_block", [](const Info& i) { return i.info_.rows_per_block; },
          "Stored rows of a strip, or of a row of tiles: reads of rows from and to multiples "
          "of it decode each block once.")
      .def_property_readonly(
          "dtype",
          [](const Info& i) {
            return SampleType::ofSamples(i.info_.bits_per_sample, i.info_.sample_format);
          },
          "The numpy.dtype of the samples Page.read() gives; ValueError for samples numpy has "
          "no type for.")
      .def_property_readonly("resolution", &Info::resolution, "(x, y, unit)")
      .def_property_readonly("icc_profile", &Info::iccProfile, "The ICC profile; b\"\" for none.")
      .def_property_readonly("channels", &Info::channels, "[(name, kind), ...]")
      .def_property_readonly("samples", &Info::samples,
                             "[(name, kind), ...], one per sample: colour samples named as "
                             "orvex split names them (\"C\", \"M\", \"Y\", \"K\", \"R\", "
                             "\"G\", \"B\", \"Grey\") of kind \"colour\", then the extra "
                             "channels, \"extra N\" when unnamed.")
      .def_property_readonly("colors", &Info::colors,
                             "[colour or None, ...], one per extra channel: {\"space\": word, "
                             "\"components\": (c0, c1, c2, c3), \"opacity\": 0 to 100, "
                             "\"srgb\": (r, g, b) or None, \"lab\": (L, a, b) or None}")
      .def("__eq__", &Info::equals, py::arg("other"), "Equal when every property is.")
      .def("__repr__", &Info::repr, "Size, photometric, samples and number of extra channels.")
      .def(py::pickle([](const Info& info) { return info.state(); }, &fromState));
}

}  // namespace orvex_python
