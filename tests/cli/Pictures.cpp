#include "cli/Pictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace orvex_cli_test {
namespace {

// One sample of a packed row: sub-byte samples most significant bit first, wider ones in
// the machine's byte order, as libtiff hands them out.
uint32_t sampleAt(const uint8_t* row, size_t index, uint16_t bits) {
  if (bits == 16) {
    uint16_t value;
    std::memcpy(&value, row + index * 2, 2);
    return value;
  }
  if (bits == 32) {
    uint32_t value;
    std::memcpy(&value, row + index * 4, 4);
    return value;
  }
  uint32_t value = 0;
  for (uint16_t i = 0; i < bits; ++i) {
    const size_t bit = index * bits + i;
    value = (value << 1) | ((row[bit / 8] >> (7 - bit % 8)) & 1U);
  }
  return value;
}

struct Placement {
  uint32_t x;
  uint32_t y;
};

// Where stored pixel (column c, row r) of a width x length image lands in the picture.
Placement placed(uint16_t orientation, uint32_t c, uint32_t r, uint32_t width, uint32_t length) {
  switch (orientation) {
    case ORIENTATION_TOPRIGHT:
      return {width - 1 - c, r};
    case ORIENTATION_BOTRIGHT:
      return {width - 1 - c, length - 1 - r};
    case ORIENTATION_BOTLEFT:
      return {c, length - 1 - r};
    case ORIENTATION_LEFTTOP:
      return {r, c};
    case ORIENTATION_RIGHTTOP:
      return {length - 1 - r, c};
    case ORIENTATION_RIGHTBOT:
      return {length - 1 - r, width - 1 - c};
    case ORIENTATION_LEFTBOT:
      return {r, width - 1 - c};
    default:
      return {c, r};
  }
}

}  // namespace

void PrintTo(const Picture& picture, std::ostream* out) {
  *out << picture.width << " x " << picture.height << " x " << picture.samples << " {";
  for (size_t i = 0; i < picture.values.size() && i < 48; ++i) {
    *out << (i == 0 ? "" : ", ") << picture.values[i];
  }
  *out << (picture.values.size() > 48 ? ", ...}" : "}");
}

Picture uprightPicture(const orvex_test::TiffSpec& tiffSpec, const std::vector<uint8_t>& stored) {
  const uint16_t orientation = tiffSpec.orientation.value_or(ORIENTATION_TOPLEFT);
  const bool columns = orientation >= ORIENTATION_LEFTTOP;
  Picture picture;
  picture.width = columns ? tiffSpec.height : tiffSpec.width;
  picture.height = columns ? tiffSpec.width : tiffSpec.height;
  picture.samples = tiffSpec.samplesPerPixel;
  picture.values.resize(size_t{picture.width} * picture.height * picture.samples);
  const size_t rowBytes = orvex_test::storedRowBytes(tiffSpec);
  for (uint32_t r = 0; r < tiffSpec.height; ++r) {
    for (uint32_t c = 0; c < tiffSpec.width; ++c) {
      const Placement at = placed(orientation, c, r, tiffSpec.width, tiffSpec.height);
      for (uint16_t s = 0; s < tiffSpec.samplesPerPixel; ++s) {
        picture.values[(size_t{at.y} * picture.width + at.x) * picture.samples + s] =
            sampleAt(stored.data() + r * rowBytes, size_t{c} * tiffSpec.samplesPerPixel + s,
                     tiffSpec.bitsPerSample);
      }
    }
  }
  return picture;
}

Picture readTiffPicture(const std::string& path) {
  Picture picture;
  TIFF* tif = orvex_test::openTiff(path.c_str(), "r");
  if (tif == nullptr) {
    return picture;
  }
  uint16_t bits = 0, planar = PLANARCONFIG_CONTIG;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &picture.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &picture.height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &picture.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  picture.values.resize(size_t{picture.width} * picture.height * picture.samples);
  std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tif)));
  const uint16_t planes = planar == PLANARCONFIG_SEPARATE ? picture.samples : 1;
  const uint16_t samplesInRow = planar == PLANARCONFIG_SEPARATE ? 1 : picture.samples;
  for (uint16_t plane = 0; plane < planes; ++plane) {
    for (uint32_t y = 0; y < picture.height; ++y) {
      if (TIFFReadScanline(tif, row.data(), y, plane) < 0) {
        picture.values.clear();
        TIFFClose(tif);
        return picture;
      }
      for (uint32_t x = 0; x < picture.width; ++x) {
        for (uint16_t s = 0; s < samplesInRow; ++s) {
          picture.values[(size_t{y} * picture.width + x) * picture.samples + plane + s] =
              sampleAt(row.data(), size_t{x} * samplesInRow + s, bits);
        }
      }
    }
  }
  TIFFClose(tif);
  return picture;
}

PngPicture readPng(const std::string& path) {
  PngPicture picture;
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  // Read through the standard library, which takes UTF-8 names on every platform.
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
    return picture;
  }
  if ((image.format & PNG_FORMAT_FLAG_LINEAR) != 0 || (image.format & PNG_FORMAT_FLAG_COLORMAP)) {
    png_image_free(&image);
    return picture;
  }
  picture.width = image.width;
  picture.height = image.height;
  picture.channels = PNG_IMAGE_SAMPLE_CHANNELS(image.format);
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  picture.read = png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr) != 0;
  return picture;
}

void editedCopy(const std::string& source, const std::string& copy,
                const std::function<void(TIFF*)>& edit) {
  std::filesystem::copy_file(std::filesystem::u8path(source), std::filesystem::u8path(copy),
                             std::filesystem::copy_options::overwrite_existing);
  TIFF* tif = orvex_test::openTiff(copy, "r+");
  ASSERT_NE(tif, nullptr) << copy;
  edit(tif);
  EXPECT_EQ(TIFFRewriteDirectory(tif), 1) << copy;
  TIFFClose(tif);
}

TiffImageInfo libraryInfo(const std::string& path) {
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader(createTiffReader(),
                                                              destroyTiffReader);
  TiffImageInfo info;
  if (reader->begin(path.c_str()) && reader->beginReadSubDir(0)) {
    info = reader->getImageInfo();
  }
  reader->end();
  return info;
}

bool writePng(const std::string& path, uint32_t width, uint32_t height, unsigned channels,
              const std::vector<uint8_t>& pixels) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

TiffImageInfo eightBitInfo(TiffPhotometric photometric, uint16_t colourSamples,
                           std::vector<TiffChannelInfo> channels, uint32_t width, uint32_t height) {
  TiffImageInfo info;
  info.width = width;
  info.height = height;
  info.bitsPerSample = 8;
  info.extraSamples = static_cast<uint16_t>(channels.size());
  info.samplesPerPixel = static_cast<uint16_t>(colourSamples + channels.size());
  info.channels = std::move(channels);
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = photometric;
  return info;
}

bool writeWithLibrary(const std::string& path, const TiffImageInfo& info) {
  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                              destroyTiffWriter);
  if (!writer->begin(path.c_str(), info, 1)) {
    return false;
  }
  std::vector<uint8_t> row(size_t{info.width} * info.samplesPerPixel);
  for (uint32_t y = 0; y < info.height; ++y) {
    for (size_t i = 0; i < row.size(); ++i) {
      row[i] = static_cast<uint8_t>(y * 31 + i / info.samplesPerPixel * 7 +
                                    i % info.samplesPerPixel * 50);
    }
    if (!writer->writeScanline(y, row.data(), static_cast<uint32_t>(row.size()))) {
      return false;
    }
  }
  writer->end();
  return true;
}

}  // namespace orvex_cli_test
