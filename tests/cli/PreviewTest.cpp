// orvex preview: an 8-bit PNG of what a host receives, checked pixel by pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::PngPicture;
using orvex_cli_test::readPng;
using orvex_cli_test::runTool;
using orvex_test::TiffSpec;

class Preview : public ::testing::Test {
protected:
  // Writes `spec` with `stored` and previews it; the PNG read back.
  PngPicture preview(const TiffSpec& spec, const std::vector<uint8_t>& stored,
                     std::vector<std::string> options = {}) {
    const std::string input = temp_.file("in.tif");
    const std::string output = temp_.file("out.png");
    orvex_test::writeTiff(input, spec, stored);
    std::vector<std::string> arguments = {"preview", input, output};
    arguments.insert(arguments.end(), options.begin(), options.end());
    lastRun_ = runTool(arguments);
    EXPECT_EQ(lastRun_.exitCode, 0) << lastRun_.err;
    return readPng(output);
  }

  orvex_test::TempDir temp_;
  orvex_cli_test::ToolRun lastRun_;
};

template <typename T>
std::vector<uint8_t> bytesOf(const std::vector<T>& values) {
  std::vector<uint8_t> bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

TEST_F(Preview, ColumnsOfOrientationSixBecomeAnUprightRgbPicture) {
  TiffSpec spec;
  spec.width = 5;
  spec.height = 3;
  spec.samplesPerPixel = 3;
  spec.photometric = PHOTOMETRIC_RGB;
  spec.orientation = ORIENTATION_RIGHTTOP;
  const std::vector<uint8_t> stored = orvex_test::patternImage(spec);
  const PngPicture png = preview(spec, stored);
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.width, 3U);
  EXPECT_EQ(png.height, 5U);
  ASSERT_EQ(png.channels, 3U);
  const orvex_cli_test::Picture expected = orvex_cli_test::uprightPicture(spec, stored);
  for (uint32_t y = 0; y < 5; ++y) {
    for (uint32_t x = 0; x < 3; ++x) {
      for (unsigned c = 0; c < 3; ++c) {
        EXPECT_EQ(png.at(x, y, c), expected.at(x, y, static_cast<uint16_t>(c)));
      }
    }
  }
  EXPECT_EQ(lastRun_.out, "wrote " + temp_.file("out.png") + ": 3 x 5, RGB\n");
}

TEST_F(Preview, SixteenBitGreyKeepsTheHighByte) {
  TiffSpec spec;
  spec.width = 4;
  spec.height = 1;
  spec.bitsPerSample = 16;
  const PngPicture png = preview(spec, bytesOf<uint16_t>({0x0000, 0x12FF, 0x8001, 0xFFFF}));
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0x00, 0x12, 0x80, 0xFF}));
}

TEST_F(Preview, SignedSamplesStartAtBlack) {
  TiffSpec spec;
  spec.width = 3;
  spec.height = 1;
  spec.sampleFormat = SAMPLEFORMAT_INT;
  const PngPicture png = preview(spec, {0x80, 0x00, 0x7F});  // -128, 0, 127
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 128, 255}));
}

TEST_F(Preview, FloatsAreClampedToZeroOne) {
  TiffSpec spec;
  spec.width = 6;
  spec.height = 1;
  spec.bitsPerSample = 32;
  spec.sampleFormat = SAMPLEFORMAT_IEEEFP;
  const PngPicture png = preview(spec, bytesOf<float>({-0.5F, 0.0F, 0.25F, 0.5F, 1.0F, 7.0F}));
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 0, 64, 128, 255, 255}));
}

TEST_F(Preview, OneBitMinIsWhiteIsInvertedAndScaled) {
  TiffSpec spec;
  spec.width = 10;
  spec.height = 1;
  spec.bitsPerSample = 1;
  spec.photometric = PHOTOMETRIC_MINISWHITE;
  const PngPicture png = preview(spec, {0b10110000, 0b01000000});
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 255, 0, 0, 255, 255, 255, 255, 255, 0}));
}

TEST_F(Preview, FourBitGreyIsScaled) {
  TiffSpec spec;
  spec.width = 3;
  spec.height = 1;
  spec.bitsPerSample = 4;
  const PngPicture png = preview(spec, {0x0F, 0x80});
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 255, 136}));
}

TEST_F(Preview, AssociatedAlphaIsDividedOutForPngsStraightAlpha) {
  TiffSpec spec;
  spec.width = 3;
  spec.height = 1;
  spec.samplesPerPixel = 4;
  spec.photometric = PHOTOMETRIC_RGB;
  spec.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  const PngPicture png = preview(spec, {100, 50, 0, 200, 9, 9, 9, 0, 255, 128, 1, 255});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 4U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{128, 64, 0, 200, 0, 0, 0, 0, 255, 128, 1, 255}));
}

TEST_F(Preview, UnassociatedAlphaIsKeptAsItIs) {
  TiffSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.samplesPerPixel = 2;
  spec.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  const PngPicture png = preview(spec, {100, 50, 7, 0});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 2U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{100, 50, 7, 0}));
}

TEST_F(Preview, OneChannelAskedForIsShownInGrey) {
  TiffSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.samplesPerPixel = 3;
  spec.photometric = PHOTOMETRIC_RGB;
  const PngPicture png = preview(spec, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {"--channel", "1"});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{2, 5, 8, 11}));
  EXPECT_EQ(lastRun_.out, "wrote " + temp_.file("out.png") + ": 2 x 2, channel 1 in grey\n");
}

TEST_F(Preview, OtherColourModelsShowTheirFirstChannel) {
  TiffSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.samplesPerPixel = 4;
  spec.photometric = PHOTOMETRIC_SEPARATED;
  spec.inkSet = INKSET_CMYK;
  const PngPicture png = preview(spec, {10, 20, 30, 40, 50, 60, 70, 80});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{10, 50}));
  EXPECT_EQ(lastRun_.out,
            "wrote " + temp_.file("out.png") + ": 2 x 1, channel 0 in grey (separated (CMYK))\n");
}

TEST_F(Preview, ChannelBeyondTheImageIsBadUsage) {
  TiffSpec spec;
  const std::string input = temp_.file("grey.tif");
  const std::string output = temp_.file("grey.png");
  orvex_test::writeTiff(input, spec, orvex_test::patternImage(spec));
  const auto run = runTool({"preview", input, output, "--channel", "1"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "orvex: --channel 1: the image has channels 0 to 0\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Preview, ComplexSamplesCannotBeShown) {
  TiffSpec spec;
  spec.bitsPerSample = 32;
  spec.sampleFormat = SAMPLEFORMAT_COMPLEXINT;
  const std::string input = temp_.file("complex.tif");
  const std::string output = temp_.file("complex.png");
  orvex_test::writeTiff(input, spec, orvex_test::patternImage(spec));
  const auto run = runTool({"preview", input, output});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "orvex: a preview cannot show samples of 32 bits in complex integer format\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Preview, CorpusFilesGiveAPngOfTheirSize) {
  struct Case {
    const char* file;
    uint32_t width;
    uint32_t height;
    unsigned channels;
  };
  for (const Case& test : {Case{"pillow/g4_orientation_5.tif", 590, 88, 1},
                           Case{"libtiff/palette-1c-4b.tiff", 157, 151, 3},
                           Case{"pillow/tiff_tiled_ycbcr_jpeg_1x1_sampling.tif", 300, 225, 4},
                           Case{"pillow/tiff_gray_2_4_bpp__hopper2.tif", 128, 128, 1},
                           Case{"libtiff/minisblack-2c-8b-alpha.tiff", 64, 64, 2}}) {
    const std::string output = temp_.file("corpus.png");
    const auto run = runTool({"preview", orvex_test::testDataFile(test.file), output});
    ASSERT_EQ(run.exitCode, 0) << test.file << ": " << run.err;
    const PngPicture png = readPng(output);
    ASSERT_TRUE(png.read) << test.file;
    EXPECT_EQ(png.width, test.width) << test.file;
    EXPECT_EQ(png.height, test.height) << test.file;
    EXPECT_EQ(png.channels, test.channels) << test.file;
  }
}

}  // namespace
