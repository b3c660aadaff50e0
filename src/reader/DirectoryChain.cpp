#include "reader/DirectoryChain.h"

#include <algorithm>

namespace orvex {
namespace {

// Reads the file through the handle's own I/O procedures, which libtiff itself uses: each of
// libtiff's reads seeks first, so they are not disturbed. Directories usually lie close
// together, so the file is read a block at a time and most of them are found in the block.
class RawDirectoryReader {
public:
  explicit RawDirectoryReader(TIFF* tif)
      : handle_(TIFFClientdata(tif)),
        read_(TIFFGetReadProc(tif)),
        seek_(TIFFGetSeekProc(tif)),
        bigEndian_(TIFFIsBigEndian(tif) != 0),
        bigTiff_(TIFFIsBigTIFF(tif) != 0) {}

  /// Where the first directory starts, from the file header.
  std::optional<uint64_t> firstDirectory() { return unsignedAt(bigTiff_ ? 8 : 4, offsetBytes()); }

  /// Where the directory after the one at `directory` starts.
  std::optional<uint64_t> nextDirectory(uint64_t directory) {
    const size_t countBytes = bigTiff_ ? 8 : 2;
    const std::optional<uint64_t> entries = unsignedAt(directory, countBytes);
    if (!entries) {
      return std::nullopt;
    }
    const uint64_t entryBytes = bigTiff_ ? 20 : 12;
    return unsignedAt(directory + countBytes + *entries * entryBytes, offsetBytes());
  }

private:
  static constexpr size_t kBlockBytes = 65536;

  size_t offsetBytes() const { return bigTiff_ ? 8 : 4; }

  std::optional<uint64_t> unsignedAt(uint64_t offset, size_t bytes) {
    if (!holds(offset, bytes) && !fill(offset)) {
      return std::nullopt;
    }
    const uint8_t* at = block_.data() + (offset - blockStart_);
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i) {
      value = value << 8 | at[bigEndian_ ? i : bytes - 1 - i];
    }
    return value;
  }

  bool holds(uint64_t offset, size_t bytes) const {
    return offset >= blockStart_ && offset - blockStart_ + bytes <= block_.size() &&
           offset + bytes > offset;
  }

  // Reads the block starting at `offset`; a block cut short by the end of the file still
  // serves the values it holds.
  bool fill(uint64_t offset) {
    block_.resize(kBlockBytes);
    const tmsize_t read = seek_(handle_, offset, SEEK_SET) == offset
                              ? read_(handle_, block_.data(), static_cast<tmsize_t>(kBlockBytes))
                              : -1;
    block_.resize(read > 0 ? static_cast<size_t>(read) : 0);
    blockStart_ = offset;
    return !block_.empty();
  }

  thandle_t handle_;
  TIFFReadWriteProc read_;
  TIFFSeekProc seek_;
  bool bigEndian_;
  bool bigTiff_;
  std::vector<uint8_t> block_;
  uint64_t blockStart_ = 0;
};

}  // namespace

void DirectoryChain::walk(TIFF* tif) {
  clear();
  // libtiff's own count decides how far the chain goes: it ends at a loop or at a link that
  // cannot be read, and our walk only follows links libtiff has already followed.
  count_ = static_cast<uint16_t>(std::min<tdir_t>(TIFFNumberOfDirectories(tif), 0xFFFF));
  offsets_.reserve(count_);
  RawDirectoryReader file(tif);
  std::optional<uint64_t> offset = count_ > 0 ? file.firstDirectory() : std::nullopt;
  while (offset && offsets_.size() < count_) {
    offsets_.push_back(*offset);
    offset = offsets_.size() < count_ ? file.nextDirectory(*offset) : std::nullopt;
  }
  held_ = 0;
}

void DirectoryChain::clear() {
  count_ = 0;
  offsets_.clear();
  held_.reset();
}

bool DirectoryChain::select(TIFF* tif, uint16_t index) {
  if (index >= count_) {
    return false;
  }
  if (held_ == index) {
    return true;
  }
  // A directory whose place the walk could not read is still reached from the first one.
  const bool read = index < offsets_.size() ? TIFFSetSubDirectory(tif, offsets_[index]) == 1
                                            : TIFFSetDirectory(tif, index) == 1;
  held_ = read ? std::optional<uint16_t>(index) : std::nullopt;
  return read;
}

}  // namespace orvex
