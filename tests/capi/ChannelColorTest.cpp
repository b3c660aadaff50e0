// Channel colours through the C interface: what a host writes reads back unchanged, with its
// sRGB and L*a*b* forms; a bad colour is refused before the disk is touched; and a host that
// gives no colour, or was built before channels had one, writes the same bytes as ever. CMYK
// pixels go to sRGB through the profile a channel's CMYK colour goes through.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "Calls.h"
#include "StructLayout.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

#ifdef ORVEX_COLOR_CONVERSION
#include <lcms2.h>
#endif

namespace {

// A channel read as its colour, then as shown: "space c0,c1,c2,c3 opacity | r,g,b | L,a,b".
std::string colorOf(const orvex_channel& c) {
  char text[160];
  std::snprintf(text, sizeof text, "%d %u,%u,%u,%u %u", static_cast<int>(c.color_space),
                c.components[0], c.components[1], c.components[2], c.components[3], c.opacity);
  std::string shown = c.has_color == 1 ? text : "none";
  if (c.converted == 1) {
    std::snprintf(text, sizeof text, " | %u,%u,%u | %.0f,%.0f,%.0f", c.srgb[0], c.srgb[1],
                  c.srgb[2], static_cast<double>(c.lab[0]), static_cast<double>(c.lab[1]),
                  static_cast<double>(c.lab[2]));
    shown += text;
  }
  return shown;
}

// The request's page with the one channel, or that page in CMYK with its profile.
orvex_status writePage(const orvex_test::TempDir& temp, const char* leaf,
                       const orvex_channel& channel, const std::vector<uint8_t>& cmykProfile = {}) {
  Request request;
  request.folder = temp.path().u8string();
  request.leaf = leaf;
  request.channels = {channel};
  if (!cmykProfile.empty()) {
    request.info.samples_per_pixel = 5;
    request.info.photometric = ORVEX_PHOTOMETRIC_SEPARATED;
    request.info.icc_profile_size = static_cast<uint32_t>(cmykProfile.size());
    request.info.icc_profile = cmykProfile.data();
  }
  return request.write();
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

#ifdef ORVEX_COLOR_CONVERSION
// The bytes of a profile Little CMS built, which it then frees.
std::vector<uint8_t> savedAndClosed(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A CMYK profile that prints every ink mix as the mid grey L* 50.
std::vector<uint8_t> greyCmykProfile() {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 4.3);
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  const cmsCIELab grey{50, 0, 0};
  std::vector<cmsUInt16Number> table(16 * 3);
  for (size_t i = 0; i < table.size(); i += 3) cmsFloat2LabEncoded(&table[i], &grey);
  // Saved as curves, lookup table, curves: the form the profile format takes.
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 4, 3);
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
  cmsPipelineInsertStage(pipeline, cmsAT_END,
                         cmsStageAllocCLut16bit(nullptr, 2, 4, 3, table.data()));
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
  cmsPipelineFree(pipeline);
  return savedAndClosed(profile);
}

// Paper, then full cyan, each followed by an extra sample of full value that is passed over,
// through the page's CMYK profile else the built-in one: the shown colours of the CMYK channels
// of the transcript. Little CMS keeps the paper of a profile white, even the grey one's.
std::string conversions() {
  const std::vector<uint8_t> eightBits = {0, 0, 0, 0, 255, 255, 0, 0, 0, 255};
  const std::vector<uint8_t> sixteenBits = {0,   0,   0, 0, 0, 0, 0, 0, 255, 255,
                                            255, 255, 0, 0, 0, 0, 0, 0, 255, 255};
  const std::pair<const char*, std::vector<uint8_t>> profiles[] = {
      {"no profile", {}},
      {"a CMYK profile", greyCmykProfile()},
      {"an RGB profile", savedAndClosed(cmsCreate_sRGBProfile())},
  };
  std::string text;
  for (const auto& [what, profile] : profiles) {
    for (const auto& [bits, pixels] : {std::pair{8, eightBits}, {16, sixteenBits}}) {
      orvex_cmyk_to_srgb* converter = nullptr;
      int32_t builtIn = -1;
      uint8_t srgb[6] = {};
      const orvex_status created =
          orvex_cmyk_to_srgb_create(profile.data(), static_cast<uint32_t>(profile.size()),
                                    static_cast<uint16_t>(bits), 5, &builtIn, &converter);
      const orvex_status converted = orvex_cmyk_to_srgb_convert(converter, pixels.data(), 2, srgb);
      orvex_cmyk_to_srgb_destroy(converter);
      char line[160];
      std::snprintf(line, sizeof line, "%s, %d bits: %d %d, built-in %d, %u,%u,%u %u,%u,%u\n", what,
                    bits, created, converted, builtIn, srgb[0], srgb[1], srgb[2], srgb[3], srgb[4],
                    srgb[5]);
      text += line;
    }
  }
  // A CMYK page's own profile shows its channels' CMYK colours; other pages use the built-in one.
  orvex_test::TempDir temp;
  writePage(temp, "cmyk.tif", channelOf("3 2 0,65535,65535,65535 100"), greyCmykProfile());
  return text + "spot, CMYK cyan on a page of the grey profile: " +
         colorOf(readChannel(temp.file("cmyk.tif"), sizeof(orvex_channel))) + "\n";
}
#endif

// Each channel the transcript's lines "what: given -> " give, its kind and colour as read: each
// colour space, sRGB red's L*a*b* showing as sRGB red again; without a colour a spot channel in
// the writer's usual Lab(128, 0, 0), beyond white, an alpha in its red. With Little CMS,
// conversions of CMYK pixels; then depths and sample counts the conversion does not take, a
// library without Little CMS refusing every request (tests/data/transcripts/capi/
// channel_colours.txt; without Little CMS, channel_colours_unconverted.txt).
TEST(ChannelColor, WrittenColoursReadBackWithTheirSrgbAndLabAndCmykIsConverted) {
#ifdef ORVEX_COLOR_CONVERSION
  const std::string transcript = "capi/channel_colours.txt";
#else
  const std::string transcript = "capi/channel_colours_unconverted.txt";
#endif
  orvex_test::TempDir temp;
  std::ifstream lines(
      std::filesystem::u8path(orvex_test::testDataFile("transcripts/" + transcript)));
  std::string text;
  for (std::string line; std::getline(lines, line) && line.find(" -> ") != std::string::npos;) {
    const size_t given = line.find(": ") + 2;
    const size_t arrow = line.find(" -> ");
    ASSERT_EQ(writePage(temp, "color.tif", channelOf(line.substr(given, arrow - given))),
              ORVEX_STATUS_OK);
    const orvex_channel read = readChannel(temp.file("color.tif"), sizeof(orvex_channel));
    text += line.substr(0, arrow + 4) + std::to_string(read.kind) + " " + colorOf(read) + "\n";
  }
#ifdef ORVEX_COLOR_CONVERSION
  text += conversions();
#endif
  for (const auto& [bits, samples] :
       {std::pair<uint16_t, uint16_t>{12, 4}, {32, 4}, {8, 3}, {16, 4}}) {
    orvex_cmyk_to_srgb* converter = nullptr;
    const orvex_status status =
        orvex_cmyk_to_srgb_create(nullptr, 0, bits, samples, nullptr, &converter);
    text += "converter of " + std::to_string(bits) + " bits, " + std::to_string(samples) +
            " samples: " + (status == ORVEX_STATUS_OK ? "0" : reasonOf(status)) +
            (converter == nullptr ? ", none\n" : ", made\n");
    orvex_cmyk_to_srgb_destroy(converter);
  }
  orvex_test::expectTranscript(transcript, text);
}

// A record of interface version 1 ends where the colour begins: whatever follows it is not
// read, and nothing is written beyond it when read. Without a colour the C++ writer's bytes.
TEST(ChannelColor, RecordsOfTheFirstSizeAndRecordsWithoutColourWriteTheSameBytes) {
  orvex_test::TempDir temp;
  orvex_channel old = channelOf("3 99 1,2,3,4 500");
  old.struct_size = ORVEX_CHANNEL_V1_SIZE;
  ASSERT_EQ(writePage(temp, "old.tif", old), ORVEX_STATUS_OK);
  ASSERT_EQ(writePage(temp, "none.tif", channelOf("3")), ORVEX_STATUS_OK);
  TiffImageInfo info;
  info.width = 4;
  info.height = 3;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 4;
  info.extraSamples = 1;
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  info.xResolution = info.yResolution = 300.0F;
  info.channels = {{TiffChannelType::SpotColor, ""}};
  ITiffWriter* writer = createTiffWriter();
  ASSERT_TRUE(writer->begin(temp.file("cxx.tif").c_str(), info, ORVEX_PLANAR_CONTIG));
  for (uint32_t y = 0; y < 3; ++y)
    ASSERT_TRUE(writer->writeScanline(y, Request().row(y).data(), 16));
  destroyTiffWriter(writer);  // ends the file

  EXPECT_EQ(fileBytes(temp.file("old.tif")), fileBytes(temp.file("cxx.tif")));
  EXPECT_EQ(fileBytes(temp.file("none.tif")), fileBytes(temp.file("cxx.tif")));
  const orvex_channel read = readChannel(temp.file("old.tif"), ORVEX_CHANNEL_V1_SIZE);
  EXPECT_EQ(read.kind, ORVEX_CHANNEL_SPOT);
  EXPECT_EQ(read.has_color, static_cast<int32_t>(0xA5A5A5A5));  // untouched
}

}  // namespace
