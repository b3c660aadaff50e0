#include "TiffSource.h"

#include "ToolError.h"

namespace orvex_cli {

TiffSource::TiffSource(LogTap& log, const std::string& path)
    : log_(log), path_(path), reader_(createTiffReader(), destroyTiffReader) {
  const size_t mark = log_.mark();
  if (!reader_->begin(path.c_str())) {
    const std::string reason = log_.reasonSince(mark);
    reader_->end();
    throw ToolError(kExitFileError, "cannot read " + path + ": " + reason);
  }
  directoryCount_ = reader_->getNumberOfDirectories();
}

TiffSource::~TiffSource() {
  reader_->end();
}

bool TiffSource::select(uint16_t dir, std::string& reason) {
  const size_t mark = log_.mark();
  currentDirectory_ = dir;
  if (!reader_->beginReadSubDir(dir)) {
    reason = log_.reasonSince(mark);
    info_ = TiffImageInfo();
    rowScanlines_ = true;
    return false;
  }
  info_ = reader_->getImageInfo();
  rowScanlines_ = reader_->isRowScanline();
  return true;
}

void TiffSource::require(uint16_t dir) {
  if (dir >= directoryCount_) {
    throw ToolError(kExitUsage, "--dir " + std::to_string(dir) + ": " + path_ + " has " +
                                    std::to_string(directoryCount_) + " director" +
                                    (directoryCount_ == 1 ? "y" : "ies"));
  }
  std::string reason;
  if (!select(dir, reason)) {
    throw ToolError(kExitFileError, "cannot read directory " + std::to_string(dir) + " of " +
                                        path_ + ": " + reason);
  }
}

Scanline TiffSource::scanline(uint32_t index) {
  const size_t mark = log_.mark();
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader_->readScanline(index, &data, &size);
  return delivered(ok, data, size, index, mark);
}

Scanline TiffSource::scanline(uint16_t channel, uint32_t index) {
  const size_t mark = log_.mark();
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader_->readScanline(channel, index, &data, &size);
  return delivered(ok, data, size, index, mark);
}

Scanline TiffSource::delivered(bool ok, uint8_t* data, uint32_t size, uint32_t index,
                               size_t mark) const {
  if (!ok || data == nullptr) {
    throw ToolError(kExitFileError, "cannot read scanline " + std::to_string(index) +
                                        " of directory " + std::to_string(currentDirectory_) +
                                        " of " + path_ + ": " + log_.reasonSince(mark));
  }
  return Scanline{data, size};
}

}  // namespace orvex_cli
