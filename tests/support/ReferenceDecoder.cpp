#include "support/ReferenceDecoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "support/TiffFileBuilder.h"

namespace orvex_test {
namespace {

using TiffHandle = std::unique_ptr<TIFF, void (*)(TIFF*)>;

/// Sample values of the stored image in stored order, each sample's bytes (or, below 8 bits,
/// its value) kept in a 64-bit word.
struct StoredImage {
  uint32_t width = 0;
  uint32_t length = 0;
  uint16_t samples = 0;
  uint16_t bits = 0;
  std::vector<uint64_t> values;

  uint64_t& at(uint32_t x, uint32_t y, uint16_t s) {
    return values[(size_t{y} * width + x) * samples + s];
  }
  uint64_t at(uint32_t x, uint32_t y, uint16_t s) const {
    return values[(size_t{y} * width + x) * samples + s];
  }
};

template <typename T>
T field(TIFF* tif, ttag_t tag) {
  T value{};
  TIFFGetFieldDefaulted(tif, tag, &value);
  return value;
}

TiffPhotometric publicPhotometricOf(uint16_t photometric) {
  static const std::pair<uint16_t, TiffPhotometric> kNames[] = {
      {PHOTOMETRIC_MINISWHITE, TiffPhotometric::MinIsWhite},
      {PHOTOMETRIC_MINISBLACK, TiffPhotometric::MinIsBlack},
      {PHOTOMETRIC_RGB, TiffPhotometric::Rgb},
      {PHOTOMETRIC_MASK, TiffPhotometric::Mask},
      {PHOTOMETRIC_SEPARATED, TiffPhotometric::Separated},
      {PHOTOMETRIC_CIELAB, TiffPhotometric::CieLab},
      {PHOTOMETRIC_ICCLAB, TiffPhotometric::IccLab},
      {PHOTOMETRIC_ITULAB, TiffPhotometric::ItuLab},
      {PHOTOMETRIC_CFA, TiffPhotometric::Cfa},
      {PHOTOMETRIC_LOGL, TiffPhotometric::LogL},
      {PHOTOMETRIC_LOGLUV, TiffPhotometric::LogLuv}};
  for (const auto& [tiff, host] : kNames) {
    if (tiff == photometric) {
      return host;
    }
  }
  return TiffPhotometric::Unknown;
}

bool isSubByte(uint16_t bits) {
  return bits == 1 || bits == 2 || bits == 4;
}

uint64_t sampleAt(const uint8_t* row, uint16_t bits, size_t index) {
  if (isSubByte(bits)) {
    const size_t bit = index * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1U << bits) - 1);
  }
  uint64_t value = 0;
  std::memcpy(&value, row + index * (bits / 8), bits / 8);
  return value;
}

// Each stored row of one plane, decoded strip by strip or tile by tile.
std::vector<Scanline> storedRows(TIFF* tif, uint32_t width, uint32_t length, uint16_t plane) {
  const size_t rowBytes = static_cast<size_t>(TIFFScanlineSize(tif));
  std::vector<Scanline> rows(length, Scanline(rowBytes));
  if (!TIFFIsTiled(tif)) {
    const uint32_t rowsPerStrip = std::min(field<uint32_t>(tif, TIFFTAG_ROWSPERSTRIP), length);
    Scanline strip(static_cast<size_t>(TIFFStripSize(tif)));
    for (uint32_t first = 0; first < length; first += rowsPerStrip) {
      if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, first, plane), strip.data(),
                               static_cast<tmsize_t>(strip.size())) < 0) {
        throw std::runtime_error("libtiff cannot decode a strip");
      }
      for (uint32_t r = first; r < std::min(first + rowsPerStrip, length); ++r) {
        std::memcpy(rows[r].data(), strip.data() + (r - first) * rowBytes, rowBytes);
      }
    }
    return rows;
  }
  const uint32_t tileWidth = field<uint32_t>(tif, TIFFTAG_TILEWIDTH);
  const uint32_t tileLength = field<uint32_t>(tif, TIFFTAG_TILELENGTH);
  const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tif));
  const size_t pixelBits = rowBytes * 8 / width;  // a tile row's pixels pack like a row's
  Scanline tile(static_cast<size_t>(TIFFTileSize(tif)));
  for (uint32_t y = 0; y < length; y += tileLength) {
    for (uint32_t x = 0; x < width; x += tileWidth) {
      if (TIFFReadTile(tif, tile.data(), x, y, 0, plane) < 0) {
        throw std::runtime_error("libtiff cannot decode a tile");
      }
      const size_t offset = x * pixelBits / 8;
      const size_t bytes = std::min(tileRowBytes, rowBytes - offset);
      for (uint32_t r = y; r < std::min(y + tileLength, length); ++r) {
        std::memcpy(rows[r].data() + offset, tile.data() + (r - y) * tileRowBytes, bytes);
      }
    }
  }
  return rows;
}

StoredImage storedSamples(TIFF* tif, uint32_t width, uint32_t length) {
  StoredImage image{width,
                    length,
                    field<uint16_t>(tif, TIFFTAG_SAMPLESPERPIXEL),
                    field<uint16_t>(tif, TIFFTAG_BITSPERSAMPLE),
                    {}};
  if (!isSubByte(image.bits) && (image.bits % 8 != 0 || image.bits > 64)) {
    throw std::runtime_error("depth not modelled");
  }
  image.values.resize(size_t{width} * length * image.samples);
  const bool separate = field<uint16_t>(tif, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE;
  for (uint16_t plane = 0; plane < (separate ? image.samples : 1); ++plane) {
    const std::vector<Scanline> rows = storedRows(tif, width, length, plane);
    for (uint32_t y = 0; y < length; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        for (uint16_t s = 0; s < image.samples; ++s) {
          if (separate && s != plane) {
            continue;
          }
          const size_t index = separate ? x : size_t{x} * image.samples + s;
          image.at(x, y, s) = sampleAt(rows[y].data(), image.bits, index);
        }
      }
    }
  }
  return image;
}

// Palette indexes replaced by their colour-map entries: 8 bits unless an entry needs 16.
StoredImage expandedPalette(TIFF* tif, const StoredImage& indexes) {
  if (indexes.bits > 16 || (!isSubByte(indexes.bits) && indexes.bits % 8 != 0)) {
    throw std::runtime_error("palette depth not modelled");
  }
  uint16_t* maps[3] = {nullptr, nullptr, nullptr};
  TIFFGetField(tif, TIFFTAG_COLORMAP, &maps[0], &maps[1], &maps[2]);
  bool wide = false;
  for (size_t i = 0; i < (size_t{1} << indexes.bits); ++i) {
    wide = wide || maps[0][i] > 255 || maps[1][i] > 255 || maps[2][i] > 255;
  }
  StoredImage rgb{indexes.width, indexes.length, 3, static_cast<uint16_t>(wide ? 16 : 8), {}};
  rgb.values.resize(size_t{rgb.width} * rgb.length * 3);
  for (uint32_t y = 0; y < rgb.length; ++y) {
    for (uint32_t x = 0; x < rgb.width; ++x) {
      for (uint16_t s = 0; s < 3; ++s) {
        rgb.at(x, y, s) = maps[s][indexes.at(x, y, 0)];
      }
    }
  }
  return rgb;
}

// YCbCr through libtiff's RGBA interface, in stored row order like every other image: the
// file's orientation is applied afterwards, by the same rules.
StoredImage rgbaSamples(TIFF* tif, uint32_t width, uint32_t length) {
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  std::vector<uint32_t> raster(size_t{width} * length);
  if (TIFFReadRGBAImageOriented(tif, width, length, raster.data(), ORIENTATION_TOPLEFT, 0) == 0) {
    throw std::runtime_error("libtiff cannot decode the RGBA image");
  }
  StoredImage rgba{width, length, 4, 8, {}};
  for (const uint32_t pixel : raster) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&pixel);
    rgba.values.insert(rgba.values.end(), bytes, bytes + 4);
  }
  return rgba;
}

Scanline packed(const std::vector<uint64_t>& samples, uint16_t bits) {
  Scanline bytes((samples.size() * bits + 7) / 8, 0);
  for (size_t i = 0; i < samples.size(); ++i) {
    if (isSubByte(bits)) {
      const size_t bit = i * bits;
      bytes[bit / 8] |= static_cast<uint8_t>(samples[i] << (8 - bits - bit % 8));
    } else {
      std::memcpy(&bytes[i * (bits / 8)], &samples[i], bits / 8);
    }
  }
  return bytes;
}

// Scanline `i` of all samples (channel < 0) or of one.
Scanline deliveredScanline(const StoredImage& image, uint16_t orientation, uint32_t i,
                           int channel) {
  std::vector<uint64_t> samples;
  for (uint32_t j = 0; j < image.width; ++j) {
    const StoredPixel from = storedPixelOfDelivered(orientation, image.width, image.length, i, j);
    for (uint16_t s = 0; s < image.samples; ++s) {
      if (channel < 0 || channel == s) {
        samples.push_back(image.at(from.x, from.y, s));
      }
    }
  }
  return packed(samples, image.bits);
}

TiffImageInfo descriptionOf(TIFF* tif, const StoredImage& image, bool columns) {
  const uint16_t stored = field<uint16_t>(tif, TIFFTAG_PHOTOMETRIC);
  const uint16_t* kinds = nullptr;
  uint16_t extra = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extra, &kinds);
  std::vector<uint16_t> extraKinds(kinds, kinds + extra);
  if (stored == PHOTOMETRIC_YCBCR) {
    extraKinds = {EXTRASAMPLE_ASSOCALPHA};
  }
  TiffImageInfo info;
  info.width = columns ? image.length : image.width;
  info.height = columns ? image.width : image.length;
  info.bitsPerSample = image.bits;
  info.samplesPerPixel = image.samples;
  info.extraSamples = static_cast<uint16_t>(extraKinds.size());
  for (const uint16_t kind : extraKinds) {
    info.channels.push_back({kind == EXTRASAMPLE_ASSOCALPHA   ? TiffChannelType::AssociatedAlpha
                             : kind == EXTRASAMPLE_UNASSALPHA ? TiffChannelType::UnassociatedAlpha
                                                              : TiffChannelType::Unspecified,
                             ""});
  }
  const bool converted = stored == PHOTOMETRIC_PALETTE || stored == PHOTOMETRIC_YCBCR;
  info.sampleFormat =
      converted ? TiffSampleFormat::Uint
                : static_cast<TiffSampleFormat>(field<uint16_t>(tif, TIFFTAG_SAMPLEFORMAT));
  info.photometric = converted ? TiffPhotometric::Rgb : publicPhotometricOf(stored);
  float x = 72.0F;
  float y = 72.0F;
  TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x);
  TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y);
  info.xResolution = columns ? y : x;
  info.yResolution = columns ? x : y;
  const uint16_t unit = field<uint16_t>(tif, TIFFTAG_RESOLUTIONUNIT);
  info.resolutionUnit = unit == RESUNIT_INCH         ? TiffResolutionUnit::Inch
                        : unit == RESUNIT_CENTIMETER ? TiffResolutionUnit::Centimeter
                                                     : TiffResolutionUnit::Unknown;
  info.scanlineCount = image.length;
  uint32_t profileBytes = 0;
  const uint8_t* profile = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &profileBytes, &profile) != 0) {
    info.iccProfile.assign(profile, profile + profileBytes);
  }
  return info;
}

// The stored image a host receives the samples of, in stored order.
StoredImage deliveredSamples(TIFF* tif) {
  const uint32_t width = field<uint32_t>(tif, TIFFTAG_IMAGEWIDTH);
  const uint32_t length = field<uint32_t>(tif, TIFFTAG_IMAGELENGTH);
  switch (field<uint16_t>(tif, TIFFTAG_PHOTOMETRIC)) {
    case PHOTOMETRIC_YCBCR:
      return rgbaSamples(tif, width, length);
    case PHOTOMETRIC_PALETTE:
      return expandedPalette(tif, storedSamples(tif, width, length));
    default:
      return storedSamples(tif, width, length);
  }
}

}  // namespace

StoredPixel storedPixelOfDelivered(uint16_t orientation, uint32_t width, uint32_t length,
                                   uint32_t scanline, uint32_t i) {
  // Where stored row 0 and stored column 0 lie in the picture, by TIFF's Orientation tag; for
  // 5 to 8 scanline is the picture's column and i its row.
  switch (orientation) {
    case ORIENTATION_TOPRIGHT:
      return {width - 1 - i, scanline};
    case ORIENTATION_BOTRIGHT:
      return {width - 1 - i, length - 1 - scanline};
    case ORIENTATION_BOTLEFT:
      return {i, length - 1 - scanline};
    case ORIENTATION_LEFTTOP:
      return {i, scanline};
    case ORIENTATION_RIGHTTOP:
      return {i, length - 1 - scanline};
    case ORIENTATION_RIGHTBOT:
      return {width - 1 - i, length - 1 - scanline};
    case ORIENTATION_LEFTBOT:
      return {width - 1 - i, scanline};
    default:
      return {i, scanline};
  }
}

ReferenceDirectory referenceOf(const std::string& path, uint16_t dir) {
  TiffHandle tif(openTiff(path, "rm"), TIFFClose);
  if (!tif || TIFFSetDirectory(tif.get(), dir) != 1) {
    throw std::runtime_error("libtiff cannot read directory " + std::to_string(dir));
  }
  const uint16_t orientation = field<uint16_t>(tif.get(), TIFFTAG_ORIENTATION);
  const bool columns = orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
  const StoredImage image = deliveredSamples(tif.get());
  ReferenceDirectory reference;
  reference.info = descriptionOf(tif.get(), image, columns);
  reference.rowScanlines = !columns;
  reference.channelScanlines.resize(image.samples);
  for (uint32_t i = 0; i < image.length; ++i) {
    reference.scanlines.push_back(deliveredScanline(image, orientation, i, -1));
    for (uint16_t s = 0; s < image.samples; ++s) {
      reference.channelScanlines[s].push_back(deliveredScanline(image, orientation, i, s));
    }
  }
  return reference;
}

}  // namespace orvex_test
