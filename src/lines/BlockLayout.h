// The sizes of a directory's stored rows and of the blocks (strips or tiles) that hold them, as
// a line reader caches them.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace orvex {

/// Where a directory keeps the samples of a row: in strips or in tiles, each block holding every
/// sample of its pixels (contiguous) or one sample plane (separate).
enum class StoredLayout : uint8_t {
  Unreadable,  ///< a planar configuration other than these two
  ContigStrips,
  SeparateStrips,
  ContigTiles,
  SeparateTiles,
};

struct BlockLayout {
  static StoredLayout storedLayoutOf(uint16_t planarConfig, bool tiled) {
    switch (planarConfig) {
      case PLANARCONFIG_CONTIG:
        return tiled ? StoredLayout::ContigTiles : StoredLayout::ContigStrips;
      case PLANARCONFIG_SEPARATE:
        return tiled ? StoredLayout::SeparateTiles : StoredLayout::SeparateStrips;
      default:
        return StoredLayout::Unreadable;
    }
  }

  bool separate() const {
    return stored_ == StoredLayout::SeparateStrips || stored_ == StoredLayout::SeparateTiles;
  }
  bool tiled() const {
    return stored_ == StoredLayout::ContigTiles || stored_ == StoredLayout::SeparateTiles;
  }

  /// Decided once when the directory is begun: the line reader decodes blocks by it and the
  /// adjuster takes rows out of them by it.
  StoredLayout stored_ = StoredLayout::Unreadable;
  int64_t scanlineSize_ = 0;  ///< bytes of one stored row
  int64_t stripSize_ = 0;     ///< bytes of a full strip
  uint32_t tilesAcross_ = 0;  ///< tile columns; 0 for strips
  uint32_t tilesDown_ = 0;    ///< tile rows; 0 for strips
  int64_t tileRowSize_ = 0;   ///< bytes of one row of a tile; 0 for strips
  int64_t tileSize_ = 0;      ///< bytes of a tile; 0 for strips
};

}  // namespace orvex
