// orvex preview of CMYK, the proof: its CMYK part against Little CMS's own converter, tificc,
// on the same file and profile (Ghostscript's default CMYK profile, Debian's libgs-common).
// Proofs through the built-in profile, spot colours laid over, are pinned by the samples of
// the proof session. A library without colour conversion refuses the proof (the NoColourProof
// transcript).
#ifdef ORVEX_COLOR_CONVERSION
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/ToolSession.h"
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

}  // namespace
#endif
