// Rows handed to the writer come back byte for byte from libtiff's strips, interleaved or
// plane by plane.
#include <gtest/gtest.h>

#include <string>

#include "WriterTestSupport.h"
#include "support/TempDir.h"
#include "writer/TiffWriter.h"

namespace {

using orvex_writer_test::imageInfo;
using orvex_writer_test::WrittenTiff;

struct PixelKind {
  const char* name;
  TiffPhotometric photometric;
  uint16_t samplesPerPixel;
  uint16_t bitsPerSample;
  TiffSampleFormat sampleFormat;
  uint16_t extraSamples;
};

struct PixelCase {
  PixelKind kind;
  int32_t planarConfig;
};

std::string caseName(const ::testing::TestParamInfo<PixelCase>& info) {
  return std::string(info.param.kind.name) +
         (info.param.planarConfig == PLANARCONFIG_SEPARATE ? "_Separate" : "_Interleaved");
}

// 13 pixels make sub-byte rows end in padding bits; 23 rows leave the last strip short.
constexpr uint32_t kWidth = 13;
constexpr uint32_t kHeight = 23;

class WriterPixels : public ::testing::TestWithParam<PixelCase> {
protected:
  TiffImageInfo info() const {
    const PixelKind& kind = GetParam().kind;
    TiffImageInfo result =
        imageInfo(kWidth, kHeight, kind.bitsPerSample, kind.samplesPerPixel, kind.photometric);
    result.sampleFormat = kind.sampleFormat;
    result.extraSamples = kind.extraSamples;
    return result;
  }
  bool separate() const { return GetParam().planarConfig == PLANARCONFIG_SEPARATE; }
  size_t planeCount() const { return separate() ? GetParam().kind.samplesPerPixel : 1; }
  size_t rowBytes() const { return orvex_writer_test::rowBytesOf(info(), GetParam().planarConfig); }
  // Distinct bytes for every plane and row, so that a row landing in the wrong place shows.
  std::vector<uint8_t> storedImage() const {
    std::vector<uint8_t> image(planeCount() * kHeight * rowBytes());
    for (size_t i = 0; i < image.size(); ++i) {
      image[i] = static_cast<uint8_t>(i * 7 + i / rowBytes() * 13 + 1);
    }
    return image;
  }

  orvex_test::TempDir temp_;
};

TEST_P(WriterPixels, StripsHoldTheRowsWritten) {
  const std::string path = temp_.file("pixels.tif");
  const std::vector<uint8_t> image = storedImage();
  const uint32_t bytes = orvex_writer_test::rowBytesOf(info(), GetParam().planarConfig);
  orvex::TiffWriter writer;
  ASSERT_TRUE(writer.begin(path.c_str(), info(), GetParam().planarConfig));
  for (size_t plane = 0; plane < planeCount(); ++plane) {
    for (uint32_t row = 0; row < kHeight; ++row) {
      const uint8_t* data = image.data() + (plane * kHeight + row) * rowBytes();
      if (separate()) {
        ASSERT_TRUE(writer.writeScanline(static_cast<uint16_t>(plane), row, data, bytes));
      } else {
        ASSERT_TRUE(writer.writeScanline(row, data, bytes));
      }
    }
  }
  writer.end();

  const WrittenTiff file(path);
  EXPECT_EQ(file.stripCount(), planeCount() * 3);
  EXPECT_EQ(file.decodedStrips(), image);
}

constexpr PixelKind kKinds[] = {
    {"Grey1", TiffPhotometric::MinIsWhite, 1, 1, TiffSampleFormat::Uint, 0},
    {"Grey8", TiffPhotometric::MinIsBlack, 1, 8, TiffSampleFormat::Uint, 0},
    {"GreyAlpha16", TiffPhotometric::MinIsBlack, 2, 16, TiffSampleFormat::Uint, 1},
    {"Rgb8", TiffPhotometric::Rgb, 3, 8, TiffSampleFormat::Uint, 0},
    {"Rgb16", TiffPhotometric::Rgb, 3, 16, TiffSampleFormat::Uint, 0},
    {"RgbaFloat32", TiffPhotometric::Rgb, 4, 32, TiffSampleFormat::IeeeFp, 1},
    {"Cmyk8", TiffPhotometric::Separated, 4, 8, TiffSampleFormat::Uint, 0},
    {"CmykSpot16", TiffPhotometric::Separated, 5, 16, TiffSampleFormat::Uint, 1},
    {"Lab8", TiffPhotometric::CieLab, 3, 8, TiffSampleFormat::Uint, 0},
};

std::vector<PixelCase> allCases() {
  std::vector<PixelCase> cases;
  for (const PixelKind& kind : kKinds) {
    cases.push_back({kind, PLANARCONFIG_CONTIG});
    cases.push_back({kind, PLANARCONFIG_SEPARATE});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Kinds, WriterPixels, ::testing::ValuesIn(allCases()), caseName);

}  // namespace
