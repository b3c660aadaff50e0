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

TiffSpec image(uint32_t width, uint32_t height, uint16_t bits, uint16_t samples = 1,
               uint16_t photometric = PHOTOMETRIC_MINISBLACK) {
  TiffSpec tiffSpec;
  tiffSpec.width = width;
  tiffSpec.height = height;
  tiffSpec.bitsPerSample = bits;
  tiffSpec.samplesPerPixel = samples;
  tiffSpec.photometric = photometric;
  return tiffSpec;
}

// `tiffSpec` with one more tag set.
template <typename Field>
TiffSpec with(TiffSpec tiffSpec, Field TiffSpec::*field, const std::decay_t<Field>& value) {
  tiffSpec.*field = value;
  return tiffSpec;
}

template <typename T>
std::vector<uint8_t> bytesOf(const std::vector<T>& values) {
  std::vector<uint8_t> bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

struct PreviewRun {
  orvex_cli_test::ToolRun run;
  std::string input;
  std::string output;
};

// Writes `tiffSpec` with `stored` and previews it with `options`.
PreviewRun preview(const orvex_test::TempDir& temp, const TiffSpec& tiffSpec,
                   const std::vector<uint8_t>& stored,
                   const std::vector<std::string>& options = {}) {
  PreviewRun result{{}, temp.file("in.tif"), temp.file("out.png")};
  orvex_test::writeTiff(result.input, tiffSpec, stored);
  std::vector<std::string> arguments = {"preview", result.input, result.output};
  arguments.insert(arguments.end(), options.begin(), options.end());
  result.run = runTool(arguments);
  return result;
}

struct PixelCase {
  const char* name;
  TiffSpec tiffSpec;
  std::vector<uint8_t> stored;
  std::vector<std::string> options;
  unsigned channels;
  std::vector<uint8_t> pixels;
  std::string summary;  ///< what follows "wrote <png>: "; not checked when empty
};

PixelCase pixelCase(const char* name, TiffSpec tiffSpec, std::vector<uint8_t> stored,
                    std::vector<std::string> options, unsigned channels,
                    std::vector<uint8_t> pixels, std::string summary) {
  return {name,     std::move(tiffSpec), std::move(stored), std::move(options),
          channels, std::move(pixels),   std::move(summary)};
}

void PrintTo(const PixelCase& test, std::ostream* out) {
  *out << test.name;
}

class PreviewPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PreviewPixels, PngHoldsTheExpectedEightBitSamples) {
  const PixelCase& test = GetParam();
  orvex_test::TempDir temp;
  const PreviewRun result = preview(temp, test.tiffSpec, test.stored, test.options);
  ASSERT_EQ(result.run.exitCode, 0) << result.run.err;
  const PngPicture png = readPng(result.output);
  ASSERT_TRUE(png.read);
  ASSERT_EQ(png.channels, test.channels);
  EXPECT_EQ(png.pixels, test.pixels);
  if (!test.summary.empty()) {
    EXPECT_EQ(result.run.out, "wrote " + result.output + ": " + test.summary + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, PreviewPixels,
    ::testing::Values(
        pixelCase("SixteenBitGreyKeepsTheHighByte", image(4, 1, 16),
                  bytesOf<uint16_t>({0x0000, 0x12FF, 0x8001, 0xFFFF}), {}, 1,
                  {0x00, 0x12, 0x80, 0xFF}, ""),
        // -128, 0 and 127
        pixelCase("SignedSamplesStartAtBlack",
                  with(image(3, 1, 8), &TiffSpec::sampleFormat, SAMPLEFORMAT_INT),
                  {0x80, 0x00, 0x7F}, {}, 1, {0, 128, 255}, ""),
        pixelCase("FloatsAreClampedToZeroOne",
                  with(image(6, 1, 32), &TiffSpec::sampleFormat, SAMPLEFORMAT_IEEEFP),
                  bytesOf<float>({-0.5F, 0.0F, 0.25F, 0.5F, 1.0F, 7.0F}), {}, 1,
                  {0, 0, 64, 128, 255, 255}, ""),
        pixelCase("OneBitMinIsWhiteIsInvertedAndScaled", image(10, 1, 1, 1, PHOTOMETRIC_MINISWHITE),
                  {0b10110000, 0b01000000}, {}, 1, {0, 255, 0, 0, 255, 255, 255, 255, 255, 0}, ""),
        pixelCase("FourBitGreyIsScaled", image(3, 1, 4), {0x0F, 0x80}, {}, 1, {0, 255, 136}, ""),
        pixelCase("AssociatedAlphaIsDividedOutForPngsStraightAlpha",
                  with(image(3, 1, 8, 4, PHOTOMETRIC_RGB), &TiffSpec::extraSamples,
                       {EXTRASAMPLE_ASSOCALPHA}),
                  {100, 50, 0, 200, 9, 9, 9, 0, 255, 128, 1, 255}, {}, 4,
                  {128, 64, 0, 200, 0, 0, 0, 0, 255, 128, 1, 255}, ""),
        pixelCase("UnassociatedAlphaIsKeptAsItIs",
                  with(image(2, 1, 8, 2), &TiffSpec::extraSamples, {EXTRASAMPLE_UNASSALPHA}),
                  {100, 50, 7, 0}, {}, 2, {100, 50, 7, 0}, ""),
        pixelCase("OneChannelAskedForIsShownInGrey", image(2, 2, 8, 3, PHOTOMETRIC_RGB),
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {"--channel", "1"}, 1, {2, 5, 8, 11},
                  "2 x 2, channel 1 in grey"),
        pixelCase("OtherColourModelsShowTheirFirstChannel",
                  with(image(2, 1, 8, 4, PHOTOMETRIC_SEPARATED), &TiffSpec::inkSet, INKSET_CMYK),
                  {10, 20, 30, 40, 50, 60, 70, 80}, {}, 1, {10, 50},
                  "2 x 1, channel 0 in grey (separated (CMYK))")),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Preview, ColumnsOfOrientationSixBecomeAnUprightRgbPicture) {
  orvex_test::TempDir temp;
  const TiffSpec tiffSpec =
      with(image(5, 3, 8, 3, PHOTOMETRIC_RGB), &TiffSpec::orientation, ORIENTATION_RIGHTTOP);
  const std::vector<uint8_t> stored = orvex_test::patternImage(tiffSpec);
  const PreviewRun result = preview(temp, tiffSpec, stored);
  ASSERT_EQ(result.run.exitCode, 0) << result.run.err;
  const PngPicture png = readPng(result.output);
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.width, 3U);
  EXPECT_EQ(png.height, 5U);
  ASSERT_EQ(png.channels, 3U);
  const std::vector<uint32_t>& upright = orvex_cli_test::uprightPicture(tiffSpec, stored).values;
  EXPECT_EQ(std::vector<uint32_t>(png.pixels.begin(), png.pixels.end()), upright);
  EXPECT_EQ(result.run.out, "wrote " + result.output + ": 3 x 5, RGB\n");
}

TEST(Preview, ImagesItCannotShowFailWithTheReasonAndNoPng) {
  struct Case {
    TiffSpec tiffSpec;
    std::vector<std::string> options;
    int exitCode;
    std::string err;
  };
  for (const Case& test :
       {Case{image(4, 4, 8),
             {"--channel", "1"},
             2,
             "orvex: --channel 1: the image has channels 0 to 0\n"},
        Case{with(image(4, 4, 32), &TiffSpec::sampleFormat, SAMPLEFORMAT_COMPLEXINT),
             {},
             1,
             "orvex: a preview cannot show samples of 32 bits in complex integer format\n"}}) {
    orvex_test::TempDir temp;
    const PreviewRun result =
        preview(temp, test.tiffSpec, orvex_test::patternImage(test.tiffSpec), test.options);
    EXPECT_EQ(result.run.exitCode, test.exitCode);
    EXPECT_EQ(result.run.err, test.err);
    EXPECT_FALSE(std::filesystem::exists(result.output)) << test.err;
  }
}

TEST(Preview, CorpusFilesGiveAPngOfTheirSize) {
  struct Case {
    const char* file;
    uint32_t width;
    uint32_t height;
    unsigned channels;
  };
  orvex_test::TempDir temp;
  for (const Case& test : {Case{"pillow/g4_orientation_5.tif", 590, 88, 1},
                           Case{"libtiff/palette-1c-4b.tiff", 157, 151, 3},
                           Case{"pillow/tiff_tiled_ycbcr_jpeg_1x1_sampling.tif", 300, 225, 4},
                           Case{"pillow/tiff_gray_2_4_bpp__hopper2.tif", 128, 128, 1},
                           Case{"libtiff/minisblack-2c-8b-alpha.tiff", 64, 64, 2}}) {
    const std::string output = temp.file("corpus.png");
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
