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

private:
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
