// Every file of tests/data and a few generated ones read through the C interface: the story
// it tells (pages, descriptions, channel records, the bytes of every scanline in both forms, the
// reason of every failure, block reads that do not give the scanline calls' bytes) is kept in
// tests/data/transcripts/capi; the C++ reader's scanlines are held to the reference decoder by
// the host tests. Then the ways a host can misuse a reader.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Calls.h"
#include "orvex/orvex.h"
#include "orvex/orvex_c.h"
#include "support/TempDir.h"
#include "support/TiffBytes.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

uint64_t fnv1a(const uint8_t* data, size_t size) {
  uint64_t hash = 14695981039346656037ULL;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ULL;
  return hash;
}

// The bytes of one form of a page's scanlines, and the reads that failed: runs of scanlines
// that failed for the same reason.
struct Form {
  struct Failure {
    uint32_t first;
    uint32_t last;
    std::string reason;
  };
  std::string name;
  std::vector<uint8_t> bytes;
  uint32_t count = 0;
  std::vector<Failure> failures;

  void read(orvex_status status, uint32_t row, const uint8_t* data, uint32_t size) {
    if (status == ORVEX_STATUS_OK) {
      bytes.insert(bytes.end(), data, data + size);
      ++count;
    } else if (failures.empty() || failures.back().last + 1 != row ||
               failures.back().reason != reasonOf(status)) {
      failures.push_back({row, row, reasonOf(status)});
    } else {
      failures.back().last = row;
    }
  }

  std::string told() const {
    char text[64];
    std::snprintf(text, sizeof text, " %u scanlines, %zu bytes %016llx", count, bytes.size(),
                  static_cast<unsigned long long>(fnv1a(bytes.data(), bytes.size())));
    std::string line = name + (bytes.size() > 64 ? text : ":");
    for (size_t i = 0; bytes.size() <= 64 && i < bytes.size(); ++i) {
      std::snprintf(text, sizeof text, " %02x", bytes[i]);
      line += text;
    }
    for (const Failure& f : failures) {
      line += "\nscanlines " + std::to_string(f.first) + " to " + std::to_string(f.last) +
              " failed: " + f.reason;
    }
    return line + "\n";
  }
};

class CStory {
public:
  explicit CStory(const std::string& path) {
    if (!call(orvex_reader_open(path.c_str(), &reader_), "open")) return;
    uint32_t pages = 0;
    orvex_reader_page_count(reader_, &pages);
    for (uint32_t page = 0; page < pages; ++page) {
      if (call(orvex_reader_select_page(reader_, page), "page " + std::to_string(page))) {
        tellPage(page);
      }
    }
  }
  ~CStory() { orvex_reader_destroy(reader_); }
  std::string story;

private:
  bool call(orvex_status status, const std::string& what) {
    if (status != ORVEX_STATUS_OK) story += what + " failed: " + reasonOf(status) + "\n";
    return status == ORVEX_STATUS_OK;
  }

  void tellPage(uint32_t page) {
    orvex_page_info c{};
    c.struct_size = sizeof c;
    ASSERT_EQ(orvex_reader_page_info(reader_, &c), ORVEX_STATUS_OK);
    char text[300];
    std::snprintf(text, sizeof text,
                  "page %u: %ux%u, %u scanlines of %u (channel %u) bytes, rows %d, %u bits, "
                  "%u/%u samples, format %d, photometric %d, planar %d, %u rows a block, "
                  "%g x %g unit %d, icc %u bytes %016llx\n",
                  page, c.width, c.height, c.scanline_count, c.scanline_size,
                  c.channel_scanline_size, c.scanlines_are_rows, c.bits_per_sample,
                  c.samples_per_pixel, c.extra_samples, c.sample_format, c.photometric, c.planar,
                  c.rows_per_block, static_cast<double>(c.x_resolution),
                  static_cast<double>(c.y_resolution), c.resolution_unit, c.icc_profile_size,
                  static_cast<unsigned long long>(fnv1a(c.icc_profile, c.icc_profile_size)));
    story += text;
    for (uint32_t i = 0; i < c.extra_samples; ++i) {
      orvex_channel channel{};
      channel.struct_size = sizeof channel;
      if (call(orvex_reader_channel(reader_, i, &channel), "channel")) {
        story += "channel " + std::to_string(channel.kind) + " '" +
                 std::string(channel.name, channel.name_size) + "'\n";
      }
    }
    // Each scanline of every sample, then of each channel, as hosts read them.
    std::vector<Form> forms(c.samples_per_pixel + 1U);
    forms[0].name = "all";
    for (size_t i = 1; i < forms.size(); ++i) forms[i].name = "channel " + std::to_string(i - 1);
    for (uint32_t row = 0; row < c.scanline_count; ++row) {
      for (uint32_t form = 0; form < forms.size(); ++form) {
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        const orvex_status status =
            form == 0 ? orvex_reader_read_scanline(reader_, row, &data, &size)
                      : orvex_reader_read_channel_scanline(reader_, form - 1, row, &data, &size);
        forms[form].read(status, row, data, size);
      }
    }
    for (uint32_t form = 0; form < forms.size() && c.scanline_count > 0; ++form) {
      story += forms[form].told() +
               blockReads(form, forms[form], form == 0 ? c.scanline_size : c.channel_scanline_size,
                          c.scanline_count);
    }
  }

  // Block reads give the scanline calls' bytes one after the other at the host's stride, and
  // leave the bytes between them as the host filled them: the whole page, one scanline at each
  // end and a run across strip and tile edges, at the exact stride and at a longer one. Of a
  // page whose scanlines fail, the whole: it fails, after the scanlines before the first failure.
  // Only a block that fails or differs is told.
  std::string blockReads(uint32_t form, const Form& f, uint32_t size, uint32_t count) {
    constexpr uint8_t kHostPattern = 0xA5;
    std::vector<std::pair<uint32_t, uint32_t>> ranges = {{0, count}};
    if (f.failures.empty()) ranges.insert(ranges.end(), {{0, 1}, {count - 1, 1}});
    if (f.failures.empty() && count > 8) ranges.emplace_back(3, count - 8);
    std::string told;
    for (const auto& [first, n] : ranges) {
      for (const uint64_t stride : {uint64_t{size}, uint64_t{size} + 7}) {
        std::vector<uint8_t> buffer((n - 1) * stride + size, kHostPattern);
        const orvex_status status =
            form == 0 ? orvex_reader_read_scanlines(reader_, first, n, buffer.data(), stride,
                                                    buffer.size())
                      : orvex_reader_read_channel_scanlines(reader_, form - 1, first, n,
                                                            buffer.data(), stride, buffer.size());
        bool same = true;
        for (uint32_t i = 0; i < (f.failures.empty() ? n : f.failures[0].first); ++i) {
          const auto at = buffer.begin() + static_cast<std::ptrdiff_t>(i * stride);
          same = same && std::equal(at, at + size, f.bytes.begin() + (first + i) * size) &&
                 std::all_of(at + size,
                             i + 1 < n ? at + static_cast<std::ptrdiff_t>(stride) : buffer.end(),
                             [](uint8_t b) { return b == kHostPattern; });
        }
        if (status != ORVEX_STATUS_OK || !same) {
          told += "block of " + f.name + ", " + std::to_string(first) + " + " + std::to_string(n) +
                  " at stride " + std::to_string(stride) + ":" +
                  (status == ORVEX_STATUS_OK ? "" : " failed: " + reasonOf(status)) +
                  (same ? "\n" : ", differs\n");
        }
      }
    }
    return told;
  }

  orvex_reader* reader_ = nullptr;
};

// What the C interface tells of a file, as text a transcript keeps: the pages, each with every
// field of its description and its channel records, then the bytes of every scanline in both
// forms (in hex when a form holds at most 64 bytes, else their count and checksum), and the
// reason of every call that failed.
std::string pageStoryOf(const std::string& path) {
  return CStory(path).story;
}

TEST(ReadThroughC, EveryTestDataFileTellsItsStory) {
  std::string stories;
  for (const char* folder : {"libtiff", "pillow", "hostile"}) {
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::u8path(orvex_test::testDataFile(folder)))) {
      names.push_back(file.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      const std::string path = std::string(folder) + "/" + name;
      stories += "# " + path + "\n" + pageStoryOf(orvex_test::testDataFile(path));
    }
  }
  orvex_test::expectTranscript(
      "capi/data_files.txt",
      orvex_test::replaced(stories, {{orvex_test::testDataFile(""), "DATA/"}}));
}

// A name beyond U+FFFF the library wrote itself, joined again; the YCbCr alpha without a record;
// samples the reader cannot split; a file that is not there and one that is no TIFF; strips that
// cannot be read.
TEST(ReadThroughC, GeneratedFilesTellTheirStory) {
  orvex_test::TempDir temp;
  const std::string named = temp.file("named.tif");
  TiffImageInfo info;
  info.width = 3;
  info.height = 2;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 2;
  info.extraSamples = 1;
  info.channels = {{TiffChannelType::SpotColor, "Gold \xF0\x9F\x98\x80"}};
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::MinIsBlack;
  ITiffWriter* writer = createTiffWriter();
  ASSERT_TRUE(writer->begin(named.c_str(), info, 1));
  const uint8_t row[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_TRUE(writer->writeScanline(0, row, 6) && writer->writeScanline(1, row, 6));
  writer->end();
  destroyTiffWriter(writer);
  orvex_test::TiffSetup ycbcr;
  ycbcr.width = ycbcr.height = 8;
  ycbcr.samplesPerPixel = 3;
  ycbcr.photometric = PHOTOMETRIC_YCBCR;
  ycbcr.ycbcrSubsampling = std::make_pair<uint16_t, uint16_t>(1, 1);
  ycbcr.photoshop = orvex_test::photoshopTagOf(named);  // names a channel beyond U+FFFF
  orvex_test::writeTiff(temp.file("ycbcr.tif"), ycbcr, orvex_test::patternImage(ycbcr));
  orvex_test::TiffSetup twelve;  // split into channels, its rows throw std::out_of_range
  twelve.bitsPerSample = 12;
  twelve.samplesPerPixel = 2;
  twelve.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  orvex_test::writeTiff(temp.file("twelve.tif"), twelve, orvex_test::patternImage(twelve));
  std::fclose(std::fopen(temp.file("empty.tif").c_str(), "w"));
  // RGB strips of 4 rows, strips 2 and 3 moved far beyond the end of the file or to 5 bytes
  // before it, so that the file ends in them.
  for (const char* name : {"lzw_far.tif", "far.tif", "cut.tif"}) {
    orvex_test::TiffSetup damaged;
    damaged.width = 21;
    damaged.height = 18;
    damaged.samplesPerPixel = 3;
    damaged.photometric = PHOTOMETRIC_RGB;
    damaged.rowsPerStrip = 4;
    damaged.compression = name[0] == 'l' ? COMPRESSION_LZW : COMPRESSION_NONE;
    const std::string path = temp.file(name);
    orvex_test::writeTiff(path, damaged, orvex_test::patternImage(damaged));
    const uint64_t offset =
        name[0] == 'c' ? std::filesystem::file_size(std::filesystem::u8path(path)) - 5 : 0x7FFFFF00;
    orvex_test::setArrayValue(path, 0, TIFFTAG_STRIPOFFSETS, 2, offset);
    orvex_test::setArrayValue(path, 0, TIFFTAG_STRIPOFFSETS, 3, offset + 4 * 21 * 3);
  }
  std::string stories;
  for (const char* name : {"named.tif", "ycbcr.tif", "twelve.tif", "missing.tif", "empty.tif",
                           "lzw_far.tif", "far.tif", "cut.tif"}) {
    stories += std::string("# ") + name + "\n" + pageStoryOf(temp.file(name));
  }
  orvex_test::expectTranscript("capi/generated.txt",
                               orvex_test::replaced(stories, {{temp.file(""), "TMP/"}}));
}

using orvex_test::TiffSetup;

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

// Block reads give the scanline calls' bytes for pages of several orientations, depths, layouts
// and codecs (among them ThunderScan strips, whose decoder leaves bytes unwritten), in little-
// and big-endian files: wide samples of the latter are swapped as they are read. (Palettes and
// YCbCr are read in blocks with the data files and the generated ones above.)
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
    const std::string story = pageStoryOf(path);
    EXPECT_EQ(story.find("\nblock of"), std::string::npos) << story;
  }
}

struct ReaderMisuse {
  const char* what;
  std::function<orvex_status(orvex_reader*)> call;
};

// Each way a host can misuse a reader gives its status and a reason naming the mistake
// (tests/data/transcripts/capi/reader_misuses.txt).
TEST(ReadThroughC, MisusesGiveTheirStatusAndReason) {
  const std::string file = orvex_test::testDataFile("libtiff/minisblack-2c-8b-alpha.tiff");
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  orvex_channel channel{};
  channel.struct_size = sizeof channel;
  orvex_reader* other = nullptr;
  uint8_t block[640];
  const ReaderMisuse misuses[] = {
      {"read before a page",
       [&](orvex_reader* r) { return orvex_reader_read_scanline(r, 0, &data, &size); }},
      {"channel before a page",
       [&](orvex_reader* r) { return orvex_reader_channel(r, 0, &channel); }},
      {"page beyond the last", [](orvex_reader* r) { return orvex_reader_select_page(r, 1); }},
      {"channel beyond the samples",
       [&](orvex_reader* r) {
         orvex_reader_select_page(r, 0);
         return orvex_reader_read_channel_scanline(r, 2, 0, &data, &size);
       }},
      {"scanline beyond the last",
       [&](orvex_reader* r) { return orvex_reader_read_scanline(r, 64, &data, &size); }},
      {"extra channel beyond the extra samples",
       [&](orvex_reader* r) { return orvex_reader_channel(r, 1, &channel); }},
      {"block past the last scanline",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 60, 5, block, 128, 640); }},
      {"block stride shorter than a scanline",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 0, 2, block, 127, 640); }},
      {"block buffer one byte short",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 0, 5, block, 128, 639); }},
      {"block of a channel into no buffer",
       [&](orvex_reader* r) {
         return orvex_reader_read_channel_scanlines(r, 1, 0, 1, nullptr, 64, 64);
       }},
      {"empty path", [&](orvex_reader*) { return orvex_reader_open("", &other); }},
      {"path not UTF-8", [&](orvex_reader*) { return orvex_reader_open("\xFF.tif", &other); }},
      {"no handle", [&](orvex_reader*) { return orvex_reader_select_page(nullptr, 0); }},
  };
  orvex_reader* reader = nullptr;
  ASSERT_EQ(orvex_reader_open(file.c_str(), &reader), ORVEX_STATUS_OK);
  std::string text;
  for (const ReaderMisuse& misuse : misuses) {
    text += std::string(misuse.what) + ": " + reasonOf(misuse.call(reader)) + "\n";
  }
  orvex_test::expectTranscript("capi/reader_misuses.txt", text);
  EXPECT_EQ(other, nullptr);
  orvex_reader_destroy(reader);
}

}  // namespace
