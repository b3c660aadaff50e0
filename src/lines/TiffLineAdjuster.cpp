#include "lines/TiffLineAdjuster.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"
#include "lines/CommonTool.h"
#include "lines/ITiffLineSource.h"
#include "lines/RowBytes.h"
#include "reader/TiffHelper.h"

namespace orvex {
namespace {

struct OrientationMode {
  uint32_t mode;
  uint32_t colFirst;
  severity_level level;
  const char* text;
};

// Indexed by TIFF orientation - 1; values outside 2..8 are read as top-left. Orientations 5 to 8
// store picture columns as file rows, so their rows are delivered as columns (colFirst).
constexpr uint32_t kReverse = TiffLineAdjuster::kPerRowBufNeedReverse;
const OrientationMode kOrientationModes[] = {
    {0, 0, kLogDetail, "[%s] DoNothing"},
    {kReverse | TiffLineAdjuster::kRowsTopFirst, 0, kLogMilestone, "[%s] RowFirst_RowFirst"},
    {kReverse | TiffLineAdjuster::kRowsBottomFirst, 0, kLogMilestone, "[%s] RowFirst_RowLast"},
    {TiffLineAdjuster::kRowsBottomFirst, 0, kLogMilestone, "[%s] RowFirst_RowLast"},
    {TiffLineAdjuster::kColumnsLeftFirst, 1, kLogMilestone, "[%s] RowFirst_ColFirst"},
    {TiffLineAdjuster::kColumnsRightFirst, 1, kLogMilestone, "[%s] RowFirst_ColLast"},
    {kReverse | TiffLineAdjuster::kColumnsRightFirst, 1, kLogMilestone, "[%s] RowFirst_ColLast"},
    {kReverse | TiffLineAdjuster::kColumnsLeftFirst, 1, kLogMilestone, "[%s] RowFirst_ColFirst"},
};

const OrientationMode& orientationModeOf(uint16_t orientation) {
  const bool known = orientation >= ORIENTATION_TOPRIGHT && orientation <= ORIENTATION_LEFTBOT;
  return kOrientationModes[known ? orientation - 1 : 0];
}

}  // namespace

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
  const OrientationMode& mode = orientationModeOf(stored.orientation_);
  orientationMode_ = mode.mode;
  colFirst_ = mode.colFirst;
  moduleLogger().log(mode.level, mode.text, kOperation);
  if ((orientationMode_ & kPerRowBufNeedReverse) != 0) {
    moduleLogger().log(kLogMilestone, "[%s] PerRowBufNeedReverse", kOperation);
  }

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

bool TiffLineAdjuster::isSubByteDepth() const {
  const uint16_t bps = info().bitspersample_;
  return bps == 1 || bps == 2 || bps == 4;
}

int64_t TiffLineAdjuster::contigScanlineBytes() const {
  const int64_t samples = int64_t{info().samplesperpixel_} * info().imagewidth_;
  return isSubByteDepth() ? samples : samples * info().bitspersample_ / 8;
}

int64_t TiffLineAdjuster::separateScanlineBytes() const {
  const int64_t width = info().imagewidth_;
  return isSubByteDepth() ? width : width * info().bitspersample_ / 8;
}

int64_t TiffLineAdjuster::packedRowBytes(uint16_t samples) const {
  return (int64_t{info().bitspersample_} * samples * info().imagewidth_ + 7) / 8;
}

int64_t TiffLineAdjuster::deliveredScanlineBytes(bool oneChannel) const {
  if (isSubByteDepth()) {
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

bool TiffLineAdjuster::readRowFromCache(uint32_t sourceRow) {
  const uint32_t line = sourceRow - source_->cacheFirstRow();
  const bool tiled = info().isTiled_;
  switch (info().planarconfig_) {
    case PLANARCONFIG_CONTIG:
      return tiled ? readScanline_fromContigTileData(line) : readScanline_fromContigStripData(line);
    case PLANARCONFIG_SEPARATE:
      return tiled ? readScanline_fromSeparateTileData(line)
                   : readScanline_fromSeparateStripData(line);
    default:
      return false;
  }
}

const uint8_t* TiffLineAdjuster::cachedRow(size_t cacheIndex, uint32_t line,
                                           int64_t rowBytes) const {
  const ScanlineBuffer& cached = source_->cachedBlock(cacheIndex);
  const uint64_t offset = uint64_t{line} * static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0));
  RowBytes::requireSpan(cached, offset, static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0)));
  return cached.data + offset;
}

bool TiffLineAdjuster::unpackOrCopy(const uint8_t* source, int64_t sourceBytes, uint8_t* dest,
                                    int64_t destBytes, uint16_t samplesPerPixel, uint32_t pixels,
                                    const char* operation) {
  if (isSubByteDepth()) {
    if (!CommonTool::convert_1_2_4_To_8Bits(source, sourceBytes, dest, destBytes, samplesPerPixel,
                                            info().bitspersample_, pixels)) {
      moduleLogger().log(kLogError, "[%s] convert_1_2_4_To_8Bits failed!", operation);
      return false;
    }
    return true;
  }
  // Depths that are not whole bytes per pixel (3 or 12 bits, say) give a raw row longer than
  // the row buffer; only what fits is kept.
  const int64_t copyBytes = std::max<int64_t>(std::min(sourceBytes, destBytes), 0);
  if (copyBytes > 0) {
    std::memcpy(dest, source, static_cast<size_t>(copyBytes));
  }
  return true;
}

bool TiffLineAdjuster::readStripRow(size_t cacheIndex, uint32_t line, ScanlineBuffer& dest,
                                    uint16_t samplesPerPixel, const char* operation) {
  const int64_t rowBytes = layout().scanlineSize_;
  return unpackOrCopy(cachedRow(cacheIndex, line, rowBytes), rowBytes, dest.data, dest.size,
                      samplesPerPixel, info().imagewidth_, operation);
}

bool TiffLineAdjuster::readTileRow(size_t firstCacheIndex, uint32_t line, ScanlineBuffer& dest,
                                   uint16_t samplesPerPixel, const char* operation) {
  const uint32_t width = info().imagewidth_;
  const uint32_t tileWidth = info().tilewidth_;
  const int64_t rowBytes = layout().tileRowSize_;
  // Bytes one pixel takes in `dest`: one per sample once unpacked, else the stored size.
  const int64_t pixelBytes =
      isSubByteDepth() ? samplesPerPixel : int64_t{samplesPerPixel} * info().bitspersample_ / 8;
  // The tiles' parts of the row follow one another from its start.
  for (uint32_t column = 0; column < layout().tilesAcross_; ++column) {
    const int64_t x0 = int64_t{column} * tileWidth;
    const uint32_t pixels = std::min<uint32_t>(tileWidth, width - static_cast<uint32_t>(x0));
    const int64_t destOffset = pixelBytes * x0;
    const int64_t destBytes = std::min(pixelBytes * pixels, dest.size - destOffset);
    if (destBytes <= 0) {
      break;
    }
    const uint8_t* source = cachedRow(firstCacheIndex + column, line, rowBytes);
    if (!unpackOrCopy(source, rowBytes, dest.data + destOffset, destBytes, samplesPerPixel, pixels,
                      operation)) {
      return false;
    }
  }
  return true;
}

bool TiffLineAdjuster::readScanline_fromContigStripData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromContigStripData";
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!", kOperation);
    return false;
  }
  return readStripRow(0, line, contigScanlineBuffer_, info().samplesperpixel_, kOperation);
}

bool TiffLineAdjuster::readScanline_fromSeparateStripData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromSeparateStripData";
  if (!initSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!", kOperation);
    return false;
  }
  for (uint16_t channel = 0; channel < info().samplesperpixel_; ++channel) {
    if (!readStripRow(channel, line, separateScanlineBufferArray_.at(channel), 1, kOperation)) {
      return false;
    }
  }
  return true;
}

bool TiffLineAdjuster::readScanline_fromContigTileData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromContigTileData";
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!", kOperation);
    return false;
  }
  return readTileRow(0, line, contigScanlineBuffer_, info().samplesperpixel_, kOperation);
}

bool TiffLineAdjuster::readScanline_fromSeparateTileData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromSeparateTileData";
  if (!initSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!", kOperation);
    return false;
  }
  for (uint16_t channel = 0; channel < info().samplesperpixel_; ++channel) {
    const size_t firstCacheIndex = size_t{channel} * layout().tilesAcross_;
    if (!readTileRow(firstCacheIndex, line, separateScanlineBufferArray_.at(channel), 1,
                     kOperation)) {
      return false;
    }
  }
  return true;
}

bool TiffLineAdjuster::initContigScanlineBuffer() {
  static const char* const kOperation = "TiffLineAdjuster::initContigScanlineBuffer";
  return RowBytes::sizeAndClear(contigScanlineBuffer_, contigScanlineBytes(), kOperation,
                                "[%s] contigScanlineBuffer_ memory alloc failed!",
                                "[%s] contigScanlineBuffer_ memory alloc success!");
}

bool TiffLineAdjuster::initSeparateScanlineBufferArray() {
  static const char* const kOperation = "TiffLineAdjuster::initSeparateScanlineBufferArray";
  const size_t channels = info().samplesperpixel_;
  const int64_t size = separateScanlineBytes();
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
  if ((orientationMode_ & kPerRowBufNeedReverse) == 0) {
    return true;
  }
  // Sub-byte rows are unpacked to a byte per sample by now.
  const uint16_t bits = isSubByteDepth() ? 8 : info().bitspersample_;
  const uint32_t width = info().imagewidth_;
  bool reversed = true;
  if (info().planarconfig_ == PLANARCONFIG_SEPARATE) {
    for (size_t channel = 0; reversed && channel < separateScanlineBufferArray_.count();
         ++channel) {
      ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
      reversed = CommonTool::reverseScanline_8multiple_BitsPerSample(plane.data, plane.size, 1,
                                                                     bits, width);
    }
  } else {
    reversed = CommonTool::reverseScanline_8multiple_BitsPerSample(
        contigScanlineBuffer_.data, contigScanlineBuffer_.size, info().samplesperpixel_, bits,
        width);
  }
  if (!reversed) {
    moduleLogger().log(kLogError, "[%s] reverseScanline failed!",
                       "TiffLineAdjuster::adjustOrientation");
  }
  return reversed;
}

bool TiffLineAdjuster::adjustPhotometric() {
  return true;
}

const ScanlineBuffer& TiffLineAdjuster::getContigScanlineBuffer() {
  if (!adjustContigScanlineBuffer_when_1_2_4()) {
    return sharedEmptyBuffer();
  }
  return isSubByteDepth() ? realContigScanlineBuffer_1_2_4_ : contigScanlineBuffer_;
}

const ScanlineBuffer& TiffLineAdjuster::getSeparateScanlineBuffer(uint16_t channel) {
  if (!adjustSeparateScanlineBuffer_when_1_2_4(channel)) {
    return sharedEmptyBuffer();
  }
  return isSubByteDepth() ? realSeparateScanlineBuffer_1_2_4_
                          : separateScanlineBufferArray_.at(channel);
}

bool TiffLineAdjuster::packInto(const ScanlineBuffer& unpacked, ScanlineBuffer& packed,
                                uint16_t samplesPerPixel, const char* operation) {
  // The packing clears the whole destination, spare bits included, before it writes.
  if (!CommonTool::convert_8_To_1_2_4Bits(unpacked.data, unpacked.size, packed.data, packed.size,
                                          samplesPerPixel, info().bitspersample_,
                                          info().imagewidth_)) {
    moduleLogger().log(kLogError, "[%s] convert_8_To_1_2_4Bits failed!", operation);
    return false;
  }
  return true;
}

bool TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4() {
  static const char* const kOperation = "TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4";
  if (info().planarconfig_ == PLANARCONFIG_SEPARATE && !obtainContigScanlineBuffer_fromSeparate()) {
    return false;
  }
  if (!isSubByteDepth()) {
    return true;
  }
  if (!initRealContigScanlineBuffer_1_2_4()) {
    moduleLogger().log(kLogError, "[%s] initRealContigScanlineBuffer_1_2_4 failed!", kOperation);
    return false;
  }
  return packInto(contigScanlineBuffer_, realContigScanlineBuffer_1_2_4_, info().samplesperpixel_,
                  kOperation);
}

bool TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4(uint16_t channel) {
  static const char* const kOperation = "TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4";
  if (info().planarconfig_ == PLANARCONFIG_CONTIG &&
      !obtainSeparateScanlineBuffer_fromContig(channel)) {
    return false;
  }
  const ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
  if (!isSubByteDepth()) {
    return true;
  }
  if (!initRealSeparateScanlineBuffer_1_2_4()) {
    moduleLogger().log(kLogError, "[%s] initRealSeparateScanlineBuffer_1_2_4 failed!", kOperation);
    return false;
  }
  return packInto(plane, realSeparateScanlineBuffer_1_2_4_, 1, kOperation);
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
