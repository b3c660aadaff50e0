#include "lines/TiffLineAdjuster.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"
#include "lines/CommonTool.h"
#include "lines/ITiffLineSource.h"
#include "lines/RowBytes.h"
#include "lines/SampleDepth.h"
#include "reader/TiffHelper.h"

namespace orvex {

TiffLineAdjuster::TiffLineAdjuster(const ITiffLineSource* source) : source_(source) {}

const TiffInfo& TiffLineAdjuster::info() const {
  return source_->description();
}

const BlockLayout& TiffLineAdjuster::layout() const {
  return source_->layout();
}

const ScanlineBuffer& TiffLineAdjuster::sharedEmptyBuffer() {
  static const ScanlineBuffer empty;
  return empty;
}

bool TiffLineAdjuster::postInitialize() {
  static const char* const kOperation = "TiffLineAdjuster::postInitialize";
  const TiffInfo& stored = info();
  source_->orientationPlan().log(kOperation);

  DpiInput input;
  input.width_ = stored.imagewidth_;
  input.height_ = stored.imagelength_;
  input.orientation_ = stored.orientation_;
  input.rotation_ = 0;
  input.xResolution_ = stored.xresolution_;
  input.yResolution_ = stored.yresolution_;
  input.resolutionUnit_ = stored.resolutionunit_;
  DpiOutput output;
  TiffHelper::calculate_DPI(input, output);

  AdjustedImageInfo& delivered = adjustedImageInfo_;
  delivered.outputWidth_ = output.width_;
  delivered.outputLength_ = output.height_;
  delivered.xresolution_ = output.xResolution_;
  delivered.yresolution_ = output.yResolution_;
  delivered.resolutionunit_ = output.resolutionUnit_;
  delivered.bitspersample_ = stored.bitspersample_;
  delivered.samplesperpixel_ = stored.samplesperpixel_;
  delivered.sampleformat_ = stored.sampleformat_;
  delivered.photometric_ = stored.photometric_;
  delivered.planarconfig_ = stored.planarconfig_;
  return true;
}

bool TiffLineAdjuster::isPackedDepth() const {
  return SampleDepth::isPacked(info().bitspersample_);
}

// Sub-byte rows stay packed at the file's depth throughout, so that they move as whole bytes.
int64_t TiffLineAdjuster::contigScanlineBytes() const {
  if (isPackedDepth()) {
    return packedRowBytes(info().samplesperpixel_);
  }
  return int64_t{info().samplesperpixel_} * info().imagewidth_ * info().bitspersample_ / 8;
}

int64_t TiffLineAdjuster::separateScanlineBytes() const {
  const int64_t width = info().imagewidth_;
  return isPackedDepth() ? packedRowBytes(1) : width * info().bitspersample_ / 8;
}

// The row caps count a byte per sample at depths below a byte, so that a picture too wide to
// read is refused at every depth alike: over the cap the size is -1, which no buffer takes.
int64_t TiffLineAdjuster::underRowCap(int64_t bytes) const {
  const int64_t samples = int64_t{info().samplesperpixel_} * info().imagewidth_;
  return isPackedDepth() && samples > kMaxRowBytes ? -1 : bytes;
}

int64_t TiffLineAdjuster::packedRowBytes(uint16_t samples) const {
  return (int64_t{info().bitspersample_} * samples * info().imagewidth_ + 7) / 8;
}

int64_t TiffLineAdjuster::deliveredScanlineBytes(bool oneChannel) const {
  if (isPackedDepth()) {
    return packedRowBytes(oneChannel ? 1 : info().samplesperpixel_);
  }
  return oneChannel ? separateScanlineBytes() : contigScanlineBytes();
}

bool TiffLineAdjuster::adjustScanline(uint32_t sourceRow) {
  static const char* const kOperation = "TiffLineAdjuster::adjustScanline";
  if (sourceRow == adjustedRowIndex_) {
    return true;
  }
  // Forgotten until the row is complete, so a row that failed (or threw) is read again.
  adjustedRowIndex_ = ITiffLineSource::kNoRow;
  if (!readRowFromCache(sourceRow)) {
    return false;
  }
  if (!adjustOrientation()) {
    moduleLogger().log(kLogError, "[%s] adjustOrientation failed!", kOperation);
    return false;
  }
  if (!adjustPhotometric()) {
    moduleLogger().log(kLogError, "[%s] adjustPhotometric failed!", kOperation);
    return false;
  }
  adjustedRowIndex_ = sourceRow;
  return true;
}

// The operation the log names for each stored layout.
const char* TiffLineAdjuster::readOperation() const {
  switch (layout().stored_) {
    case StoredLayout::ContigStrips:
      return "TiffLineAdjuster::readScanline_fromContigStripData";
    case StoredLayout::SeparateStrips:
      return "TiffLineAdjuster::readScanline_fromSeparateStripData";
    case StoredLayout::ContigTiles:
      return "TiffLineAdjuster::readScanline_fromContigTileData";
    default:
      return "TiffLineAdjuster::readScanline_fromSeparateTileData";
  }
}

bool TiffLineAdjuster::readRowFromCache(uint32_t sourceRow) {
  const uint32_t line = sourceRow - source_->cacheFirstRow();
  if (layout().stored_ == StoredLayout::Unreadable) {
    return false;
  }
  return layout().separate() ? readSeparateRow(line) : readContigRow(line);
}

// Row `line` of plane `plane` of the cached strip or row of tiles.
void TiffLineAdjuster::readPlaneRow(uint16_t plane, uint32_t line, ScanlineBuffer& dest,
                                    uint16_t samplesPerPixel) {
  if (layout().tiled()) {
    readTileRow(size_t{plane} * layout().tilesAcross_, line, dest, samplesPerPixel);
  } else {
    readStripRow(plane, line, dest, samplesPerPixel);
  }
}

const uint8_t* TiffLineAdjuster::cachedRow(size_t cacheIndex, uint32_t line,
                                           int64_t rowBytes) const {
  const ScanlineBuffer& cached = source_->cachedBlock(cacheIndex);
  const uint64_t offset = uint64_t{line} * static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0));
  RowBytes::requireSpan(cached, offset, static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0)));
  return cached.data + offset;
}

// Depths that are not whole bytes per pixel (3 or 12 bits, say) give a raw row longer than
// the row buffer; only what fits is kept.
void TiffLineAdjuster::copyRowPart(const uint8_t* source, int64_t sourceBytes, ScanlineBuffer& dest,
                                   uint64_t firstPixel, uint64_t pixels, uint16_t samplesPerPixel) {
  const uint64_t pixelBits = uint64_t{samplesPerPixel} * info().bitspersample_;
  const uint64_t destBytes = static_cast<uint64_t>(std::max<int64_t>(dest.size, 0));
  const uint64_t sourceBits = static_cast<uint64_t>(std::max<int64_t>(sourceBytes, 0)) * 8;
  if (isPackedDepth()) {
    // Tile parts may start inside a byte; the bits are shifted into place.
    const uint64_t firstBit = firstPixel * pixelBits;
    if (firstBit < destBytes * 8) {
      CommonTool::placeBits(dest.data, firstBit, source,
                            std::min({pixels * pixelBits, sourceBits, destBytes * 8 - firstBit}));
    }
    return;
  }
  const uint64_t pixelBytes = pixelBits / 8;
  if (mirrorsWhileCopying()) {
    // The part lands where the mirrored row wants it, its pixels already reversed.
    const uint64_t copied = std::min(pixels, sourceBits / 8 / pixelBytes);
    const uint64_t offset = (info().imagewidth_ - firstPixel - pixels) * pixelBytes;
    RowBytes::requireSpan(dest, offset, pixels * pixelBytes);
    CommonTool::copyReversedPixels(dest.data + offset + (pixels - copied) * pixelBytes, source,
                                   static_cast<uint32_t>(copied), pixelBytes);
    return;
  }
  const uint64_t offset = firstPixel * pixelBytes;
  if (offset >= destBytes) {
    return;
  }
  const uint64_t bytes = std::min({pixels * pixelBytes, sourceBits / 8, destBytes - offset});
  if (bytes > 0) {
    std::memcpy(dest.data + offset, source, static_cast<size_t>(bytes));
  }
}

// Rows of whole-byte samples are mirrored as they leave the cache, which moves each pixel once;
// other depths are mirrored in place afterwards.
bool TiffLineAdjuster::mirrorsWhileCopying() const {
  return source_->orientationPlan().mirrorsRows() && info().bitspersample_ % 8 == 0 &&
         info().bitspersample_ != 0;
}

void TiffLineAdjuster::readStripRow(size_t cacheIndex, uint32_t line, ScanlineBuffer& dest,
                                    uint16_t samplesPerPixel) {
  const int64_t rowBytes = layout().scanlineSize_;
  const uint8_t* source = cachedRow(cacheIndex, line, rowBytes);
  if (isPackedDepth() || mirrorsWhileCopying()) {
    copyRowPart(source, rowBytes, dest, 0, info().imagewidth_, samplesPerPixel);
    return;
  }
  const int64_t bytes = std::max<int64_t>(std::min(rowBytes, dest.size), 0);
  if (bytes > 0) {
    std::memcpy(dest.data, source, static_cast<size_t>(bytes));
  }
}

void TiffLineAdjuster::readTileRow(size_t firstCacheIndex, uint32_t line, ScanlineBuffer& dest,
                                   uint16_t samplesPerPixel) {
  const uint32_t width = info().imagewidth_;
  const uint32_t tileWidth = info().tilewidth_;
  const int64_t rowBytes = layout().tileRowSize_;
  // The tiles' parts of the row follow one another from its start.
  for (uint32_t column = 0; column < layout().tilesAcross_; ++column) {
    const uint64_t x0 = uint64_t{column} * tileWidth;
    const uint64_t pixels = std::min<uint64_t>(tileWidth, width - x0);
    const uint8_t* source = cachedRow(firstCacheIndex + column, line, rowBytes);
    copyRowPart(source, rowBytes, dest, x0, pixels, samplesPerPixel);
  }
}

bool TiffLineAdjuster::readContigRow(uint32_t line) {
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!", readOperation());
    return false;
  }
  readPlaneRow(0, line, contigScanlineBuffer_, info().samplesperpixel_);
  return true;
}

bool TiffLineAdjuster::readSeparateRow(uint32_t line) {
  if (!initSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!", readOperation());
    return false;
  }
  for (uint16_t channel = 0; channel < info().samplesperpixel_; ++channel) {
    readPlaneRow(channel, line, separateScanlineBufferArray_.at(channel), 1);
  }
  return true;
}

bool TiffLineAdjuster::initContigScanlineBuffer() {
  static const char* const kOperation = "TiffLineAdjuster::initContigScanlineBuffer";
  return RowBytes::sizeAndClear(contigScanlineBuffer_, underRowCap(contigScanlineBytes()),
                                kOperation, "[%s] contigScanlineBuffer_ memory alloc failed!",
                                "[%s] contigScanlineBuffer_ memory alloc success!");
}

bool TiffLineAdjuster::initSeparateScanlineBufferArray() {
  static const char* const kOperation = "TiffLineAdjuster::initSeparateScanlineBufferArray";
  const size_t channels = info().samplesperpixel_;
  const int64_t size = underRowCap(separateScanlineBytes());
  if (separateScanlineBufferArray_.holds(channels, size)) {
    separateScanlineBufferArray_.zeroFill();
    return true;
  }
  if (!separateScanlineBufferArray_.rebuild(channels, size)) {
    moduleLogger().log(kLogError, "[%s] separateScanlineBufferArray_ memory alloc failed!",
                       kOperation);
    return false;
  }
  moduleLogger().log(kLogDetail, "[%s] separateScanlineBufferArray_ memory alloc success!",
                     kOperation);
  return true;
}

bool TiffLineAdjuster::initRealContigScanlineBuffer_1_2_4() {
  return RowBytes::sizeAndClear(realContigScanlineBuffer_1_2_4_,
                                packedRowBytes(info().samplesperpixel_),
                                "TiffLineAdjuster::initRealContigScanlineBuffer_1_2_4",
                                "[%s] realContigScanlineBuffer_1_2_4_ memory alloc failed!",
                                "[%s] realContigScanlineBuffer_1_2_4_ memory alloc success!");
}

bool TiffLineAdjuster::initRealSeparateScanlineBuffer_1_2_4() {
  return RowBytes::sizeAndClear(realSeparateScanlineBuffer_1_2_4_, packedRowBytes(1),
                                "TiffLineAdjuster::initRealSeparateScanlineBuffer_1_2_4",
                                "[%s] realSeparateScanlineBuffer_1_2_4_ memory alloc failed!",
                                "[%s] realSeparateScanlineBuffer_1_2_4_ memory alloc success!");
}

bool TiffLineAdjuster::adjustOrientation() {
  if (!source_->orientationPlan().mirrorsRows() || mirrorsWhileCopying()) {
    return true;
  }
  const bool separate = layout().separate();
  const uint16_t samples = separate ? 1 : info().samplesperpixel_;
  bool reversed = true;
  for (size_t channel = 0;
       reversed && channel < (separate ? separateScanlineBufferArray_.count() : 1); ++channel) {
    ScanlineBuffer& row =
        separate ? separateScanlineBufferArray_.at(channel) : contigScanlineBuffer_;
    reversed = reverseRow(row, samples);
  }
  if (!reversed) {
    moduleLogger().log(kLogError, "[%s] reverseScanline failed!",
                       "TiffLineAdjuster::adjustOrientation");
  }
  return reversed;
}

// Sub-byte rows are packed buffers sized for their pixels, so only whole-byte rows can be
// short.
bool TiffLineAdjuster::reverseRow(ScanlineBuffer& row, uint16_t samplesPerPixel) {
  const uint32_t width = info().imagewidth_;
  if (isPackedDepth()) {
    CommonTool::reversePackedPixels(row.data, width, samplesPerPixel, info().bitspersample_);
    return true;
  }
  return CommonTool::reverseScanline_8multiple_BitsPerSample(row.data, row.size, samplesPerPixel,
                                                             info().bitspersample_, width);
}

bool TiffLineAdjuster::adjustPhotometric() {
  return true;
}

const ScanlineBuffer& TiffLineAdjuster::getContigScanlineBuffer() {
  if (!adjustContigScanlineBuffer_when_1_2_4()) {
    return sharedEmptyBuffer();
  }
  return isPackedDepth() ? realContigScanlineBuffer_1_2_4_ : contigScanlineBuffer_;
}

const ScanlineBuffer& TiffLineAdjuster::getSeparateScanlineBuffer(uint16_t channel) {
  if (!adjustSeparateScanlineBuffer_when_1_2_4(channel)) {
    return sharedEmptyBuffer();
  }
  return isPackedDepth() ? realSeparateScanlineBuffer_1_2_4_
                         : separateScanlineBufferArray_.at(channel);
}

// The packed row is copied whole: its spare bits are already clear.
void TiffLineAdjuster::deliverPacked(const ScanlineBuffer& row, ScanlineBuffer& delivered) {
  RowBytes::requireSpan(row, 0, static_cast<uint64_t>(delivered.size));
  std::memcpy(delivered.data, row.data, static_cast<size_t>(delivered.size));
}

bool TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4() {
  static const char* const kOperation = "TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4";
  if (layout().separate() && !obtainContigScanlineBuffer_fromSeparate()) {
    return false;
  }
  if (!isPackedDepth()) {
    return true;
  }
  if (!initRealContigScanlineBuffer_1_2_4()) {
    moduleLogger().log(kLogError, "[%s] initRealContigScanlineBuffer_1_2_4 failed!", kOperation);
    return false;
  }
  deliverPacked(contigScanlineBuffer_, realContigScanlineBuffer_1_2_4_);
  return true;
}

bool TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4(uint16_t channel) {
  static const char* const kOperation = "TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4";
  if (!layout().separate() && !obtainSeparateScanlineBuffer_fromContig(channel)) {
    return false;
  }
  const ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
  if (!isPackedDepth()) {
    return true;
  }
  if (!initRealSeparateScanlineBuffer_1_2_4()) {
    moduleLogger().log(kLogError, "[%s] initRealSeparateScanlineBuffer_1_2_4 failed!", kOperation);
    return false;
  }
  deliverPacked(plane, realSeparateScanlineBuffer_1_2_4_);
  return true;
}

bool TiffLineAdjuster::obtainContigScanlineBuffer_fromSeparate() {
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!",
                       "TiffLineAdjuster::obtainContigScanlineBuffer_fromSeparate");
    return false;
  }
  const uint64_t width = info().imagewidth_;
  const uint16_t channels = info().samplesperpixel_;
  const uint64_t bytesPerSample = (uint64_t{info().bitspersample_} + 7) / 8;
  const uint64_t pixelBytes = channels * bytesPerSample;
  for (uint16_t channel = 0; channel < channels; ++channel) {
    const ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
    if (isPackedDepth()) {
      RowBytes::requireSpan(plane, 0, static_cast<uint64_t>(packedRowBytes(1)));
      RowBytes::requireSpan(contigScanlineBuffer_, 0,
                            static_cast<uint64_t>(packedRowBytes(channels)));
      CommonTool::movePackedSamples(contigScanlineBuffer_.data, channel, channels, plane.data, 0, 1,
                                    width, info().bitspersample_);
      continue;
    }
    const uint64_t destOffset = channel * bytesPerSample;
    RowBytes::requireSpan(plane, 0, RowBytes::stridedSpan(width, bytesPerSample, bytesPerSample));
    RowBytes::requireSpan(contigScanlineBuffer_, destOffset,
                          RowBytes::stridedSpan(width, pixelBytes, bytesPerSample));
    RowBytes::copySamples(contigScanlineBuffer_.data + destOffset, pixelBytes, plane.data,
                          bytesPerSample, width, bytesPerSample);
  }
  return true;
}

bool TiffLineAdjuster::obtainSeparateScanlineBuffer_fromContig(uint16_t channel) {
  if (!initSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!",
                       "TiffLineAdjuster::obtainSeparateScanlineBuffer_fromContig");
    return false;
  }
  ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
  const uint64_t width = info().imagewidth_;
  if (isPackedDepth()) {
    RowBytes::requireSpan(plane, 0, static_cast<uint64_t>(packedRowBytes(1)));
    RowBytes::requireSpan(contigScanlineBuffer_, 0,
                          static_cast<uint64_t>(packedRowBytes(info().samplesperpixel_)));
    CommonTool::movePackedSamples(plane.data, 0, 1, contigScanlineBuffer_.data, channel,
                                  info().samplesperpixel_, width, info().bitspersample_);
    return true;
  }
  const uint64_t bytesPerSample = (uint64_t{info().bitspersample_} + 7) / 8;
  const uint64_t pixelBytes = info().samplesperpixel_ * bytesPerSample;
  const uint64_t sourceOffset = channel * bytesPerSample;
  RowBytes::requireSpan(plane, 0, RowBytes::stridedSpan(width, bytesPerSample, bytesPerSample));
  RowBytes::requireSpan(contigScanlineBuffer_, sourceOffset,
                        RowBytes::stridedSpan(width, pixelBytes, bytesPerSample));
  RowBytes::copySamples(plane.data, bytesPerSample, contigScanlineBuffer_.data + sourceOffset,
                        pixelBytes, width, bytesPerSample);
  return true;
}

}  // namespace orvex
