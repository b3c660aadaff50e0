// The benchmark cases: each generated image with the library's way of reading it, the
// libtiff baseline doing the same work, and the time ratio the library must stay within.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BenchImage.h"
#include "RowSink.h"

namespace orvex_bench {

using ReadFunction = void (*)(const char* path, RowSink& sink);

/// Ratios of library time to libtiff time, medians of repeated runs.
constexpr double kCompressedTarget = 1.10;
constexpr double kUncompressedTarget = 1.5;
constexpr double kTransformationTarget = 1.25;
constexpr double kWriterTarget = 1.05;
/// Ratio of the C interface's time to the C++ interface's for the same reads.
constexpr double kCInterfaceTarget = 1.02;

struct ReadCase {
  const char* name;   ///< benchmark and file name
  const char* label;  ///< as the table shows it
  TiffSetup image;
  double target;
  ReadFunction library;
  ReadFunction libtiff;
  /// Decoded through libtiff's RGBA interface, so the library caches 8-bit RGBA rows.
  bool viaRgba = false;
  /// The library's reads again, through the C interface of orvex_c.h.
  ReadFunction cInterface = nullptr;

  /// What the library holds in its cache: one strip of every plane, or one row of tiles.
  uint64_t cacheBytes() const;
  /// The memory target: 1.2 x the cache plus 1 MiB for a few rows and libtiff's own buffers.
  uint64_t memoryBudgetBytes() const;
};

const std::vector<ReadCase>& readCases();
/// The case named `name`; throws std::invalid_argument when there is none.
const ReadCase& readCaseNamed(const std::string& name);

/// The writer case: name, label and size of its picture.
struct WriteCase {
  const char* name;
  const char* label;
  uint32_t width;
  uint32_t height;
  double target;
};
const WriteCase& writeCase();

}  // namespace orvex_bench
