#include "ImageLayout.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "SmoothContent.h"
#include "TiffHandle.h"

namespace orvex_bench {
namespace {

uint64_t pixelBits(const ImageLayout& layout) {
  const uint64_t samples =
      layout.planarConfig == PLANARCONFIG_SEPARATE ? 1 : layout.samplesPerPixel;
  return samples * layout.bitsPerSample;
}

void setTags(TIFF* tif, const ImageLayout& layout) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, layout.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, layout.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, layout.planarConfig);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, layout.compression);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, layout.orientation);
  if (layout.alpha) {
    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (layout.photometric == PHOTOMETRIC_PALETTE) {
    // Sixteen-bit map values, as TIFF writers store them, so rows come out as 16-bit RGB.
    std::vector<uint16_t> red(256), green(256), blue(256);
    for (unsigned i = 0; i < 256; ++i) {
      red[i] = static_cast<uint16_t>(i * 257);
      green[i] = static_cast<uint16_t>((255 - i) * 257);
      blue[i] = static_cast<uint16_t>((i * 7 & 255) * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  }
  if (layout.compression == COMPRESSION_JPEG) {
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 90);
    // libtiff then takes RGB rows and converts them to subsampled YCbCr itself.
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  }
  if (layout.tileSize != 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, layout.tileSize);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, layout.tileSize);
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, layout.rowsPerStrip);
  }
}

// Produces stored rows: plane `plane` of picture row `y`.
class RowSource {
public:
  explicit RowSource(const ImageLayout& layout)
      : layout_(layout),
        content_(layout.width, layout.height),
        pixelRow_(uint64_t{layout.width} * layout.samplesPerPixel * 2 + 16) {}

  void fill(uint32_t y, uint16_t plane, uint8_t* out) {
    const ImageLayout& l = layout_;
    if (l.bitsPerSample == 1) {
      content_.row1(y, out);
      return;
    }
    const bool separate = l.planarConfig == PLANARCONFIG_SEPARATE;
    const size_t sampleBytes = l.bitsPerSample / 8;
    uint8_t* pixels = separate ? pixelRow_.data() : out;
    if (l.bitsPerSample == 16) {
      content_.row16(y, l.samplesPerPixel, reinterpret_cast<uint16_t*>(pixels));
    } else {
      content_.row8(y, l.samplesPerPixel, pixels);
    }
    if (!separate) {
      return;
    }
    const size_t pixelBytes = sampleBytes * l.samplesPerPixel;
    for (uint32_t x = 0; x < l.width; ++x) {
      std::copy_n(pixels + x * pixelBytes + plane * sampleBytes, sampleBytes,
                  out + x * sampleBytes);
    }
  }

private:
  const ImageLayout& layout_;
  SmoothContent content_;
  std::vector<uint8_t> pixelRow_;
};

// Separate planes are written plane after plane, as libtiff's scanline interface requires.
void writeStrips(TIFF* tif, const ImageLayout& layout, RowSource& source) {
  std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize64(tif)));
  for (uint16_t plane = 0; plane < layout.planes(); ++plane) {
    for (uint32_t y = 0; y < layout.height; ++y) {
      source.fill(y, plane, row.data());
      if (TIFFWriteScanline(tif, row.data(), y, plane) < 0) {
        throw std::runtime_error("TIFFWriteScanline failed");
      }
    }
  }
}

void writeTiles(TIFF* tif, const ImageLayout& layout, RowSource& source) {
  const uint32_t size = layout.tileSize;
  const uint64_t rowBytes = layout.planeRowBytes();
  const uint64_t tileRowBytes = size * pixelBits(layout) / 8;
  std::vector<uint8_t> band(rowBytes * size);
  std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize64(tif)));
  for (uint16_t plane = 0; plane < layout.planes(); ++plane) {
    for (uint32_t y0 = 0; y0 < layout.height; y0 += size) {
      std::fill(band.begin(), band.end(), 0);
      for (uint32_t k = 0; k < size && y0 + k < layout.height; ++k) {
        source.fill(y0 + k, plane, band.data() + k * rowBytes);
      }
      for (uint32_t x0 = 0; x0 < layout.width; x0 += size) {
        const uint64_t start = x0 * pixelBits(layout) / 8;
        const uint64_t take = std::min(tileRowBytes, rowBytes - start);
        std::fill(tile.begin(), tile.end(), 0);
        for (uint32_t k = 0; k < size; ++k) {
          std::copy_n(band.data() + k * rowBytes + start, take, tile.data() + k * tileRowBytes);
        }
        if (TIFFWriteTile(tif, tile.data(), x0, y0, 0, plane) < 0) {
          throw std::runtime_error("TIFFWriteTile failed");
        }
      }
    }
  }
}

}  // namespace

uint64_t ImageLayout::planeRowBytes() const {
  return (uint64_t{width} * pixelBits(*this) + 7) / 8;
}

uint64_t ImageLayout::rawBytes() const {
  return planeRowBytes() * height * planes();
}

void writeBenchImage(const char* path, const ImageLayout& layout) {
  TiffHandle tif(path, "w");
  setTags(tif.get(), layout);
  RowSource source(layout);
  if (layout.tileSize != 0) {
    writeTiles(tif.get(), layout, source);
  } else {
    writeStrips(tif.get(), layout, source);
  }
  tif.close();
}

}  // namespace orvex_bench
