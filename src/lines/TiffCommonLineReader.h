// The line reader for images whose stored samples are handed out as they are: it decodes
// strips with TIFFReadEncodedStrip and tiles with TIFFReadTile.
#pragma once

#include "lines/TiffLineReaderBase.h"

namespace orvex {

class TiffCommonLineReader : public TiffLineReaderBase {
public:
  using TiffLineReaderBase::TiffLineReaderBase;

  bool initTiffLineAdjuster() override;
  bool readOriginScanline(uint32_t row) override;

protected:
  uint32_t decodeStraight(int channel, uint32_t row, uint32_t end, uint8_t* dest,
                          size_t stride) override;

private:
  /// True when the stored rows of a strip are the scanlines delivered in the form asked for
  /// (every sample, or channel `channel`) and a decoder writes each byte of them or fails.
  bool storedRowsAreDelivered(int channel, size_t stride) const;
  bool readOriginScanline_fromContigStripData(uint32_t row);
  bool readOriginScanline_fromSeparateStripData(uint32_t row);
  bool readOriginScanline_fromContigTileData(uint32_t row);
  bool readOriginScanline_fromSeparateTileData(uint32_t row);

  /// Decodes the strip of each of `planes` planes that holds `row`.
  bool readStrips(uint32_t row, uint16_t planes, const char* operation);
  /// Decodes the row of tiles of each of `planes` planes that holds `row`.
  bool readTileRows(uint32_t row, uint16_t planes, const char* operation);
};

}  // namespace orvex
