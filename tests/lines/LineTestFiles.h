// Opening test files for the line readers: a handle that counts the reads libtiff makes, and
// in-place edits of a written file's tags to produce files libtiff itself would not write.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace orvex_lines_test {

/// A read-only libtiff handle in the reader's mode ("rCm", no memory mapping), whose every
/// read of file bytes is counted: a strip or tile decode shows as at least one read.
class CountingTiff {
public:
  explicit CountingTiff(const std::string& path);
  ~CountingTiff();
  CountingTiff(const CountingTiff&) = delete;
  CountingTiff& operator=(const CountingTiff&) = delete;

  TIFF* tif() const { return tif_; }
  size_t reads() const { return reads_; }

private:
  static tmsize_t read(thandle_t handle, void* buffer, tmsize_t size);
  static tmsize_t write(thandle_t handle, void* buffer, tmsize_t size);
  static toff_t seek(thandle_t handle, toff_t offset, int whence);
  static int close(thandle_t handle);
  static toff_t size(thandle_t handle);

  std::FILE* file_;
  size_t reads_ = 0;
  TIFF* tif_ = nullptr;
};

/// Rewrites entry `tag` of directory `directory` of a little-endian classic TIFF: its tag code
/// becomes `newTag` and, for entries with an inline value, the value becomes `newValue`.
void patchTagCode(const std::string& path, uint16_t directory, uint16_t tag, uint16_t newTag);
void patchTagValue(const std::string& path, uint16_t directory, uint16_t tag, uint32_t newValue);

}  // namespace orvex_lines_test
