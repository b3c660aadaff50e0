// What only the scanline pipeline's own classes show: mirroring whole and packed pixels, moving
// packed bits to any bit of a row and packed samples between planes, the size check of the
// in-place mirror, the caps of the row and cache buffers, and the strip or tile cache decoding
// each block once per visit (every depth, layout and orientation is read through the exports).
#include "lines/CommonTool.h"
#include "lines/ScanlineBuffer.h"
#include "lines/ScanlineBufferArray.h"
#include "lines/TiffCommonLineReader.h"
#include "reader/TiffHelper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "support/ImageWords.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

namespace {

using orvex::CommonTool;
using orvex::ScanlineBuffer;
using orvex::ScanlineBufferArray;
using Bytes = std::vector<uint8_t>;

// Runs one line of tests/data/transcripts/lines/tools.txt: a tool, a depth, a sample count, a
// width, the bytes of a row to mirror in place and of an output, then the input. 'r' mirrors in
// place, 'm' mirrors `width` packed pixels of `samples` samples, 'b' places `width` bits of the
// input from bit `samples` of the output on, 'p' moves the first `width` packed samples of the
// input to every `samples`th of the output. Outputs have 2 bytes more, of 00 for 'b', else CC.
// After " = " come the buffer written ("refused" first if the tool failed), then the log.
std::string runTool(const std::string& line) {
  const std::vector<std::string> words = orvex_test::split(line, ' ');
  const auto word = [&](size_t i) { return static_cast<uint16_t>(orvex_test::number(words[i])); };
  const char tool = words[0][0];
  Bytes input = orvex_test::bytesOf(std::accumulate(words.begin() + 6, words.end(), std::string()));
  Bytes output(word(5) + 2U, tool == 'b' ? 0 : 0xCC);
  orvex_test::LogCapture log;
  bool done = true;
  if (tool == 'r') {
    done = CommonTool::reverseScanline_8multiple_BitsPerSample(input.data(), word(4), word(2),
                                                               word(1), word(3));
  } else if (tool == 'm') {
    CommonTool::reversePackedPixels(input.data(), word(3), word(2), word(1));
  } else if (tool == 'b') {
    CommonTool::placeBits(output.data(), word(2), input.data(), word(3));
  } else {
    CommonTool::movePackedSamples(output.data(), 0, word(2), input.data(), 0, 1, word(3), word(1));
  }
  return "> " + line + " =" + (done ? "" : " refused") +
         orvex_test::hexOf(tool == 'r' || tool == 'm' ? input : output) + "\n" +
         orvex_test::transcriptOf(log.records());
}

TEST(CommonTool, GivesTheBytesOfEachCaseAndLogsItsCheck) {
  orvex_test::expectSession("lines/tools.txt", "> ", {}, runTool);
}

// Mirrored into another buffer: pixels of 1 to 6 bytes, rows around the 8 and 16 bytes moved at
// once; the 2 bytes after the row stay as they were.
TEST(CommonTool, CopiesPixelsInReverseOrder) {
  for (const auto& [width, pixelBytes] :
       {std::pair<uint32_t, size_t>{7, 3}, {4, 6}, {9, 2}, {40, 1}, {16, 3}}) {
    Bytes input(width * pixelBytes);
    std::iota(input.begin(), input.end(), uint8_t{1});
    Bytes expected;
    for (size_t x = width; x-- > 0;) {
      expected.insert(expected.end(), input.begin() + x * pixelBytes,
                      input.begin() + (x + 1) * pixelBytes);
    }
    expected.insert(expected.end(), {0xCC, 0xCC});
    Bytes output(input.size() + 2, 0xCC);
    CommonTool::copyReversedPixels(output.data(), input.data(), width, pixelBytes);
    EXPECT_EQ(output, expected) << width << " pixels of " << pixelBytes << " bytes";
  }
}

TEST(ScanlineBuffer, ResizesToZeroedBytesAndHoldsNothingWhenRefused) {
  ScanlineBuffer buffer;
  ASSERT_TRUE(buffer.resize(5));
  buffer.data[4] = 9;
  ASSERT_TRUE(buffer.resize(6));
  EXPECT_EQ(std::vector<uint8_t>(buffer.data, buffer.data + buffer.size), std::vector<uint8_t>(6));
  for (const int64_t refused : {int64_t{0}, int64_t{-3}, orvex::kMaxBufferBytes + 1}) {
    ASSERT_TRUE(buffer.resize(8));
    EXPECT_FALSE(buffer.resize(refused)) << refused;
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.size, 0);
  }
}

TEST(ScanlineBufferArray, RebuildsUpToItsTotalAndIsEmptyWhenRefused) {
  ScanlineBufferArray array(100);
  ASSERT_TRUE(array.rebuild(10, 10));
  EXPECT_EQ(array.count(), 10U);
  ASSERT_TRUE(array.rebuild(2, 50));
  EXPECT_TRUE(array.holds(2, 50));
  EXPECT_FALSE(array.holds(2, 49));
  EXPECT_FALSE(array.holds(1, 50));
  array.at(1).data[49] = 1;
  array.zeroFill();
  EXPECT_EQ(array.at(1).data[49], 0);
  for (const auto& [count, size] : {std::pair<size_t, int64_t>{11, 10}, {1, 101}, {2, 0}}) {
    ASSERT_TRUE(array.rebuild(2, 5));
    EXPECT_FALSE(array.rebuild(count, size)) << count << " x " << size;
    EXPECT_EQ(array.count(), 0U);
    EXPECT_EQ(array.bufferSize(), 0);
  }
  // So many small buffers that even the list of their pointers would be gigabytes.
  EXPECT_FALSE(ScanlineBufferArray().rebuild(size_t{1} << 40, 256));
}

constexpr uint32_t kBeginAgain = 0xFFFFFFFF;

struct CountedFile {
  std::FILE* file;
  toff_t size;
  size_t reads;
};

CountedFile& counted(thandle_t handle) {
  return *static_cast<CountedFile*>(handle);
}

// Reads rows in `order` (kBeginAgain begins the directory anew) through a handle in the
// reader's mode whose reads are counted; true for each row that read the file.
std::vector<bool> fileReadsFor(const std::string& path, const std::vector<uint32_t>& order) {
  CountedFile file{std::fopen(path.c_str(), "rb"), std::filesystem::file_size(path), 0};
  TIFF* tif = TIFFClientOpen(
      "counted", "rCm", &file,
      [](thandle_t h, void* to, tmsize_t n) {
        ++counted(h).reads;
        return static_cast<tmsize_t>(std::fread(to, 1, static_cast<size_t>(n), counted(h).file));
      },
      [](thandle_t, void*, tmsize_t) -> tmsize_t { return 0; },
      [](thandle_t h, toff_t offset, int whence) {
        return std::fseek(counted(h).file, static_cast<long>(offset), whence) == 0
                   ? static_cast<toff_t>(std::ftell(counted(h).file))
                   : static_cast<toff_t>(-1);
      },
      [](thandle_t) { return 0; }, [](thandle_t h) { return counted(h).size; }, nullptr, nullptr);
  orvex::DirectoryChain chain;
  chain.walk(tif);
  orvex::TiffInfo info;
  EXPECT_TRUE(orvex::TiffHelper::readTiffInfo(tif, chain, 0, info));
  std::vector<bool> reads;
  {
    orvex::TiffCommonLineReader reader(tif, info, chain.count());
    EXPECT_TRUE(reader.beginRead(0));
    for (const uint32_t row : order) {
      const size_t before = file.reads;
      if (row == kBeginAgain) {
        reader.beginRead(0);
        continue;
      }
      reader.readScanline(row, nullptr, nullptr);
      reads.push_back(file.reads != before);
    }
  }
  TIFFClose(tif);
  std::fclose(file.file);
  return reads;
}

// 37 x 21 RGB in strips of 4 rows, in one strip, or in 16 x 16 tiles, read forward, backward
// (as orientations that store the picture bottom up are) and to and fro: a decode is due
// exactly when the row lies in another block than the one before. Then one strip of 8 rows or one
// tile, said to lie past the end of the file: only the first request of each beginRead reads it.
TEST(LineReaderCache, DecodesEachBlockOncePerVisit) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("image.tif");
  std::vector<uint32_t> forward;
  for (uint32_t row = 0; row < 21; ++row) forward.push_back(row);
  for (const char* blocks : {" r4", " r1000", " t16"}) {
    for (const char* planar : {" l1", " l2"}) {
      orvex_test::writeImageWords(path, std::string("w37 h21 s3") + planar + blocks);
      const uint32_t blockRows = orvex_test::number(blocks + 2);
      for (const std::vector<uint32_t>& order :
           {forward, {forward.rbegin(), forward.rend()}, {5, 5, 17, 17, kBeginAgain, 17, 5}}) {
        std::vector<bool> expected;
        uint32_t cached = kBeginAgain;
        for (const uint32_t row : order) {
          if (row != kBeginAgain) expected.push_back(row / blockRows != cached);
          cached = row == kBeginAgain ? row : row / blockRows;
        }
        EXPECT_EQ(fileReadsFor(path, order), expected)
            << blocks << planar << ", from row " << order[0];
      }
      orvex_test::writeImageWords(path, std::string("w16 h8") + planar +
                                            (blocks[1] == 't' ? " t16 E324" : " r8 E273") +
                                            "=0x7FFFFF00");
      EXPECT_EQ(fileReadsFor(path, {0, 1, 7, 0, kBeginAgain, 0}),
                (std::vector<bool>{true, false, false, false, true}))
          << "broken block of" << blocks << planar;
    }
  }
}

}  // namespace
