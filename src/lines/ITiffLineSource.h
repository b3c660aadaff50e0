// What a line adjuster reads of the line reader it belongs to, and nothing more: the directory
// as the reader serves it, the sizes of its blocks, and the block of stored rows in the cache.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lines/BlockLayout.h"
#include "lines/OrientationPlan.h"
#include "lines/ScanlineBuffer.h"
#include "reader/ColorMap.h"
#include "reader/TiffInfo.h"

namespace orvex {

class ITiffLineSource {
public:
  /// The cache range when the cache holds nothing; also the adjuster's "no row adjusted".
  static constexpr uint32_t kNoRow = 0xFFFFFFFF;

  virtual ~ITiffLineSource() = default;

  /// The directory's description, rewritten where the reader serves other samples than the
  /// stored ones (the RGBA raster of YCbCr images).
  virtual const TiffInfo& description() const = 0;
  virtual const BlockLayout& layout() const = 0;
  /// How the directory's stored rows become the delivered ones.
  virtual const OrientationPlan& orientationPlan() const = 0;
  /// Buffer `index` of the cache: a strip per plane, or a tile per plane and tile column.
  /// Throws std::out_of_range("out range!") beyond the cache.
  virtual const ScanlineBuffer& cachedBlock(size_t index) const = 0;
  /// The first stored row the cache holds.
  virtual uint32_t cacheFirstRow() const = 0;
  /// The directory's colour map; false, with the reason logged, when it has none.
  virtual bool colorMap(ColorMap& colorMap) const = 0;
};

}  // namespace orvex
