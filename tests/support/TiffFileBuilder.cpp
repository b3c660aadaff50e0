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

size_t storedRowBytes(const TiffSpec& tiffSpec) {
  const uint64_t samples = tiffSpec.planar == PLANARCONFIG_SEPARATE ? 1 : tiffSpec.samplesPerPixel;
  return static_cast<size_t>((uint64_t{tiffSpec.width} * samples * tiffSpec.bitsPerSample + 7) / 8);
}

uint16_t storedPlaneCount(const TiffSpec& tiffSpec) {
  return tiffSpec.planar == PLANARCONFIG_SEPARATE ? tiffSpec.samplesPerPixel : 1;
}

TiffFileBuilder::TiffFileBuilder(const std::string& path, const char* mode)
    : tif_(openTiff(path, mode)) {
  if (tif_ == nullptr) {
    throw std::runtime_error("cannot create " + path);
  }
}

TiffFileBuilder::~TiffFileBuilder() {
  close();
}

void TiffFileBuilder::close() {
  if (tif_ != nullptr) {
    TIFFClose(tif_);
    tif_ = nullptr;
  }
}

void TiffFileBuilder::setTags(const TiffSpec& tiffSpec) {
  TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, tiffSpec.width);
  TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, tiffSpec.height);
  TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, tiffSpec.bitsPerSample);
  TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, tiffSpec.samplesPerPixel);
  TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, tiffSpec.photometric);
  TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, tiffSpec.planar);
  TIFFSetField(tif_, TIFFTAG_COMPRESSION, tiffSpec.compression);
  if (tiffSpec.sampleFormat) TIFFSetField(tif_, TIFFTAG_SAMPLEFORMAT, *tiffSpec.sampleFormat);
  if (tiffSpec.orientation) TIFFSetField(tif_, TIFFTAG_ORIENTATION, *tiffSpec.orientation);
  if (tiffSpec.xResolution) TIFFSetField(tif_, TIFFTAG_XRESOLUTION, *tiffSpec.xResolution);
  if (tiffSpec.yResolution) TIFFSetField(tif_, TIFFTAG_YRESOLUTION, *tiffSpec.yResolution);
  if (tiffSpec.resolutionUnit) TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, *tiffSpec.resolutionUnit);
  if (tiffSpec.inkSet) TIFFSetField(tif_, TIFFTAG_INKSET, *tiffSpec.inkSet);
  if (tiffSpec.ycbcrSubsampling) {
    TIFFSetField(tif_, TIFFTAG_YCBCRSUBSAMPLING, tiffSpec.ycbcrSubsampling->first,
                 tiffSpec.ycbcrSubsampling->second);
  }
  if (tiffSpec.jpegQuality) TIFFSetField(tif_, TIFFTAG_JPEGQUALITY, *tiffSpec.jpegQuality);
  if (tiffSpec.jpegColorMode) TIFFSetField(tif_, TIFFTAG_JPEGCOLORMODE, *tiffSpec.jpegColorMode);
  if (!tiffSpec.extraSamples.empty()) {
    TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(tiffSpec.extraSamples.size()),
                 tiffSpec.extraSamples.data());
  }
  if (!tiffSpec.iccProfile.empty()) {
    TIFFSetField(tif_, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(tiffSpec.iccProfile.size()),
                 tiffSpec.iccProfile.data());
  }
  if (!tiffSpec.photoshop.empty() || tiffSpec.writeEmptyPhotoshop) {
    static const uint8_t kNothing = 0;
    TIFFSetField(tif_, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(tiffSpec.photoshop.size()),
                 tiffSpec.photoshop.empty() ? &kNothing : tiffSpec.photoshop.data());
  }
  if (!tiffSpec.colorMap.empty()) {
    const size_t entries = tiffSpec.colorMap.size() / 3;
    TIFFSetField(tif_, TIFFTAG_COLORMAP, tiffSpec.colorMap.data(),
                 tiffSpec.colorMap.data() + entries, tiffSpec.colorMap.data() + 2 * entries);
  }
  if (tiffSpec.tileWidth != 0) {
    TIFFSetField(tif_, TIFFTAG_TILEWIDTH, tiffSpec.tileWidth);
    TIFFSetField(tif_, TIFFTAG_TILELENGTH, tiffSpec.tileLength);
  } else if (tiffSpec.rowsPerStrip != 0) {
    TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, tiffSpec.rowsPerStrip);
  }
}

void TiffFileBuilder::addDirectory(const TiffSpec& tiffSpec, const std::vector<uint8_t>& stored) {
  const size_t planeBytes = storedRowBytes(tiffSpec) * tiffSpec.height;
  if (stored.size() < planeBytes * storedPlaneCount(tiffSpec)) {
    throw std::invalid_argument("stored image too small for its tiffSpec");
  }
  setTags(tiffSpec);
  if (tiffSpec.tileWidth != 0) {
    writeTiles(tiffSpec, stored);
  } else {
    writeStrips(tiffSpec, stored);
  }
  if (!TIFFWriteDirectory(tif_)) {
    throw std::runtime_error("TIFFWriteDirectory failed");
  }
}

void TiffFileBuilder::writeStrips(const TiffSpec& tiffSpec, const std::vector<uint8_t>& stored) {
  const size_t rowBytes = storedRowBytes(tiffSpec);
  uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  rowsPerStrip = std::min(rowsPerStrip, tiffSpec.height);
  for (uint16_t plane = 0; plane < storedPlaneCount(tiffSpec); ++plane) {
    for (uint32_t first = 0; first < tiffSpec.height; first += rowsPerStrip) {
      const uint32_t rows = std::min(rowsPerStrip, tiffSpec.height - first);
      const uint8_t* source = stored.data() + (size_t{plane} * tiffSpec.height + first) * rowBytes;
      const uint32_t strip = TIFFComputeStrip(tif_, first, plane);
      std::vector<uint8_t> bytes(source, source + rows * rowBytes);
      if (TIFFWriteEncodedStrip(tif_, strip, bytes.data(), static_cast<tmsize_t>(bytes.size())) <
          0) {
        throw std::runtime_error("TIFFWriteEncodedStrip failed");
      }
    }
  }
}

void TiffFileBuilder::writeTiles(const TiffSpec& tiffSpec, const std::vector<uint8_t>& stored) {
  const size_t rowBytes = storedRowBytes(tiffSpec);
  const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tif_));
  const size_t bitsPerPixel =
      size_t{tiffSpec.bitsPerSample} *
      (tiffSpec.planar == PLANARCONFIG_SEPARATE ? 1 : tiffSpec.samplesPerPixel);
  std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tif_)));
  for (uint16_t plane = 0; plane < storedPlaneCount(tiffSpec); ++plane) {
    for (uint32_t y = 0; y < tiffSpec.height; y += tiffSpec.tileLength) {
      for (uint32_t x = 0; x < tiffSpec.width; x += tiffSpec.tileWidth) {
        std::fill(tile.begin(), tile.end(), 0);
        const size_t offset = x * bitsPerPixel / 8;
        const size_t copyBytes = std::min(tileRowBytes, rowBytes - offset);
        for (uint32_t line = 0; line < tiffSpec.tileLength && y + line < tiffSpec.height; ++line) {
          const uint8_t* source =
              stored.data() + (size_t{plane} * tiffSpec.height + y + line) * rowBytes + offset;
          std::memcpy(tile.data() + line * tileRowBytes, source, copyBytes);
        }
        if (TIFFWriteTile(tif_, tile.data(), x, y, 0, plane) < 0) {
          throw std::runtime_error("TIFFWriteTile failed");
        }
      }
    }
  }
}

void writeTiff(const std::string& path, const TiffSpec& tiffSpec,
               const std::vector<uint8_t>& stored) {
  TiffFileBuilder builder(path);
  builder.addDirectory(tiffSpec, stored);
}

std::vector<uint8_t> patternImage(const TiffSpec& tiffSpec, uint8_t seed) {
  std::vector<uint8_t> bytes(storedRowBytes(tiffSpec) * tiffSpec.height *
                             storedPlaneCount(tiffSpec));
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7 + seed + i / 251);
  }
  return bytes;
}

}  // namespace orvex_test
