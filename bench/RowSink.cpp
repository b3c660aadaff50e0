#include "RowSink.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace orvex_bench {
namespace {

uint64_t mix(uint64_t digest, uint64_t value) {
  return (digest ^ value) * 0x100000001B3ULL;
}

}  // namespace

void DiscardingSink::take(const uint8_t* row, size_t bytes) {
  benchmark::DoNotOptimize(row);
  benchmark::DoNotOptimize(bytes);
}

void DigestSink::take(const uint8_t* row, size_t bytes) {
  digest_ = mix(digest_, bytes);
  size_t i = 0;
  for (; i + 8 <= bytes; i += 8) {
    uint64_t word;
    std::memcpy(&word, row + i, 8);
    digest_ = mix(digest_, word);
  }
  for (; i < bytes; ++i) {
    digest_ = mix(digest_, row[i]);
  }
  ++rows_;
}

}  // namespace orvex_bench
