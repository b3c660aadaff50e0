// Images written through the exported writer come back through the exported reader with
// the same rows and the same description.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "HostReader.h"
#include "support/TempDir.h"

namespace {

struct Kind {
  const char* name;
  TiffPhotometric photometric;
  uint16_t colourSamples;
};

struct Depth {
  const char* name;
  uint16_t bits;
  TiffSampleFormat format;
};

const Kind kKinds[] = {{"Grey", TiffPhotometric::MinIsBlack, 1},
                       {"Rgb", TiffPhotometric::Rgb, 3},
                       {"Cmyk", TiffPhotometric::Separated, 4},
                       {"Lab", TiffPhotometric::CieLab, 3}};
const Depth kDepths[] = {{"Bit1", 1, TiffSampleFormat::Uint},
                         {"Bit8", 8, TiffSampleFormat::Uint},
                         {"Bit16", 16, TiffSampleFormat::Uint},
                         {"Float32", 32, TiffSampleFormat::IeeeFp}};

// Every channel type, with names beyond ASCII (Cyrillic, CJK, an accented Latin letter).
const TiffChannelInfo kChannels[] = {
    {TiffChannelType::AssociatedAlpha, "Alpha \xD0\x90"},
    {TiffChannelType::SpotColor, "Spot \xE8\x89\xB2"},
    {TiffChannelType::UnassociatedAlpha, "M\xC3\xA4ske"},
};

using Case = std::tuple<int, int, int32_t, int>;  // kind, depth, planar, extra channels

TiffImageInfo describe(const Kind& kind, const Depth& depth, int extra) {
  TiffImageInfo info;
  info.width = 13;
  info.height = 23;  // three strips of ten rows, the last one short
  info.bitsPerSample = depth.bits;
  info.samplesPerPixel = static_cast<uint16_t>(kind.colourSamples + extra);
  info.extraSamples = static_cast<uint16_t>(extra);
  info.channels.assign(kChannels, kChannels + extra);
  info.sampleFormat = depth.format;
  info.photometric = kind.photometric;
  info.xResolution = 300.0F;
  info.yResolution = 150.0F;
  info.resolutionUnit = TiffResolutionUnit::Centimeter;
  info.scanlineCount = info.height;
  info.iccProfile = {1, 2, 3, 4, 5, 6, 7, 8};
  return info;
}

uint32_t rowBytes(const TiffImageInfo& info, uint16_t samples) {
  return (info.width * samples * info.bitsPerSample + 7) / 8;
}

std::vector<uint8_t> rowPattern(uint32_t bytes, uint32_t row, uint16_t channel) {
  std::vector<uint8_t> data(bytes);
  for (uint32_t i = 0; i < bytes; ++i) {
    data[i] = static_cast<uint8_t>(row * 31 + channel * 57 + i * 3);
  }
  return data;
}

/// Keeps only the bits a row of `bits`-bit samples really holds (the spare bits at the end
/// of a packed row are not stored).
std::vector<uint8_t> masked(std::vector<uint8_t> data, uint32_t usedBits) {
  if (usedBits % 8 != 0) {
    data.back() &= static_cast<uint8_t>(0xFF << (8 - usedBits % 8));
  }
  return data;
}

class WriterRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(WriterRoundTrip, ReaderGivesBackRowsAndDescription) {
  const auto [kindIndex, depthIndex, planar, extra] = GetParam();
  const TiffImageInfo info = describe(kKinds[kindIndex], kDepths[depthIndex], extra);
  const bool separate = planar == 2;
  const uint16_t planes = separate ? info.samplesPerPixel : 1;
  const uint32_t bytes = rowBytes(info, separate ? 1 : info.samplesPerPixel);
  orvex_test::TempDir temp;
  const std::string path = temp.file("round \xE2\x80\x94 trip.tif");

  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                              destroyTiffWriter);
  ASSERT_TRUE(writer->begin(path.c_str(), info, planar));
  for (uint16_t plane = 0; plane < planes; ++plane) {
    for (uint32_t row = 0; row < info.height; ++row) {
      const std::vector<uint8_t> data = rowPattern(bytes, row, plane);
      ASSERT_TRUE(separate ? writer->writeScanline(plane, row, data.data(), bytes)
                           : writer->writeScanline(row, data.data(), bytes));
    }
  }
  writer->end();

  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  ASSERT_TRUE(reader->beginReadSubDir(0));
  const TiffImageInfo back = reader->getImageInfo();
  // Every field of the description, in one comparison.
  const auto fields = [](const TiffImageInfo& i) {
    std::vector<std::pair<TiffChannelType, std::string>> channels;
    for (const TiffChannelInfo& channel : i.channels)
      channels.emplace_back(channel.type, channel.name);
    return std::make_tuple(i.width, i.height, i.bitsPerSample, i.samplesPerPixel, i.extraSamples,
                           i.sampleFormat, i.photometric, i.xResolution, i.yResolution,
                           i.resolutionUnit, i.scanlineCount, i.iccProfile, channels);
  };
  EXPECT_EQ(fields(back), fields(info));
  const uint32_t usedBits = info.width * (separate ? 1 : info.samplesPerPixel) * info.bitsPerSample;
  for (uint16_t plane = 0; plane < planes; ++plane) {
    for (uint32_t row = 0; row < info.height; ++row) {
      const std::vector<uint8_t> expected = masked(rowPattern(bytes, row, plane), usedBits);
      const std::vector<uint8_t> delivered = separate
                                                 ? orvex_host_test::channelRow(*reader, plane, row)
                                                 : orvex_host_test::interleavedRow(*reader, row);
      ASSERT_EQ(delivered, expected) << "plane " << plane << " row " << row;
    }
  }
  reader->end();
}

std::string caseName(const ::testing::TestParamInfo<Case>& param) {
  const auto [kind, depth, planar, extra] = param.param;
  return std::string(kKinds[kind].name) + kDepths[depth].name +
         (planar == 2 ? "Separate" : "Contig") + "Extra" + std::to_string(extra);
}

// Sub-byte samples are only delivered for single-sample pixels or separate planes.
INSTANTIATE_TEST_SUITE_P(OneBitGrey, WriterRoundTrip,
                         ::testing::Values(Case{0, 0, 1, 0}, Case{0, 0, 2, 0}, Case{0, 0, 2, 1},
                                           Case{0, 0, 2, 3}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(WholeBytes, WriterRoundTrip,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(1, 4),
                                            ::testing::Values(1, 2), ::testing::Range(0, 4)),
                         caseName);

}  // namespace
