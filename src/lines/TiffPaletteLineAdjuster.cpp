#include "lines/TiffPaletteLineAdjuster.h"

#include <tiffio.h>

#include <cstring>
#include <stdexcept>
#include <vector>

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

// Index x of a row packed at IndexBits bits (most significant bits first), or of 8 or 16-bit
// samples in host byte order, as libtiff delivers them.
template <unsigned IndexBits>
size_t indexAt(const uint8_t* row, uint32_t x) {
  if constexpr (IndexBits == 16) {
    uint16_t index;
    std::memcpy(&index, row + 2 * size_t{x}, sizeof index);
    return index;
  } else {
    const size_t bit = size_t{x} * IndexBits;
    return row[bit / 8] >> (8 - IndexBits - bit % 8) & ((1U << IndexBits) - 1);
  }
}

// One instantiation per index depth and output pixel size keeps the per-pixel loop free of
// depth decisions: an index, then one fixed-size copy of its prepared pixel.
template <unsigned IndexBits, size_t PixelBytes>
void lookUpRow(const ScanlineBuffer& indexRow, uint32_t width, const uint8_t* pixels,
               ScanlineBuffer& rgbRow) {
  RowBytes::requireSpan(indexRow, 0, (uint64_t{width} * IndexBits + 7) / 8);
  RowBytes::requireSpan(rgbRow, 0, uint64_t{width} * PixelBytes);
  const uint8_t* indexes = indexRow.data;
  uint8_t* rgb = rgbRow.data;
  for (uint32_t x = 0; x < width; ++x) {
    std::memcpy(rgb + PixelBytes * x, pixels + PixelBytes * indexAt<IndexBits>(indexes, x),
                PixelBytes);
  }
}

template <size_t PixelBytes>
RowLookUp rowLookUpOf(uint16_t indexBits) {
  switch (indexBits) {
    case 1:
      return lookUpRow<1, PixelBytes>;
    case 2:
      return lookUpRow<2, PixelBytes>;
    case 4:
      return lookUpRow<4, PixelBytes>;
    case 8:
      return lookUpRow<8, PixelBytes>;
    case 16:
      return lookUpRow<16, PixelBytes>;
    default:
      return nullptr;
  }
}

RowLookUp rowLookUpFor(uint16_t indexBits, uint16_t outputBits) {
  return outputBits == 16 ? rowLookUpOf<kRgbSamples * 2>(indexBits)
                          : rowLookUpOf<kRgbSamples>(indexBits);
}

// The delivered pixel of every index, prepared once for the directory.
template <typename Sample>
std::vector<uint8_t> preparedPixels(const ColorMap& map, size_t entries) {
  std::vector<uint8_t> pixels(entries * kRgbSamples * sizeof(Sample));
  for (size_t i = 0; i < entries; ++i) {
    const Sample pixel[kRgbSamples] = {static_cast<Sample>(map.red[i]),
                                       static_cast<Sample>(map.green[i]),
                                       static_cast<Sample>(map.blue[i])};
    std::memcpy(pixels.data() + sizeof pixel * i, pixel, sizeof pixel);
  }
  return pixels;
}

}  // namespace

TiffPaletteLineAdjuster::TiffPaletteLineAdjuster(const ITiffLineSource* source)
    : TiffLineAdjuster(source) {}

bool TiffPaletteLineAdjuster::expandsIndexBits(uint16_t indexBits) {
  return rowLookUpOf<kRgbSamples>(indexBits) != nullptr;
}

// The line-reader selection has refused every palette this adjuster cannot expand: several
// samples, indexes not unsigned or of a depth without a lookup.
bool TiffPaletteLineAdjuster::postInitialize() {
  // libtiff's tables, valid while the directory is current; read once, into rgbPixels_.
  ColorMap colorMap;
  if (!TiffLineAdjuster::postInitialize() || !source_->colorMap(colorMap)) {
    return false;
  }
  // libtiff sizes the tables from the directory's own depth, so that depth bounds the walk.
  AdjustedImageInfo& delivered = adjustedImageInfo_;
  delivered.bitspersample_ = outputBitsFor(colorMap, info().bitspersample_);
  delivered.samplesperpixel_ = kRgbSamples;
  delivered.sampleformat_ = SAMPLEFORMAT_UINT;
  delivered.photometric_ = PHOTOMETRIC_RGB;
  delivered.planarconfig_ = PLANARCONFIG_CONTIG;
  const uint16_t indexBits = info().bitspersample_;
  lookUp_ = rowLookUpFor(indexBits, delivered.bitspersample_);
  if (lookUp_ == nullptr) {
    return false;
  }
  const size_t entries = size_t{1} << indexBits;
  rgbPixels_ = delivered.bitspersample_ == 16 ? preparedPixels<uint16_t>(colorMap, entries)
                                              : preparedPixels<uint8_t>(colorMap, entries);
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
  if (layout().separate() && !obtainContigScanlineBuffer_fromSeparate()) {
    moduleLogger().log(kLogError, "[%s] obtainContigScanlineBuffer failed!", kOperation);
    return false;
  }
  if (!initRGBContigScanlineBuffer()) {
    moduleLogger().log(kLogError, "[%s] initRGBContigScanlineBuffer failed!", kOperation);
    return false;
  }
  lookUp_(contigScanlineBuffer_, info().imagewidth_, rgbPixels_.data(), RGBContigScanlineBuffer_);
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
