#include "lines/TiffSpecialLineReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "boundary/ModuleLogger.h"
#include "lines/OrientationAutoRollback.h"
#include "lines/TiffLineAdjuster.h"

namespace orvex {
namespace {

// One RGBA raster pixel: a 32-bit value whose bytes in memory are R, G, B, A.
constexpr int64_t kRasterPixelBytes = 4;

// Byte size of `rows` raster rows of `rowBytes` each; 0 when it exceeds 64 bits, which the
// cache then refuses to allocate.
int64_t rasterBytes(int64_t rowBytes, uint32_t rows) {
  if (rows != 0 && rowBytes > std::numeric_limits<int64_t>::max() / rows) {
    return 0;
  }
  return rowBytes * rows;
}

uint32_t* rasterOf(ScanlineBuffer& buffer) {
  return reinterpret_cast<uint32_t*>(buffer.data);
}

}  // namespace

TiffSpecialLineReader::~TiffSpecialLineReader() {
  orientationRollback_.reset();
}

bool TiffSpecialLineReader::initTiffLineAdjuster() {
  return installTiffLineAdjuster(std::make_shared<TiffLineAdjuster>(this));
}

bool TiffSpecialLineReader::adjustTiffInfo() {
  info_.bitspersample_ = 8;
  info_.samplesperpixel_ = 4;
  info_.extrasamples_ = 1;
  info_.extrasamplesinfo_.assign(1, EXTRASAMPLE_ASSOCALPHA);
  info_.photometric_ = PHOTOMETRIC_RGB;
  info_.sampleformat_ = SAMPLEFORMAT_UINT;
  info_.planarconfig_ = PLANARCONFIG_CONTIG;
  layout_.scanlineSize_ = kRasterPixelBytes * info_.imagewidth_;
  layout_.stripSize_ =
      rasterBytes(layout_.scanlineSize_, std::min(info_.rowsperstrip_, info_.imagelength_));
  layout_.tileRowSize_ = kRasterPixelBytes * info_.tilewidth_;
  layout_.tileSize_ = rasterBytes(layout_.tileRowSize_, info_.tilelength_);
  return true;
}

bool TiffSpecialLineReader::beginRead(uint16_t directoryIndex) {
  if (!TiffLineReaderBase::beginRead(directoryIndex)) {
    return false;
  }
  // libtiff's RGBA functions put the raster origin at the bottom-left corner and flip the rows
  // of any other orientation. Calling the directory bottom-left makes them copy the rows in
  // stored order, so the file's real orientation (read above) is applied by the adjuster
  // exactly as for every other image.
  orientationRollback_ = std::make_shared<OrientationAutoRollback>(tif_, ORIENTATION_BOTLEFT);
  return true;
}

void TiffSpecialLineReader::endRead() {
  TiffLineReaderBase::endRead();
  orientationRollback_.reset();
}

bool TiffSpecialLineReader::readOriginScanline(uint32_t row) {
  if (row >= info_.imagelength_) {
    moduleLogger().log(kLogError, "[%s] rowIndex(%u) >= imagelength(%u)!",
                       "TiffSpecialLineReader::readOriginScanline", static_cast<unsigned>(row),
                       static_cast<unsigned>(info_.imagelength_));
    return false;
  }
  if (isCached(row)) {
    return true;
  }
  return layout_.tiled() ? readRGBAScanline_tile(row) : readRGBAScanline_strip(row);
}

bool TiffSpecialLineReader::readRGBAScanline_strip(uint32_t row) {
  const uint32_t first = row - row % info_.rowsperstrip_;
  // libtiff fills the strip's rows from the top of the raster, also for a short last strip.
  const auto decode = [&] {
    return TIFFReadRGBAStrip(tif_, first, rasterOf(cacheArray_.at(0))) != 0;
  };
  return decodeBlock(first, info_.rowsperstrip_, decode, "[%s] TIFFReadRGBAStrip failed!",
                     "TiffSpecialLineReader::readRGBAScanline_strip");
}

bool TiffSpecialLineReader::readRGBAScanline_tile(uint32_t row) {
  const uint32_t first = row - row % info_.tilelength_;
  const uint32_t rowsRead = std::min(info_.tilelength_, info_.imagelength_ - first);
  const auto decode = [&] {
    size_t index = 0;
    // 64 bits, so that stepping past a width close to 2^32 ends the loop.
    for (uint64_t x = 0; x < info_.imagewidth_; x += info_.tilewidth_, ++index) {
      ScanlineBuffer& tile = cacheArray_.at(index);
      tile.zeroFill();
      if (!fitRawBufferToTile()) {
        return false;
      }
      if (TIFFReadRGBATile(tif_, static_cast<uint32_t>(x), first, rasterOf(tile)) == 0) {
        return false;
      }
      moveRowsToTileTop(tile, rowsRead);
    }
    return true;
  };
  return decodeBlock(first, info_.tilelength_, decode, "[%s] TIFFReadRGBATile failed!",
                     "TiffSpecialLineReader::readRGBAScanline_tile");
}

// libtiff 4.5 refuses an uncompressed tile read through its RGBA interface unless the handle's
// raw-data buffer holds exactly one tile. That buffer belongs to the handle, not to a directory:
// each strip or tile libtiff reads through it only ever grows it (to a multiple of 1024 bytes),
// and selecting another directory keeps it. So once any larger block has been read, in this
// directory or in another one, every later uncompressed tile fails ("Invalid tile byte count"),
// and whether a directory could be read depended on what the host had read before. Setting the
// buffer up at the tile size before each tile gives it the buffer of a freshly opened handle:
// tiles of a multiple of 1024 bytes are then read in any order, tiles of other sizes fail in any
// order. Compressed tiles are not checked against the buffer, so it is left to them.
bool TiffSpecialLineReader::fitRawBufferToTile() {
  return info_.compression_ != COMPRESSION_NONE ||
         TIFFReadBufferSetup(tif_, nullptr, TIFFTileSize(tif_)) != 0;
}

// For a tile that reaches past the image's last row, TIFFReadRGBATile keeps the rows it could
// read at the bottom of the tile raster (the raster is a bottom-up picture of a whole tile),
// with zero rows above them. The adjuster expects image row first + k in raster row k, as in
// every full tile. Columns past the image's right edge need no care: libtiff keeps each row's
// pixels at its start and zeroes the rest.
void TiffSpecialLineReader::moveRowsToTileTop(ScanlineBuffer& tile, uint32_t rowsRead) const {
  if (rowsRead >= info_.tilelength_) {
    return;
  }
  const int64_t offset = rasterBytes(layout_.tileRowSize_, info_.tilelength_ - rowsRead);
  std::memmove(tile.data, tile.data + offset, static_cast<size_t>(tile.size - offset));
}

}  // namespace orvex
