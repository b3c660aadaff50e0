// The line reader for directories whose samples cannot be handed out as stored (YCbCr): libtiff's
// RGBA interface decodes each strip or tile into 8-bit RGBA, which the plain adjuster then
// treats like any contiguous 8-bit image.
#pragma once

#include <memory>

#include "lines/TiffLineReaderBase.h"

namespace orvex {

class OrientationAutoRollback;

class TiffSpecialLineReader : public TiffLineReaderBase {
public:
  using TiffLineReaderBase::TiffLineReaderBase;
  /// Gives the handle its orientation back before the cache and the adjuster go.
  ~TiffSpecialLineReader() override;

  bool initTiffLineAdjuster() override;
  /// Describes the cache as libtiff's RGBA raster: 8-bit RGB with associated alpha, contiguous.
  bool adjustTiffInfo() override;
  /// Fails for a row at or beyond the image length.
  bool readOriginScanline(uint32_t row) override;
  /// While a directory is read, the handle's orientation is bottom-left (see the .cpp).
  bool beginRead(uint16_t directoryIndex) override;
  void endRead() override;

private:
  bool readRGBAScanline_strip(uint32_t row);
  bool readRGBAScanline_tile(uint32_t row);

  /// Gives the handle's raw-data buffer the size of one stored tile, for an uncompressed one
  /// (see the .cpp); false when it cannot be allocated.
  bool fitRawBufferToTile();
  /// Moves the `rowsRead` rows libtiff left at the bottom of a partial tile to its top.
  void moveRowsToTileTop(ScanlineBuffer& tile, uint32_t rowsRead) const;

  std::shared_ptr<OrientationAutoRollback> orientationRollback_;
};

}  // namespace orvex
