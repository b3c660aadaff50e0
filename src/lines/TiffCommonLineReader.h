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
  /// True when stored rows are the scanlines delivered in the form asked for: every sample
  /// (channel < 0), or channel `channel`.
  bool storedRowsAreDelivered(int channel) const;
  /// Bytes of one stored pixel of the form asked for.
  uint64_t storedPixelBytes(int channel) const;
  /// Decodes the strip starting at `row` into `dest` when the host's rows are packed as the
  /// strip's and its codec writes every byte it is asked for or fails; rows decoded, or 0.
  uint32_t decodeStripStraight(int channel, uint32_t row, uint32_t end, uint8_t* dest,
                               size_t stride);
  /// Reads whole uncompressed strips from `strip` (which starts at `row`) up to `end` into
  /// `dest` with one read of the file, when they lie one after the other; rows read, or 0.
  uint32_t readUncompressedRun(uint32_t strip, uint32_t row, uint32_t end, uint8_t* dest);
  /// Copies the rows from `row` to the end of its row of tiles (or `end`) from the cache;
  /// rows copied, or 0 when the tiles cannot be decoded.
  uint32_t copyCachedTileRows(int channel, uint32_t row, uint32_t end, uint8_t* dest,
                              size_t stride);
  /// Decodes the strip of each of `planes` planes that holds `row`.
  bool readStrips(uint32_t row, uint16_t planes, const char* operation);
  /// Decodes the row of tiles of each of `planes` planes that holds `row`.
  bool readTileRows(uint32_t row, uint16_t planes, const char* operation);
};

}  // namespace orvex
