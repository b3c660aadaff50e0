#include "lines/TiffCommonLineReader.h"

#include <algorithm>
#include <memory>

#include "boundary/ModuleLogger.h"
#include "lines/TiffLineAdjuster.h"
#include "lines/TiffPaletteLineAdjuster.h"

namespace orvex {

bool TiffCommonLineReader::initTiffLineAdjuster() {
  // The one place where the adjuster is chosen for the directory. Palette rows are expanded
  // to RGB, since their indexes mean nothing to the host without the colour map.
  if (info_.photometric_ == PHOTOMETRIC_PALETTE) {
    return installTiffLineAdjuster(std::make_shared<TiffPaletteLineAdjuster>(this));
  }
  return installTiffLineAdjuster(std::make_shared<TiffLineAdjuster>(this));
}

bool TiffCommonLineReader::readOriginScanline(uint32_t row) {
  if (row >= info_.imagelength_) {
    moduleLogger().log(kLogError, "[%s] rowIndex out range!",
                       "TiffCommonLineReader::readOriginScanline");
    return false;
  }
  const bool tiled = info_.isTiled_;
  switch (info_.planarconfig_) {
    case PLANARCONFIG_CONTIG:
      return tiled ? readOriginScanline_fromContigTileData(row)
                   : readOriginScanline_fromContigStripData(row);
    case PLANARCONFIG_SEPARATE:
      return tiled ? readOriginScanline_fromSeparateTileData(row)
                   : readOriginScanline_fromSeparateStripData(row);
    default:
      return false;
  }
}

bool TiffCommonLineReader::readOriginScanline_fromContigStripData(uint32_t row) {
  return readStrips(row, 1, "TiffCommonLineReader::readOriginScanline_fromContigStripData");
}

bool TiffCommonLineReader::readOriginScanline_fromSeparateStripData(uint32_t row) {
  return readStrips(row, info_.samplesperpixel_,
                    "TiffCommonLineReader::readOriginScanline_fromSeparateStripData");
}

bool TiffCommonLineReader::readOriginScanline_fromContigTileData(uint32_t row) {
  return readTileRows(row, 1, "TiffCommonLineReader::readOriginScanline_fromContigTileData");
}

bool TiffCommonLineReader::readOriginScanline_fromSeparateTileData(uint32_t row) {
  return readTileRows(row, info_.samplesperpixel_,
                      "TiffCommonLineReader::readOriginScanline_fromSeparateTileData");
}

bool TiffCommonLineReader::readStrips(uint32_t row, uint16_t planes, const char* operation) {
  if (isCached(row)) {
    return true;
  }
  const uint32_t rowsPerStrip = info_.rowsperstrip_;
  const uint32_t first = row - row % rowsPerStrip;
  const uint32_t rows = std::min(rowsPerStrip, info_.imagelength_ - first);
  // Each buffer is cleared before its decode: some libtiff decoders (ThunderScan's, and
  // others on damaged data) report success without writing every byte they were asked for,
  // and those bytes must read as zero, never as an earlier strip's pixels.
  const auto decode = [&] {
    for (uint16_t plane = 0; plane < planes; ++plane) {
      ScanlineBuffer& strip = cacheArray_.at(plane);
      strip.zeroFill();
      // The last strip holds fewer rows; never ask for more than the buffer holds.
      const tmsize_t bytes =
          static_cast<tmsize_t>(std::min(rows * layout_.scanlineSize_, strip.size));
      if (TIFFReadEncodedStrip(tif_, TIFFComputeStrip(tif_, row, plane), strip.data, bytes) < 0) {
        return false;
      }
    }
    return true;
  };
  return decodeBlock(first, rowsPerStrip, decode, "[%s] TIFFReadEncodedStrip failed!", operation);
}

bool TiffCommonLineReader::readTileRows(uint32_t row, uint16_t planes, const char* operation) {
  if (isCached(row)) {
    return true;
  }
  const uint32_t first = row - row % info_.tilelength_;
  // Cleared before each decode, as strips are.
  const auto decode = [&] {
    for (uint16_t plane = 0; plane < planes; ++plane) {
      for (uint32_t column = 0; column < layout_.tilesAcross_; ++column) {
        ScanlineBuffer& tile = cacheArray_.at(size_t{plane} * layout_.tilesAcross_ + column);
        tile.zeroFill();
        if (TIFFReadTile(tif_, tile.data, column * info_.tilewidth_, first, 0, plane) < 0) {
          return false;
        }
      }
    }
    return true;
  };
  return decodeBlock(first, info_.tilelength_, decode, "[%s] TIFFReadTile failed!", operation);
}

}  // namespace orvex
