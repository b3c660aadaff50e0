// orvex preview of CMYK, the proof: its CMYK part against Little CMS's own converter, tificc,
// on the same file and profile (Ghostscript's default CMYK profile, Debian's libgs-common); and
// the spot colours laid over flat patches of known ink, colour and opacity as SpotInk.h states
// the overlay. Proofs through the built-in profile are pinned by the proof session's samples. A
// library without colour conversion refuses the proof (the NoColourProof transcript).
#ifdef ORVEX_COLOR_CONVERSION
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/ToolSession.h"
#include "orvex/orvex_c.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::pictureOf;
using orvex_cli_test::runTool;

const char* const kGhostscriptCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

orvex_test::TiffSetup cmykSetup(uint32_t width, uint32_t height, uint16_t bits) {
  orvex_test::TiffSetup cmyk;
  cmyk.width = width;
  cmyk.height = height;
  cmyk.bitsPerSample = bits;
  cmyk.samplesPerPixel = 4;
  cmyk.photometric = PHOTOMETRIC_SEPARATED;
  cmyk.rowsPerStrip = 16;
  return cmyk;
}

// Every ink runs its own way over 64 x 64 pixels, so that the proof meets mixes of all four;
// 16-bit samples carry bits of their own below the top 8.
std::vector<uint8_t> inkMixes(uint16_t bits) {
  std::vector<uint16_t> inks;
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 64; ++x) {
      for (uint32_t ink :
           {x * 4 + (y & 3), y * 4 + (x & 3), (x * y * 5) & 255, (x + y) * 2 & 255}) {
        inks.push_back(static_cast<uint16_t>(ink * 257 ^ ((x * 131 + y * 71) & 255)));
      }
    }
  }
  std::vector<uint8_t> stored(inks.size() * bits / 8);
  for (size_t i = 0; i < inks.size(); ++i) {
    if (bits == 8) {
      stored[i] = static_cast<uint8_t>(inks[i] >> 8);
    } else {
      std::memcpy(&stored[i * 2], &inks[i], 2);
    }
  }
  return stored;
}

class ProofAgainstTificc : public ::testing::TestWithParam<uint16_t> {};

// tificc -t1: relative colorimetric, the intent of the proof; -w8: 8-bit sRGB, as the PNG.
TEST_P(ProofAgainstTificc, AgreesWithinOneLevel) {
  const std::vector<uint8_t> profile = fileBytes(kGhostscriptCmyk);
  ASSERT_FALSE(profile.empty()) << kGhostscriptCmyk << " is missing: scripts/install-deps.sh";
  orvex_cli_test::ToolSession session;
  orvex_test::TiffSetup cmyk = cmykSetup(64, 64, GetParam());
  cmyk.iccProfile = profile;
  const std::string in = session.file("job.tif");
  orvex_test::writeTiff(in, cmyk, inkMixes(GetParam()));
  const orvex_cli_test::ToolRun reference =
      orvex_cli_test::runProgram("tificc", {"-t1", "-w8", in, session.file("tificc.tif")});
  ASSERT_EQ(reference.exitCode, 0) << "tificc (Debian's liblcms2-utils): " << reference.err;
  const orvex_cli_test::ToolRun proof = runTool({"preview", in, session.file("proof.png")});
  ASSERT_EQ(proof.exitCode, 0) << proof.err;
  EXPECT_EQ(proof.out, "wrote " + session.file("proof.png") +
                           ": 64 x 64, CMYK in sRGB through its ICC profile\n");
  const orvex_cli_test::Picture expected = pictureOf(session.file("tificc.tif"));
  const orvex_cli_test::Picture shown = pictureOf(session.file("proof.png"));
  ASSERT_EQ(shown.samples, 3);
  ASSERT_EQ(expected.values.size(), shown.values.size());
  size_t apart = 0;
  for (size_t i = 0; i < shown.values.size(); ++i) {
    apart += std::llabs(static_cast<long long>(shown.values[i] - expected.values[i])) > 1;
  }
  EXPECT_EQ(apart, 0U) << "samples more than 1 level from tificc's";
}

INSTANTIATE_TEST_SUITE_P(Bits, ProofAgainstTificc, ::testing::Values(8, 16));

orvex_channel channelOf(int32_t kind, const char* name, std::array<uint16_t, 3> rgb,
                        uint16_t opacity) {
  orvex_channel channel{};
  channel.struct_size = sizeof channel;
  channel.kind = kind;
  channel.name = name;
  channel.name_size = static_cast<uint32_t>(std::strlen(name));
  channel.has_color = 1;
  channel.color_space = ORVEX_COLOR_SPACE_RGB;
  std::copy(rgb.begin(), rgb.end(), channel.components);
  channel.opacity = opacity;
  return channel;
}

// One row of 8-bit CMYK + `channels`, one pixel per patch, through the C interface.
void writePatches(const std::string& path, const std::vector<orvex_channel>& channels,
                  const std::vector<uint8_t>& row) {
  orvex_page_info info{};
  info.struct_size = sizeof info;
  info.samples_per_pixel = static_cast<uint16_t>(4 + channels.size());
  info.width = static_cast<uint32_t>(row.size() / info.samples_per_pixel);
  info.height = 1;
  info.bits_per_sample = 8;
  info.extra_samples = static_cast<uint16_t>(channels.size());
  info.sample_format = ORVEX_SAMPLE_FORMAT_UINT;
  info.photometric = ORVEX_PHOTOMETRIC_SEPARATED;
  info.resolution_unit = ORVEX_RESOLUTION_UNIT_INCH;
  orvex_writer* writer = nullptr;
  ASSERT_EQ(
      orvex_writer_create(path.c_str(), &info, channels.data(),
                          static_cast<uint32_t>(channels.size()), ORVEX_PLANAR_CONTIG, &writer),
      ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_writer_write_scanline(writer, 0, row.data(), static_cast<uint32_t>(row.size())),
            ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_writer_close(writer), ORVEX_STATUS_OK);
  orvex_writer_destroy(writer);
}

// The sRGB colours the library shows the extra channels of `path` in.
std::vector<std::array<uint8_t, 3>> shownColours(const std::string& path, uint32_t count) {
  orvex_reader* reader = nullptr;
  EXPECT_EQ(orvex_reader_open(path.c_str(), &reader), ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_reader_select_page(reader, 0), ORVEX_STATUS_OK);
  std::vector<std::array<uint8_t, 3>> colours;
  for (uint32_t i = 0; i < count; ++i) {
    orvex_channel channel{};
    channel.struct_size = sizeof channel;
    EXPECT_EQ(orvex_reader_channel(reader, i, &channel), ORVEX_STATUS_OK);
    colours.push_back({channel.srgb[0], channel.srgb[1], channel.srgb[2]});
  }
  orvex_reader_destroy(reader);
  return colours;
}

// A gold spot at full opacity, a blue one at 40 % and an alpha, over the same CMYK: the first
// patch, without spot ink, is the CMYK alone; each other is that colour with the spots laid
// over it in turn, out x (1 - a t (1 - s)) rounded each time. The alpha is never painted.
TEST(Proof, LaysSpotInksOverAsTheirColourAndOpacitySay) {
  const std::array<uint8_t, 4> cmyk = {100, 0, 40, 0};
  const std::array<uint8_t, 3> patches[] = {{0, 0, 255},   {255, 0, 255}, {128, 0, 0},
                                            {0, 255, 128}, {0, 77, 128},  {200, 100, 255},
                                            {255, 255, 0}, {37, 211, 255}};
  const double opacities[] = {1.0, 0.4};
  std::vector<uint8_t> row;
  for (const auto& patch : patches) {
    row.insert(row.end(), cmyk.begin(), cmyk.end());
    row.insert(row.end(), patch.begin(), patch.end());
  }
  orvex_cli_test::ToolSession session;
  const std::string in = session.file("spots.tif");
  writePatches(in,
               {channelOf(ORVEX_CHANNEL_SPOT, "Gold", {65535, 55255, 257}, 100),
                channelOf(ORVEX_CHANNEL_SPOT, "Blue", {8224, 32896, 65535}, 40),
                channelOf(ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "Die", {0, 0, 0}, 100)},
               row);
  const std::vector<std::array<uint8_t, 3>> spots = shownColours(in, 2);
  const orvex_cli_test::ToolRun proof = runTool({"preview", in, session.file("proof.png")});
  ASSERT_EQ(proof.exitCode, 0) << proof.err;
  EXPECT_EQ(proof.out, "wrote " + session.file("proof.png") +
                           ": 8 x 1, CMYK in sRGB through the built-in CMYK profile, 2 spot "
                           "colours laid over\n");
  const orvex_cli_test::Picture shown = pictureOf(session.file("proof.png"));
  for (size_t p = 0; p < std::size(patches); ++p) {
    for (size_t c = 0; c < 3; ++c) {
      double expected = static_cast<double>(shown.values[c]);
      for (size_t s = 0; s < 2; ++s) {
        const double coverage = patches[p][s] / 255.0;
        expected =
            std::round(expected * (1.0 - opacities[s] * coverage * (1.0 - spots[s][c] / 255.0)));
      }
      EXPECT_EQ(static_cast<double>(shown.values[p * 3 + c]), expected)
          << "patch " << p << ", component " << c;
    }
  }
}

}  // namespace
#endif
