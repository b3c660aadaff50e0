// Every command of the tool, its failures and its help, as shell sessions: each "$ " line of
// tests/data/transcripts/cli/GROUP.txt is run (TMP: the folder of the inputs its "## " lines
// declare in words and of those written below, DATA: tests/data) and must print, exit and write
// what follows it (see ToolSession.h). A case is one more "$ " line: ORVEX_UPDATE_TRANSCRIPTS=1
// fills in what the tool does, to review. In the roundtrip and prepress sessions each command
// finds what the ones before wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "cli/ToolSession.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

// Every session but prepress, run below, and the one of a library built the other way: a CMYK
// preview is a proof in colour only where the library converts colours.
std::vector<std::string> sessions() {
  std::vector<std::string> names = orvex_test::transcriptNames("cli");
#ifdef ORVEX_COLOR_CONVERSION
  const char* const others[] = {"prepress", "NoColourProof"};
#else
  const char* const others[] = {"prepress", "proof"};
#endif
  for (const char* other : others) names.erase(std::find(names.begin(), names.end(), other));
  return names;
}

class Commands : public ::testing::TestWithParam<std::string> {};

// The demo writes its sample into a new folder of the system temporary folder, the session's
// folder; its transcript pins its profile byte for byte: a version 2 RGB display profile
// ("mntr", "RGB ", "XYZ ", "acsp") whose tag table lies inside it on 4-byte boundaries.
// Names beyond ASCII reach the tool on Windows only through its wide command line, and its own
// files (the PNG) through wide opens.
// In the safewriting session (tests/README.md) the tool says why and exits with its code, and
// large images write no progress where stderr is no terminal.
TEST_P(Commands, PrintWriteAndExitAsTheTranscriptSays) {
#if defined(_WIN32)
  if (GetParam() == "IllFormedName" || GetParam() == "safewriting" || GetParam() == "readers") {
    GTEST_SKIP() << "a UTF-16 command line cannot carry ill-formed UTF-8 to the tool; file-size "
                    "limits, POSIX signals, exiftool and tiffinfo are not there";
  }
#endif
  orvex_cli_test::ToolSession session;
  session.expectSession(GetParam(), GetParam() == "roundtrip" || GetParam() == "readers");
}

INSTANTIATE_TEST_SUITE_P(Tool, Commands, ::testing::ValuesIn(sessions()),
                         [](const auto& test) { return test.param; });

#ifdef ORVEX_COLOR_CONVERSION
// orvex preview of CMYK, the proof: its CMYK part against Little CMS's own converter, tificc,
// on the same file and profile (Ghostscript's default CMYK profile, Debian's libgs-common).
// Proofs through the built-in profile, spot colours laid over, are pinned by the samples of
// the proof session; a library without colour conversion refuses them (NoColourProof).
using orvex_test::TiffSetup;

// A square of unsigned samples, contiguous.
TiffSetup square(uint32_t side, uint16_t bits, uint16_t samples, uint16_t photometric) {
  TiffSetup image;
  image.width = image.height = side;
  image.bitsPerSample = bits;
  image.samplesPerPixel = samples;
  image.photometric = photometric;
  image.sampleFormat = SAMPLEFORMAT_UINT;
  return image;
}

const char* const kGhostscriptCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

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
  const std::string profile = orvex_test::fileBytes(kGhostscriptCmyk);
  ASSERT_FALSE(profile.empty()) << kGhostscriptCmyk << " is missing: scripts/install-deps.sh";
  orvex_cli_test::ToolSession session;
  TiffSetup cmyk = square(64, GetParam(), 4, PHOTOMETRIC_SEPARATED);
  cmyk.rowsPerStrip = 16;
  cmyk.iccProfile.assign(profile.begin(), profile.end());
  const std::string in = session.file("job.tif");
  orvex_test::writeTiff(in, cmyk, inkMixes(GetParam()));
  const orvex_cli_test::ToolRun reference =
      orvex_cli_test::runProgram("tificc", {"-t1", "-w8", in, session.file("tificc.tif")});
  ASSERT_EQ(reference.exitCode, 0) << "tificc (Debian's liblcms2-utils): " << reference.err;
  const orvex_cli_test::ToolRun proof =
      orvex_cli_test::runProgram(ORVEX_CLI_BINARY, {"preview", in, session.file("proof.png")});
  ASSERT_EQ(proof.exitCode, 0) << proof.err;
  EXPECT_EQ(proof.out, "wrote " + session.file("proof.png") +
                           ": 64 x 64, CMYK in sRGB through its ICC profile\n");
  const orvex_cli_test::Picture expected = orvex_cli_test::pictureOf(session.file("tificc.tif"));
  const orvex_cli_test::Picture shown = orvex_cli_test::pictureOf(session.file("proof.png"));
  ASSERT_EQ(shown.samples, 3);
  ASSERT_EQ(expected.values.size(), shown.values.size());
  size_t apart = 0;
  for (size_t i = 0; i < shown.values.size(); ++i) {
    apart += std::llabs(static_cast<long long>(shown.values[i] - expected.values[i])) > 1;
  }
  EXPECT_EQ(apart, 0U) << "samples more than 1 level from tificc's";
}

INSTANTIATE_TEST_SUITE_P(Bits, ProofAgainstTificc, ::testing::Values(8, 16));

// Artwork of 256 x 256 pixels as a designer hands it over: plates of ink, min-is-white, the
// process colours in gradients over a black frame, a gold disc (and the ring an edit makes of
// it), a band of varnish, and the die line's shape as an alpha.
void writeArtwork(const orvex_cli_test::ToolSession& session) {
  constexpr uint32_t kSide = 256;
  TiffSetup plate = square(kSide, 8, 1, PHOTOMETRIC_MINISWHITE);
  TiffSetup alpha = square(kSide, 8, 1, PHOTOMETRIC_MINISBLACK);
  using Ink = std::function<int(int x, int y, int r)>;
  const auto frame = [](int x, int y) { return std::min({x, y, 255 - x, 255 - y}) < 12; };
  const auto disc = [](int r, int inner, int outer) {
    return std::clamp(std::min(r - inner, outer - r) * 64, 0, 255);
  };
  std::filesystem::create_directories(std::filesystem::u8path(session.file("art")));
  for (const auto& [name, setup, ink] : std::vector<std::tuple<const char*, TiffSetup, Ink>>{
           {"C", plate, [](int x, int, int) { return 40 + x * 3 / 5; }},
           {"M", plate, [](int, int y, int r) { return std::max(0, 200 - r * 2) + y / 8; }},
           {"Y", plate, [](int x, int y, int) { return 60 + (255 - x + y) / 4; }},
           {"K", plate, [&](int x, int y, int) { return frame(x, y) ? 230 : 0; }},
           {"gold", plate, [&](int, int, int r) { return disc(r, -255, 70); }},
           {"gold-ring", plate, [&](int, int, int r) { return disc(r, 48, 80); }},
           {"varnish", plate, [](int, int y, int) { return y >= 190 && y < 226 ? 255 : 0; }},
           {"die", alpha, [&](int x, int y, int) { return frame(x, y) ? 0 : 255; }}}) {
    std::vector<uint8_t> stored;
    for (int y = 0; y < static_cast<int>(kSide); ++y) {
      for (int x = 0; x < static_cast<int>(kSide); ++x) {
        const int r = static_cast<int>(std::lround(std::hypot(x - 127.5, y - 110.5)));
        stored.push_back(static_cast<uint8_t>(std::clamp(ink(x, y, r), 0, 255)));
      }
    }
    orvex_test::writeTiff(session.file("art/" + std::string(name) + ".tif"), setup, stored);
  }
}

// The prepress guide's job, from artwork to proof, each command on what the ones before wrote.
// Its last proof is the guide's picture, docs/guides/prepress-proof.png.
TEST(Prepress, FromArtworkToProofAsTheTranscriptSays) {
  orvex_cli_test::ToolSession session;
  writeArtwork(session);
  session.expectSession("prepress", true);
  const std::string picture = orvex_test::testDataFile("../../docs/guides/prepress-proof.png");
  if (std::getenv("ORVEX_UPDATE_TRANSCRIPTS") != nullptr) {
    std::filesystem::copy_file(session.file("proof-ring.png"), picture,
                               std::filesystem::copy_options::overwrite_existing);
  }
  EXPECT_EQ(orvex_cli_test::pictureOf(picture).values,
            orvex_cli_test::pictureOf(session.file("proof-ring.png")).values);
}
#endif

}  // namespace
