// Every scanline of every directory, in both forms, and its description, against the reference
// decoder: generated images of every orientation, depth and layout, and the files of tests/data
// written by other programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "HostReader.h"
#include "support/ReferenceDecoder.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_test::TiffSpec;

void expectSameDescription(const TiffImageInfo& actual, const TiffImageInfo& expected,
                           bool compareChannels) {
  EXPECT_EQ(actual.width, expected.width);
  EXPECT_EQ(actual.height, expected.height);
  EXPECT_EQ(actual.bitsPerSample, expected.bitsPerSample);
  EXPECT_EQ(actual.samplesPerPixel, expected.samplesPerPixel);
  EXPECT_EQ(actual.extraSamples, expected.extraSamples);
  EXPECT_EQ(actual.sampleFormat, expected.sampleFormat);
  EXPECT_EQ(actual.photometric, expected.photometric);
  EXPECT_EQ(actual.xResolution, expected.xResolution);
  EXPECT_EQ(actual.yResolution, expected.yResolution);
  EXPECT_EQ(actual.resolutionUnit, expected.resolutionUnit);
  EXPECT_EQ(actual.scanlineCount, expected.scanlineCount);
  EXPECT_EQ(actual.iccProfile, expected.iccProfile);
  if (compareChannels) {
    ASSERT_EQ(actual.channels.size(), expected.channels.size());
    for (size_t i = 0; i < actual.channels.size(); ++i) {
      EXPECT_EQ(actual.channels[i].type, expected.channels[i].type) << "channel " << i;
      EXPECT_EQ(actual.channels[i].name, expected.channels[i].name) << "channel " << i;
    }
  }
}

// Reads every scanline in order, then every one of each channel backwards, so that the cache
// moves both ways.
void expectDeliversTheReference(const std::string& path) {
  orvex_host_test::ReaderPtr reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  for (uint16_t dir = 0; dir < reader->getNumberOfDirectories(); ++dir) {
    SCOPED_TRACE("directory " + std::to_string(dir));
    const orvex_test::ReferenceDirectory expected = orvex_test::referenceOf(path, dir);
    ASSERT_TRUE(reader->beginReadSubDir(dir));
    const TiffImageInfo info = reader->getImageInfo();
    uint32_t photoshopBytes = 0;
    expectSameDescription(info, expected.info, true);
    EXPECT_EQ(reader->isRowScanline(), expected.rowScanlines);
    for (uint32_t i = 0; i < expected.scanlines.size(); ++i) {
      ASSERT_EQ(orvex_host_test::interleavedRow(*reader, i), expected.scanlines[i])
          << "scanline " << i;
    }
    for (uint16_t channel = 0; channel < expected.channelScanlines.size(); ++channel) {
      for (uint32_t i = expected.scanlines.size(); i-- > 0;) {
        ASSERT_EQ(orvex_host_test::channelRow(*reader, channel, i),
                  expected.channelScanlines[channel][i])
            << "channel " << channel << " scanline " << i;
      }
    }
    (void)photoshopBytes;
  }
  reader->end();
}

struct Layout {
  const char* name;
  uint16_t planar;
  uint32_t tileSide;  ///< 0: strips of 3 rows
};

const Layout kLayouts[] = {{"contiguous strips", PLANARCONFIG_CONTIG, 0},
                           {"separate strips", PLANARCONFIG_SEPARATE, 0},
                           {"contiguous tiles", PLANARCONFIG_CONTIG, 16},
                           {"separate tiles", PLANARCONFIG_SEPARATE, 16}};

struct Depth {
  uint16_t bits;
  uint16_t sampleFormat;
};

const Depth kDepths[] = {{1, SAMPLEFORMAT_UINT},   {2, SAMPLEFORMAT_UINT},
                         {4, SAMPLEFORMAT_UINT},   {8, SAMPLEFORMAT_UINT},
                         {16, SAMPLEFORMAT_INT},   {32, SAMPLEFORMAT_IEEEFP},
                         {64, SAMPLEFORMAT_IEEEFP}};

// Grey, grey with alpha, RGB with an alpha and a spot channel: a 21 x 18 picture, so that the
// last strip and the last tiles are partial.
TiffSpec generated(uint16_t orientation, const Layout& layout, const Depth& depth,
                   uint16_t samples) {
  TiffSpec spec;
  spec.width = 21;
  spec.height = 18;
  spec.orientation = orientation;
  spec.planar = layout.planar;
  spec.bitsPerSample = depth.bits;
  spec.sampleFormat = depth.sampleFormat;
  spec.samplesPerPixel = samples;
  spec.photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  spec.extraSamples.assign(samples - (samples >= 3 ? 3 : 1), EXTRASAMPLE_UNSPECIFIED);
  if (!spec.extraSamples.empty()) {
    spec.extraSamples[0] = EXTRASAMPLE_ASSOCALPHA;
  }
  spec.xResolution = 300.0F;
  spec.yResolution = 150.0F;
  spec.resolutionUnit = RESUNIT_CENTIMETER;
  spec.tileWidth = spec.tileLength = layout.tileSide;
  spec.rowsPerStrip = layout.tileSide == 0 ? 3 : 0;
  return spec;
}

class GeneratedImages : public ::testing::TestWithParam<uint16_t> {};

TEST_P(GeneratedImages, DeliverTheReferenceInEveryDepthAndLayout) {
  orvex_test::TempDir temp;
  for (const Layout& layout : kLayouts) {
    for (const Depth& depth : kDepths) {
      for (const uint16_t samples : {1, 2, 5}) {
        // Sub-byte samples of several channels are read only from separate planes.
        if (depth.bits < 8 && samples > 1 && layout.planar == PLANARCONFIG_CONTIG) {
          continue;
        }
        SCOPED_TRACE(std::string(layout.name) + ", " + std::to_string(depth.bits) + " bits, " +
                     std::to_string(samples) + " samples");
        const TiffSpec spec = generated(GetParam(), layout, depth, samples);
        const std::string path = temp.file("image.tif");
        orvex_test::writeTiff(path, spec, orvex_test::patternImage(spec));
        expectDeliversTheReference(path);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Orientations, GeneratedImages, ::testing::Range<uint16_t>(1, 9));

class TestDataFile : public ::testing::TestWithParam<const char*> {};

TEST_P(TestDataFile, DeliversTheReference) {
  expectDeliversTheReference(orvex_test::testDataFile(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TestDataFile,
    ::testing::Values(
        "libtiff/logluv-3c-16b.tiff", "libtiff/minisblack-1c-16b.tiff",
        "libtiff/minisblack-1c-8b.tiff", "libtiff/minisblack-2c-8b-alpha.tiff",
        "libtiff/miniswhite-1c-1b.tiff", "libtiff/palette-1c-1b.tiff", "libtiff/palette-1c-4b.tiff",
        "libtiff/palette-1c-8b.tiff", "libtiff/quad-lzw-compat.tiff", "libtiff/quad-tile.jpg.tiff",
        "libtiff/rgb-3c-16b.tiff", "libtiff/rgb-3c-8b.tiff", "pillow/16bit.cropped.tif",
        "pillow/g4_orientation_1.tif", "pillow/g4_orientation_2.tif", "pillow/g4_orientation_3.tif",
        "pillow/g4_orientation_4.tif", "pillow/g4_orientation_5.tif", "pillow/g4_orientation_6.tif",
        "pillow/g4_orientation_7.tif", "pillow/g4_orientation_8.tif", "pillow/hopper.Lab.tif",
        "pillow/hopper.iccprofile.tif", "pillow/hopper_bigtiff.tif", "pillow/hopper_lzw.tif",
        "pillow/multipage.tiff", "pillow/tiff_16bit_RGBa.tiff", "pillow/tiff_adobe_deflate.tif",
        "pillow/tiff_gray_2_4_bpp__hopper2.tif", "pillow/tiff_gray_2_4_bpp__hopper4.tif",
        "pillow/tiff_strip_cmyk_jpeg.tif", "pillow/tiff_strip_planar_lzw.tiff",
        "pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif", "pillow/tiff_tiled_planar_raw.tif",
        "pillow/tiff_tiled_ycbcr_jpeg_1x1_sampling.tif"),
    [](const ::testing::TestParamInfo<const char*>& param) {
      std::string name = param.param;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return std::isalnum(c) == 0; }, '_');
      return name;
    });

}  // namespace
