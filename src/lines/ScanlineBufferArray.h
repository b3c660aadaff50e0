// A list of equally sized, separately allocated buffers: the strip/tile cache of a line reader
// and the per-channel rows of an adjuster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "lines/ScanlineBuffer.h"

namespace orvex {

class ScanlineBufferArray {
public:
  /// A list whose buffers together never exceed `maxTotalBytes`.
  explicit ScanlineBufferArray(int64_t maxTotalBytes = kMaxBufferBytes)
      : maxTotalBytes_(maxTotalBytes) {}

  /// True when the list already holds `count` buffers of `bufferSize` bytes each.
  bool holds(size_t count, int64_t bufferSize) const;
  /// Frees everything, then builds `count` zeroed buffers of `bufferSize` bytes. On failure
  /// everything built so far is freed and the list is empty. `count` 0 empties the list. A
  /// list that would exceed its total is refused before anything is allocated.
  bool rebuild(size_t count, int64_t bufferSize);
  /// Frees every buffer and empties the list; the kept size becomes 0.
  void clear();
  void zeroFill();

  size_t count() const { return buffers_.size(); }
  int64_t bufferSize() const { return bufferSize_; }
  /// Throws std::out_of_range("out range!") for an index at or beyond count().
  ScanlineBuffer& at(size_t index);
  const ScanlineBuffer& at(size_t index) const;

private:
  std::vector<std::unique_ptr<ScanlineBuffer>> buffers_;
  int64_t bufferSize_ = 0;
  int64_t maxTotalBytes_;
};

}  // namespace orvex
