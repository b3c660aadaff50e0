// The sizes of a directory's stored rows and of the blocks (strips or tiles) that hold them, as
// a line reader caches them.
#pragma once

#include <cstdint>

namespace orvex {

struct BlockLayout {
  int64_t scanlineSize_ = 0;  ///< bytes of one stored row
  int64_t stripSize_ = 0;     ///< bytes of a full strip
  uint32_t tilesAcross_ = 0;  ///< tile columns; 0 for strips
  uint32_t tilesDown_ = 0;    ///< tile rows; 0 for strips
  int64_t tileRowSize_ = 0;   ///< bytes of one row of a tile; 0 for strips
  int64_t tileSize_ = 0;      ///< bytes of a tile; 0 for strips
};

}  // namespace orvex
