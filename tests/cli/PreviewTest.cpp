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
  // Writes `tiffSpec` with `stored` and previews it; the PNG read back.
  PngPicture preview(const TiffSpec& tiffSpec, const std::vector<uint8_t>& stored,
                     std::vector<std::string> options = {}) {
    const std::string input = temp_.file("in.tif");
    const std::string output = temp_.file("out.png");
    orvex_test::writeTiff(input, tiffSpec, stored);
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
  TiffSpec tiffSpec;
  tiffSpec.width = 5;
  tiffSpec.height = 3;
  tiffSpec.samplesPerPixel = 3;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  tiffSpec.orientation = ORIENTATION_RIGHTTOP;
  const std::vector<uint8_t> stored = orvex_test::patternImage(tiffSpec);
  const PngPicture png = preview(tiffSpec, stored);
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.width, 3U);
  EXPECT_EQ(png.height, 5U);
  ASSERT_EQ(png.channels, 3U);
  const orvex_cli_test::Picture expected = orvex_cli_test::uprightPicture(tiffSpec, stored);
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
  TiffSpec tiffSpec;
  tiffSpec.width = 4;
  tiffSpec.height = 1;
  tiffSpec.bitsPerSample = 16;
  const PngPicture png = preview(tiffSpec, bytesOf<uint16_t>({0x0000, 0x12FF, 0x8001, 0xFFFF}));
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0x00, 0x12, 0x80, 0xFF}));
}

TEST_F(Preview, SignedSamplesStartAtBlack) {
  TiffSpec tiffSpec;
  tiffSpec.width = 3;
  tiffSpec.height = 1;
  tiffSpec.sampleFormat = SAMPLEFORMAT_INT;
  const PngPicture png = preview(tiffSpec, {0x80, 0x00, 0x7F});  // -128, 0, 127
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 128, 255}));
}

TEST_F(Preview, FloatsAreClampedToZeroOne) {
  TiffSpec tiffSpec;
  tiffSpec.width = 6;
  tiffSpec.height = 1;
  tiffSpec.bitsPerSample = 32;
  tiffSpec.sampleFormat = SAMPLEFORMAT_IEEEFP;
  const PngPicture png = preview(tiffSpec, bytesOf<float>({-0.5F, 0.0F, 0.25F, 0.5F, 1.0F, 7.0F}));
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 0, 64, 128, 255, 255}));
}

TEST_F(Preview, OneBitMinIsWhiteIsInvertedAndScaled) {
  TiffSpec tiffSpec;
  tiffSpec.width = 10;
  tiffSpec.height = 1;
  tiffSpec.bitsPerSample = 1;
  tiffSpec.photometric = PHOTOMETRIC_MINISWHITE;
  const PngPicture png = preview(tiffSpec, {0b10110000, 0b01000000});
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 255, 0, 0, 255, 255, 255, 255, 255, 0}));
}

TEST_F(Preview, FourBitGreyIsScaled) {
  TiffSpec tiffSpec;
  tiffSpec.width = 3;
  tiffSpec.height = 1;
  tiffSpec.bitsPerSample = 4;
  const PngPicture png = preview(tiffSpec, {0x0F, 0x80});
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{0, 255, 136}));
}

TEST_F(Preview, AssociatedAlphaIsDividedOutForPngsStraightAlpha) {
  TiffSpec tiffSpec;
  tiffSpec.width = 3;
  tiffSpec.height = 1;
  tiffSpec.samplesPerPixel = 4;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  tiffSpec.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  const PngPicture png = preview(tiffSpec, {100, 50, 0, 200, 9, 9, 9, 0, 255, 128, 1, 255});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 4U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{128, 64, 0, 200, 0, 0, 0, 0, 255, 128, 1, 255}));
}

TEST_F(Preview, UnassociatedAlphaIsKeptAsItIs) {
  TiffSpec tiffSpec;
  tiffSpec.width = 2;
  tiffSpec.height = 1;
  tiffSpec.samplesPerPixel = 2;
  tiffSpec.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  const PngPicture png = preview(tiffSpec, {100, 50, 7, 0});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 2U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{100, 50, 7, 0}));
}

TEST_F(Preview, OneChannelAskedForIsShownInGrey) {
  TiffSpec tiffSpec;
  tiffSpec.width = 2;
  tiffSpec.height = 2;
  tiffSpec.samplesPerPixel = 3;
  tiffSpec.photometric = PHOTOMETRIC_RGB;
  const PngPicture png =
      preview(tiffSpec, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {"--channel", "1"});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{2, 5, 8, 11}));
  EXPECT_EQ(lastRun_.out, "wrote " + temp_.file("out.png") + ": 2 x 2, channel 1 in grey\n");
}

TEST_F(Preview, OtherColourModelsShowTheirFirstChannel) {
  TiffSpec tiffSpec;
  tiffSpec.width = 2;
  tiffSpec.height = 1;
  tiffSpec.samplesPerPixel = 4;
  tiffSpec.photometric = PHOTOMETRIC_SEPARATED;
  tiffSpec.inkSet = INKSET_CMYK;
  const PngPicture png = preview(tiffSpec, {10, 20, 30, 40, 50, 60, 70, 80});
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, 1U);
  EXPECT_EQ(png.pixels, (std::vector<uint8_t>{10, 50}));
  EXPECT_EQ(lastRun_.out,
            "wrote " + temp_.file("out.png") + ": 2 x 1, channel 0 in grey (separated (CMYK))\n");
}

TEST_F(Preview, ChannelBeyondTheImageIsBadUsage) {
  TiffSpec tiffSpec;
  const std::string input = temp_.file("grey.tif");
  const std::string output = temp_.file("grey.png");
  orvex_test::writeTiff(input, tiffSpec, orvex_test::patternImage(tiffSpec));
  const auto run = runTool({"preview", input, output, "--channel", "1"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "orvex: --channel 1: the image has channels 0 to 0\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Preview, ComplexSamplesCannotBeShown) {
  TiffSpec tiffSpec;
  tiffSpec.bitsPerSample = 32;
  tiffSpec.sampleFormat = SAMPLEFORMAT_COMPLEXINT;
  const std::string input = temp_.file("complex.tif");
  const std::string output = temp_.file("complex.png");
  orvex_test::writeTiff(input, tiffSpec, orvex_test::patternImage(tiffSpec));
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
