#include "lines/TiffLineAdjuster.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"
#include "lines/CommonTool.h"
#include "lines/RowBytes.h"
#include "lines/TiffLineReaderBase.h"
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

// Row buffers are not cleared before a row is read into them: each read writes every byte
// of its part and clears what the stored row leaves unwritten, which keeps the delivered
// bytes as a clear-then-copy would give them at half the memory traffic.
void clearRange(uint8_t* data, int64_t from, int64_t end) {
  if (end > from) {
    std::memset(data + from, 0, static_cast<size_t>(end - from));
  }
}

const OrientationMode& orientationModeOf(uint16_t orientation) {
  const bool known = orientation >= ORIENTATION_TOPRIGHT && orientation <= ORIENTATION_LEFTBOT;
  return kOrientationModes[known ? orientation - 1 : 0];
}

}  // namespace

TiffLineAdjuster::TiffLineAdjuster(TiffLineReaderBase* reader) : reader_(reader) {}

const ScanlineBuffer& TiffLineAdjuster::sharedEmptyBuffer() {
  static const ScanlineBuffer empty;
  return empty;
}

bool TiffLineAdjuster::postInitialize() {
  static const char* const kOperation = "TiffLineAdjuster::postInitialize";
  const OrientationMode& mode = orientationModeOf(reader_->orientation_);
  orientationMode_ = mode.mode;
  colFirst_ = mode.colFirst;
  moduleLogger().log(mode.level, mode.text, kOperation);
  if ((orientationMode_ & kPerRowBufNeedReverse) != 0) {
    moduleLogger().log(kLogMilestone, "[%s] PerRowBufNeedReverse", kOperation);
  }

  DpiInput input;
  input.width_ = reader_->imagewidth_;
  input.height_ = reader_->imagelength_;
  input.orientation_ = reader_->orientation_;
  input.rotation_ = 0;
  input.xResolution_ = reader_->xresolution_;
  input.yResolution_ = reader_->yresolution_;
  input.resolutionUnit_ = reader_->resolutionunit_;
  DpiOutput output;
  TiffHelper::calculate_DPI(input, output);

  AdjustedImageInfo& info = adjustedImageInfo_;
  info.outputWidth_ = output.width_;
  info.outputLength_ = output.height_;
  info.xresolution_ = output.xResolution_;
  info.yresolution_ = output.yResolution_;
  info.resolutionunit_ = output.resolutionUnit_;
  info.imagelength_ = reader_->imagelength_;
  info.bitspersample_ = reader_->bitspersample_;
  info.samplesperpixel_ = reader_->samplesperpixel_;
  info.extrasamples_ = reader_->extrasamples_;
  info.extrasamplesinfo_ = reader_->extrasamplesinfo_;
  info.sampleformat_ = reader_->sampleformat_;
  info.photometric_ = reader_->photometric_;
  info.planarconfig_ = reader_->planarconfig_;
  return true;
}

bool TiffLineAdjuster::isSubByteDepth() const {
  const uint16_t bps = reader_->bitspersample_;
  return bps == 1 || bps == 2 || bps == 4;
}

int64_t TiffLineAdjuster::contigScanlineBytes() const {
  const int64_t samples = int64_t{reader_->samplesperpixel_} * reader_->imagewidth_;
  return isSubByteDepth() ? samples : samples * reader_->bitspersample_ / 8;
}

int64_t TiffLineAdjuster::separateScanlineBytes() const {
  const int64_t width = reader_->imagewidth_;
  return isSubByteDepth() ? width : width * reader_->bitspersample_ / 8;
}

bool TiffLineAdjuster::adjustScanline(uint32_t sourceRow) {
  static const char* const kOperation = "TiffLineAdjuster::adjustScanline";
  if (sourceRow == adjustedRowIndex_) {
    return true;
  }
  // Forgotten until the row is complete, so a row that failed (or threw) is read again.
  adjustedRowIndex_ = TiffLineReaderBase::kNoRow;
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
  const uint32_t line = sourceRow - reader_->cacheFirstRow_;
  const bool tiled = TIFFIsTiled(reader_->tif_) != 0;
  switch (reader_->planarconfig_) {
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
  const ScanlineBuffer& cached = reader_->cacheArray_.at(cacheIndex);
  const uint64_t offset = uint64_t{line} * static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0));
  RowBytes::requireSpan(cached, offset, static_cast<uint64_t>(std::max<int64_t>(rowBytes, 0)));
  return cached.data + offset;
}

bool TiffLineAdjuster::unpackOrCopy(const uint8_t* source, int64_t sourceBytes, uint8_t* dest,
                                    int64_t destBytes, uint16_t samplesPerPixel, uint32_t pixels,
                                    const char* operation) {
  if (isSubByteDepth()) {
    if (!CommonTool::convert_1_2_4_To_8Bits(source, sourceBytes, dest, destBytes, samplesPerPixel,
                                            reader_->bitspersample_, pixels)) {
      moduleLogger().log(kLogError, "[%s] convert_1_2_4_To_8Bits failed!", operation);
      return false;
    }
    clearRange(dest, int64_t{samplesPerPixel} * pixels, destBytes);
    return true;
  }
  // Depths that are not whole bytes per pixel (3 or 12 bits, say) give a raw row longer than
  // the row buffer; only what fits is kept.
  const int64_t copyBytes = std::max<int64_t>(std::min(sourceBytes, destBytes), 0);
  if (copyBytes > 0) {
    std::memcpy(dest, source, static_cast<size_t>(copyBytes));
  }
  clearRange(dest, copyBytes, destBytes);
  return true;
}

bool TiffLineAdjuster::readStripRow(size_t cacheIndex, uint32_t line, ScanlineBuffer& dest,
                                    uint16_t samplesPerPixel, const char* operation) {
  const int64_t rowBytes = reader_->scanlineSize_;
  return unpackOrCopy(cachedRow(cacheIndex, line, rowBytes), rowBytes, dest.data, dest.size,
                      samplesPerPixel, reader_->imagewidth_, operation);
}

bool TiffLineAdjuster::readTileRow(size_t firstCacheIndex, uint32_t line, ScanlineBuffer& dest,
                                   uint16_t samplesPerPixel, const char* operation) {
  const uint32_t width = reader_->imagewidth_;
  const uint32_t tileWidth = reader_->tilewidth_;
  const int64_t rowBytes = reader_->tileRowSize_;
  // Bytes one pixel takes in `dest`: one per sample once unpacked, else the stored size.
  const int64_t pixelBytes =
      isSubByteDepth() ? samplesPerPixel : int64_t{samplesPerPixel} * reader_->bitspersample_ / 8;
  // The tiles' parts of the row follow one another from its start.
  int64_t written = 0;
  for (uint32_t column = 0; column < reader_->tilesAcross_; ++column) {
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
    written = destOffset + destBytes;
  }
  clearRange(dest.data, written, dest.size);
  return true;
}

bool TiffLineAdjuster::readScanline_fromContigStripData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromContigStripData";
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!", kOperation);
    return false;
  }
  return readStripRow(0, line, contigScanlineBuffer_, reader_->samplesperpixel_, kOperation);
}

bool TiffLineAdjuster::readScanline_fromSeparateStripData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromSeparateStripData";
  if (!allocateSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!", kOperation);
    return false;
  }
  for (uint16_t channel = 0; channel < reader_->samplesperpixel_; ++channel) {
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
  return readTileRow(0, line, contigScanlineBuffer_, reader_->samplesperpixel_, kOperation);
}

bool TiffLineAdjuster::readScanline_fromSeparateTileData(uint32_t line) {
  static const char* const kOperation = "TiffLineAdjuster::readScanline_fromSeparateTileData";
  if (!allocateSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!", kOperation);
    return false;
  }
  for (uint16_t channel = 0; channel < reader_->samplesperpixel_; ++channel) {
    const size_t firstCacheIndex = size_t{channel} * reader_->tilesAcross_;
    if (!readTileRow(firstCacheIndex, line, separateScanlineBufferArray_.at(channel), 1,
                     kOperation)) {
      return false;
    }
  }
  return true;
}

bool TiffLineAdjuster::initContigScanlineBuffer() {
  static const char* const kOperation = "TiffLineAdjuster::initContigScanlineBuffer";
  return RowBytes::ensureSize(contigScanlineBuffer_, contigScanlineBytes(), kOperation,
                              "[%s] contigScanlineBuffer_ memory alloc failed!",
                              "[%s] contigScanlineBuffer_ memory alloc success!");
}

bool TiffLineAdjuster::allocateSeparateScanlineBufferArray() {
  static const char* const kOperation = "TiffLineAdjuster::initSeparateScanlineBufferArray";
  const size_t channels = reader_->samplesperpixel_;
  const int64_t size = separateScanlineBytes();
  if (separateScanlineBufferArray_.holds(channels, size)) {
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
  const int64_t bits = int64_t{reader_->bitspersample_} * reader_->samplesperpixel_;
  return RowBytes::ensureSize(realContigScanlineBuffer_1_2_4_,
                              (bits * reader_->imagewidth_ + 7) / 8,
                              "TiffLineAdjuster::initRealContigScanlineBuffer_1_2_4",
                              "[%s] realContigScanlineBuffer_1_2_4_ memory alloc failed!",
                              "[%s] realContigScanlineBuffer_1_2_4_ memory alloc success!");
}

bool TiffLineAdjuster::initRealSeparateScanlineBuffer_1_2_4() {
  const int64_t bits = reader_->bitspersample_;
  return RowBytes::ensureSize(realSeparateScanlineBuffer_1_2_4_,
                              (bits * reader_->imagewidth_ + 7) / 8,
                              "TiffLineAdjuster::initRealSeparateScanlineBuffer_1_2_4",
                              "[%s] realSeparateScanlineBuffer_1_2_4_ memory alloc failed!",
                              "[%s] realSeparateScanlineBuffer_1_2_4_ memory alloc success!");
}

bool TiffLineAdjuster::adjustOrientation() {
  if ((orientationMode_ & kPerRowBufNeedReverse) == 0) {
    return true;
  }
  // Sub-byte rows are unpacked to a byte per sample by now.
  const uint16_t bits = isSubByteDepth() ? 8 : reader_->bitspersample_;
  const uint32_t width = reader_->imagewidth_;
  bool reversed = true;
  if (reader_->planarconfig_ == PLANARCONFIG_SEPARATE) {
    for (size_t channel = 0; reversed && channel < separateScanlineBufferArray_.count();
         ++channel) {
      ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
      reversed = CommonTool::reverseScanline_8multiple_BitsPerSample(plane.data, plane.size, 1,
                                                                     bits, width);
    }
  } else {
    reversed = CommonTool::reverseScanline_8multiple_BitsPerSample(
        contigScanlineBuffer_.data, contigScanlineBuffer_.size, reader_->samplesperpixel_, bits,
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
                                          samplesPerPixel, reader_->bitspersample_,
                                          reader_->imagewidth_)) {
    moduleLogger().log(kLogError, "[%s] convert_8_To_1_2_4Bits failed!", operation);
    return false;
  }
  return true;
}

bool TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4() {
  static const char* const kOperation = "TiffLineAdjuster::adjustContigScanlineBuffer_when_1_2_4";
  if (reader_->planarconfig_ == PLANARCONFIG_SEPARATE &&
      !obtainContigScanlineBuffer_fromSeparate()) {
    return false;
  }
  if (!isSubByteDepth()) {
    return true;
  }
  if (!initRealContigScanlineBuffer_1_2_4()) {
    moduleLogger().log(kLogError, "[%s] initRealContigScanlineBuffer_1_2_4 failed!", kOperation);
    return false;
  }
  return packInto(contigScanlineBuffer_, realContigScanlineBuffer_1_2_4_, reader_->samplesperpixel_,
                  kOperation);
}

bool TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4(uint16_t channel) {
  static const char* const kOperation = "TiffLineAdjuster::adjustSeparateScanlineBuffer_when_1_2_4";
  if (reader_->planarconfig_ == PLANARCONFIG_CONTIG &&
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
  // Unless a walk throws, the channels' samples together cover every byte of the row.
  if (!initContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initContigScanlineBuffer failed!",
                       "TiffLineAdjuster::obtainContigScanlineBuffer_fromSeparate");
    return false;
  }
  const uint64_t width = reader_->imagewidth_;
  const uint16_t channels = reader_->samplesperpixel_;
  const uint64_t bytesPerSample = (uint64_t{reader_->bitspersample_} + 7) / 8;
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
  // The extraction writes every byte of the channel's entry or throws, so no entry needs
  // clearing first; clearing all of them would cost a row per channel on every request.
  if (!allocateSeparateScanlineBufferArray()) {
    moduleLogger().log(kLogError, "[%s] initSeparateScanlineBufferArray failed!",
                       "TiffLineAdjuster::obtainSeparateScanlineBuffer_fromContig");
    return false;
  }
  ScanlineBuffer& plane = separateScanlineBufferArray_.at(channel);
  const uint64_t width = reader_->imagewidth_;
  const uint64_t bytesPerSample = (uint64_t{reader_->bitspersample_} + 7) / 8;
  const uint64_t pixelBytes = reader_->samplesperpixel_ * bytesPerSample;
  const uint64_t sourceOffset = channel * bytesPerSample;
  RowBytes::requireSpan(plane, 0, RowBytes::stridedSpan(width, bytesPerSample, bytesPerSample));
  RowBytes::requireSpan(contigScanlineBuffer_, sourceOffset,
                        RowBytes::stridedSpan(width, pixelBytes, bytesPerSample));
  RowBytes::copySamples(plane.data, bytesPerSample, contigScanlineBuffer_.data + sourceOffset,
                        pixelBytes, width, bytesPerSample);
  return true;
}

}  // namespace orvex
