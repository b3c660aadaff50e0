// Block reads through the C interface give the bytes of the scanline calls, laid one scanline
// after the other at the host's stride, for every layout: the files of tests/data and
// generated pages of several orientations, depths, layouts and codecs (among them ThunderScan
// strips, whose decoder leaves bytes unwritten). The bytes between scanlines are the host's:
// they are filled with a pattern first and must keep it, so a byte nobody wrote shows too.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "orvex/orvex_c.h"
#include "support/TempDir.h"
#include "support/TiffBytes.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_test::TiffSetup;
using Scanlines = std::vector<std::vector<uint8_t>>;

constexpr uint8_t kHostPattern = 0xA5;
constexpr int kEverySample = -1;

// Every scanline of the current page in one form, as the scanline calls deliver it.
Scanlines scanlineCalls(orvex_reader* reader, int channel, uint32_t count) {
  Scanlines lines;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    const orvex_status status = channel == kEverySample
                                    ? orvex_reader_read_scanline(reader, i, &data, &size)
                                    : orvex_reader_read_channel_scanline(
                                          reader, static_cast<uint32_t>(channel), i, &data, &size);
    if (status != ORVEX_STATUS_OK) break;
    lines.emplace_back(data, data + size);
  }
  return lines;
}

orvex_status readBlock(orvex_reader* reader, int channel, uint32_t first, uint32_t count,
                       std::vector<uint8_t>& buffer, uint64_t stride) {
  return channel == kEverySample
             ? orvex_reader_read_scanlines(reader, first, count, buffer.data(), stride,
                                           buffer.size())
             : orvex_reader_read_channel_scanlines(reader, static_cast<uint32_t>(channel), first,
                                                   count, buffer.data(), stride, buffer.size());
}

// Ranges and strides: the whole page, one scanline at each end, and a run across strip and
// tile edges, each at the exact stride and at a longer one.
void expectBlocksMatch(orvex_reader* reader, int channel, const Scanlines& expected,
                       uint32_t scanlineSize) {
  const auto count = static_cast<uint32_t>(expected.size());
  std::vector<std::array<uint32_t, 2>> ranges = {{0, count}, {0, 1}, {count - 1, 1}};
  if (count > 8) ranges.push_back({3, count - 8});
  for (const auto& range : ranges) {
    for (const uint64_t stride : {uint64_t{scanlineSize}, uint64_t{scanlineSize} + 7}) {
      SCOPED_TRACE("scanlines " + std::to_string(range[0]) + " + " + std::to_string(range[1]) +
                   ", stride " + std::to_string(stride));
      std::vector<uint8_t> buffer((range[1] - 1) * stride + scanlineSize, kHostPattern);
      ASSERT_EQ(readBlock(reader, channel, range[0], range[1], buffer, stride), ORVEX_STATUS_OK);
      for (uint32_t i = 0; i < range[1]; ++i) {
        const auto at = buffer.begin() + static_cast<std::ptrdiff_t>(i * stride);
        ASSERT_TRUE(std::equal(expected[range[0] + i].begin(), expected[range[0] + i].end(), at))
            << "scanline " << range[0] + i;
        const auto gapEnd =
            i + 1 < range[1] ? at + static_cast<std::ptrdiff_t>(stride) : buffer.end();
        ASSERT_TRUE(
            std::all_of(at + scanlineSize, gapEnd, [](uint8_t b) { return b == kHostPattern; }))
            << "gap after scanline " << range[0] + i;
      }
    }
  }
}

void expectEveryPageReadsInBlocks(const std::string& path) {
  orvex_reader* reader = nullptr;
  ASSERT_EQ(orvex_reader_open(path.c_str(), &reader), ORVEX_STATUS_OK);
  uint32_t pages = 0;
  orvex_reader_page_count(reader, &pages);
  for (uint32_t page = 0; page < pages; ++page) {
    SCOPED_TRACE(path + " page " + std::to_string(page));
    if (orvex_reader_select_page(reader, page) != ORVEX_STATUS_OK) continue;
    orvex_page_info info{};
    info.struct_size = sizeof info;
    orvex_reader_page_info(reader, &info);
    for (int channel = kEverySample; channel < info.samples_per_pixel; ++channel) {
      const Scanlines expected = scanlineCalls(reader, channel, info.scanline_count);
      if (expected.size() != info.scanline_count) continue;  // a damaged page, tested below
      expectBlocksMatch(reader, channel, expected,
                        channel == kEverySample ? info.scanline_size : info.channel_scanline_size);
    }
  }
  orvex_reader_destroy(reader);
}

// 21 x 18 pages in strips of 4 rows (the last strip holds 2) or 16-pixel tiles.
TiffSetup generated(uint16_t orientation, uint16_t bits, uint16_t planar, uint16_t compression,
                    bool tiled) {
  TiffSetup setup;
  setup.width = 21;
  setup.height = 18;
  setup.orientation = orientation;
  setup.bitsPerSample = bits;
  setup.planar = planar;
  setup.compression = compression;
  setup.samplesPerPixel = bits < 8 && planar == PLANARCONFIG_CONTIG ? 1 : 3;
  setup.photometric = setup.samplesPerPixel == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  setup.rowsPerStrip = tiled ? 0 : 4;
  setup.tileWidth = setup.tileLength = tiled ? 16 : 0;
  return setup;
}

// Little- and big-endian files: wide samples of the latter are swapped as they are read.
TEST(BlockReads, GiveTheScanlineCallsBytesForEveryGeneratedLayout) {
  for (const char* mode : {"w", "wb"}) {
    orvex_test::TempDir temp;
    const std::string path = temp.file("layouts.tif");
    {
      orvex_test::TiffFileBuilder builder(path, mode);
      for (const uint16_t compression :
           {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS,
            COMPRESSION_ZSTD}) {
        if (TIFFIsCODECConfigured(compression) == 0) continue;
        for (const uint16_t orientation : {1, 3, 6}) {
          for (const uint16_t bits : {1, 8, 16}) {
            for (const uint16_t planar : {PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE}) {
              for (const bool tiled : {false, true}) {
                const TiffSetup setup = generated(orientation, bits, planar, compression, tiled);
                builder.addDirectory(setup,
                                     orvex_test::patternImage(setup, static_cast<uint8_t>(bits)));
              }
            }
          }
        }
      }
      TiffSetup palette = generated(1, 8, PLANARCONFIG_CONTIG, COMPRESSION_LZW, false);
      palette.samplesPerPixel = 1;
      palette.photometric = PHOTOMETRIC_PALETTE;
      for (size_t i = 0; i < 3 * 256; ++i)
        palette.colorMap.push_back(static_cast<uint16_t>(i * 85));
      builder.addDirectory(palette, orvex_test::patternImage(palette));
      TiffSetup ycbcr = generated(1, 8, PLANARCONFIG_CONTIG, COMPRESSION_NONE, false);
      ycbcr.photometric = PHOTOMETRIC_YCBCR;
      ycbcr.ycbcrSubsampling = std::make_pair(1, 1);
      builder.addDirectory(ycbcr, orvex_test::patternImage(ycbcr));
      // ThunderScan: each row a pixel of 5, then a run to the row's end that the decoder counts
      // without writing; strips of 4 rows, after strips of pixels of 15.
      TiffSetup thunder = generated(1, 4, PLANARCONFIG_CONTIG, COMPRESSION_THUNDERSCAN, false);
      thunder.width = 8;
      for (uint32_t strip = 0; strip < 5; ++strip) {
        thunder.rawBlocks.emplace_back();
        for (uint32_t row = 0; row < std::min(4U, thunder.height - 4 * strip); ++row) {
          auto& block = thunder.rawBlocks.back();
          if (strip % 2 == 0) {
            block.insert(block.end(), thunder.width, 0xCF);
          } else {
            block.insert(block.end(), {0xC5, static_cast<uint8_t>(thunder.width - 1)});
          }
        }
      }
      builder.addDirectory(thunder, {});
    }
    expectEveryPageReadsInBlocks(path);
  }
}

TEST(BlockReads, GiveTheScanlineCallsBytesForEveryTestDataFile) {
  for (const char* folder : {"libtiff", "pillow"}) {
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::u8path(orvex_test::testDataFile(folder)))) {
      expectEveryPageReadsInBlocks(file.path().u8string());
    }
  }
}

// A strip that cannot be decoded fails the block with the reason the scanline call gives, and
// the scanlines before it are in the buffer: LZW and uncompressed strips moved far beyond the
// end of the file, and uncompressed ones that the file ends in.
struct Damage {
  uint16_t compression;
  bool cutShort;
};

class DamagedBlockReads : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedBlockReads, StopAtTheDamagedStripWithTheScanlineCallsReason) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("damaged.tif");
  const TiffSetup setup = generated(1, 8, PLANARCONFIG_CONTIG, GetParam().compression, false);
  orvex_test::writeTiff(path, setup, orvex_test::patternImage(setup));
  // Cut short: strips 2 and 3 follow each other but begin 5 bytes before the end of the file.
  const uint64_t offset = GetParam().cutShort
                              ? std::filesystem::file_size(std::filesystem::u8path(path)) - 5
                              : 0x7FFFFF00;
  orvex_test::setArrayValue(path, 0, TIFFTAG_STRIPOFFSETS, 2, offset);
  orvex_test::setArrayValue(path, 0, TIFFTAG_STRIPOFFSETS, 3, offset + 4 * 21 * 3);
  orvex_reader* reader = nullptr;
  ASSERT_EQ(orvex_reader_open(path.c_str(), &reader), ORVEX_STATUS_OK);
  ASSERT_EQ(orvex_reader_select_page(reader, 0), ORVEX_STATUS_OK);
  const Scanlines expected = scanlineCalls(reader, kEverySample, setup.height);
  ASSERT_EQ(expected.size(), 8U);
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  const std::string scanlineReason = reason;
  const uint64_t size = expected[0].size();
  std::vector<uint8_t> buffer(size * setup.height, kHostPattern);
  EXPECT_EQ(readBlock(reader, kEverySample, 0, setup.height, buffer, size),
            ORVEX_STATUS_DAMAGED_DATA);
  orvex_last_failure(&reason);
  EXPECT_EQ(reason, scanlineReason);
  for (uint32_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(std::equal(expected[i].begin(), expected[i].end(), buffer.begin() + i * size)) << i;
  }
  orvex_reader_destroy(reader);
}

INSTANTIATE_TEST_SUITE_P(Strips, DamagedBlockReads,
                         ::testing::Values(Damage{COMPRESSION_LZW, false},
                                           Damage{COMPRESSION_NONE, false},
                                           Damage{COMPRESSION_NONE, true}));

}  // namespace
