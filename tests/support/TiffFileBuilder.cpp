#include "support/TiffFileBuilder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace orvex_test {

size_t storedRowBytes(const TiffSpec& spec) {
  const uint64_t samples = spec.planar == PLANARCONFIG_SEPARATE ? 1 : spec.samplesPerPixel;
  return static_cast<size_t>((uint64_t{spec.width} * samples * spec.bitsPerSample + 7) / 8);
}

uint16_t storedPlaneCount(const TiffSpec& spec) {
  return spec.planar == PLANARCONFIG_SEPARATE ? spec.samplesPerPixel : 1;
}

TiffFileBuilder::TiffFileBuilder(const std::string& path, bool bigTiff)
    : tif_(TIFFOpen(path.c_str(), bigTiff ? "w8" : "w")) {
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

void TiffFileBuilder::setTags(const TiffSpec& spec) {
  TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, spec.width);
  TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, spec.height);
  TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, spec.bitsPerSample);
  TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, spec.samplesPerPixel);
  TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, spec.photometric);
  TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, spec.planar);
  TIFFSetField(tif_, TIFFTAG_COMPRESSION, spec.compression);
  if (spec.sampleFormat) TIFFSetField(tif_, TIFFTAG_SAMPLEFORMAT, *spec.sampleFormat);
  if (spec.orientation) TIFFSetField(tif_, TIFFTAG_ORIENTATION, *spec.orientation);
  if (spec.xResolution) TIFFSetField(tif_, TIFFTAG_XRESOLUTION, *spec.xResolution);
  if (spec.yResolution) TIFFSetField(tif_, TIFFTAG_YRESOLUTION, *spec.yResolution);
  if (spec.resolutionUnit) TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, *spec.resolutionUnit);
  if (spec.inkSet) TIFFSetField(tif_, TIFFTAG_INKSET, *spec.inkSet);
  if (!spec.extraSamples.empty()) {
    TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(spec.extraSamples.size()),
                 spec.extraSamples.data());
  }
  if (!spec.iccProfile.empty()) {
    TIFFSetField(tif_, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(spec.iccProfile.size()),
                 spec.iccProfile.data());
  }
  if (!spec.photoshop.empty() || spec.writeEmptyPhotoshop) {
    static const uint8_t kNothing = 0;
    TIFFSetField(tif_, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(spec.photoshop.size()),
                 spec.photoshop.empty() ? &kNothing : spec.photoshop.data());
  }
  if (!spec.colorMap.empty()) {
    const size_t entries = spec.colorMap.size() / 3;
    TIFFSetField(tif_, TIFFTAG_COLORMAP, spec.colorMap.data(), spec.colorMap.data() + entries,
                 spec.colorMap.data() + 2 * entries);
  }
  if (spec.tileWidth != 0) {
    TIFFSetField(tif_, TIFFTAG_TILEWIDTH, spec.tileWidth);
    TIFFSetField(tif_, TIFFTAG_TILELENGTH, spec.tileLength);
  } else if (spec.rowsPerStrip != 0) {
    TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, spec.rowsPerStrip);
  }
}

void TiffFileBuilder::addDirectory(const TiffSpec& spec, const std::vector<uint8_t>& stored) {
  const size_t planeBytes = storedRowBytes(spec) * spec.height;
  if (stored.size() < planeBytes * storedPlaneCount(spec)) {
    throw std::invalid_argument("stored image too small for its spec");
  }
  setTags(spec);
  if (spec.tileWidth != 0) {
    writeTiles(spec, stored);
  } else {
    writeStrips(spec, stored);
  }
  if (!TIFFWriteDirectory(tif_)) {
    throw std::runtime_error("TIFFWriteDirectory failed");
  }
}

void TiffFileBuilder::writeStrips(const TiffSpec& spec, const std::vector<uint8_t>& stored) {
  const size_t rowBytes = storedRowBytes(spec);
  uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  rowsPerStrip = std::min(rowsPerStrip, spec.height);
  for (uint16_t plane = 0; plane < storedPlaneCount(spec); ++plane) {
    for (uint32_t first = 0; first < spec.height; first += rowsPerStrip) {
      const uint32_t rows = std::min(rowsPerStrip, spec.height - first);
      const uint8_t* source = stored.data() + (size_t{plane} * spec.height + first) * rowBytes;
      const uint32_t strip = TIFFComputeStrip(tif_, first, plane);
      std::vector<uint8_t> bytes(source, source + rows * rowBytes);
      if (TIFFWriteEncodedStrip(tif_, strip, bytes.data(), static_cast<tmsize_t>(bytes.size())) <
          0) {
        throw std::runtime_error("TIFFWriteEncodedStrip failed");
      }
    }
  }
}

void TiffFileBuilder::writeTiles(const TiffSpec& spec, const std::vector<uint8_t>& stored) {
  const size_t rowBytes = storedRowBytes(spec);
  const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tif_));
  const size_t bitsPerPixel = size_t{spec.bitsPerSample} *
                              (spec.planar == PLANARCONFIG_SEPARATE ? 1 : spec.samplesPerPixel);
  std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tif_)));
  for (uint16_t plane = 0; plane < storedPlaneCount(spec); ++plane) {
    for (uint32_t y = 0; y < spec.height; y += spec.tileLength) {
      for (uint32_t x = 0; x < spec.width; x += spec.tileWidth) {
        std::fill(tile.begin(), tile.end(), 0);
        const size_t offset = x * bitsPerPixel / 8;
        const size_t copyBytes = std::min(tileRowBytes, rowBytes - offset);
        for (uint32_t line = 0; line < spec.tileLength && y + line < spec.height; ++line) {
          const uint8_t* source =
              stored.data() + (size_t{plane} * spec.height + y + line) * rowBytes + offset;
          std::memcpy(tile.data() + line * tileRowBytes, source, copyBytes);
        }
        if (TIFFWriteTile(tif_, tile.data(), x, y, 0, plane) < 0) {
          throw std::runtime_error("TIFFWriteTile failed");
        }
      }
    }
  }
}

void writeTiff(const std::string& path, const TiffSpec& spec, const std::vector<uint8_t>& stored) {
  TiffFileBuilder builder(path);
  builder.addDirectory(spec, stored);
}

std::vector<uint8_t> patternImage(const TiffSpec& spec, uint8_t seed) {
  std::vector<uint8_t> bytes(storedRowBytes(spec) * spec.height * storedPlaneCount(spec));
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7 + seed + i / 251);
  }
  return bytes;
}

}  // namespace orvex_test
