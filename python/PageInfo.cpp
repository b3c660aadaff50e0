#include "PageInfo.h"

#include "EnumNames.h"
#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {

py::tuple PageInfo::resolution() const {
  return py::make_tuple(info_.xResolution, info_.yResolution, EnumNames::of(info_.resolutionUnit));
}

py::list PageInfo::channels() const {
  py::list channels;
  for (const TiffChannelInfo& channel : info_.channels) {
    channels.append(py::make_tuple(Utf8Text::toPython(orvex::joinSurrogatePairs(channel.name)),
                                   EnumNames::of(channel.type)));
  }
  return channels;
}

py::bytes PageInfo::iccProfile() const {
  return py::bytes(reinterpret_cast<const char*>(info_.iccProfile.data()), info_.iccProfile.size());
}

std::string PageInfo::repr() const {
  return "<orvex.PageInfo " + std::to_string(info_.width) + "x" + std::to_string(info_.height) +
         " " + EnumNames::of(info_.photometric) + " " + std::to_string(info_.samplesPerPixel) +
         " x " + std::to_string(info_.bitsPerSample) + "-bit " + EnumNames::of(info_.sampleFormat) +
         ", " + std::to_string(info_.channels.size()) + " extra channels>";
}

void PageInfo::bind(py::module_& module) {
  using Info = PageInfo;
  py::class_<Info>(module, "PageInfo", "A directory as the library delivers it.")
      .def_property_readonly("width", [](const Info& i) { return i.info_.width; })
      .def_property_readonly("height", [](const Info& i) { return i.info_.height; })
      .def_property_readonly("bits_per_sample", [](const Info& i) { return i.info_.bitsPerSample; })
      .def_property_readonly("samples_per_pixel",
                             [](const Info& i) { return i.info_.samplesPerPixel; })
      .def_property_readonly("extra_samples", [](const Info& i) { return i.info_.extraSamples; })
      .def_property_readonly("sample_format",
                             [](const Info& i) { return EnumNames::of(i.info_.sampleFormat); })
      .def_property_readonly("photometric",
                             [](const Info& i) { return EnumNames::of(i.info_.photometric); })
      .def_property_readonly("resolution", &Info::resolution, "(x, y, unit)")
      .def_property_readonly("icc_profile", &Info::iccProfile)
      .def_property_readonly("channels", &Info::channels, "[(name, kind), ...]")
      .def("__repr__", &Info::repr);
}

}  // namespace orvex_python
