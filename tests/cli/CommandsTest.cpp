// Every command of the tool, its failures and its help, as shell sessions: each "$ " line of
// tests/data/transcripts/cli/GROUP.txt is run (TMP: the folder of the inputs written below,
// DATA: tests/data) and must print, exit and write what follows it (see ToolSession.h). A case
// is one more "$ " line: ORVEX_UPDATE_TRANSCRIPTS=1 fills in what the tool does, to review.
// In the roundtrip and prepress sessions each command finds what the ones before wrote; the
// safewriting session has large inputs of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

#include "cli/ToolSession.h"
#include "orvex/orvex.h"
#include "orvex/orvex_c.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

using orvex_test::TiffSetup;

/// Contiguous samples, unsigned unless `format` says otherwise, RGB for 3 samples, else grey.
TiffSetup tiffSetup(uint32_t width, uint32_t height, uint16_t bits, uint16_t samples = 1,
                    uint16_t format = SAMPLEFORMAT_UINT) {
  TiffSetup image;
  image.width = width;
  image.height = height;
  image.bitsPerSample = bits;
  image.samplesPerPixel = samples;
  image.photometric = samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  image.sampleFormat = format;
  return image;
}

// Byte b of pixel x in row y is y * 31 + x * 7 + b * 50 (mod 256), in 8-bit samples unless
// `info` asks for 16, written through the library's writer as a host writes named channels.
void writeWithLibrary(const std::string& path, TiffImageInfo info) {
  info.bitsPerSample = info.bitsPerSample == 16 ? 16 : 8;
  info.sampleFormat = TiffSampleFormat::Uint;
  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                              destroyTiffWriter);
  ASSERT_TRUE(writer->begin(path.c_str(), info, 1)) << path;
  const size_t pixelBytes = size_t{info.samplesPerPixel} * info.bitsPerSample / 8;
  std::vector<uint8_t> row(size_t{info.width} * pixelBytes);
  for (uint32_t y = 0; y < info.height; ++y) {
    for (size_t i = 0; i < row.size(); ++i) {
      row[i] = static_cast<uint8_t>(y * 31 + i / pixelBytes * 7 + i % pixelBytes * 50);
    }
    ASSERT_TRUE(writer->writeScanline(y, row.data(), static_cast<uint32_t>(row.size())));
  }
  writer->end();
}

orvex_channel colouredChannel(int32_t kind, const char* name, std::array<uint16_t, 3> rgb,
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

// spots.tif, a proof's spot colours over flat patches of one CMYK: a gold spot at full opacity,
// a blue one at 40 % and an alpha, which is never painted; the first patch has no spot ink.
void writeSpotPatches(const std::string& path) {
  const std::array<uint8_t, 4> cmyk = {100, 0, 40, 0};
  const std::array<uint8_t, 3> patches[] = {{0, 0, 255},   {255, 0, 255}, {128, 0, 0},
                                            {0, 255, 128}, {0, 77, 128},  {200, 100, 255},
                                            {255, 255, 0}, {37, 211, 255}};
  std::vector<uint8_t> row;
  for (const auto& patch : patches) {
    row.insert(row.end(), cmyk.begin(), cmyk.end());
    row.insert(row.end(), patch.begin(), patch.end());
  }
  writePatches(path,
               {colouredChannel(ORVEX_CHANNEL_SPOT, "Gold", {65535, 55255, 257}, 100),
                colouredChannel(ORVEX_CHANNEL_SPOT, "Blue", {8224, 32896, 65535}, 40),
                colouredChannel(ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "Die", {0, 0, 0}, 100)},
               row);
}

// press.tif: CMYK with an extra channel of every kind, names beyond U+FFFF and names that
// split must make safe, a resolution in centimetres and an ICC profile (also as press.icc);
// then planes that fit it or differ in one way, and other images of particular kinds.
void writeImages(const orvex_cli_test::ToolSession& session) {
  TiffImageInfo press;
  press.width = 6;
  press.height = 4;
  press.samplesPerPixel = 9;
  press.extraSamples = 5;
  press.photometric = TiffPhotometric::Separated;
  press.channels = {{TiffChannelType::SpotColor, "Vernis s\xC3\xA9lectif \xF0\x9F\x98\x80"},
                    {TiffChannelType::SpotColor, "a/b"},
                    {TiffChannelType::Unspecified, "A/B"},
                    {TiffChannelType::UnassociatedAlpha, ""},
                    {TiffChannelType::AssociatedAlpha, "CON"}};
  press.xResolution = 150.0F;
  press.yResolution = 75.0F;
  press.resolutionUnit = TiffResolutionUnit::Centimeter;
  press.iccProfile = {0, 0, 0, 12, 'a', 'b', 'c', 'd', 1, 2, 3, 4};
  writeWithLibrary(session.file("press.tif"), press);
  // CMYK bases of 8 and 16 bits for the round trips through split, merge and join.
  TiffImageInfo cmyk = press;
  cmyk.samplesPerPixel = 4;
  cmyk.extraSamples = 0;
  cmyk.channels = {};
  cmyk.xResolution = 300.0F;
  cmyk.resolutionUnit = TiffResolutionUnit::Inch;
  cmyk.iccProfile = {0, 0, 0, 12, 'c', 'm', 'y', 'k', 1, 2, 3, 4};
  writeWithLibrary(session.file("cmyk.tif"), cmyk);
  cmyk.bitsPerSample = 16;
  writeWithLibrary(session.file("cmyk16.tif"), cmyk);
  std::ofstream(session.file("press.icc"), std::ios::binary)
      .write(reinterpret_cast<const char*>(press.iccProfile.data()),
             static_cast<std::streamsize>(press.iccProfile.size()));
  TiffSetup grey = tiffSetup(4, 4, 16);
  grey.photometric = PHOTOMETRIC_MINISWHITE;
  grey.iccProfile = {0, 0, 0, 12, 'g', 'r', 'e', 'y', 1, 2, 3, 4};
  grey.xResolution = grey.yResolution = 150.0F;
  grey.resolutionUnit = RESUNIT_CENTIMETER;
  uint8_t seed = 1;
  for (const auto& [name, image] :
       {std::pair{"plane.tif", tiffSetup(6, 4, 8)},
        {"x=y.tif", tiffSetup(6, 4, 8)},
        {"wide.tif", tiffSetup(7, 4, 8)},
        {"deep.tif", tiffSetup(6, 4, 16)},
        {"rgb.tif", tiffSetup(6, 4, 8, 3)},
        {"signed.tif", tiffSetup(6, 4, 8, 1, SAMPLEFORMAT_INT)},
        {"bits.tif", tiffSetup(590, 88, 1)},
        {"complex.tif", tiffSetup(4, 4, 32, 1, SAMPLEFORMAT_COMPLEXINT)},
        {"Grey.tif", grey},
        {"карта-地图.tif", tiffSetup(6, 4, 8)}}) {
    orvex_test::writeTiff(session.file(name), image, orvex_test::patternImage(image, seed += 4));
  }
  orvex_test::TiffFileBuilder two(session.file("two.tif"));
  two.addDirectory(tiffSetup(4, 4, 8), orvex_test::patternImage(tiffSetup(4, 4, 8)));
  two.addDirectory(tiffSetup(9, 2, 8), orvex_test::patternImage(tiffSetup(9, 2, 8), 9));
  for (const char* preview :
       {"preview TMP/plane.tif TMP/plane.png", "preview TMP/rgb.tif TMP/rgb.png"}) {
    ASSERT_EQ(orvex_cli_test::runTool(session.arguments(preview)).exitCode, 0);
  }
  // Cut inside its image data: the header reads, the rows do not.
  std::ifstream whole(session.file("plane.png"), std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(whole), {});
  std::ofstream(session.file("cut.png"), std::ios::binary) << bytes.substr(0, bytes.size() - 20);
  std::ofstream(session.file("text.tif")) << "not a TIFF file at all\n";
  writeSpotPatches(session.file("spots.tif"));
}

template <typename T>
std::vector<uint8_t> bytesOf(const std::vector<T>& values) {
  std::vector<uint8_t> bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

// Images whose previews show one conversion each (see the preview transcript).
void writePreviewInputs(const orvex_cli_test::ToolSession& session) {
  TiffSetup white = tiffSetup(10, 1, 1);
  white.photometric = PHOTOMETRIC_MINISWHITE;
  TiffSetup rgba = tiffSetup(3, 1, 8, 4);
  rgba.photometric = PHOTOMETRIC_RGB;
  rgba.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  TiffSetup greyAlpha = tiffSetup(2, 1, 8, 2);
  greyAlpha.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  TiffSetup columns = tiffSetup(5, 3, 8, 3);
  columns.orientation = ORIENTATION_RIGHTTOP;
  for (const auto& [name, image, stored] :
       {std::tuple{"grey16.tif", tiffSetup(4, 1, 16),
                   bytesOf<uint16_t>({0x0000, 0x12FF, 0x8001, 0xFFFF})},
        {"int8.tif", tiffSetup(3, 1, 8, 1, SAMPLEFORMAT_INT), {0x80, 0x00, 0x7F}},
        {"float.tif", tiffSetup(6, 1, 32, 1, SAMPLEFORMAT_IEEEFP),
         bytesOf<float>({-0.5F, 0.0F, 0.25F, 0.5F, 1.0F, 7.0F})},
        {"white1.tif", white, {0b10110000, 0b01000000}},
        {"grey4.tif", tiffSetup(3, 1, 4), {0x0F, 0x80}},
        {"rgba.tif", rgba, {100, 50, 0, 200, 9, 9, 9, 0, 255, 128, 1, 255}},
        {"greyalpha.tif", greyAlpha, {100, 50, 7, 0}},
        {"columns.tif", columns, orvex_test::patternImage(columns)}}) {
    orvex_test::writeTiff(session.file(name), image, stored);
  }
}

// 13 x 7 stored pixels in strips of 3 rows, in every orientation: odd sizes, so that sub-byte
// rows end inside a byte both before and after transposition.
void writeOrientedImages(const orvex_cli_test::ToolSession& session) {
  TiffSetup rgba = tiffSetup(13, 7, 8, 4);
  rgba.photometric = PHOTOMETRIC_RGB;
  rgba.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  TiffSetup white = tiffSetup(13, 7, 1);
  white.photometric = PHOTOMETRIC_MINISWHITE;
  for (auto [name, image] : {std::pair{"rgba8-", rgba},
                             {"grey1-", tiffSetup(13, 7, 1)},
                             {"white1-", white},
                             {"grey4-", tiffSetup(13, 7, 4)},
                             {"rgb16-", tiffSetup(13, 7, 16, 3)}}) {
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
      image.orientation = orientation;
      image.rowsPerStrip = 3;
      orvex_test::writeTiff(session.file(name + std::to_string(orientation) + ".tif"), image,
                            orvex_test::patternImage(image, 5));
    }
  }
}

template <typename... Values>
std::function<void(TIFF*)> setting(uint32_t tag, Values... values) {
  return [=](TIFF* tif) { TIFFSetField(tif, tag, values...); };
}

// Files from other programs with a tag set or unset through libtiff, which rewrites the first
// directory in place: a YCbCr file with Photoshop image resources, and files the reader refuses.
void writeEditedCopies(const orvex_cli_test::ToolSession& session) {
  // One Pascal name in resource 1006; the YCbCr directory stores no extra sample to name.
  const std::vector<uint8_t> block = {'8', 'B', 'I', 'M', 0x03, 0xEE, 0,   0,   0,
                                      0,   0,   6,   5,   'A',  'l',  'p', 'h', 'a'};
  const uint16_t oneUnspecified[] = {EXTRASAMPLE_UNSPECIFIED};
  for (const auto& [name, source, edit] :
       {std::tuple{"ycbcr.tif", "pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif",
                   setting(TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(block.size()), block.data())},
        {"nophotometric.tif", "libtiff/rgb-3c-8b.tiff",
         [](TIFF* tif) { TIFFUnsetField(tif, TIFFTAG_PHOTOMETRIC); }},
        {"inks.tif", "pillow/tiff_strip_cmyk_jpeg.tif", setting(TIFFTAG_INKSET, INKSET_MULTIINK)},
        {"fewrgb.tif", "libtiff/rgb-3c-8b.tiff",
         setting(TIFFTAG_EXTRASAMPLES, uint16_t{1}, oneUnspecified)},
        {"unknown.tif", "pillow/multipage.tiff", setting(TIFFTAG_PHOTOMETRIC, uint16_t{32767})}}) {
    std::filesystem::copy_file(orvex_test::testDataFile(source), session.file(name));
    TIFF* tif = orvex_test::openTiff(session.file(name), "r+");
    ASSERT_NE(tif, nullptr) << name;
    edit(tif);
    EXPECT_EQ(TIFFRewriteDirectory(tif), 1) << name;
    TIFFClose(tif);
  }
}

class Commands : public ::testing::TestWithParam<const char*> {};

TEST_P(Commands, PrintWriteAndExitAsTheTranscriptSays) {
#if defined(_WIN32)
  if (std::string(GetParam()) == "IllFormedName") {
    GTEST_SKIP() << "a UTF-16 command line cannot carry ill-formed UTF-8 to the tool";
  }
#endif
  orvex_cli_test::ToolSession session;
  writeImages(session);
  writeEditedCopies(session);
  writePreviewInputs(session);
  writeOrientedImages(session);
  session.expectSession(GetParam(), std::string(GetParam()) == "roundtrip");
}

// The demo writes its sample into a new folder of the system temporary folder, the session's
// folder; its transcript pins its profile byte for byte: a version 2 RGB display profile
// ("mntr", "RGB ", "XYZ ", "acsp") whose tag table lies inside it on 4-byte boundaries.
// Names beyond ASCII reach the tool on Windows only through its wide command line, and its own
// files (the PNG) through wide opens.
// A CMYK preview is a proof in colour only where the library converts colours.
INSTANTIATE_TEST_SUITE_P(Tool, Commands,
                         ::testing::Values("usage", "demo", "info", "copy", "orientations",
                                           "preview", "split", "merge", "roundtrip", "UnicodeName",
                                           "IllFormedName",
#ifdef ORVEX_COLOR_CONVERSION
                                           "proof"
#else
                                           "NoColourProof"
#endif
                                           ),
                         [](const auto& test) { return std::string(test.param); });

#ifdef ORVEX_COLOR_CONVERSION
// orvex preview of CMYK, the proof: its CMYK part against Little CMS's own converter, tificc,
// on the same file and profile (Ghostscript's default CMYK profile, Debian's libgs-common).
// Proofs through the built-in profile, spot colours laid over, are pinned by the samples of
// the proof session; a library without colour conversion refuses them (NoColourProof).
const char* const kGhostscriptCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
  TiffSetup cmyk = tiffSetup(64, 64, GetParam(), 4);
  cmyk.photometric = PHOTOMETRIC_SEPARATED;
  cmyk.rowsPerStrip = 16;
  cmyk.iccProfile = profile;
  const std::string in = session.file("job.tif");
  orvex_test::writeTiff(in, cmyk, inkMixes(GetParam()));
  const orvex_cli_test::ToolRun reference =
      orvex_cli_test::runProgram("tificc", {"-t1", "-w8", in, session.file("tificc.tif")});
  ASSERT_EQ(reference.exitCode, 0) << "tificc (Debian's liblcms2-utils): " << reference.err;
  const orvex_cli_test::ToolRun proof =
      orvex_cli_test::runTool({"preview", in, session.file("proof.png")});
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
  TiffSetup plate = tiffSetup(kSide, kSide, 8);
  plate.photometric = PHOTOMETRIC_MINISWHITE;
  TiffSetup alpha = tiffSetup(kSide, kSide, 8);
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

// Every way a write can fail or be stopped (a damaged input, a plane that does not fit, a full
// disk, SIGINT and SIGTERM while rows are written), each onto a target that exists: the tool
// says why and exits with its code, and no "+ " line shows, so the target keeps its bytes and
// no temporary file is left; large images write no progress where stderr is no terminal.
TEST(SafeWriting, LeavesTheTargetAsItWasAndNoTemporaryFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "file-size limits and POSIX signals";
#else
  orvex_cli_test::ToolSession session;
  for (const auto& [name, size, samples] :
       {std::tuple{"large.tif", 2500U, 3}, {"large-grey.tif", 2500U, 1}, {"small.tif", 25U, 1}}) {
    TiffSetup image = tiffSetup(size, size, 8, static_cast<uint16_t>(samples));
    orvex_test::writeTiff(session.file(name), image, orvex_test::patternImage(image));
  }
  std::filesystem::create_directories(session.folder() / "planes");
  for (const char* target : {"target.tif", "target.png", "planes/R.tif", "planes/R.png"}) {
    std::ofstream(session.folder() / target, std::ios::binary) << "the target as it was\n";
  }
  session.expectSession("safewriting");
#endif
}

}  // namespace
