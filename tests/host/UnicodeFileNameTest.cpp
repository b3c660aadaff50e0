// File names beyond ASCII, given as UTF-8, through the exports. On Windows they reach the
// file system only through libtiff's wide-character open: no ANSI code page holds both the
// Cyrillic and the CJK characters used here, so a narrow open would fail or misname the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HostReader.h"
#include "support/TempDir.h"

namespace {

// "карта-地图.tif"
const std::string kName = "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0-\xE5\x9C\xB0\xE5\x9B\xBE.tif";

TiffImageInfo greyImage(uint32_t width, uint32_t height) {
  TiffImageInfo info;
  info.width = width;
  info.height = height;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 1;
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::MinIsBlack;
  info.xResolution = 72.0F;
  info.yResolution = 72.0F;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  return info;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().u8string());
  }
  return names;
}

TEST(UnicodeFileName, WriterCreatesTheFileUnderItsExactNameAndReaderOpensIt) {
  orvex_test::TempDir temp;
  const std::string path = temp.file(kName);
  const TiffImageInfo info = greyImage(5, 3);
  {
    std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                                destroyTiffWriter);
    ASSERT_TRUE(writer->begin(path.c_str(), info, 1));
    for (uint32_t row = 0; row < info.height; ++row) {
      const std::vector<uint8_t> pixels(info.width, static_cast<uint8_t>(row * 40));
      ASSERT_TRUE(writer->writeScanline(row, pixels.data(), info.width));
    }
    writer->end();
  }
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{kName});

  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  EXPECT_EQ(reader->getNumberOfDirectories(), 1U);
  reader->end();
}

}  // namespace
