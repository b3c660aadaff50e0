// The chain of directories walked once when a file opens: every byte order and size of file,
// each directory selected straight from where it starts.
#include "reader/DirectoryChain.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

class DirectoryChainOf : public ::testing::TestWithParam<const char*> {};

TEST_P(DirectoryChainOf, SelectsEachDirectoryInAnyOrder) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("chain.tif");
  {
    orvex_test::TiffFileBuilder builder(path, GetParam());
    for (uint32_t width = 1; width <= 4; ++width) {
      orvex_test::TiffSpec page;
      page.width = width;
      builder.addDirectory(page, orvex_test::patternImage(page));
    }
  }
  TIFF* tif = orvex_test::openTiff(path, "rCm");
  ASSERT_NE(tif, nullptr);
  orvex::DirectoryChain chain;
  chain.walk(tif);
  EXPECT_EQ(chain.count(), 4U);
  for (const uint16_t dir : {3, 0, 2, 2, 1, 0}) {
    ASSERT_TRUE(chain.select(tif, dir));
    uint32_t width = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    EXPECT_EQ(width, dir + 1U);
    EXPECT_EQ(TIFFCurrentDirectory(tif), dir);
  }
  EXPECT_FALSE(chain.select(tif, 4));
  chain.clear();
  EXPECT_EQ(chain.count(), 0U);
  EXPECT_FALSE(chain.select(tif, 0));
  TIFFClose(tif);
}

INSTANTIATE_TEST_SUITE_P(Files, DirectoryChainOf, ::testing::Values("wl", "wb", "w8l", "w8b"));

}  // namespace
