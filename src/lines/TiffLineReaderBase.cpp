#include "lines/TiffLineReaderBase.h"

#include <algorithm>

#include "boundary/ModuleLogger.h"
#include "lines/TiffLineAdjuster.h"
#include "reader/TiffHelper.h"
#include "reader/TiffInfo.h"

namespace orvex {

TiffLineReaderBase::TiffLineReaderBase(TIFF* tif) : tif_(tif) {
  resetDescription();
  directoryCount_ = TiffHelper::numberOfDirectories(tif_);
  moduleLogger().log(kLogDetail, "[TIFFNumberOfDirectories]:%u",
                     static_cast<unsigned>(directoryCount_));
}

TiffLineReaderBase::~TiffLineReaderBase() {
  tiffLineAdjuster_.reset();
  clearCacheArray();
}

void TiffLineReaderBase::resetDescription() {
  imagewidth_ = 0;
  imagelength_ = 0;
  bitspersample_ = 0;
  samplesperpixel_ = 0;
  extrasamples_ = 0;
  extrasamplesinfo_.clear();
  sampleformat_ = 1;
  scanlineSize_ = 0;
  rowsperstrip_ = 0;
  stripSize_ = 0;
  tilewidth_ = 0;
  tilelength_ = 0;
  tilesAcross_ = 0;
  tilesDown_ = 0;
  tileRowSize_ = 0;
  tileSize_ = 0;
  photometric_ = 0;
  compression_ = 0xFFFF;
  planarconfig_ = 0xFFFF;
  orientation_ = 1;
  xresolution_ = 72.0f;
  yresolution_ = 72.0f;
  resolutionunit_ = 2;
  fillorder_ = 2;
}

bool TiffLineReaderBase::adjustTiffInfo() {
  return true;
}

bool TiffLineReaderBase::readTiffInfo() {
  resetDescription();
  TiffInfo info;
  if (!TiffHelper::readTiffInfo(tif_, info)) {
    moduleLogger().log(kLogDetail, "[%s] readTiffInfo failed!", "TiffLineReaderBase::readTiffInfo");
    return false;
  }
  directoryIndex_ = info.dirIndex_;
  imagewidth_ = info.imagewidth_;
  imagelength_ = info.imagelength_;
  bitspersample_ = info.bitspersample_;
  samplesperpixel_ = info.samplesperpixel_;
  extrasamples_ = info.extrasamples_;
  extrasamplesinfo_ = info.extrasamplesinfo_;
  sampleformat_ = info.sampleformat_;
  rowsperstrip_ = info.rowsperstrip_;
  photometric_ = info.photometric_;
  compression_ = info.compression_;
  planarconfig_ = info.planarconfig_;
  orientation_ = info.orientation_;
  xresolution_ = info.xresolution_;
  yresolution_ = info.yresolution_;
  resolutionunit_ = info.resolutionunit_;
  fillorder_ = info.fillorder_;
  scanlineSize_ = TIFFScanlineSize(tif_);
  stripSize_ = TIFFStripSize(tif_);
  if (TIFFIsTiled(tif_)) {
    tilewidth_ = info.tilewidth_;
    tilelength_ = info.tilelength_;
    // A zero tile dimension leaves no tiles to count; beginRead then refuses the directory.
    if (tilewidth_ != 0 && tilelength_ != 0) {
      tilesAcross_ = static_cast<uint32_t>((uint64_t{imagewidth_} + tilewidth_ - 1) / tilewidth_);
      tilesDown_ = static_cast<uint32_t>((uint64_t{imagelength_} + tilelength_ - 1) / tilelength_);
    }
    tileRowSize_ = TIFFTileRowSize(tif_);
    tileSize_ = TIFFTileSize(tif_);
  }
  return true;
}

bool TiffLineReaderBase::beginRead(uint16_t directoryIndex) {
  static const char* const kOperation = "TiffLineReaderBase::beginRead";
  endRead();
  if (directoryIndex >= directoryCount_) {
    return false;
  }
  if (TIFFSetDirectory(tif_, directoryIndex) != 1) {
    moduleLogger().log(kLogError, "[%s] TIFFSetDirectory failed [dirIndex:%u]", kOperation,
                       static_cast<unsigned>(directoryIndex));
    return false;
  }
  directoryIndex_ = directoryIndex;
  if (!readTiffInfo() || !adjustTiffInfo()) {
    return false;
  }
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
  if (planarconfig_ != PLANARCONFIG_CONTIG && planarconfig_ != PLANARCONFIG_SEPARATE) {
    return false;
  }
  const size_t planes = planarconfig_ == PLANARCONFIG_SEPARATE ? samplesperpixel_ : 1;
  if (!TIFFIsTiled(tif_)) {
    // Without rows per strip no row can be located in a strip.
    return rowsperstrip_ != 0 && initCacheArray(planes, stripSize_);
  }
  return tilewidth_ != 0 && tilelength_ != 0 &&
         initCacheArray(planes * size_t{tilesAcross_}, tileSize_);
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
  cacheEndRow_ = first + std::min(rowsPerBlock, imagelength_ - first);
}

bool TiffLineReaderBase::decodeBlock(uint32_t first, uint32_t rowsPerBlock,
                                     const std::function<bool()>& decode, const char* failedText,
                                     const char* operation) {
  if (failedFirstRow_ != first && decode()) {
    failedFirstRow_ = kNoRow;
    markCached(first, rowsPerBlock);
    return true;
  }
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

bool TiffLineReaderBase::installTiffLineAdjuster(std::shared_ptr<TiffLineAdjuster> adjuster) {
  if (!adjuster->postInitialize()) {
    adjuster.reset();
  }
  tiffLineAdjuster_ = std::move(adjuster);
  return tiffLineAdjuster_ != nullptr;
}

uint32_t TiffLineReaderBase::sourceRowOf(uint32_t rowIndex) const {
  const uint32_t mode = tiffLineAdjuster_->orientationMode();
  const bool storedBottomFirst = (mode & TiffLineAdjuster::kRowsBottomFirst) != 0;
  const bool storedRightColumnFirst = (mode & TiffLineAdjuster::kColumnsLeftFirst) == 0 &&
                                      (mode & TiffLineAdjuster::kColumnsRightFirst) != 0;
  const bool flip = mode != 0 && (mode & TiffLineAdjuster::kRowsTopFirst) == 0 &&
                    (storedBottomFirst || storedRightColumnFirst);
  return flip ? imagelength_ - 1 - rowIndex : rowIndex;
}

bool TiffLineReaderBase::adjustDeliveredRow(uint32_t rowIndex) {
  if (!tiffLineAdjuster_) {
    moduleLogger().log(kLogError, "[%s] tiffLineAdjuster_ is empty!",
                       "TiffLineReaderBase::readScanline");
    return false;
  }
  const uint32_t sourceRow = sourceRowOf(rowIndex);
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

}  // namespace orvex
