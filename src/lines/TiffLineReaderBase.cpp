#include "lines/TiffLineReaderBase.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "boundary/ModuleLogger.h"
#include "lines/TiffLineAdjuster.h"
#include "reader/TiffHelper.h"

namespace orvex {

TiffLineReaderBase::TiffLineReaderBase(TIFF* tif, TiffInfo info, uint16_t directoryCount)
    : tif_(tif), directoryCount_(directoryCount), info_(std::move(info)) {
  moduleLogger().log(kLogDetail, "[TIFFNumberOfDirectories]:%u",
                     static_cast<unsigned>(directoryCount_));
}

TiffLineReaderBase::~TiffLineReaderBase() {
  tiffLineAdjuster_.reset();
  clearCacheArray();
}

bool TiffLineReaderBase::adjustTiffInfo() {
  return true;
}

void TiffLineReaderBase::readTiffInfo() {
  TiffHelper::logAssumedDefaults(info_);
  layout_ = BlockLayout();
  layout_.scanlineSize_ = TIFFScanlineSize(tif_);
  layout_.stripSize_ = TIFFStripSize(tif_);
  if (!info_.isTiled_) {
    return;
  }
  // A zero tile dimension leaves no tiles to count; beginRead then refuses the directory.
  if (info_.tilewidth_ != 0 && info_.tilelength_ != 0) {
    layout_.tilesAcross_ = static_cast<uint32_t>(
        (uint64_t{info_.imagewidth_} + info_.tilewidth_ - 1) / info_.tilewidth_);
    layout_.tilesDown_ = static_cast<uint32_t>(
        (uint64_t{info_.imagelength_} + info_.tilelength_ - 1) / info_.tilelength_);
  }
  layout_.tileRowSize_ = TIFFTileRowSize(tif_);
  layout_.tileSize_ = TIFFTileSize(tif_);
}

bool TiffLineReaderBase::beginRead(uint16_t directoryIndex) {
  static const char* const kOperation = "TiffLineReaderBase::beginRead";
  endRead();
  if (directoryIndex >= directoryCount_) {
    return false;
  }
  directoryIndex_ = directoryIndex;
  orientationPlan_ = OrientationPlan::of(info_.orientation_);
  readTiffInfo();
  if (!adjustTiffInfo()) {
    return false;
  }
  layout_.stored_ = BlockLayout::storedLayoutOf(info_.planarconfig_, info_.isTiled_);
  if (!sizeCacheArray()) {
    moduleLogger().log(kLogError, "[%s] cacheArray_ alloc failed!", kOperation);
    return false;
  }
  if (!initTiffLineAdjuster()) {
    moduleLogger().log(kLogError, "[%s] initTiffLineAdjuster failed!", kOperation);
    return false;
  }
  return true;
}

bool TiffLineReaderBase::sizeCacheArray() {
  if (layout_.stored_ == StoredLayout::Unreadable) {
    return false;
  }
  const size_t planes = layout_.separate() ? info_.samplesperpixel_ : 1;
  if (!layout_.tiled()) {
    // Without rows per strip no row can be located in a strip.
    return info_.rowsperstrip_ != 0 && initCacheArray(planes, layout_.stripSize_);
  }
  return info_.tilewidth_ != 0 && info_.tilelength_ != 0 &&
         initCacheArray(planes * size_t{layout_.tilesAcross_}, layout_.tileSize_);
}

bool TiffLineReaderBase::initCacheArray(size_t count, int64_t size) {
  if (count == 0) {
    clearCacheArray();
    return true;
  }
  if (cacheArray_.holds(count, size)) {
    cacheArray_.zeroFill();
    return true;
  }
  return cacheArray_.rebuild(count, size);
}

void TiffLineReaderBase::clearCacheArray() {
  cacheArray_.clear();
}

bool TiffLineReaderBase::isCached(uint32_t row) const {
  return cacheFirstRow_ <= row && row < cacheEndRow_;
}

void TiffLineReaderBase::markCached(uint32_t first, uint32_t rowsPerBlock) {
  cacheFirstRow_ = first;
  cacheEndRow_ = first + std::min(rowsPerBlock, info_.imagelength_ - first);
}

bool TiffLineReaderBase::decodeBlock(uint32_t first, uint32_t rowsPerBlock,
                                     const std::function<bool()>& decode, const char* failedText,
                                     const char* operation) {
  if (failedFirstRow_ != first && decode()) {
    failedFirstRow_ = kNoRow;
    markCached(first, rowsPerBlock);
    return true;
  }
  // The failed decode may already have cleared and partly refilled the buffers, so the rows
  // they held before are gone too: the next request for any of them decodes again.
  cacheFirstRow_ = kNoRow;
  cacheEndRow_ = kNoRow;
  failedFirstRow_ = first;
  moduleLogger().log(kLogError, failedText, operation);
  return false;
}

void TiffLineReaderBase::endRead() {
  clearCacheArray();
  cacheFirstRow_ = kNoRow;
  cacheEndRow_ = kNoRow;
  failedFirstRow_ = kNoRow;
  tiffLineAdjuster_.reset();
}

bool TiffLineReaderBase::colorMap(ColorMap& colorMap) const {
  return TiffHelper::getPaletteInfo(tif_, colorMap);
}

bool TiffLineReaderBase::installTiffLineAdjuster(std::shared_ptr<TiffLineAdjuster> adjuster) {
  if (!adjuster->postInitialize()) {
    adjuster.reset();
  }
  tiffLineAdjuster_ = std::move(adjuster);
  return tiffLineAdjuster_ != nullptr;
}

bool TiffLineReaderBase::adjustDeliveredRow(uint32_t rowIndex) {
  if (!tiffLineAdjuster_) {
    moduleLogger().log(kLogError, "[%s] tiffLineAdjuster_ is empty!",
                       "TiffLineReaderBase::readScanline");
    return false;
  }
  const uint32_t sourceRow = orientationPlan_.sourceRowOf(rowIndex, info_.imagelength_);
  if (!readOriginScanline(sourceRow)) {
    moduleLogger().log(kLogError, "[%s] readOriginLine failed!",
                       "TiffLineReaderBase::readScanline");
    return false;
  }
  return tiffLineAdjuster_->adjustScanline(sourceRow);
}

bool TiffLineReaderBase::handOut(const ScanlineBuffer& buffer, uint8_t** data, uint32_t* size) {
  if (buffer.data == nullptr) {
    return false;
  }
  if (data != nullptr) {
    *data = buffer.data;
  }
  if (size != nullptr) {
    *size = static_cast<uint32_t>(buffer.size);
  }
  return true;
}

bool TiffLineReaderBase::readScanline(uint32_t rowIndex, uint8_t** data, uint32_t* size) {
  return adjustDeliveredRow(rowIndex) &&
         handOut(tiffLineAdjuster_->getContigScanlineBuffer(), data, size);
}

bool TiffLineReaderBase::readScanline(uint16_t channel, uint32_t rowIndex, uint8_t** data,
                                      uint32_t* size) {
  return adjustDeliveredRow(rowIndex) &&
         handOut(tiffLineAdjuster_->getSeparateScanlineBuffer(channel), data, size);
}

bool TiffLineReaderBase::readScanlines(int channel, uint32_t first, uint32_t count, uint8_t* dest,
                                       size_t stride) {
  const uint32_t end = first + count;
  for (uint32_t row = first; row < end;) {
    uint8_t* target = dest + size_t{row - first} * stride;
    const uint32_t decoded = decodeStraight(channel, row, end, target, stride);
    if (decoded != 0) {
      row += decoded;
      continue;
    }
    uint8_t* data = nullptr;
    uint32_t size = 0;
    const bool read = channel < 0 ? readScanline(row, &data, &size)
                                  : readScanline(static_cast<uint16_t>(channel), row, &data, &size);
    if (!read) {
      return false;
    }
    std::memcpy(target, data, std::min<size_t>(size, stride));
    ++row;
  }
  return true;
}

uint32_t TiffLineReaderBase::decodeStraight(int /*channel*/, uint32_t /*row*/, uint32_t /*end*/,
                                            uint8_t* /*dest*/, size_t /*stride*/) {
  return 0;
}

}  // namespace orvex
