// Channel colours through the C interface: what a host writes reads back unchanged, with its
// sRGB and L*a*b* forms; a bad colour is refused before the disk is touched; and a host that
// gives no colour, or was built before channels had one, writes the same bytes as ever.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StructLayout.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"

namespace {

struct Color {
  int32_t space;
  std::array<uint16_t, 4> components;
  uint16_t opacity;
};

orvex_channel channelOf(int32_t kind, const Color* color) {
  orvex_channel channel{};
  channel.struct_size = sizeof channel;
  channel.kind = kind;
  if (color != nullptr) {
    channel.has_color = 1;
    channel.color_space = color->space;
    std::copy(color->components.begin(), color->components.end(), channel.components);
    channel.opacity = color->opacity;
  }
  return channel;
}

// A 2 x 1 RGB page, one extra sample per channel record.
orvex_status writePage(const std::string& path, const std::vector<orvex_channel>& channels) {
  const auto extra = static_cast<uint16_t>(channels.size());
  orvex_page_info info{};
  info.struct_size = sizeof info;
  info.width = 2;
  info.height = 1;
  info.bits_per_sample = 8;
  info.samples_per_pixel = static_cast<uint16_t>(3 + extra);
  info.extra_samples = extra;
  info.sample_format = ORVEX_SAMPLE_FORMAT_UINT;
  info.photometric = ORVEX_PHOTOMETRIC_RGB;
  info.resolution_unit = ORVEX_RESOLUTION_UNIT_INCH;
  orvex_writer* writer = nullptr;
  orvex_status status = orvex_writer_create(path.c_str(), &info, channels.data(), extra,
                                            ORVEX_PLANAR_CONTIG, &writer);
  if (status == ORVEX_STATUS_OK) {
    const std::vector<uint8_t> row(2U * info.samples_per_pixel, 9);
    status = orvex_writer_write_scanline(writer, 0, row.data(), static_cast<uint32_t>(row.size()));
  }
  if (status == ORVEX_STATUS_OK) status = orvex_writer_close(writer);
  orvex_writer_destroy(writer);
  return status;
}

orvex_channel readChannel(const std::string& path, uint32_t structSize) {
  orvex_channel channel;
  std::fill_n(reinterpret_cast<uint8_t*>(&channel), sizeof channel, uint8_t{0xA5});
  channel.struct_size = structSize;
  orvex_reader* reader = nullptr;
  EXPECT_EQ(orvex_reader_open(path.c_str(), &reader), ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_reader_select_page(reader, 0), ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_reader_channel(reader, 0, &channel), ORVEX_STATUS_OK);
  orvex_reader_destroy(reader);
  return channel;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct RoundTrip {
  const char* what;
  int32_t kind;
  bool colored;  ///< else the writer's usual colours come back
  Color color;
  std::array<uint8_t, 3> srgb;
  std::array<float, 3> lab;
};

// Red, green, white, mid grey and black in each colour space; the uncoloured spot channel
// comes back in the writer's usual Lab(128, 0, 0), beyond white.
const RoundTrip kRoundTrips[] = {
    {"spot, RGB red",
     ORVEX_CHANNEL_SPOT,
     true,
     {0, {65535, 0, 0, 0}, 80},
     {255, 0, 0},
     {54.29F, 80.80F, 69.89F}},
    {"alpha, HSB green",
     ORVEX_CHANNEL_UNASSOCIATED_ALPHA,
     true,
     {1, {21845, 65535, 65535, 0}, 40},
     {0, 255, 0},
     {87.82F, -79.27F, 80.99F}},
    {"spot, CMYK without ink",
     ORVEX_CHANNEL_SPOT,
     true,
     {2, {65535, 65535, 65535, 65535}, 100},
     {255, 255, 255},
     {100.0F, 0.0F, 0.0F}},
    {"spot, CMYK full cyan",
     ORVEX_CHANNEL_SPOT,
     true,
     {2, {0, 65535, 65535, 65535}, 100},
     {0, 151, 218},
     {55.0F, -37.0F, -50.0F}},
    {"spot, Lab mid grey",
     ORVEX_CHANNEL_SPOT,
     true,
     {7, {5000, 0, 0, 0}, 50},
     {119, 119, 119},
     {50.0F, 0.0F, 0.0F}},
    {"unspecified, grey black",
     ORVEX_CHANNEL_UNSPECIFIED,
     true,
     {8, {10000, 0, 0, 0}, 0},
     {0, 0, 0},
     {0.0F, 0.0F, 0.0F}},
    {"spot without colour",
     ORVEX_CHANNEL_SPOT,
     false,
     {7, {12800, 0, 0, 0}, 50},
     {255, 255, 255},
     {128.0F, 0.0F, 0.0F}},
    {"associated alpha without colour",
     ORVEX_CHANNEL_ASSOCIATED_ALPHA,
     false,
     {0, {65535, 0, 0, 0}, 100},
     {255, 0, 0},
     {54.29F, 80.80F, 69.89F}},
};

TEST(ChannelColor, WrittenColoursReadBackWithTheirSrgbAndLab) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("color.tif");
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(writePage(path, {channelOf(c.kind, c.colored ? &c.color : nullptr)}),
              ORVEX_STATUS_OK);
    const orvex_channel read = readChannel(path, sizeof(orvex_channel));
    EXPECT_EQ(read.kind, c.kind);
    EXPECT_EQ(read.has_color, 1);
    EXPECT_EQ(read.color_space, c.color.space);
    EXPECT_EQ(std::vector<uint16_t>(read.components, read.components + 4),
              std::vector<uint16_t>(c.color.components.begin(), c.color.components.end()));
    EXPECT_EQ(read.opacity, c.color.opacity);
#ifdef ORVEX_COLOR_CONVERSION
    EXPECT_EQ(read.converted, 1);
    EXPECT_EQ(std::vector<int>(read.srgb, read.srgb + 3),
              std::vector<int>(c.srgb.begin(), c.srgb.end()));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(read.lab[i], c.lab[i], 0.6F) << i;
#else
    EXPECT_EQ(read.converted, 0);
#endif
  }
}

#ifdef ORVEX_COLOR_CONVERSION
// sRGB red, written as the L*a*b* it reads back as, shows as sRGB red again.
TEST(ChannelColor, SrgbRedThroughLabComesBackWithinOneLevel) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("red.tif");
  const Color red{ORVEX_COLOR_SPACE_RGB, {65535, 0, 0, 0}, 100};
  ASSERT_EQ(writePage(path, {channelOf(ORVEX_CHANNEL_SPOT, &red)}), ORVEX_STATUS_OK);
  const orvex_channel shown = readChannel(path, sizeof(orvex_channel));
  const Color lab{ORVEX_COLOR_SPACE_LAB,
                  {static_cast<uint16_t>(shown.lab[0] * 100.0F + 0.5F),
                   static_cast<uint16_t>(static_cast<int16_t>(shown.lab[1] * 100.0F + 0.5F)),
                   static_cast<uint16_t>(static_cast<int16_t>(shown.lab[2] * 100.0F + 0.5F)), 0},
                  100};
  ASSERT_EQ(writePage(path, {channelOf(ORVEX_CHANNEL_SPOT, &lab)}), ORVEX_STATUS_OK);
  const orvex_channel back = readChannel(path, sizeof(orvex_channel));
  EXPECT_NEAR(back.srgb[0], 255, 1);
  EXPECT_NEAR(back.srgb[1], 0, 1);
  EXPECT_NEAR(back.srgb[2], 0, 1);
}
#endif

struct Refusal {
  Color color;
  std::string reason;
};

TEST(ChannelColor, BadColoursAreRefusedAndTheTargetIsUntouched) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("kept.tif");
  std::ofstream(path, std::ios::binary) << "the target as it was";
  const Refusal refusals[] = {
      {{3, {0, 0, 0, 0}, 50},
       "[WriteRequest::check] channel 0: color_space(3) is not rgb, hsb, cmyk, lab or grey!"},
      {{0, {0, 0, 0, 0}, 101}, "[WriteRequest::check] channel 0: opacity(101) is above 100!"},
      {{7, {10001, 0, 0, 0}, 50},
       "[WriteRequest::check] channel 0: Lab(10001, 0, 0) is outside 0..10000, -12800..12700!"},
      {{7, {0, 0, 12701, 0}, 50},
       "[WriteRequest::check] channel 0: Lab(0, 0, 12701) is outside 0..10000, -12800..12700!"},
      {{8, {10001, 0, 0, 0}, 50}, "[WriteRequest::check] channel 0: grey(10001) is above 10000!"},
  };
  for (const Refusal& c : refusals) {
    SCOPED_TRACE(c.reason);
    EXPECT_EQ(writePage(path, {channelOf(ORVEX_CHANNEL_SPOT, &c.color)}),
              ORVEX_STATUS_INVALID_ARGUMENT);
    const char* reason = nullptr;
    orvex_last_failure(&reason);
    EXPECT_EQ(std::string(reason), c.reason);
    EXPECT_EQ(fileBytes(path), "the target as it was");
  }
}

// A record of interface version 1 ends where the colour begins: whatever follows it is not
// read, and nothing is written beyond it when read.
TEST(ChannelColor, RecordsOfTheFirstSizeAndRecordsWithoutColourWriteTheSameBytes) {
  orvex_test::TempDir temp;
  const Color bad{99, {1, 2, 3, 4}, 500};
  orvex_channel old = channelOf(ORVEX_CHANNEL_SPOT, &bad);
  old.struct_size = ORVEX_CHANNEL_V1_SIZE;
  ASSERT_EQ(writePage(temp.file("old.tif"), {old}), ORVEX_STATUS_OK);
  ASSERT_EQ(writePage(temp.file("none.tif"), {channelOf(ORVEX_CHANNEL_SPOT, nullptr)}),
            ORVEX_STATUS_OK);

  TiffImageInfo info;
  info.width = 2;
  info.height = 1;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 4;
  info.extraSamples = 1;
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.xResolution = 0.0F;
  info.yResolution = 0.0F;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  info.channels = {{TiffChannelType::SpotColor, ""}};
  ITiffWriter* writer = createTiffWriter();
  const std::vector<uint8_t> row(8, 9);
  ASSERT_TRUE(writer->begin(temp.file("cxx.tif").c_str(), info, ORVEX_PLANAR_CONTIG));
  ASSERT_TRUE(writer->writeScanline(0, row.data(), 8));
  writer->end();
  destroyTiffWriter(writer);

  EXPECT_EQ(fileBytes(temp.file("old.tif")), fileBytes(temp.file("cxx.tif")));
  EXPECT_EQ(fileBytes(temp.file("none.tif")), fileBytes(temp.file("cxx.tif")));
  const orvex_channel read = readChannel(temp.file("old.tif"), ORVEX_CHANNEL_V1_SIZE);
  EXPECT_EQ(read.kind, ORVEX_CHANNEL_SPOT);
  EXPECT_EQ(read.has_color, static_cast<int32_t>(0xA5A5A5A5));  // untouched
}

}  // namespace
