// The adjuster of palette images. Hosts have no use for colour indexes without the colour map,
// so each index row is prepared like any other row (mirrored, planes joined) and then expanded
// to RGB through the directory's colour map.
#pragma once

#include <cstdint>
#include <vector>

#include "lines/ScanlineBuffer.h"
#include "lines/TiffLineAdjuster.h"

namespace orvex {

/// Expands a row of `width` indexes into pixels through the prepared pixel of every index.
using RowLookUp = void (*)(const ScanlineBuffer& indexRow, uint32_t width, const uint8_t* pixels,
                           ScanlineBuffer& rgbRow);

class TiffPaletteLineAdjuster : public TiffLineAdjuster {
public:
  explicit TiffPaletteLineAdjuster(const ITiffLineSource* source);

  /// True for the index depths with a lookup: 1, 2, 4, 8 and 16 bits.
  static bool expandsIndexBits(uint16_t indexBits);
  /// Takes the colour map and describes the rows as interleaved RGB of 8 bits, or 16 when the
  /// map needs them.
  bool postInitialize() override;
  /// The RGB row of the last adjusted source row.
  const ScanlineBuffer& getContigScanlineBuffer() override;
  int64_t deliveredScanlineBytes(bool oneChannel) const override;
  /// One channel of the RGB row; throws std::out_of_range("out range!") for a channel of 3
  /// or more.
  const ScanlineBuffer& getSeparateScanlineBuffer(uint16_t channel) override;
  /// Replaces each index of the prepared row by its colour-map entry.
  bool adjustPhotometric() override;

private:
  bool initRGBContigScanlineBuffer();
  bool initRGBSeparateScanlineBuffer();
  int64_t outputBytesPerSample() const;

  ScanlineBuffer RGBContigScanlineBuffer_;
  ScanlineBuffer RGBSeparateScanlineBuffer_;
  RowLookUp lookUp_ = nullptr;  ///< the routine of the directory's index and output depths
  // The RGB pixel of every index at the delivered depth, one after the other.
  std::vector<uint8_t> rgbPixels_;
};

}  // namespace orvex
