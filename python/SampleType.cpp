#include "SampleType.h"

#include <string>

#include "Vocabulary.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

struct Entry {
  char kind;  // numpy's kind: 'u', 'i' or 'f'
  uint16_t bits;
  int32_t format;
  py::dtype (*dtype)();
};

const Entry kTypes[] = {
    {'u', 8, ORVEX_SAMPLE_FORMAT_UINT, &py::dtype::of<uint8_t>},
    {'u', 16, ORVEX_SAMPLE_FORMAT_UINT, &py::dtype::of<uint16_t>},
    {'u', 32, ORVEX_SAMPLE_FORMAT_UINT, &py::dtype::of<uint32_t>},
    {'u', 64, ORVEX_SAMPLE_FORMAT_UINT, &py::dtype::of<uint64_t>},
    {'i', 8, ORVEX_SAMPLE_FORMAT_INT, &py::dtype::of<int8_t>},
    {'i', 16, ORVEX_SAMPLE_FORMAT_INT, &py::dtype::of<int16_t>},
    {'i', 32, ORVEX_SAMPLE_FORMAT_INT, &py::dtype::of<int32_t>},
    {'i', 64, ORVEX_SAMPLE_FORMAT_INT, &py::dtype::of<int64_t>},
    {'f', 32, ORVEX_SAMPLE_FORMAT_IEEE_FP, &py::dtype::of<float>},
    {'f', 64, ORVEX_SAMPLE_FORMAT_IEEE_FP, &py::dtype::of<double>},
};

// Untyped and unknown samples are read as unsigned integers, as the writer stores them.
char kindOf(int32_t format) {
  switch (format) {
    case ORVEX_SAMPLE_FORMAT_INT:
      return 'i';
    case ORVEX_SAMPLE_FORMAT_IEEE_FP:
      return 'f';
    case ORVEX_SAMPLE_FORMAT_COMPLEX_INT:
    case ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP:
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

py::dtype SampleType::ofSamples(uint16_t bits, int32_t format) {
  const bool packed = bits == 1 || bits == 2 || bits == 4;
  const Entry* entry = packed ? &kTypes[0] : find(kindOf(format), bits);
  if (entry == nullptr) {
    throw py::value_error(std::to_string(bits) + "-bit samples of format \"" +
                          Vocabulary::word(ORVEX_VOCABULARY_SAMPLE_FORMAT, format) +
                          "\" have no numpy dtype");
  }
  return entry->dtype();
}

void SampleType::describe(const py::dtype& dtype, orvex_page_info& info) {
  const auto bits = static_cast<uint16_t>(dtype.itemsize() * 8);
  const Entry* entry = find(dtype.kind(), bits);
  if (entry == nullptr || !dtype.attr("isnative").cast<bool>()) {
    throw py::type_error(py::repr(dtype).cast<std::string>() +
                         " cannot be written: use uint8 to uint64, int8 to int64, float32 or "
                         "float64 in the machine's byte order");
  }
  info.bits_per_sample = entry->bits;
  info.sample_format = entry->format;
}

}  // namespace orvex_python
