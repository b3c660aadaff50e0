// Turns the raw data of one source row, held in the line reader's cache, into the row handed
// to the host: mirrors the row, interleaves planes or extracts one channel. Samples of 1, 2
// and 4 bits stay packed at the file's depth all the way.
#pragma once

#include <cstdint>

#include "lines/AdjustedImageInfo.h"
#include "lines/ITiffLineSource.h"
#include "lines/ScanlineBuffer.h"
#include "lines/ScanlineBufferArray.h"

namespace orvex {

class TiffLineAdjuster {
public:
  /// An adjuster of the rows `source` caches; `source` outlives it.
  explicit TiffLineAdjuster(const ITiffLineSource* source);
  virtual ~TiffLineAdjuster() = default;
  TiffLineAdjuster(const TiffLineAdjuster&) = delete;
  TiffLineAdjuster& operator=(const TiffLineAdjuster&) = delete;

  /// Logs the orientation plan and describes the delivered rows.
  virtual bool postInitialize();
  /// The interleaved output row of the last adjusted source row; the shared empty buffer
  /// on failure.
  virtual const ScanlineBuffer& getContigScanlineBuffer();
  /// The output row of one channel; throws std::out_of_range("out range!") for a channel at
  /// or beyond the samples per pixel.
  virtual const ScanlineBuffer& getSeparateScanlineBuffer(uint16_t channel);
  virtual bool adjustPhotometric();
  /// Bytes of one delivered scanline: of every sample, or of one channel.
  virtual int64_t deliveredScanlineBytes(bool oneChannel) const;

  /// Copies source row `sourceRow` out of the reader's cache and normalises it, unless it is
  /// the row the buffers already hold.
  bool adjustScanline(uint32_t sourceRow);

  const AdjustedImageInfo& adjustedImageInfo() const { return adjustedImageInfo_; }

  /// Null data, size 0; shared by every adjuster and never written.
  static const ScanlineBuffer& sharedEmptyBuffer();

protected:
  bool adjustOrientation();
  /// Sizes the interleaved row buffer (reallocating only on a size change) and clears it.
  bool initContigScanlineBuffer();
  /// Sizes the per-channel list (rebuilding it only on a size change) and clears every entry.
  bool initSeparateScanlineBufferArray();
  bool initRealContigScanlineBuffer_1_2_4();
  bool initRealSeparateScanlineBuffer_1_2_4();
  bool adjustContigScanlineBuffer_when_1_2_4();
  bool adjustSeparateScanlineBuffer_when_1_2_4(uint16_t channel);
  bool obtainContigScanlineBuffer_fromSeparate();
  bool obtainSeparateScanlineBuffer_fromContig(uint16_t channel);

  /// SampleDepth::isPacked of the directory's depth: its rows stay packed.
  bool isPackedDepth() const;
  int64_t contigScanlineBytes() const;
  int64_t separateScanlineBytes() const;
  int64_t underRowCap(int64_t bytes) const;
  /// Bytes of `samples` samples of every pixel of a row packed at the file's depth.
  int64_t packedRowBytes(uint16_t samples) const;

  /// The directory as the line reader serves it, and its block sizes.
  const TiffInfo& info() const;
  const BlockLayout& layout() const;

  const ITiffLineSource* source_;
  AdjustedImageInfo adjustedImageInfo_;
  ScanlineBuffer contigScanlineBuffer_;
  ScanlineBufferArray separateScanlineBufferArray_{kMaxRowBytes};
  ScanlineBuffer realContigScanlineBuffer_1_2_4_;
  ScanlineBuffer realSeparateScanlineBuffer_1_2_4_;
  uint32_t adjustedRowIndex_ = ITiffLineSource::kNoRow;

private:
  bool readRowFromCache(uint32_t sourceRow);
  /// Row `line` of the cache into the interleaved row buffer, or into each plane's buffer.
  bool readContigRow(uint32_t line);
  bool readSeparateRow(uint32_t line);
  void readPlaneRow(uint16_t plane, uint32_t line, ScanlineBuffer& dest, uint16_t samplesPerPixel);
  const char* readOperation() const;
  /// Copies `pixels` pixels from `source` into `dest` from pixel `firstPixel` on, no more
  /// than either side holds.
  void copyRowPart(const uint8_t* source, int64_t sourceBytes, ScanlineBuffer& dest,
                   uint64_t firstPixel, uint64_t pixels, uint16_t samplesPerPixel);
  void readStripRow(size_t cacheIndex, uint32_t line, ScanlineBuffer& dest,
                    uint16_t samplesPerPixel);
  void readTileRow(size_t firstCacheIndex, uint32_t line, ScanlineBuffer& dest,
                   uint16_t samplesPerPixel);
  /// Row `line` of cache buffer `cacheIndex`, where rows are `rowBytes` apart; throws
  /// std::out_of_range("out range!") when the buffer does not hold all of it.
  const uint8_t* cachedRow(size_t cacheIndex, uint32_t line, int64_t rowBytes) const;
  bool mirrorsWhileCopying() const;
  bool reverseRow(ScanlineBuffer& row, uint16_t samplesPerPixel);
  static void deliverPacked(const ScanlineBuffer& row, ScanlineBuffer& delivered);
};

}  // namespace orvex
