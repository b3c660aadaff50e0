// The test process's peak resident memory, for checks that a step allocated no more than a
// bound: the high-water mark only grows, so a difference of two readings bounds the step.
#pragma once

#include <cstdint>

namespace orvex_test {

/// Peak resident set (on Windows the peak working set) of this process so far, in bytes.
int64_t peakResidentBytes();

}  // namespace orvex_test
