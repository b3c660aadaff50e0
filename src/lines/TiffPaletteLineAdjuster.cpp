#include "lines/TiffPaletteLineAdjuster.h"

#include <tiffio.h>

#include <cstring>
#include <stdexcept>

#include "boundary/ModuleLogger.h"
#include "lines/RowBytes.h"
#include "lines/TiffLineReaderBase.h"
#include "reader/TiffHelper.h"

namespace orvex {
namespace {

constexpr uint16_t kRgbSamples = 3;

// Colour maps hold 16-bit values; 8-bit output is chosen only when every value fits a byte,
// so that no colour is ever changed.
uint16_t outputBitsFor(const uint16_t* red, const uint16_t* green, const uint16_t* blue,
                       uint16_t indexBits) {
  const size_t entries = size_t{1} << indexBits;
  for (size_t i = 0; i < entries; ++i) {
    if (red[i] > 0xFF || green[i] > 0xFF || blue[i] > 0xFF) {
      return 16;
    }
  }
  return 8;
}

struct ColorMap {
  const uint16_t* red;
  const uint16_t* green;
  const uint16_t* blue;
};

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

TiffPaletteLineAdjuster::TiffPaletteLineAdjuster(TiffLineReaderBase* reader)
    : TiffLineAdjuster(reader) {}

bool TiffPaletteLineAdjuster::postInitialize() {
  static const char* const kOperation = "TiffPaletteLineAdjuster::postInitialize";
  if (reader_->photometric_ != PHOTOMETRIC_PALETTE) {
    moduleLogger().log(kLogError, "[%s] photometric is not PHOTOMETRIC_PALETTE!", kOperation);
    return false;
  }
  if (reader_->samplesperpixel_ > 1) {
    moduleLogger().log(kLogError, "[%s] samplesperpixel > 1! not support!", kOperation);
    return false;
  }
  if (reader_->bitspersample_ > 16) {
    moduleLogger().log(kLogError, "[%s] bitspersample > 16! not support!", kOperation);
    return false;
  }
  if (!TiffLineAdjuster::postInitialize()) {
    return false;
  }
  // The tables are sized by libtiff from the directory's own depth, so that depth bounds
  // the walk over them.
  uint16_t indexBits = 0;
  if (!TiffHelper::getPaletteInfo(reader_->tif_, indexBits, colorMapRed_, colorMapGreen_,
                                  colorMapBlue_)) {
    return false;
  }
  AdjustedImageInfo& info = adjustedImageInfo_;
  info.bitspersample_ = outputBitsFor(colorMapRed_, colorMapGreen_, colorMapBlue_, indexBits);
  info.samplesperpixel_ = kRgbSamples;
  info.sampleformat_ = SAMPLEFORMAT_UINT;
  info.photometric_ = PHOTOMETRIC_RGB;
  info.planarconfig_ = PLANARCONFIG_CONTIG;
  return true;
}

int64_t TiffPaletteLineAdjuster::outputBytesPerSample() const {
  return adjustedImageInfo_.bitspersample_ / 8;
}

bool TiffPaletteLineAdjuster::initRGBContigScanlineBuffer() {
  return RowBytes::ensureSize(
      RGBContigScanlineBuffer_, kRgbSamples * outputBytesPerSample() * reader_->imagewidth_,
      "TiffPaletteLineAdjuster::initRGBContigScanlineBuffer", "[%s] memory alloc failed!",
      "[%s] RGBContigScanlineBuffer_ memory alloc success!");
}

bool TiffPaletteLineAdjuster::initRGBSeparateScanlineBuffer() {
  return RowBytes::ensureSize(RGBSeparateScanlineBuffer_,
                              outputBytesPerSample() * reader_->imagewidth_,
                              "TiffPaletteLineAdjuster::initRGBSeparateScanlineBuffer",
                              "[%s] memory alloc failed!", nullptr);
}

bool TiffPaletteLineAdjuster::adjustPhotometric() {
  static const char* const kOperation = "TiffPaletteLineAdjuster::adjustPhotometric";
  // The index row of a separate-planar file sits in its single plane; the lookup reads the
  // interleaved row, which for one sample is that plane's copy.
  if (reader_->planarconfig_ == PLANARCONFIG_SEPARATE &&
      !obtainContigScanlineBuffer_fromSeparate()) {
    moduleLogger().log(kLogError, "[%s] obtainContigScanlineBuffer failed!", kOperation);
    return false;
  }
  if (!initRGBContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initRGBContigScanlineBuffer failed!", kOperation);
    return false;
  }
  // No clearing first: the lookup writes every byte of the row.
  const RowLookUp lookUp = rowLookUpFor(reader_->bitspersample_, adjustedImageInfo_.bitspersample_);
  if (lookUp == nullptr) {
    return false;
  }
  lookUp(contigScanlineBuffer_, reader_->imagewidth_,
         ColorMap{colorMapRed_, colorMapGreen_, colorMapBlue_}, RGBContigScanlineBuffer_);
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
  // No clearing first: the extraction writes every byte of the channel row or throws.
  const uint64_t width = reader_->imagewidth_;
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
