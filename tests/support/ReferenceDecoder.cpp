#include "support/ReferenceDecoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "support/TiffFileBuilder.h"

namespace orvex_test {
namespace {

/// Sample values of the stored image in stored order, each sample's bytes (or, below 8 bits,
/// its value) kept in a 64-bit word.
struct StoredImage {
  uint32_t width = 0;
  uint32_t length = 0;
  uint16_t samples = 0;
  uint16_t bits = 0;
  std::vector<uint64_t> values;

  size_t index(uint32_t x, uint32_t y, uint16_t s) const {
    return (size_t{y} * width + x) * samples + s;
  }
};

template <typename T>
T field(TIFF* tif, ttag_t tag) {
  T value{};
  TIFFGetFieldDefaulted(tif, tag, &value);
  return value;
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

// Every sample, read strip by strip (a strip is a tile as wide as the image) or tile by tile,
// plane by plane; a tile of a nonstandard width may start inside a byte.
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
  const uint16_t planeSamples = separate ? 1 : image.samples;
  const bool tiled = TIFFIsTiled(tif) != 0;
  const auto rowBytes = static_cast<size_t>(tiled ? TIFFTileRowSize(tif) : TIFFScanlineSize(tif));
  const uint32_t blockWidth = tiled ? field<uint32_t>(tif, TIFFTAG_TILEWIDTH) : width;
  const uint32_t blockLength =
      std::min(length, field<uint32_t>(tif, tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP));
  Scanline block(static_cast<size_t>(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif)));
  for (uint16_t plane = 0; plane < image.samples / planeSamples; ++plane) {
    for (uint32_t y = 0; y < length; y += blockLength) {
      for (uint32_t x = 0; x < width; x += blockWidth) {
        // Bytes a decoder leaves unwritten are delivered as zeros.
        std::fill(block.begin(), block.end(), 0);
        if ((tiled ? TIFFReadTile(tif, block.data(), x, y, 0, plane)
                   : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, plane), block.data(),
                                          static_cast<tmsize_t>(block.size()))) < 0) {
          throw std::runtime_error("libtiff cannot decode a strip or tile");
        }
        for (uint32_t r = y; r < std::min(y + blockLength, length); ++r) {
          for (uint32_t c = x; c < std::min(x + blockWidth, width); ++c) {
            for (uint16_t s = 0; s < planeSamples; ++s) {
              image.values[image.index(c, r, separate ? plane : s)] = sampleAt(
                  block.data() + (r - y) * rowBytes, image.bits, size_t{c - x} * planeSamples + s);
            }
          }
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
  for (const uint64_t index : indexes.values) {
    rgb.values.insert(rgb.values.end(), {maps[0][index], maps[1][index], maps[2][index]});
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

// The samples of scanline `i`, all (channel < 0) or one's. Orientations 1 to 4 deliver the
// upright picture's rows, 5 to 8 its columns, left to right, each top to bottom; where the
// Orientation tag puts stored row 0 and stored column 0 decides which of them run backwards.
std::vector<uint64_t> deliveredSamples(const StoredImage& image, uint16_t orientation, uint32_t i,
                                       int channel) {
  const bool mirrored =
      orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool flipped = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  const uint32_t y = flipped ? image.length - 1 - i : i;
  std::vector<uint64_t> samples;
  for (uint32_t j = 0; j < image.width; ++j) {
    for (uint16_t s = 0; s < image.samples; ++s) {
      if (channel < 0 || channel == s) {
        samples.push_back(image.values[image.index(mirrored ? image.width - 1 - j : j, y, s)]);
      }
    }
  }
  return samples;
}

TiffImageInfo descriptionOf(TIFF* tif, const StoredImage& image, bool columns) {
  const uint16_t stored = field<uint16_t>(tif, TIFFTAG_PHOTOMETRIC);
  const bool converted = stored == PHOTOMETRIC_PALETTE || stored == PHOTOMETRIC_YCBCR;
  // The TIFF values of the public enumeration's members, from MinIsWhite (0) on.
  const uint16_t kPhotometrics[] = {0, 1, 2, 4, 5, 8, 9, 10, 32803, 32844, 32845};
  const auto* known = std::find(std::begin(kPhotometrics), std::end(kPhotometrics), stored);
  const uint16_t* kinds = nullptr;
  uint16_t extra = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extra, &kinds);
  std::vector<uint16_t> extraKinds(kinds, kinds + extra);
  if (stored == PHOTOMETRIC_YCBCR) extraKinds = {EXTRASAMPLE_ASSOCALPHA};
  TiffImageInfo info;
  info.width = columns ? image.length : image.width;
  info.height = columns ? image.width : image.length;
  info.bitsPerSample = image.bits;
  info.samplesPerPixel = image.samples;
  info.extraSamples = static_cast<uint16_t>(extraKinds.size());
  for (const uint16_t kind : extraKinds) {
    info.channels.push_back({static_cast<TiffChannelType>(kind <= 2 ? kind : 0), ""});
  }
  info.sampleFormat =
      converted ? TiffSampleFormat::Uint
                : static_cast<TiffSampleFormat>(field<uint16_t>(tif, TIFFTAG_SAMPLEFORMAT));
  info.photometric = converted ? TiffPhotometric::Rgb
                     : known == std::end(kPhotometrics)
                         ? TiffPhotometric::Unknown
                         : static_cast<TiffPhotometric>(known - std::begin(kPhotometrics));
  float resolutions[2] = {72.0F, 72.0F};
  TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolutions[columns ? 1 : 0]);
  TIFFGetField(tif, TIFFTAG_YRESOLUTION, &resolutions[columns ? 0 : 1]);
  info.xResolution = resolutions[0];
  info.yResolution = resolutions[1];
  const uint16_t unit = field<uint16_t>(tif, TIFFTAG_RESOLUTIONUNIT);
  info.resolutionUnit = unit == RESUNIT_INCH || unit == RESUNIT_CENTIMETER
                            ? static_cast<TiffResolutionUnit>(unit - RESUNIT_INCH)
                            : TiffResolutionUnit::Unknown;
  info.scanlineCount = image.length;
  uint32_t profileBytes = 0;
  const uint8_t* profile = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &profileBytes, &profile) != 0) {
    info.iccProfile.assign(profile, profile + profileBytes);
  }
  return info;
}

}  // namespace

ReferenceDirectory referenceOf(const std::string& path, uint16_t dir) {
  std::unique_ptr<TIFF, void (*)(TIFF*)> handle(openTiff(path, "rm"), TIFFClose);
  TIFF* tif = handle.get();
  if (tif == nullptr || TIFFSetDirectory(tif, dir) != 1) {
    throw std::runtime_error("libtiff cannot read directory " + std::to_string(dir));
  }
  const uint16_t orientation = field<uint16_t>(tif, TIFFTAG_ORIENTATION);
  const uint32_t width = field<uint32_t>(tif, TIFFTAG_IMAGEWIDTH);
  const uint32_t length = field<uint32_t>(tif, TIFFTAG_IMAGELENGTH);
  const uint16_t photometric = field<uint16_t>(tif, TIFFTAG_PHOTOMETRIC);
  const StoredImage image = photometric == PHOTOMETRIC_YCBCR ? rgbaSamples(tif, width, length)
                            : photometric == PHOTOMETRIC_PALETTE
                                ? expandedPalette(tif, storedSamples(tif, width, length))
                                : storedSamples(tif, width, length);
  ReferenceDirectory reference;
  reference.rowScanlines = orientation < ORIENTATION_LEFTTOP || orientation > ORIENTATION_LEFTBOT;
  reference.info = descriptionOf(tif, image, !reference.rowScanlines);
  reference.channelScanlines.resize(image.samples);
  reference.picture.resize(image.values.size());
  for (uint32_t i = 0; i < image.length; ++i) {
    const std::vector<uint64_t> samples = deliveredSamples(image, orientation, i, -1);
    reference.scanlines.push_back(packed(samples, image.bits));
    for (uint32_t j = 0; j < image.width; ++j) {
      const size_t pixel =
          reference.rowScanlines ? size_t{i} * image.width + j : size_t{j} * image.length + i;
      std::copy_n(samples.begin() + size_t{j} * image.samples, image.samples,
                  reference.picture.begin() + pixel * image.samples);
    }
    for (uint16_t s = 0; s < image.samples; ++s) {
      reference.channelScanlines[s].push_back(
          packed(deliveredSamples(image, orientation, i, s), image.bits));
    }
  }
  return reference;
}

}  // namespace orvex_test
