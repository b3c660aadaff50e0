// numpy's element types for the samples the library delivers and takes.
#pragma once

#include <pybind11/numpy.h>

#include <cstdint>

#include "orvex/orvex_c.h"

namespace orvex_python {

class SampleType {
public:
  /// The dtype of delivered samples of `bits` bits in `format`; samples of 1, 2 or 4 bits are
  /// unpacked, one uint8 each. ValueError for a depth or format numpy has no type for.
  static pybind11::dtype ofSamples(uint16_t bits, int32_t format);
  /// Sets `info`'s bits per sample and sample format (ORVEX_SAMPLE_FORMAT_) for an array's dtype.
  /// TypeError for a dtype other than uint8 to uint64, int8 to int64, float32 and float64 in the
  /// machine's byte order.
  static void describe(const pybind11::dtype& dtype, orvex_page_info& info);
};

}  // namespace orvex_python
