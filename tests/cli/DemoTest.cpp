// orvex with no command: the demo writes its embedded sample, reads it back and says where
// the files are.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <filesystem>
#include <utility>

#include "cli/Pictures.h"
#include "cli/ToolRunner.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_cli_test::runTool;

uint32_t bigEndian32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

std::string signatureAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return std::string(bytes.begin() + offset, bytes.begin() + offset + 4);
}

class Demo : public ::testing::Test {
protected:
  void SetUp() override {
    run_ = runTool({}, {{orvex_cli_test::kTemporaryFolderVariable, temp_.path().u8string()}});
    const std::string marker = "files are in ";
    const size_t at = run_.out.rfind(marker);
    ASSERT_NE(at, std::string::npos) << run_.out << run_.err;
    folder_ = run_.out.substr(at + marker.size());
    folder_.pop_back();  // the line feed
  }

  // Joined as the tool joins them, with the platform's separator.
  std::string inFolder(const char* name) const {
    return (std::filesystem::u8path(folder_) / name).u8string();
  }

  orvex_test::TempDir temp_;
  orvex_cli_test::ToolRun run_;
  std::string folder_;
};

TEST_F(Demo, DescribesTheSampleItWroteAndReadBack) {
  EXPECT_EQ(run_.exitCode, 0);
  EXPECT_EQ(run_.err, "");
  EXPECT_EQ(std::filesystem::path(folder_).parent_path(), temp_.path());
  const std::string tiff = inFolder("sample.tif");
  const std::string png = inFolder("sample.png");
  std::string expected =
      R"(orvex 1.3.4 demo: a sample image written and read back through the library

wrote <tiff>: 320 x 200 RGB, 8 bits, an associated alpha and a spot channel, 300 dpi, an ICC profile

<tiff>: 1 directory
directory 0: 320 x 200 pixels
  samples:      5 x 8 bits, unsigned integer, 2 extra
  photometric:  RGB
  resolution:   300 x 300 pixels per inch
  scanlines:    200 rows
  ICC profile:  488 bytes
  extra 0:      associated alpha, "Alpha" (sample 3)
  extra 1:      spot colour, "Spot Varnish" (sample 4)

read back 200 rows: every sample equals the one written
preview (RGB with alpha): <png>

files are in <folder>
)";
  for (const auto& [placeholder, path] : {std::pair<std::string, std::string>{"<tiff>", tiff},
                                          {"<png>", png},
                                          {"<folder>", folder_}}) {
    for (size_t at = expected.find(placeholder); at != std::string::npos;
         at = expected.find(placeholder, at + path.size())) {
      expected.replace(at, placeholder.size(), path);
    }
  }
  EXPECT_EQ(run_.out, expected);
}

TEST_F(Demo, SampleCarriesAValidIccProfileAndExtraSamples) {
  TIFF* tif = orvex_test::openTiff(inFolder("sample.tif").c_str(), "r");
  ASSERT_NE(tif, nullptr);
  uint32_t profileBytes = 0;
  const uint8_t* profileData = nullptr;
  ASSERT_EQ(TIFFGetField(tif, TIFFTAG_ICCPROFILE, &profileBytes, &profileData), 1);
  const std::vector<uint8_t> profile(profileData, profileData + profileBytes);
  uint16_t extraCount = 0;
  uint16_t* extra = nullptr;
  ASSERT_EQ(TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra), 1);
  EXPECT_EQ(std::vector<uint16_t>(extra, extra + extraCount),
            (std::vector<uint16_t>{EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNSPECIFIED}));
  TIFFClose(tif);

  // The header of a version 2 RGB display profile, and a tag table whose every element
  // lies inside the profile on a 4-byte boundary.
  ASSERT_EQ(profile.size(), 488U);
  EXPECT_EQ(bigEndian32(profile.data()), profile.size());
  EXPECT_EQ(bigEndian32(profile.data() + 8), 0x02100000U);
  EXPECT_EQ(signatureAt(profile, 12), "mntr");
  EXPECT_EQ(signatureAt(profile, 16), "RGB ");
  EXPECT_EQ(signatureAt(profile, 20), "XYZ ");
  EXPECT_EQ(signatureAt(profile, 36), "acsp");
  const uint32_t tagCount = bigEndian32(profile.data() + 128);
  std::vector<std::string> signatures;
  for (uint32_t i = 0; i < tagCount; ++i) {
    const uint8_t* entry = profile.data() + 132 + 12 * i;
    signatures.push_back(signatureAt(profile, 132 + 12 * i));
    const uint32_t offset = bigEndian32(entry + 4);
    const uint32_t size = bigEndian32(entry + 8);
    EXPECT_EQ(offset % 4, 0U);
    EXPECT_LE(offset + size, profile.size());
  }
  EXPECT_EQ(signatures, (std::vector<std::string>{"desc", "cprt", "wtpt", "rXYZ", "gXYZ", "bXYZ",
                                                  "rTRC", "gTRC", "bTRC"}));
}

TEST_F(Demo, PreviewIsTheRgbaPicture) {
  const orvex_cli_test::PngPicture png = orvex_cli_test::readPng(inFolder("sample.png"));
  ASSERT_TRUE(png.read);
  EXPECT_EQ(png.width, 320U);
  EXPECT_EQ(png.height, 200U);
  EXPECT_EQ(png.channels, 4U);
  EXPECT_EQ(png.at(0, 0, 3), 0);        // outside the disc: transparent
  EXPECT_EQ(png.at(160, 100, 3), 255);  // its centre: opaque
}

}  // namespace
