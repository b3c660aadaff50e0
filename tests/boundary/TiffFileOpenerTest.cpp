// Files are opened with libtiff's allocation limit in force.
#include <gtest/gtest.h>

#include "boundary/TiffFileOpener.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex::TiffFileOpener;

// TIFFReadBufferSetup allocates its buffer through the handle, so it is refused above the
// handle's limit.
TEST(TiffFileOpener, LibtiffAllocationsAreLimited) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("small.tif");
  orvex_test::TiffSpec tiffSpec;
  orvex_test::writeTiff(path, tiffSpec, orvex_test::patternImage(tiffSpec));
  TIFF* tif = TiffFileOpener::open(path.c_str(), "rCm");
  ASSERT_NE(tif, nullptr);

  EXPECT_EQ(TIFFReadBufferSetup(tif, nullptr, TiffFileOpener::kMaxLibtiffAllocation + 1), 0);
  EXPECT_EQ(TIFFReadBufferSetup(tif, nullptr, 1 << 20), 1);

  TIFFClose(tif);
}

}  // namespace
