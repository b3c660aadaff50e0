// The whole log a host sees while it walks the directories of a file, compared with transcripts:
// every text, level and order, damaged directory chains included.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "HostReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffBytes.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

using orvex_test::TempDir;
using orvex_test::TiffSpec;

TiffSpec greyPage(uint32_t width) {
  TiffSpec page;
  page.width = width;
  return page;
}

TiffSpec colourPage(uint16_t photometric, uint16_t samples, uint16_t bits) {
  TiffSpec page;
  page.photometric = photometric;
  page.samplesPerPixel = samples;
  page.bitsPerSample = bits;
  return page;
}

std::string writePages(const TempDir& temp, const std::vector<TiffSpec>& pages) {
  const std::string path = temp.file("pages.tif");
  orvex_test::TiffFileBuilder builder(path);
  for (const TiffSpec& page : pages) {
    builder.addDirectory(page, orvex_test::patternImage(page));
  }
  return path;
}

// One page of each path through the reader: defaults assumed, palette, CMYK delivered as
// columns, sub-byte samples mirrored with an ICC profile, and a refused ink set.
std::string pagesOfEveryKind(const TempDir& temp) {
  TiffSpec rgba = colourPage(PHOTOMETRIC_RGB, 4, 8);
  rgba.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  TiffSpec palette = colourPage(PHOTOMETRIC_PALETTE, 1, 4);
  palette.colorMap.assign(3 * 16, 0x1234);
  TiffSpec cmyk = colourPage(PHOTOMETRIC_SEPARATED, 4, 8);
  cmyk.inkSet = INKSET_CMYK;
  cmyk.orientation = ORIENTATION_RIGHTTOP;
  cmyk.xResolution = 300.0F;
  cmyk.yResolution = 150.0F;
  cmyk.resolutionUnit = RESUNIT_CENTIMETER;
  TiffSpec bits = greyPage(10);
  bits.bitsPerSample = 1;
  bits.orientation = ORIENTATION_TOPRIGHT;
  bits.iccProfile = {1, 2, 3};
  TiffSpec otherInks = cmyk;
  otherInks.inkSet = INKSET_MULTIINK;
  return writePages(temp, {rgba, palette, cmyk, bits, otherInks});
}

std::string threeGreyPages(const TempDir& temp) {
  return writePages(temp, {greyPage(4), greyPage(5), greyPage(6)});
}

struct Walk {
  const char* name;
  std::function<std::string(const TempDir&)> file;
  std::vector<uint16_t> steps;  ///< directories begun in turn
};

const Walk kWalks[] = {
    {"kinds", pagesOfEveryKind, {0, 1, 2, 3, 4, 2, 0, 5}},
    {"ycbcr",
     [](const TempDir&) {
       return orvex_test::testDataFile("pillow/tiff_strip_ycbcr_jpeg_2x2_sampling.tif");
     },
     {0, 0, 1}},
    {"multipage",
     [](const TempDir&) { return orvex_test::testDataFile("pillow/multipage.tiff"); },
     {2, 0, 1, 3}},
    {"next-past-end",
     [](const TempDir& temp) {
       const std::string path = threeGreyPages(temp);
       orvex_test::setNextDirectoryOffset(path, 1, 0x7FFFFFF0);
       return path;
     },
     {0, 1, 2, 1}},
    {"loop",
     [](const TempDir& temp) {
       const std::string path = threeGreyPages(temp);
       orvex_test::setNextDirectoryOffset(path, 2, orvex_test::directoryOffset(path, 0));
       return path;
     },
     {0, 1, 2, 3, 0}},
    {"broken-middle",
     [](const TempDir& temp) {
       const std::string path = threeGreyPages(temp);
       orvex_test::renameTag(path, 1, TIFFTAG_IMAGELENGTH, 65000);
       return path;
     },
     {0, 1, 2, 1, 0}},
};

// Begins each directory of the walk, describes it and reads its first and last scanline.
std::string transcriptOf(const Walk& walk, const std::string& path) {
  orvex_test::LogCapture log;
  orvex_host_test::ReaderPtr reader = orvex_host_test::makeReader();
  if (reader->begin(path.c_str())) {
    for (const uint16_t dir : walk.steps) {
      if (reader->beginReadSubDir(dir)) {
        const TiffImageInfo info = reader->getImageInfo();
        reader->readScanline(0, nullptr, nullptr);
        reader->readScanline(0, info.scanlineCount - 1, nullptr, nullptr);
      }
    }
  }
  reader->end();
  return orvex_test::transcriptOf(log.records(), {{path, "FILE"}});
}

class DirectoryWalk : public ::testing::TestWithParam<Walk> {};

TEST_P(DirectoryWalk, LogsWhatItAlwaysLogged) {
  TempDir temp;
  orvex_test::expectTranscript(std::string("walks/") + GetParam().name + ".txt",
                               transcriptOf(GetParam(), GetParam().file(temp)));
}

INSTANTIATE_TEST_SUITE_P(Files, DirectoryWalk, ::testing::ValuesIn(kWalks),
                         [](const ::testing::TestParamInfo<Walk>& param) {
                           std::string name = param.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// Each page of a file of thousands, begun in a shuffled order, is itself: its resolution and its
// first row carry its number.
TEST(ManyPages, EachDirectoryInAShuffledOrderDeliversItsOwnPage) {
  constexpr uint16_t kPages = 3000;
  TempDir temp;
  const std::string path = temp.file("pages.tif");
  {
    orvex_test::TiffFileBuilder builder(path);
    for (uint16_t page = 0; page < kPages; ++page) {
      TiffSpec spec = greyPage(4);
      spec.height = 2;
      spec.xResolution = page + 1.0F;
      builder.addDirectory(
          spec, {static_cast<uint8_t>(page), static_cast<uint8_t>(page >> 8), 1, 2, 3, 4, 5, 6});
    }
  }
  std::vector<uint16_t> order(kPages);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(17));
  orvex_host_test::ReaderPtr reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  ASSERT_EQ(reader->getNumberOfDirectories(), kPages);
  for (const uint16_t page : order) {
    ASSERT_TRUE(reader->beginReadSubDir(page)) << page;
    EXPECT_EQ(reader->getImageInfo().xResolution, page + 1.0F);
    const std::vector<uint8_t> expected = {static_cast<uint8_t>(page),
                                           static_cast<uint8_t>(page >> 8), 1, 2};
    EXPECT_EQ(orvex_host_test::interleavedRow(*reader, 0), expected) << page;
  }
  reader->end();
}

}  // namespace
