#include "lines/TiffPaletteLineAdjuster.h"

#include <tiffio.h>

#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"
#include "lines/RowBytes.h"

namespace orvex {
namespace {

constexpr uint16_t kRgbSamples = 3;

// Colour maps hold 16-bit values; 8-bit output is chosen only when every value fits a byte,
// so that no colour is ever changed.
uint16_t outputBitsFor(const ColorMap& map, uint16_t indexBits) {
  const size_t entries = size_t{1} << indexBits;
  for (size_t i = 0; i < entries; ++i) {
    if (map.red[i] > 0xFF || map.green[i] > 0xFF || map.blue[i] > 0xFF) {
      return 16;
    }
  }
  return 8;
}

// One instantiation per index size and output depth keeps the per-pixel loop free of
// depth decisions. Samples go through memcpy because the rows have no alignment promise.
template <typename Index, typename Sample>
void lookUpRow(const ScanlineBuffer& indexRow, uint32_t width, const ColorMap& map,
               ScanlineBuffer& rgbRow) {
  RowBytes::requireSpan(indexRow, 0, uint64_t{width} * sizeof(Index));
  RowBytes::requireSpan(rgbRow, 0, uint64_t{width} * kRgbSamples * sizeof(Sample));
  const uint8_t* indexes = indexRow.data;
  uint8_t* rgb = rgbRow.data;
  for (uint32_t x = 0; x < width; ++x) {
    Index index;
    std::memcpy(&index, indexes + sizeof(Index) * x, sizeof(Index));
    const Sample pixel[kRgbSamples] = {static_cast<Sample>(map.red[index]),
                                       static_cast<Sample>(map.green[index]),
                                       static_cast<Sample>(map.blue[index])};
    std::memcpy(rgb + sizeof(pixel) * x, pixel, sizeof(pixel));
  }
}

using RowLookUp = void (*)(const ScanlineBuffer&, uint32_t, const ColorMap&, ScanlineBuffer&);

// Indexes of 1, 2 and 4 bits arrive unpacked to a byte each.
RowLookUp rowLookUpFor(uint16_t indexBits, uint16_t outputBits) {
  const bool wide = outputBits == 16;
  switch (indexBits) {
    case 1:
    case 2:
    case 4:
    case 8:
      return wide ? lookUpRow<uint8_t, uint16_t> : lookUpRow<uint8_t, uint8_t>;
    case 16:
      return wide ? lookUpRow<uint16_t, uint16_t> : lookUpRow<uint16_t, uint8_t>;
    default:
      return nullptr;
  }
}

}  // namespace

TiffPaletteLineAdjuster::TiffPaletteLineAdjuster(const ITiffLineSource* source)
    : TiffLineAdjuster(source) {}

// The line-reader selection has refused every palette this adjuster cannot expand: several
// samples, indexes wider than 16 bits or not unsigned.
bool TiffPaletteLineAdjuster::postInitialize() {
  if (!TiffLineAdjuster::postInitialize() || !source_->colorMap(colorMap_)) {
    return false;
  }
  // libtiff sizes the tables from the directory's own depth, so that depth bounds the walk.
  AdjustedImageInfo& delivered = adjustedImageInfo_;
  delivered.bitspersample_ = outputBitsFor(colorMap_, info().bitspersample_);
  delivered.samplesperpixel_ = kRgbSamples;
  delivered.sampleformat_ = SAMPLEFORMAT_UINT;
  delivered.photometric_ = PHOTOMETRIC_RGB;
  delivered.planarconfig_ = PLANARCONFIG_CONTIG;
  return true;
}

int64_t TiffPaletteLineAdjuster::outputBytesPerSample() const {
  return adjustedImageInfo_.bitspersample_ / 8;
}

int64_t TiffPaletteLineAdjuster::deliveredScanlineBytes(bool oneChannel) const {
  return (oneChannel ? 1 : kRgbSamples) * outputBytesPerSample() * info().imagewidth_;
}

bool TiffPaletteLineAdjuster::initRGBContigScanlineBuffer() {
  return RowBytes::sizeAndClear(RGBContigScanlineBuffer_, deliveredScanlineBytes(false),
                                "TiffPaletteLineAdjuster::initRGBContigScanlineBuffer",
                                "[%s] memory alloc failed!",
                                "[%s] RGBContigScanlineBuffer_ memory alloc success!");
}

bool TiffPaletteLineAdjuster::initRGBSeparateScanlineBuffer() {
  return RowBytes::sizeAndClear(RGBSeparateScanlineBuffer_, deliveredScanlineBytes(true),
                                "TiffPaletteLineAdjuster::initRGBSeparateScanlineBuffer",
                                "[%s] memory alloc failed!", nullptr);
}

bool TiffPaletteLineAdjuster::adjustPhotometric() {
  static const char* const kOperation = "TiffPaletteLineAdjuster::adjustPhotometric";
  // The index row of a separate-planar file sits in its single plane; the lookup reads the
  // interleaved row, which for one sample is that plane's copy.
  if (info().planarconfig_ == PLANARCONFIG_SEPARATE && !obtainContigScanlineBuffer_fromSeparate()) {
    moduleLogger().log(kLogError, "[%s] obtainContigScanlineBuffer failed!", kOperation);
    return false;
  }
  if (!initRGBContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initRGBContigScanlineBuffer failed!", kOperation);
    return false;
  }
  const RowLookUp lookUp = rowLookUpFor(info().bitspersample_, adjustedImageInfo_.bitspersample_);
  if (lookUp == nullptr) {
    return false;
  }
  lookUp(contigScanlineBuffer_, info().imagewidth_, colorMap_, RGBContigScanlineBuffer_);
  return true;
}

const ScanlineBuffer& TiffPaletteLineAdjuster::getContigScanlineBuffer() {
  return RGBContigScanlineBuffer_;
}

const ScanlineBuffer& TiffPaletteLineAdjuster::getSeparateScanlineBuffer(uint16_t channel) {
  if (!initRGBSeparateScanlineBuffer()) {
    return sharedEmptyBuffer();
  }
  if (channel >= kRgbSamples) {
    throw std::out_of_range("out range!");
  }
  const uint64_t width = info().imagewidth_;
  const uint64_t sampleBytes = outputBytesPerSample();
  const uint64_t pixelBytes = kRgbSamples * sampleBytes;
  const uint64_t offset = sampleBytes * channel;
  RowBytes::requireSpan(RGBContigScanlineBuffer_, offset,
                        RowBytes::stridedSpan(width, pixelBytes, sampleBytes));
  RowBytes::requireSpan(RGBSeparateScanlineBuffer_, 0,
                        RowBytes::stridedSpan(width, sampleBytes, sampleBytes));
  RowBytes::copySamples(RGBSeparateScanlineBuffer_.data, sampleBytes,
                        RGBContigScanlineBuffer_.data + offset, pixelBytes, width, sampleBytes);
  return RGBSeparateScanlineBuffer_;
}

}  // namespace orvex
