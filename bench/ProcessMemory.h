// The resident memory of this process, as Linux accounts it in /proc/self/status.
#pragma once

#include <cstdint>

namespace orvex_bench {

class ProcessMemory {
public:
  ProcessMemory() = delete;

  /// Resident set size now, in bytes.
  static uint64_t residentBytes();
  /// Highest resident set size so far (VmHWM), in bytes.
  static uint64_t peakResidentBytes();
  /// Lowers the high-water mark to the current resident size, so that a later
  /// peakResidentBytes() sees only what happened since; throws when the kernel refuses.
  static void resetPeak();
};

}  // namespace orvex_bench
