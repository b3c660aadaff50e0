#include "SampleType.h"

#include <string>

#include "EnumNames.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

struct Entry {
  char kind;  // numpy's kind: 'u', 'i' or 'f'
  uint16_t bits;
  TiffSampleFormat format;
  py::dtype (*dtype)();
};

const Entry kTypes[] = {
    {'u', 8, TiffSampleFormat::Uint, &py::dtype::of<uint8_t>},
    {'u', 16, TiffSampleFormat::Uint, &py::dtype::of<uint16_t>},
    {'u', 32, TiffSampleFormat::Uint, &py::dtype::of<uint32_t>},
    {'u', 64, TiffSampleFormat::Uint, &py::dtype::of<uint64_t>},
    {'i', 8, TiffSampleFormat::Int, &py::dtype::of<int8_t>},
    {'i', 16, TiffSampleFormat::Int, &py::dtype::of<int16_t>},
    {'i', 32, TiffSampleFormat::Int, &py::dtype::of<int32_t>},
    {'i', 64, TiffSampleFormat::Int, &py::dtype::of<int64_t>},
    {'f', 32, TiffSampleFormat::IeeeFp, &py::dtype::of<float>},
    {'f', 64, TiffSampleFormat::IeeeFp, &py::dtype::of<double>},
};

// Untyped and unknown samples are read as unsigned integers, as the writer stores them.
char kindOf(TiffSampleFormat format) {
  switch (format) {
    case TiffSampleFormat::Int:
      return 'i';
    case TiffSampleFormat::IeeeFp:
      return 'f';
    case TiffSampleFormat::ComplexInt:
    case TiffSampleFormat::ComplexIeeeFp:
      return 'c';
    default:
      return 'u';
  }
}

const Entry* find(char kind, uint16_t bits) {
  for (const Entry& entry : kTypes) {
    if (entry.kind == kind && entry.bits == bits) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace

py::dtype SampleType::ofSamples(uint16_t bits, TiffSampleFormat format) {
  const bool packed = bits == 1 || bits == 2 || bits == 4;
  const Entry* entry = packed ? &kTypes[0] : find(kindOf(format), bits);
  if (entry == nullptr) {
    throw py::value_error(std::to_string(bits) + "-bit samples of format \"" +
                          EnumNames::of(format) + "\" have no numpy dtype");
  }
  return entry->dtype();
}

void SampleType::describe(const py::dtype& dtype, TiffImageInfo& info) {
  const auto bits = static_cast<uint16_t>(dtype.itemsize() * 8);
  const Entry* entry = find(dtype.kind(), bits);
  if (entry == nullptr || !dtype.attr("isnative").cast<bool>()) {
    throw py::type_error(py::repr(dtype).cast<std::string>() +
                         " cannot be written: use uint8 to uint64, int8 to int64, float32 or "
                         "float64 in the machine's byte order");
  }
  info.bitsPerSample = entry->bits;
  info.sampleFormat = entry->format;
}

}  // namespace orvex_python
