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
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "Calls.h"
#include "orvex/orvex_c.h"
#include "support/ImageWords.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

namespace {

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
    std::snprintf(text, sizeof text, " %u scanlines, %zu bytes %s", count, bytes.size(),
                  orvex_test::fnv1a(bytes).c_str());
    std::string line = name + (bytes.size() > 64 ? text : ":" + orvex_test::hexOf(bytes));
    for (const Failure& f : failures) {
      line += "\nscanlines " + std::to_string(f.first) + " to " + std::to_string(f.last) +
              " failed: " + f.reason;
    }
    return line + "\n";
  }
};

// What the C interface tells of a file, as text a transcript keeps: the pages, each with every
// field of its description and its channel records, then the bytes of every scanline in both
// forms (in hex when a form holds at most 64 bytes, else their count and checksum), and the
// reason of every call that failed.
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
    const std::vector<uint8_t> icc(c.icc_profile, c.icc_profile + c.icc_profile_size);
    char text[300];
    std::snprintf(text, sizeof text,
                  "page %u: %ux%u, %u scanlines of %u (channel %u) bytes, rows %d, %u bits, "
                  "%u/%u samples, format %d, photometric %d, planar %d, %u rows a block, "
                  "%g x %g unit %d, icc %u bytes %s\n",
                  page, c.width, c.height, c.scanline_count, c.scanline_size,
                  c.channel_scanline_size, c.scanlines_are_rows, c.bits_per_sample,
                  c.samples_per_pixel, c.extra_samples, c.sample_format, c.photometric, c.planar,
                  c.rows_per_block, static_cast<double>(c.x_resolution),
                  static_cast<double>(c.y_resolution), c.resolution_unit, c.icc_profile_size,
                  orvex_test::fnv1a(icc).c_str());
    story += text;
    for (uint32_t i = 0; i < c.extra_samples; ++i) {
      orvex_channel channel = channelOf("0");
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

TEST(ReadThroughC, EveryTestDataFileTellsItsStory) {
  std::string stories;
  for (const char* folder : {"libtiff", "pillow", "hostile"}) {
    std::set<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::u8path(orvex_test::testDataFile(folder)))) {
      names.insert(file.path().filename().u8string());
    }
    for (const std::string& name : names) {
      const std::string path = std::string(folder) + "/" + name;
      stories += "# " + path + "\n" + CStory(orvex_test::testDataFile(path)).story;
    }
  }
  orvex_test::expectTranscript(
      "capi/data_files.txt",
      orvex_test::replaced(stories, {{orvex_test::testDataFile(""), "DATA/"}}));
}

// A name beyond U+FFFF the library wrote itself, joined again; the YCbCr alpha without a record;
// samples the reader cannot split; a file that is not there and one that is no TIFF; strips and
// tiles that cannot be read. The files are the transcript's "## " lines but an empty file.
TEST(ReadThroughC, GeneratedFilesTellTheirStory) {
  orvex_test::TempDir temp;
  std::ifstream transcript(
      std::filesystem::u8path(orvex_test::testDataFile("transcripts/capi/generated.txt")));
  std::string stories;
  for (std::string line; std::getline(transcript, line) && line.rfind("## ", 0) == 0;) {
    orvex_test::writeImageWords(temp.file(line.substr(3, line.find(':') - 3)),
                                line.substr(line.find(':') + 2));
    stories += line + "\n";
  }
  std::fclose(std::fopen(temp.file("empty.tif").c_str(), "w"));
  for (const char* name : {"named.tif", "ycbcr.tif", "twelve.tif", "missing.tif", "empty.tif",
                           "lzw_far.tif", "far.tif", "cut.tif", "far_tiles.tif"}) {
    stories += std::string("# ") + name + "\n" + CStory(temp.file(name)).story;
  }
  orvex_test::expectTranscript("capi/generated.txt",
                               orvex_test::replaced(stories, {{temp.file(""), "TMP/"}}));
}

// Block reads give the scanline calls' bytes for 21 x 18 pages of several orientations, depths,
// layouts (strips of 4 rows, the last holding 2, or 16-pixel tiles) and codecs (among them
// ThunderScan strips, whose decoder leaves bytes unwritten), in little- and big-endian files:
// wide samples of the latter are swapped as they are read. (Palettes and YCbCr are read in
// blocks with the data files and the generated ones above.)
TEST(BlockReads, GiveTheScanlineCallsBytesForEveryGeneratedLayout) {
  std::string words;
  for (const int compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE,
                                COMPRESSION_PACKBITS, COMPRESSION_ZSTD}) {
    if (TIFFIsCODECConfigured(static_cast<uint16_t>(compression)) == 0) continue;
    for (const char* orientation : {" o1", " o3", " o6"}) {
      for (const char* depth : {" b1 e1", " b8 e8 s3 p2", " b16 e16 s3 p2"}) {
        for (const char* planes : {"", " l2 s3 p2"}) {
          for (const char* blocks : {" r4", " t16"}) {
            words += " | w21 h18 z" + std::to_string(compression) + orientation + depth + planes +
                     blocks;
          }
        }
      }
    }
  }
  // ThunderScan strips of 4 rows (the last of 2): rows of 8 pixels of 15, or a pixel of 5 then a
  // run to the row's end that the decoder counts without writing.
  const std::string f = "cfcfcfcfcfcfcfcf";
  const std::string run = "c507c507c507c507";
  words += " | w8 h18 b4 r4 z32809 B" + f + f + f + f + " B" + run + " B" + f + f + f + f + " B" +
           run + " B" + f + f;
  for (const char* mode : {"w", "wb"}) {
    orvex_test::TempDir temp;
    orvex_test::writeImageWords(temp.file("layouts.tif"), words.substr(3), mode);
    const std::string story = CStory(temp.file("layouts.tif")).story;
    EXPECT_EQ(story.find("\nblock of"), std::string::npos) << story;
  }
}

// Each way a host can misuse a reader gives its status and a reason naming the mistake
// (tests/data/transcripts/capi/reader_misuses.txt).
TEST(ReadThroughC, MisusesGiveTheirStatusAndReason) {
  const std::string file = orvex_test::testDataFile("libtiff/minisblack-2c-8b-alpha.tiff");
  orvex_reader* reader = nullptr;
  ASSERT_EQ(orvex_reader_open(file.c_str(), &reader), ORVEX_STATUS_OK);
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  orvex_channel channel = channelOf("0");
  orvex_reader* other = nullptr;
  uint8_t block[640];
  std::string text;
  const auto tell = [&text](const char* what, orvex_status status) {
    text += std::string(what) + ": " + reasonOf(status) + "\n";
  };
  tell("read before a page", orvex_reader_read_scanline(reader, 0, &data, &size));
  tell("channel before a page", orvex_reader_channel(reader, 0, &channel));
  tell("page beyond the last", orvex_reader_select_page(reader, 1));
  orvex_reader_select_page(reader, 0);
  tell("channel beyond the samples",
       orvex_reader_read_channel_scanline(reader, 2, 0, &data, &size));
  tell("scanline beyond the last", orvex_reader_read_scanline(reader, 64, &data, &size));
  tell("extra channel beyond the extra samples", orvex_reader_channel(reader, 1, &channel));
  tell("block past the last scanline", orvex_reader_read_scanlines(reader, 60, 5, block, 128, 640));
  tell("block stride shorter than a scanline",
       orvex_reader_read_scanlines(reader, 0, 2, block, 127, 640));
  tell("block buffer one byte short", orvex_reader_read_scanlines(reader, 0, 5, block, 128, 639));
  tell("block of a channel into no buffer",
       orvex_reader_read_channel_scanlines(reader, 1, 0, 1, nullptr, 64, 64));
  tell("empty path", orvex_reader_open("", &other));
  tell("path not UTF-8", orvex_reader_open("\xFF.tif", &other));
  tell("no handle", orvex_reader_select_page(nullptr, 0));
  orvex_test::expectTranscript("capi/reader_misuses.txt", text);
  EXPECT_EQ(other, nullptr);
  orvex_reader_destroy(reader);
}

}  // namespace
