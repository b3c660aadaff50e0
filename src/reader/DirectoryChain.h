// Where each directory of an open file starts. The chain is walked once when the file is
// opened; selecting a directory then goes straight to its place, so any directory of a file of
// thousands costs the same as the next one.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {

class DirectoryChain {
public:
  /// Counts the directories of `tif`, as libtiff counts them (a loop or a broken link ends the
  /// chain) but at most 65,535, and records where each starts. `tif` holds directory 0.
  void walk(TIFF* tif);
  /// Forgets the file.
  void clear();

  uint16_t count() const { return count_; }

  /// Makes directory `index` the current directory of `tif`; false when it is not a directory
  /// of the file or libtiff cannot read it. The directory the handle already holds, unchanged
  /// since libtiff read it, is not read again.
  bool select(TIFF* tif, uint16_t index);

private:
  uint16_t count_ = 0;
  std::vector<uint64_t> offsets_;  ///< where each directory starts, as far as they are known
  std::optional<uint16_t> held_;   ///< the directory the handle holds
};

}  // namespace orvex
