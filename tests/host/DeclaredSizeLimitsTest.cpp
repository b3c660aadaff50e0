// Sizes a file declares never make the reader allocate beyond its caps: such directories are
// refused with the allocation-failure lines before anything big is allocated.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "HostReader.h"
#include "support/LogCapture.h"
#include "support/PeakMemory.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_host_test::makeReader;
using orvex_test::LogCapture;
using orvex_test::peakResidentBytes;
using orvex_test::TempDir;

constexpr int kError = 4;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr int64_t kMiB = int64_t{1} << 20;

struct Entry {
  uint16_t tag;
  uint16_t type;
  std::vector<uint32_t> values;
};

// A classic little-endian TIFF with one directory holding exactly `entries` (sorted by
// tag) and a few bytes of image data that the offsets tags point at: a directory libtiff
// accepts while its sizes describe an image far larger than the file.
class HandMadeTiff {
public:
  static constexpr uint32_t kDataOffset = 8;
  static constexpr uint32_t kDataBytes = 16;

  static void write(const std::string& path, const std::vector<Entry>& entries) {
    std::vector<uint8_t> bytes = {'I', 'I', 42, 0};
    const uint32_t ifdOffset = kDataOffset + kDataBytes;
    put32(bytes, ifdOffset);
    bytes.resize(ifdOffset, 0x5A);
    uint32_t arrayOffset = ifdOffset + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    std::vector<uint8_t> arrays;
    put16(bytes, static_cast<uint16_t>(entries.size()));
    for (const Entry& entry : entries) {
      put16(bytes, entry.tag);
      put16(bytes, entry.type);
      put32(bytes, static_cast<uint32_t>(entry.values.size()));
      std::vector<uint8_t> data;
      for (uint32_t value : entry.values) {
        entry.type == kShort ? put16(data, static_cast<uint16_t>(value)) : put32(data, value);
      }
      if (data.size() <= 4) {
        data.resize(4, 0);
        bytes.insert(bytes.end(), data.begin(), data.end());
      } else {
        put32(bytes, arrayOffset + static_cast<uint32_t>(arrays.size()));
        arrays.insert(arrays.end(), data.begin(), data.end());
      }
    }
    put32(bytes, 0);
    bytes.insert(bytes.end(), arrays.begin(), arrays.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }

private:
  static void put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
  }
  static void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value));
    put16(out, static_cast<uint16_t>(value >> 16));
  }
};

// Every plane's strips or tiles point at the same few bytes.
std::vector<uint32_t> repeated(uint32_t value, size_t count) {
  return std::vector<uint32_t>(count, value);
}

struct DeclaredImage {
  const char* name;
  uint32_t width;
  uint32_t length;
  uint16_t samplesPerPixel;
  uint16_t planar;
  uint32_t rowsPerStrip;  ///< 0: tiled
  uint32_t tileSide;
};

std::vector<Entry> entriesOf(const DeclaredImage& image) {
  const bool tiled = image.rowsPerStrip == 0;
  const size_t blocks = image.planar == PLANARCONFIG_SEPARATE ? image.samplesPerPixel : 1;
  std::vector<Entry> entries = {
      {TIFFTAG_IMAGEWIDTH, kLong, {image.width}},
      {TIFFTAG_IMAGELENGTH, kLong, {image.length}},
      {TIFFTAG_BITSPERSAMPLE, kShort, {8}},
      {TIFFTAG_COMPRESSION, kShort, {COMPRESSION_NONE}},
      {TIFFTAG_PHOTOMETRIC, kShort, {PHOTOMETRIC_MINISBLACK}},
  };
  if (!tiled) {
    entries.push_back({TIFFTAG_STRIPOFFSETS, kLong, repeated(HandMadeTiff::kDataOffset, blocks)});
  }
  entries.push_back({TIFFTAG_SAMPLESPERPIXEL, kShort, {image.samplesPerPixel}});
  if (!tiled) {
    entries.push_back({TIFFTAG_ROWSPERSTRIP, kLong, {image.rowsPerStrip}});
    entries.push_back({TIFFTAG_STRIPBYTECOUNTS, kLong, repeated(HandMadeTiff::kDataBytes, blocks)});
  }
  entries.push_back({TIFFTAG_PLANARCONFIG, kShort, {image.planar}});
  if (tiled) {
    entries.push_back({TIFFTAG_TILEWIDTH, kLong, {image.tileSide}});
    entries.push_back({TIFFTAG_TILELENGTH, kLong, {image.tileSide}});
    const uint64_t across = (uint64_t{image.width} + image.tileSide - 1) / image.tileSide;
    const uint64_t down = (uint64_t{image.length} + image.tileSide - 1) / image.tileSide;
    const size_t tiles = blocks * across * down;
    entries.push_back({TIFFTAG_TILEOFFSETS, kLong, repeated(HandMadeTiff::kDataOffset, tiles)});
    entries.push_back({TIFFTAG_TILEBYTECOUNTS, kLong, repeated(HandMadeTiff::kDataBytes, tiles)});
  }
  return entries;
}

class DeclaredCacheSize : public ::testing::TestWithParam<DeclaredImage> {
protected:
  TempDir temp_;
};

TEST_P(DeclaredCacheSize, IsRefusedBeforeAllocating) {
  const std::string path = temp_.file(std::string(GetParam().name) + ".tif");
  HandMadeTiff::write(path, entriesOf(GetParam()));
  auto reader = makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  LogCapture capture;
  const int64_t peakBefore = peakResidentBytes();

  EXPECT_FALSE(reader->beginReadSubDir(0));

  EXPECT_TRUE(
      capture.contains(kError, "[TiffLineReaderBase::beginRead] cacheArray_ alloc failed!"));
  EXPECT_LT(peakResidentBytes() - peakBefore, 64 * kMiB);
  reader->end();
}

INSTANTIATE_TEST_SUITE_P(
    HostileFiles, DeclaredCacheSize,
    ::testing::Values(
        // One 4 GiB strip of a single row.
        DeclaredImage{"strip_4GiB_wide", 0xFFFFFFF0u, 1, 1, PLANARCONFIG_CONTIG, 1, 0},
        // One 4 GiB tile.
        DeclaredImage{"tile_4GiB", 65536, 65536, 1, PLANARCONFIG_CONTIG, 0, 65536},
        // 32768 tiles of 64 KiB across one row: 2 GiB together.
        DeclaredImage{"tiles_2GiB_across", 1u << 23, 256, 1, PLANARCONFIG_CONTIG, 0, 256},
        // 5000 planes of 256 KiB strips: 1.2 GiB together.
        DeclaredImage{"planes_1200MiB", 65536, 4, 5000, PLANARCONFIG_SEPARATE, 4, 0}),
    [](const ::testing::TestParamInfo<DeclaredImage>& param) { return param.param.name; });

// The cache holds the 1-bit row packed, 37.5 MB; unpacked to a byte per pixel inside the
// library it would take 300 MB, beyond what one row may take.
TEST(DeclaredRowSize, UnpackedRowBeyondTheCapFailsTheRead) {
  TempDir temp;
  const std::string path = temp.file("row_300M_pixels.tif");
  orvex_test::TiffSpec tiffSpec;
  tiffSpec.width = 300000000;
  tiffSpec.height = 1;
  tiffSpec.bitsPerSample = 1;
  tiffSpec.compression = COMPRESSION_ADOBE_DEFLATE;
  orvex_test::writeTiff(path, tiffSpec, std::vector<uint8_t>(tiffSpec.width / 8, 0));
  auto reader = makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  ASSERT_TRUE(reader->beginReadSubDir(0));
  LogCapture capture;
  const int64_t peakBefore = peakResidentBytes();

  EXPECT_FALSE(reader->readScanline(0, nullptr, nullptr));

  EXPECT_EQ(capture.textsAt(kError),
            (std::vector<std::string>{
                "[TiffLineAdjuster::initContigScanlineBuffer] contigScanlineBuffer_ memory alloc "
                "failed!",
                "[TiffLineAdjuster::readScanline_fromContigStripData] initContigScanlineBuffer "
                "failed!"}));
  EXPECT_LT(peakResidentBytes() - peakBefore, 128 * kMiB);
  reader->end();
}

}  // namespace
