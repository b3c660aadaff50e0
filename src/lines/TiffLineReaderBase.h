// Serves the scanlines of one image directory: takes the directory's record, keeps the strip
// or row of tiles holding the current row in a cache, and lets its adjuster turn the cached row
// into the delivered one.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "lines/BlockLayout.h"
#include "lines/ITiffLineSource.h"
#include "lines/ScanlineBufferArray.h"
#include "reader/TiffInfo.h"

namespace orvex {

class TiffLineAdjuster;

class TiffLineReaderBase : public ITiffLineSource {
public:
  /// A reader of the directory described by `info`, which `tif` holds; `directoryCount` is
  /// the file's.
  TiffLineReaderBase(TIFF* tif, TiffInfo info, uint16_t directoryCount);
  ~TiffLineReaderBase() override;
  TiffLineReaderBase(const TiffLineReaderBase&) = delete;
  TiffLineReaderBase& operator=(const TiffLineReaderBase&) = delete;

  /// Creates and post-initialises the adjuster for the current directory.
  virtual bool initTiffLineAdjuster() = 0;
  /// Lets a derived reader rewrite the description before the cache is sized.
  virtual bool adjustTiffInfo();
  /// Makes the cache hold the strip or row of tiles containing source row `row`.
  virtual bool readOriginScanline(uint32_t row) = 0;
  virtual bool beginRead(uint16_t directoryIndex);
  virtual void endRead();

  /// The delivered row `rowIndex`, all samples of a pixel together. `*data` stays the
  /// adjuster's and is valid until the next read or endRead.
  bool readScanline(uint32_t rowIndex, uint8_t** data, uint32_t* size);
  /// The delivered row `rowIndex` of one channel.
  bool readScanline(uint16_t channel, uint32_t rowIndex, uint8_t** data, uint32_t* size);
  /// Delivered scanlines [first, first + count) of every sample (channel < 0) or of one
  /// channel, laid into `dest` one after the other, `stride` bytes apart; `stride` holds a
  /// delivered scanline. Strips whose stored rows are already the delivered ones are decoded
  /// straight into `dest`; every other scanline comes through the cache as readScanline
  /// delivers it. False, with the reason logged, at the first scanline that fails.
  bool readScanlines(int channel, uint32_t first, uint32_t count, uint8_t* dest, size_t stride);

  /// The directory being read (the last one begun).
  uint16_t directoryIndex() const { return directoryIndex_; }
  /// Empty before a successful beginRead and after endRead.
  const std::shared_ptr<TiffLineAdjuster>& tiffLineAdjuster() const { return tiffLineAdjuster_; }

  const TiffInfo& description() const override { return info_; }
  const BlockLayout& layout() const override { return layout_; }
  const OrientationPlan& orientationPlan() const override { return orientationPlan_; }
  const ScanlineBuffer& cachedBlock(size_t index) const override { return cacheArray_.at(index); }
  uint32_t cacheFirstRow() const override { return cacheFirstRow_; }
  bool colorMap(ColorMap& colorMap) const override;

protected:
  /// Takes the record for reading: reports again the defaults it was read with and sizes the
  /// blocks from the handle.
  void readTiffInfo();
  bool initCacheArray(size_t count, int64_t size);
  void clearCacheArray();
  /// True when the cache holds source row `row`.
  bool isCached(uint32_t row) const;
  /// Records that the cache holds the block of up to `rowsPerBlock` rows starting at `first`
  /// (fewer at the end of the image).
  void markCached(uint32_t first, uint32_t rowsPerBlock);
  /// Brings the block of up to `rowsPerBlock` rows starting at `first` (a strip, or a row of
  /// tiles) into the cache with `decode`. When it fails, logs `failedText` (level 4, with
  /// `operation`), empties the cached range and returns false. A block whose decoding failed
  /// is not decoded again while the requests stay inside it: each of its rows would
  /// zero-fill and decode the whole block once more, which for a large broken strip costs
  /// seconds per row.
  bool decodeBlock(uint32_t first, uint32_t rowsPerBlock, const std::function<bool()>& decode,
                   const char* failedText, const char* operation);
  /// Decodes the block of stored rows that starts at scanline `row` straight into `dest`
  /// when its rows are the delivered scanlines and all of them come before `end`; returns
  /// the rows decoded, 0 when the block has to come through the cache.
  virtual uint32_t decodeStraight(int channel, uint32_t row, uint32_t end, uint8_t* dest,
                                  size_t stride);
  /// Post-initialises `adjuster` and keeps it when that succeeds; true when one is kept.
  bool installTiffLineAdjuster(std::shared_ptr<TiffLineAdjuster> adjuster);

  TIFF* tif_;
  uint16_t directoryCount_;
  uint16_t directoryIndex_ = 0;
  TiffInfo info_;  ///< the directory as this reader serves it
  BlockLayout layout_;
  OrientationPlan orientationPlan_ = OrientationPlan::of(ORIENTATION_TOPLEFT);
  ScanlineBufferArray cacheArray_{kMaxBufferBytes};
  uint32_t cacheFirstRow_ = kNoRow;
  uint32_t cacheEndRow_ = kNoRow;
  /// First row of the block whose last decoding failed; kNoRow when there is none.
  uint32_t failedFirstRow_ = kNoRow;
  std::shared_ptr<TiffLineAdjuster> tiffLineAdjuster_;

private:
  bool sizeCacheArray();
  /// Brings the source row of delivered row `rowIndex` into the adjuster's buffers.
  bool adjustDeliveredRow(uint32_t rowIndex);
  static bool handOut(const ScanlineBuffer& buffer, uint8_t** data, uint32_t* size);
};

}  // namespace orvex
