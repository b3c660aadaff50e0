// Files written by other programs, read through the exports and compared, row by row, with
// an independent decoding done here with libtiff's plain strip, tile and RGBA reading.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "HostReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace {

using Rows = std::vector<std::vector<uint8_t>>;
using TiffHandle = std::unique_ptr<TIFF, void (*)(TIFF*)>;

struct Layout {
  uint32_t width = 0, length = 0;
  uint16_t bits = 0, samples = 0, planar = 0, photometric = 0, orientation = 1;
};

Layout layoutOf(TIFF* tif) {
  Layout l;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.length);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.planar);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &l.orientation);
  return l;
}

/// Stored rows of one plane (all samples for contiguous data), decoded strip by strip or
/// tile by tile.
Rows storedPlane(TIFF* tif, const Layout& l, uint16_t plane) {
  const size_t rowBytes = static_cast<size_t>(TIFFScanlineSize(tif));
  Rows rows(l.length, std::vector<uint8_t>(rowBytes));
  if (!TIFFIsTiled(tif)) {
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::min(rowsPerStrip, l.length);
    std::vector<uint8_t> strip(static_cast<size_t>(TIFFStripSize(tif)));
    for (uint32_t first = 0; first < l.length; first += rowsPerStrip) {
      EXPECT_GE(TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, first, plane), strip.data(),
                                     static_cast<tmsize_t>(strip.size())),
                0);
      for (uint32_t r = first; r < std::min(first + rowsPerStrip, l.length); ++r) {
        std::memcpy(rows[r].data(), strip.data() + (r - first) * rowBytes, rowBytes);
      }
    }
    return rows;
  }
  uint32_t tileWidth = 0, tileLength = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
  const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tif));
  const size_t pixelBits = size_t{l.bits} * (l.planar == PLANARCONFIG_SEPARATE ? 1 : l.samples);
  std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tif)));
  for (uint32_t y = 0; y < l.length; y += tileLength) {
    for (uint32_t x = 0; x < l.width; x += tileWidth) {
      EXPECT_GE(TIFFReadTile(tif, tile.data(), x, y, 0, plane), 0);
      const size_t offset = x * pixelBits / 8;
      const size_t bytes = std::min(tileRowBytes, rowBytes - offset);
      for (uint32_t r = y; r < std::min(y + tileLength, l.length); ++r) {
        std::memcpy(rows[r].data() + offset, tile.data() + (r - y) * tileRowBytes, bytes);
      }
    }
  }
  return rows;
}

/// Separate planes of whole-byte samples, interleaved pixel by pixel.
Rows interleaved(const std::vector<Rows>& planes, const Layout& l) {
  const size_t sampleBytes = l.bits / 8;
  Rows rows(l.length, std::vector<uint8_t>(l.width * l.samples * sampleBytes));
  for (uint32_t r = 0; r < l.length; ++r) {
    for (uint32_t x = 0; x < l.width; ++x) {
      for (uint16_t s = 0; s < l.samples; ++s) {
        std::memcpy(rows[r].data() + (x * l.samples + s) * sampleBytes,
                    planes[s][r].data() + x * sampleBytes, sampleBytes);
      }
    }
  }
  return rows;
}

uint32_t indexAt(const std::vector<uint8_t>& row, uint16_t bits, uint32_t x) {
  if (bits == 16) {
    uint16_t value = 0;
    std::memcpy(&value, row.data() + 2 * x, 2);
    return value;
  }
  const uint32_t bit = x * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1U << bits) - 1);
}

/// Palette rows looked up in the colour map: 8 bits per sample unless some entry needs 16.
Rows expandedPalette(TIFF* tif, const Rows& indexes, const Layout& l) {
  uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue));
  const size_t entries = size_t{1} << l.bits;
  bool wide = false;
  for (size_t i = 0; i < entries; ++i) {
    wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
  }
  Rows rows;
  for (const std::vector<uint8_t>& row : indexes) {
    std::vector<uint8_t> rgb;
    for (uint32_t x = 0; x < l.width; ++x) {
      const uint32_t index = indexAt(row, l.bits, x);
      for (const uint16_t* map : {red, green, blue}) {
        if (wide) {
          const uint16_t value = map[index];
          rgb.insert(rgb.end(), reinterpret_cast<const uint8_t*>(&value),
                     reinterpret_cast<const uint8_t*>(&value) + 2);
        } else {
          rgb.push_back(static_cast<uint8_t>(map[index]));
        }
      }
    }
    rows.push_back(rgb);
  }
  return rows;
}

Rows rgbaRows(TIFF* tif, const Layout& l) {
  std::vector<uint32_t> raster(size_t{l.width} * l.length);
  EXPECT_TRUE(
      TIFFReadRGBAImageOriented(tif, l.width, l.length, raster.data(), ORIENTATION_TOPLEFT, 0));
  Rows rows;
  for (uint32_t r = 0; r < l.length; ++r) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(raster.data() + size_t{r} * l.width);
    rows.emplace_back(bytes, bytes + 4 * size_t{l.width});
  }
  return rows;
}

/// Top-left rows of whole-byte pixels for orientations 1 to 4: bottom-first files are
/// turned over and right-to-left files mirrored pixel by pixel.
Rows upright(Rows rows, const Layout& l, size_t pixelBytes) {
  if (l.orientation == ORIENTATION_BOTRIGHT || l.orientation == ORIENTATION_BOTLEFT) {
    std::reverse(rows.begin(), rows.end());
  }
  if (l.orientation == ORIENTATION_TOPRIGHT || l.orientation == ORIENTATION_BOTRIGHT) {
    for (std::vector<uint8_t>& row : rows) {
      std::vector<uint8_t> mirrored(row.size());
      for (uint32_t x = 0; x < l.width; ++x) {
        std::memcpy(mirrored.data() + x * pixelBytes, row.data() + (l.width - 1 - x) * pixelBytes,
                    pixelBytes);
      }
      row = mirrored;
    }
  }
  return rows;
}

/// The interleaved rows a host should receive from the current directory.
Rows expectedRows(TIFF* tif) {
  const Layout l = layoutOf(tif);
  EXPECT_LE(l.orientation, 4) << "columns are covered by the line reader's own tests";
  if (l.photometric == PHOTOMETRIC_YCBCR) {
    return rgbaRows(tif, l);  // already turned upright by libtiff
  }
  if (l.planar == PLANARCONFIG_SEPARATE) {
    std::vector<Rows> planes;
    for (uint16_t s = 0; s < l.samples; ++s) {
      planes.push_back(storedPlane(tif, l, s));
    }
    return upright(interleaved(planes, l), l, l.samples * l.bits / 8);
  }
  Rows rows = storedPlane(tif, l, 0);
  if (l.photometric == PHOTOMETRIC_PALETTE) {
    rows = expandedPalette(tif, rows, l);
    return upright(rows, l, rows.front().size() / l.width);
  }
  EXPECT_TRUE(l.bits >= 8 || l.orientation == 1) << "sub-byte mirroring is tested elsewhere";
  return upright(rows, l, std::max<size_t>(1, l.samples * l.bits / 8));
}

class RealFile : public ::testing::TestWithParam<const char*> {};

TEST_P(RealFile, EveryDirectoryDeliversTheIndependentlyDecodedRows) {
  const std::string path = orvex_test::testDataFile(GetParam());
  TiffHandle tif(TIFFOpen(path.c_str(), "rm"), TIFFClose);
  ASSERT_NE(tif, nullptr);
  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  ASSERT_EQ(reader->getNumberOfDirectories(), TIFFNumberOfDirectories(tif.get()));
  for (uint16_t dir = 0; dir < reader->getNumberOfDirectories(); ++dir) {
    ASSERT_TRUE(TIFFSetDirectory(tif.get(), dir));
    ASSERT_TRUE(reader->beginReadSubDir(dir)) << "directory " << dir;
    const Rows expected = expectedRows(tif.get());
    const TiffImageInfo info = reader->getImageInfo();
    ASSERT_EQ(info.scanlineCount, expected.size());
    for (uint32_t row = 0; row < info.scanlineCount; ++row) {
      ASSERT_EQ(orvex_host_test::interleavedRow(*reader, row), expected[row])
          << "directory " << dir << " row " << row;
    }
    reader->endReadSubDir();
  }
  reader->end();
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, RealFile,
    ::testing::Values(
        "libtiff/logluv-3c-16b.tiff", "libtiff/minisblack-1c-16b.tiff",
        "libtiff/minisblack-1c-8b.tiff", "libtiff/minisblack-2c-8b-alpha.tiff",
        "libtiff/miniswhite-1c-1b.tiff", "libtiff/palette-1c-1b.tiff", "libtiff/palette-1c-4b.tiff",
        "libtiff/palette-1c-8b.tiff", "libtiff/quad-lzw-compat.tiff", "libtiff/quad-tile.jpg.tiff",
        "libtiff/rgb-3c-16b.tiff", "libtiff/rgb-3c-8b.tiff", "pillow/16bit.cropped.tif",
        "pillow/hopper.Lab.tif", "pillow/hopper.iccprofile.tif", "pillow/hopper_bigtiff.tif",
        "pillow/hopper_lzw.tif", "pillow/multipage.tiff", "pillow/tiff_16bit_RGBa.tiff",
        "pillow/tiff_adobe_deflate.tif", "pillow/tiff_gray_2_4_bpp__hopper2.tif",
        "pillow/tiff_gray_2_4_bpp__hopper4.tif", "pillow/tiff_strip_cmyk_jpeg.tif",
        "pillow/tiff_strip_planar_lzw.tiff", "pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif",
        "pillow/tiff_tiled_planar_raw.tif", "pillow/tiff_tiled_ycbcr_jpeg_1x1_sampling.tif"),
    [](const ::testing::TestParamInfo<const char*>& param) {
      std::string name = param.param;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

// The extra plane of this file has a strip byte count of 0: libtiff cannot decode it, so no
// interleaved row can be delivered; the reader says so instead of handing out zeros.
TEST(RealFileDescription, PlaneWithoutDataFailsEachRowWithTheDecodeLines) {
  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(
      reader->begin(orvex_test::testDataFile("pillow/separate_planar_extra_samples.tiff").c_str()));
  ASSERT_TRUE(reader->beginReadSubDir(0));
  const TiffImageInfo info = reader->getImageInfo();
  EXPECT_EQ(info.sampleFormat, TiffSampleFormat::Int);
  ASSERT_EQ(info.channels.size(), 1U);
  EXPECT_EQ(info.channels[0].type, TiffChannelType::Unspecified);
  orvex_test::LogCapture log;
  EXPECT_FALSE(reader->readScanline(0, nullptr, nullptr));
  const std::vector<orvex_test::LogRecord> expected = {
      {4,
       "[TiffCommonLineReader::readOriginScanline_fromSeparateStripData] TIFFReadEncodedStrip "
       "failed!"},
      {4, "[TiffLineReaderBase::readScanline] readOriginLine failed!"}};
  EXPECT_EQ(log.records(), expected);
  reader->end();
}

TEST(RealFileDescription, IccProfileOfAnImageEditorArrivesWhole) {
  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(orvex_test::testDataFile("pillow/tiff_adobe_deflate.tif").c_str()));
  ASSERT_TRUE(reader->beginReadSubDir(0));
  const TiffImageInfo info = reader->getImageInfo();
  EXPECT_EQ(info.iccProfile.size(), 3144U);
  EXPECT_TRUE(info.channels.empty());
  EXPECT_EQ(info.photometric, TiffPhotometric::Rgb);
  reader->end();
}

}  // namespace
