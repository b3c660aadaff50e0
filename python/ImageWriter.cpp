#include "ImageWriter.h"

#include <cmath>
#include <limits>
#include <memory>

#include "EnumNames.h"
#include "LibraryCall.h"
#include "SampleType.h"
#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

// Values of TIFF's PlanarConfiguration tag, which the writer's begin takes.
constexpr int32_t kContiguous = 1;
constexpr int32_t kSeparate = 2;

struct ColourModel {
  TiffPhotometric photometric;
  uint16_t colourSamples;  // the fewest the reader accepts; the count assumed without a name
};

const ColourModel kColourModels[] = {
    {TiffPhotometric::MinIsBlack, 1}, {TiffPhotometric::Rgb, 3},    {TiffPhotometric::Separated, 4},
    {TiffPhotometric::CieLab, 3},     {TiffPhotometric::IccLab, 3}, {TiffPhotometric::ItuLab, 3},
    {TiffPhotometric::LogLuv, 3},
};

uint16_t fewestColourSamples(TiffPhotometric photometric) {
  for (const ColourModel& model : kColourModels) {
    if (model.photometric == photometric) {
      return model.colourSamples;
    }
  }
  return 1;
}

TiffPhotometric photometricFor(const std::optional<std::string>& name, uint16_t colourSamples) {
  if (name) {
    const TiffPhotometric photometric = EnumNames::photometric(*name);
    if (colourSamples < fewestColourSamples(photometric)) {
      throw py::value_error("photometric \"" + *name + "\" needs at least " +
                            std::to_string(fewestColourSamples(photometric)) +
                            " colour samples, the array has " + std::to_string(colourSamples));
    }
    return photometric;
  }
  for (const TiffPhotometric usual :
       {TiffPhotometric::MinIsBlack, TiffPhotometric::Rgb, TiffPhotometric::Separated}) {
    if (fewestColourSamples(usual) == colourSamples) {
      return usual;
    }
  }
  throw py::value_error("an array of " + std::to_string(colourSamples) +
                        " colour samples needs photometric=");
}

void describeShape(const py::array& array, TiffImageInfo& info) {
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
  info.samplesPerPixel = static_cast<uint16_t>(samples);
}

void describeChannels(const ImageWriter::Channels& channels, TiffImageInfo& info) {
  if (channels.size() >= info.samplesPerPixel) {
    throw py::value_error(std::to_string(channels.size()) +
                          " extra channels need more samples per pixel than the array's " +
                          std::to_string(info.samplesPerPixel));
  }
  info.extraSamples = static_cast<uint16_t>(channels.size());
  for (const auto& [name, kind] : channels) {
    info.channels.push_back({EnumNames::channelType(kind), Utf8Text::fromPython(name)});
  }
}

void describeResolution(const ImageWriter::Resolution& resolution, TiffImageInfo& info) {
  const auto& [x, y, unit] = resolution;
  if (!(std::isfinite(x) && std::isfinite(y) && x > 0 && y > 0)) {
    throw py::value_error("resolutions must be positive numbers");
  }
  info.xResolution = static_cast<float>(x);
  info.yResolution = static_cast<float>(y);
  info.resolutionUnit = EnumNames::resolutionUnit(unit);
}

int32_t planarConfigOf(const std::string& planar) {
  if (planar != "contig" && planar != "separate") {
    throw py::value_error("planar must be \"contig\" or \"separate\", not \"" + planar + "\"");
  }
  return planar == "separate" ? kSeparate : kContiguous;
}

}  // namespace

ImageWriter::ImageWriter(py::array array, const std::optional<std::string>& photometric,
                         const Channels& channels, const Resolution& resolution,
                         const py::bytes& iccProfile, const std::string& planar)
    : array_(std::move(array)), planarConfig_(planarConfigOf(planar)) {
  SampleType::describe(array_.dtype(), info_);
  describeShape(array_, info_);
  describeChannels(channels, info_);
  info_.photometric = photometricFor(photometric, info_.samplesPerPixel - info_.extraSamples);
  describeResolution(resolution, info_);
  const std::string profile = iccProfile;
  info_.iccProfile.assign(profile.begin(), profile.end());
}

void ImageWriter::write(const std::string& path) {
  ArrayRows rows(array_);
  LibraryCall call;
  call.check([&] {
    const std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                                      &destroyTiffWriter);
    const bool written =
        writer->begin(path.c_str(), info_, planarConfig_) && writeRows(*writer, rows);
    writer->end();
    return written;
  });
}

// With separate planes one whole channel after another: the writer compresses each strip as
// it fills and cannot go back into it.
bool ImageWriter::writeRows(ITiffWriter& writer, ArrayRows& rows) const {
  const auto element = static_cast<uint32_t>(array_.itemsize());
  if (planarConfig_ == kSeparate) {
    for (uint16_t c = 0; c < info_.samplesPerPixel; ++c) {
      for (uint32_t y = 0; y < info_.height; ++y) {
        if (!writer.writeScanline(c, y, rows.channelRow(c, y), info_.width * element)) {
          return false;
        }
      }
    }
    return true;
  }
  const uint32_t rowBytes = info_.width * info_.samplesPerPixel * element;
  for (uint32_t y = 0; y < info_.height; ++y) {
    if (!writer.writeScanline(y, rows.row(y), rowBytes)) {
      return false;
    }
  }
  return true;
}

void ImageWriter::bind(py::module_& module) {
  module.def(
      "write",
      [](const py::object& path, py::array array, const std::optional<std::string>& photometric,
         const Channels& channels, const Resolution& resolution, const py::bytes& iccProfile,
         const std::string& planar) {
        const std::string name = Utf8Text::path(path);
        ImageWriter(std::move(array), photometric, channels, resolution, iccProfile, planar)
            .write(name);
      },
      py::arg("path"), py::arg("array"), py::kw_only(), py::arg("photometric") = py::none(),
      py::arg("channels") = py::tuple(), py::arg("resolution") = py::make_tuple(72.0, 72.0, "inch"),
      py::arg("icc_profile") = py::bytes(), py::arg("planar") = "contig",
      "Writes a (height, width) or (height, width, samples) array as a TIFF file; the last "
      "len(channels) samples are the extra channels, given as [(name, kind), ...].");
}

}  // namespace orvex_python
