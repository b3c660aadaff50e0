#include "support/TiffFileBuilder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace orvex_test {

// On Windows libtiff's narrow open reads the name in the ANSI code page, which cannot hold
// every name the tests use; the wide open takes it exactly, as the library itself does.
TIFF* openTiff(const std::string& utf8Path, const char* mode) {
#if defined(_WIN32)
  return TIFFOpenW(std::filesystem::u8path(utf8Path).c_str(), mode);
#else
  return TIFFOpen(utf8Path.c_str(), mode);
#endif
}

std::vector<uint8_t> photoshopTagOf(const std::string& path) {
  TIFF* tif = openTiff(path, "r");
  uint32_t size = 0;
  const uint8_t* data = nullptr;
  const bool found = TIFFGetField(tif, TIFFTAG_PHOTOSHOP, &size, &data) != 0;
  std::vector<uint8_t> bytes =
      found ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
  TIFFClose(tif);
  return bytes;
}

size_t storedRowBytes(const TiffSetup& tiffSetup) {
  const uint64_t samples =
      tiffSetup.planar == PLANARCONFIG_SEPARATE ? 1 : tiffSetup.samplesPerPixel;
  return static_cast<size_t>((uint64_t{tiffSetup.width} * samples * tiffSetup.bitsPerSample + 7) /
                             8);
}

uint16_t storedPlaneCount(const TiffSetup& tiffSetup) {
  return tiffSetup.planar == PLANARCONFIG_SEPARATE ? tiffSetup.samplesPerPixel : 1;
}

TiffFileBuilder::TiffFileBuilder(const std::string& path, const char* mode)
    : tif_(openTiff(path, mode)) {
  if (tif_ == nullptr) {
    throw std::runtime_error("cannot create " + path);
  }
}

TiffFileBuilder::~TiffFileBuilder() {
  TIFFClose(tif_);
}

void TiffFileBuilder::setTags(const TiffSetup& tiffSetup) {
  TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, tiffSetup.width);
  TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, tiffSetup.height);
  TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, tiffSetup.bitsPerSample);
  TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, tiffSetup.samplesPerPixel);
  TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, tiffSetup.photometric);
  TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, tiffSetup.planar);
  TIFFSetField(tif_, TIFFTAG_COMPRESSION, tiffSetup.compression);
  if (tiffSetup.sampleFormat) TIFFSetField(tif_, TIFFTAG_SAMPLEFORMAT, *tiffSetup.sampleFormat);
  if (tiffSetup.orientation) TIFFSetField(tif_, TIFFTAG_ORIENTATION, *tiffSetup.orientation);
  if (tiffSetup.xResolution) TIFFSetField(tif_, TIFFTAG_XRESOLUTION, *tiffSetup.xResolution);
  if (tiffSetup.yResolution) TIFFSetField(tif_, TIFFTAG_YRESOLUTION, *tiffSetup.yResolution);
  if (tiffSetup.resolutionUnit)
    TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, *tiffSetup.resolutionUnit);
  if (tiffSetup.inkSet) TIFFSetField(tif_, TIFFTAG_INKSET, *tiffSetup.inkSet);
  if (tiffSetup.ycbcrSubsampling) {
    TIFFSetField(tif_, TIFFTAG_YCBCRSUBSAMPLING, tiffSetup.ycbcrSubsampling->first,
                 tiffSetup.ycbcrSubsampling->second);
  }
  if (tiffSetup.jpegQuality) TIFFSetField(tif_, TIFFTAG_JPEGQUALITY, *tiffSetup.jpegQuality);
  if (tiffSetup.jpegColorMode) TIFFSetField(tif_, TIFFTAG_JPEGCOLORMODE, *tiffSetup.jpegColorMode);
  if (!tiffSetup.extraSamples.empty()) {
    TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(tiffSetup.extraSamples.size()),
                 tiffSetup.extraSamples.data());
  }
  if (!tiffSetup.iccProfile.empty()) {
    TIFFSetField(tif_, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(tiffSetup.iccProfile.size()),
                 tiffSetup.iccProfile.data());
  }
  if (!tiffSetup.photoshop.empty()) {
    TIFFSetField(tif_, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(tiffSetup.photoshop.size()),
                 tiffSetup.photoshop.data());
  }
  if (!tiffSetup.colorMap.empty()) {
    const size_t entries = tiffSetup.colorMap.size() / 3;
    TIFFSetField(tif_, TIFFTAG_COLORMAP, tiffSetup.colorMap.data(),
                 tiffSetup.colorMap.data() + entries, tiffSetup.colorMap.data() + 2 * entries);
  }
  if (tiffSetup.tileWidth != 0) {
    TIFFSetField(tif_, TIFFTAG_TILEWIDTH, tiffSetup.tileWidth);
    TIFFSetField(tif_, TIFFTAG_TILELENGTH, tiffSetup.tileLength);
  } else if (tiffSetup.rowsPerStrip != 0) {
    TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, tiffSetup.rowsPerStrip);
  }
}

void TiffFileBuilder::addDirectory(const TiffSetup& tiffSetup, const std::vector<uint8_t>& stored) {
  const size_t planeBytes = storedRowBytes(tiffSetup) * tiffSetup.height;
  if (tiffSetup.rawBlocks.empty() && stored.size() < planeBytes * storedPlaneCount(tiffSetup)) {
    throw std::invalid_argument("stored image too small for its tiffSetup");
  }
  setTags(tiffSetup);
  if (!tiffSetup.rawBlocks.empty()) {
    writeRawBlocks(tiffSetup);
  } else {
    writeBlocks(tiffSetup, stored);
  }
  if (!TIFFWriteDirectory(tif_)) {
    throw std::runtime_error("TIFFWriteDirectory failed");
  }
}

// Strips or tiles cut from the stored image, plane by plane; a strip is a block as wide as the
// image, and the last one holds only the rows left.
void TiffFileBuilder::writeBlocks(const TiffSetup& tiffSetup, const std::vector<uint8_t>& stored) {
  const bool tiled = tiffSetup.tileWidth != 0;
  const size_t rowBytes = storedRowBytes(tiffSetup);
  uint32_t blockLength = tiffSetup.tileLength;
  if (!tiled) TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &blockLength);
  blockLength = std::min(blockLength, tiffSetup.height);
  const uint32_t blockWidth = tiled ? tiffSetup.tileWidth : tiffSetup.width;
  const size_t blockRowBytes = tiled ? static_cast<size_t>(TIFFTileRowSize(tif_)) : rowBytes;
  const size_t bitsPerPixel =
      size_t{tiffSetup.bitsPerSample} *
      (tiffSetup.planar == PLANARCONFIG_SEPARATE ? 1 : tiffSetup.samplesPerPixel);
  std::vector<uint8_t> block(tiled ? static_cast<size_t>(TIFFTileSize(tif_))
                                   : blockLength * rowBytes);
  for (uint16_t plane = 0; plane < storedPlaneCount(tiffSetup); ++plane) {
    for (uint32_t y = 0; y < tiffSetup.height; y += blockLength) {
      const uint32_t lines = std::min(blockLength, tiffSetup.height - y);
      for (uint32_t x = 0; x < tiffSetup.width; x += blockWidth) {
        std::fill(block.begin(), block.end(), 0);
        const size_t offset = x * bitsPerPixel / 8;
        for (uint32_t line = 0; line < lines; ++line) {
          const uint8_t* source =
              stored.data() + (size_t{plane} * tiffSetup.height + y + line) * rowBytes + offset;
          std::memcpy(block.data() + line * blockRowBytes, source,
                      std::min(blockRowBytes, rowBytes - offset));
        }
        if ((tiled ? TIFFWriteTile(tif_, block.data(), x, y, 0, plane)
                   : TIFFWriteEncodedStrip(tif_, TIFFComputeStrip(tif_, y, plane), block.data(),
                                           static_cast<tmsize_t>(lines * rowBytes))) < 0) {
          throw std::runtime_error("libtiff cannot write a strip or tile");
        }
      }
    }
  }
}

void TiffFileBuilder::writeRawBlocks(const TiffSetup& tiffSetup) {
  for (uint32_t block = 0; block < tiffSetup.rawBlocks.size(); ++block) {
    std::vector<uint8_t> bytes = tiffSetup.rawBlocks[block];
    const auto size = static_cast<tmsize_t>(bytes.size());
    if ((tiffSetup.tileWidth != 0 ? TIFFWriteRawTile(tif_, block, bytes.data(), size)
                                  : TIFFWriteRawStrip(tif_, block, bytes.data(), size)) < 0) {
      throw std::runtime_error("TIFFWriteRaw failed");
    }
  }
}

void writeTiff(const std::string& path, const TiffSetup& tiffSetup,
               const std::vector<uint8_t>& stored) {
  TiffFileBuilder builder(path);
  builder.addDirectory(tiffSetup, stored);
}

std::vector<uint8_t> patternImage(const TiffSetup& tiffSetup, uint8_t seed) {
  std::vector<uint8_t> bytes(storedRowBytes(tiffSetup) * tiffSetup.height *
                             storedPlaneCount(tiffSetup));
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7 + seed + i / 251);
  }
  return bytes;
}

}  // namespace orvex_test
