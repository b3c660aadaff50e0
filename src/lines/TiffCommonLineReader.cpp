#include "lines/TiffCommonLineReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "boundary/ModuleLogger.h"
#include "lines/RowBytes.h"
#include "lines/TiffLineAdjuster.h"
#include "lines/TiffPaletteLineAdjuster.h"

namespace orvex {
namespace {

// The decoders that write every byte they are asked for or fail: a strip they decode straight
// into a host's buffer never leaves bytes nobody wrote. Others (ThunderScan, say) may report
// success for less, so their strips go through the cleared cache.
bool fillsEveryByte(uint16_t compression) {
  switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ZSTD:
      return TIFFIsCODECConfigured(compression) != 0;
    default:
      return false;
  }
}

}  // namespace

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
  const uint16_t planes = layout_.separate() ? info_.samplesperpixel_ : 1;
  switch (layout_.stored_) {
    case StoredLayout::ContigStrips:
      return readStrips(row, planes,
                        "TiffCommonLineReader::readOriginScanline_fromContigStripData");
    case StoredLayout::SeparateStrips:
      return readStrips(row, planes,
                        "TiffCommonLineReader::readOriginScanline_fromSeparateStripData");
    case StoredLayout::ContigTiles:
      return readTileRows(row, planes,
                          "TiffCommonLineReader::readOriginScanline_fromContigTileData");
    case StoredLayout::SeparateTiles:
      return readTileRows(row, planes,
                          "TiffCommonLineReader::readOriginScanline_fromSeparateTileData");
    default:
      return false;
  }
}

// Upright rows of whole-byte samples other than palette indexes are delivered as stored: every
// sample of contiguous pixels, or one plane of separate ones.
bool TiffCommonLineReader::storedRowsAreDelivered(int channel) const {
  return layout_.separate() == (channel >= 0) && info_.photometric_ != PHOTOMETRIC_PALETTE &&
         info_.bitspersample_ % 8 == 0 && orientationPlan_.isIdentity() &&
         storedPixelBytes(channel) != 0 &&
         layout_.scanlineSize_ ==
             static_cast<int64_t>(storedPixelBytes(channel) * info_.imagewidth_);
}

uint64_t TiffCommonLineReader::storedPixelBytes(int channel) const {
  return uint64_t{channel < 0 ? info_.samplesperpixel_ : uint16_t{1}} * (info_.bitspersample_ / 8);
}

uint32_t TiffCommonLineReader::decodeStraight(int channel, uint32_t row, uint32_t end,
                                              uint8_t* dest, size_t stride) {
  if (!storedRowsAreDelivered(channel)) {
    return 0;
  }
  return layout_.tiled() ? copyCachedTileRows(channel, row, end, dest, stride)
                         : decodeStripStraight(channel, row, end, dest, stride);
}

// A strip that fails, or gives fewer bytes, is decoded again through the cache, which
// delivers and logs it exactly as the scanline calls do.
uint32_t TiffCommonLineReader::decodeStripStraight(int channel, uint32_t row, uint32_t end,
                                                   uint8_t* dest, size_t stride) {
  const uint32_t rowsPerStrip = info_.rowsperstrip_;
  if (stride != static_cast<size_t>(layout_.scanlineSize_) || !fillsEveryByte(info_.compression_) ||
      rowsPerStrip == 0 || row % rowsPerStrip != 0) {
    return 0;
  }
  const uint32_t rows = std::min(rowsPerStrip, info_.imagelength_ - row);
  if (rows > end - row) {
    return 0;
  }
  const auto plane = static_cast<uint16_t>(std::max(channel, 0));
  const uint32_t strip = TIFFComputeStrip(tif_, row, plane);
  const uint32_t run = readUncompressedRun(strip, row, end, dest);
  if (run != 0) {
    return run;
  }
  const auto bytes = static_cast<tmsize_t>(rows * layout_.scanlineSize_);
  return TIFFReadEncodedStrip(tif_, strip, dest, bytes) == bytes ? rows : 0;
}

// libtiff reads an uncompressed strip with one read of the file, and chops large strips into
// strips of a few kilobytes as it opens the file: a picture of 16 MiB is thousands of reads.
// Strips that follow each other in the file whole, needing neither bit reversal nor byte
// swapping, are read here in one read instead, with the same bytes. Anything irregular (a
// gap, a strip of another size, a file that ends too soon) is left to libtiff, strip by
// strip, which reports it as the scanline calls do.
uint32_t TiffCommonLineReader::readUncompressedRun(uint32_t strip, uint32_t row, uint32_t end,
                                                   uint8_t* dest) {
  uint16_t fillOrder = FILLORDER_MSB2LSB;
  if (info_.compression_ != COMPRESSION_NONE ||
      (TIFFIsByteSwapped(tif_) != 0 && info_.bitspersample_ != 8) ||
      TIFFGetFieldDefaulted(tif_, TIFFTAG_FILLORDER, &fillOrder) != 1 ||
      fillOrder != FILLORDER_MSB2LSB) {
    return 0;
  }
  const uint32_t rowsPerStrip = info_.rowsperstrip_;
  const uint64_t stripBytes = uint64_t{rowsPerStrip} * static_cast<uint64_t>(layout_.scanlineSize_);
  const uint64_t first = TIFFGetStrileOffset(tif_, strip);
  uint32_t strips = 0;
  while (row + uint64_t{strips + 1} * rowsPerStrip <= end &&
         TIFFGetStrileByteCount(tif_, strip + strips) == stripBytes &&
         TIFFGetStrileOffset(tif_, strip + strips) == first + strips * stripBytes) {
    ++strips;
  }
  const uint64_t bytes = strips * stripBytes;
  thandle_t file = TIFFClientdata(tif_);
  if (strips < 2 || bytes > static_cast<uint64_t>(std::numeric_limits<tmsize_t>::max()) ||
      TIFFGetSeekProc(tif_)(file, first, SEEK_SET) != first ||
      TIFFGetReadProc(tif_)(file, dest, static_cast<tmsize_t>(bytes)) !=
          static_cast<tmsize_t>(bytes)) {
    return 0;
  }
  return strips * rowsPerStrip;
}

// Tiles are decoded into the cleared cache as for the scanline calls; their rows are then
// copied from each tile straight to the host's scanlines, with no row buffer between.
uint32_t TiffCommonLineReader::copyCachedTileRows(int channel, uint32_t row, uint32_t end,
                                                  uint8_t* dest, size_t stride) {
  if (!readOriginScanline(row)) {
    return 0;
  }
  const uint32_t last = std::min(cacheEndRow_, end);
  const uint64_t pixelBytes = storedPixelBytes(channel);
  const size_t firstTile = static_cast<size_t>(std::max(channel, 0)) * layout_.tilesAcross_;
  for (uint32_t column = 0; column < layout_.tilesAcross_; ++column) {
    const uint64_t x0 = uint64_t{column} * info_.tilewidth_;
    const uint64_t bytes =
        std::min<uint64_t>(info_.tilewidth_, info_.imagewidth_ - x0) * pixelBytes;
    const ScanlineBuffer& tile = cacheArray_.at(firstTile + column);
    for (uint32_t line = row; line < last; ++line) {
      const uint64_t offset = uint64_t{line - cacheFirstRow_} * layout_.tileRowSize_;
      RowBytes::requireSpan(tile, offset, bytes);
      std::memcpy(dest + size_t{line - row} * stride + x0 * pixelBytes, tile.data + offset,
                  static_cast<size_t>(bytes));
    }
  }
  return last - row;
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
