// The reader as a host drives it, through the exports: every scanline of every directory, in
// both forms, and its description against the reference decoder, for generated images of every
// orientation, depth, layout and kind and for the files of tests/data. Then scenarios kept as
// transcripts in tests/data/transcripts/host (see tests/README.md): refusals, the lifecycle,
// indexes out of range, damaged chains and blocks, hostile files, declared sizes too large to
// allocate, and a name in Cyrillic and CJK, which no Windows code page holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "support/ImageWords.h"
#include "support/LogCapture.h"
#include "support/PeakMemory.h"
#include "support/ReferenceDecoder.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

namespace {

using orvex_test::TempDir;

using ReaderPtr = std::unique_ptr<ITiffReader, void (*)(ITiffReader*)>;

ReaderPtr makeReader() {
  return ReaderPtr(createTiffReader(), destroyTiffReader);
}

// Delivered scanline `row` of every sample (channel < 0) or of one channel, copied out of the
// reader's buffer; empty when the read failed.
std::vector<uint8_t> scanline(ITiffReader& reader, int channel, uint32_t row) {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = channel < 0
                      ? reader.readScanline(row, &data, &size)
                      : reader.readScanline(static_cast<uint16_t>(channel), row, &data, &size);
  return ok ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

// Every field of the record on one line (the ICC profile by size and checksum).
std::string describe(const TiffImageInfo& info) {
  char text[256];
  std::snprintf(
      text, sizeof text,
      "%ux%u, %u bits, %u samples, %u extra, format %d, photometric %d, %.9g x %.9g "
      "unit %d, %u scanlines, icc %u bytes %s, channels",
      info.width, info.height, info.bitsPerSample, info.samplesPerPixel, info.extraSamples,
      static_cast<int>(info.sampleFormat), static_cast<int>(info.photometric), info.xResolution,
      info.yResolution, static_cast<int>(info.resolutionUnit), info.scanlineCount,
      static_cast<unsigned>(info.iccProfile.size()), orvex_test::fnv1a(info.iccProfile).c_str());
  std::string line = text;
  for (const TiffChannelInfo& channel : info.channels) {
    line += " " + std::to_string(static_cast<int>(channel.type)) + ":'" + channel.name + "'";
  }
  return line;
}

// Directories from the last; in each, scanlines forward, each before its channels, then
// backward, the channels first: the cache moves both ways, and each form is asked of a row
// adjusted for the other.
void expectDeliversTheReference(const std::string& path) {
  ReaderPtr reader = makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  for (uint16_t dir = reader->getNumberOfDirectories(); dir-- > 0;) {
    SCOPED_TRACE("directory " + std::to_string(dir));
    const orvex_test::ReferenceDirectory expected = orvex_test::referenceOf(path, dir);
    ASSERT_TRUE(reader->beginReadSubDir(dir));
    EXPECT_EQ(describe(reader->getImageInfo()), describe(expected.info));
    EXPECT_EQ(reader->isRowScanline(), expected.rowScanlines);
    const uint32_t count = static_cast<uint32_t>(expected.scanlines.size());
    const int channels = static_cast<int>(expected.channelScanlines.size());
    for (uint32_t step = 0; step < 2 * count; ++step) {
      const bool forward = step < count;
      const uint32_t i = forward ? step : 2 * count - 1 - step;
      for (int k = 0; k <= channels; ++k) {
        const int channel = forward ? k - 1 : channels - 1 - k;  // -1: every sample
        ASSERT_EQ(scanline(*reader, channel, i),
                  channel < 0 ? expected.scanlines[i] : expected.channelScanlines[channel][i])
            << "channel " << channel << " scanline " << i;
      }
    }
  }
  reader->end();
}

// A 21 x 18 picture in words, so that the last strip and the last tiles are partial. What the
// description holds varies with the orientation: resolutions and their unit, a profile.
std::string generated(uint16_t orientation, const std::string& layout) {
  std::string words = " | w21 h18 o" + std::to_string(orientation) + " " + layout;
  if (orientation % 4 != 0) words += " u" + std::to_string(orientation % 4);
  return words + (orientation % 3 == 0 ? " i" + std::to_string(orientation) : "");
}

class GeneratedImages : public ::testing::TestWithParam<uint16_t> {};

// All in one file, in a byte order and a TIFF kind that vary with the orientation: grey, grey
// with an alpha, RGB, RGB with an alpha and two other channels, of every depth (sub-byte
// samples of several channels are read only from separate planes); palettes of values up to
// 255, delivered as 8 bits, and wide ones, with one value above a byte in a table and at an
// end that vary with the orientation, delivered as 16 bits. YCbCr of 40 x 37, so that 32-pixel
// tiles leave a partial column and row (uncompressed tiles of libtiff's RGBA interface must hold
// a multiple of 1024 bytes when the file is not mapped), stored without subsampling, or given as
// RGB for libtiff's JPEG codec to convert. And ThunderScan: libtiff's decoder (of strips only)
// counts the pixels of a run that ends a row without writing them, and reports success: they
// must come out as zeros, not as the previous strip's. Strips of one row, in each plane first a
// pixel of 15 per raw code, then a pixel of 5 and a run to the end of the row; grey, or grey
// with an extra sample in separate planes.
TEST_P(GeneratedImages, DeliverTheReferenceInEveryDepthLayoutAndKind) {
  const uint16_t orientation = GetParam();
  const std::string alpha = " x" + std::to_string(1 + orientation % 2);
  const std::vector<std::string> kinds = {" s1", " s2" + alpha, " s3 p2", " s5 p2" + alpha + ",0"};
  std::string words;
  for (const char* planes : {"l1 ", "l2 "}) {
    for (const char* blocks : {"r3 ", "t16 "}) {
      for (const int bits : {1, 2, 4, 8, 16, 32, 64}) {
        const std::string depth = blocks + (planes + std::string("b")) + std::to_string(bits);
        const std::string format = bits == 16 ? " f2" : bits > 16 ? " f3" : " f1";
        for (const std::string& samples : kinds) {
          if (bits >= 8 || samples == " s1" || planes[1] == '2') {
            words += generated(orientation, depth + format + samples);
          }
        }
        if (bits > 16) continue;
        const size_t entries = size_t{1} << bits;
        const size_t end = orientation % 3 * entries + (orientation % 2) * (entries - 1);
        words += generated(orientation, depth + " p3 m37,11 M1=255");
        words +=
            generated(orientation, depth + " p3 m37,11 M1=255 M" + std::to_string(end) + "=256");
      }
    }
  }
  for (const char* ycbcr : {"r4 y1", "t32 y1", "r16 y2 z7 j1", "t16 y2 z7 j1"}) {
    words += generated(orientation, "w40 h37 s3 p6 " + std::string(ycbcr));
  }
  const std::string thunderScan = "w8 h2 b4 r1 z32809 Bcfcfcfcfcfcfcfcf Bc507";
  words += generated(orientation, orientation % 2 == 1
                                      ? thunderScan
                                      : thunderScan + " s2 l2 x0 Bcfcfcfcfcfcfcfcf Bc507");
  const char* const modes[] = {"wl", "wb", "w8l", "w8b"};
  orvex_test::TempDir temp;
  orvex_test::writeImageWords(temp.file("images.tif"), words.substr(3), modes[orientation % 4]);
  expectDeliversTheReference(temp.file("images.tif"));
  // Tiles 13 pixels wide, a width libtiff reads but will not write: below 8 bits the second
  // tile's part of each row starts inside a byte, and ends inside one too. The stored tiles,
  // written 16 pixels wide, are as large or larger than the narrower ones need. The edit needs
  // a little-endian classic file, a file of its own.
  std::string tiles;
  for (const char* planes : {"", " l2 s2 x2"}) {
    for (const char* bits : {" b1", " b2", " b4"}) {
      tiles += generated(orientation, "t16 E322=13" + (bits + std::string(planes)));
    }
  }
  orvex_test::writeImageWords(temp.file("tiles.tif"), tiles.substr(3));
  expectDeliversTheReference(temp.file("tiles.tif"));
}

INSTANTIATE_TEST_SUITE_P(Orientations, GeneratedImages, ::testing::Range<uint16_t>(1, 9));

// Every file of tests/data written by other programs but one, whose extra plane libtiff cannot
// decode (tested with the scenarios).
TEST(TestDataFiles, DeliverTheReference) {
  for (const char* folder : {"libtiff", "pillow"}) {
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::u8path(orvex_test::testDataFile(folder)))) {
      if (file.path().filename() == "separate_planar_extra_samples.tiff") continue;
      SCOPED_TRACE(file.path().u8string());
      expectDeliversTheReference(file.path().u8string());
    }
  }
}

// Each page of a file of thousands, begun in a shuffled order, is itself: its resolution and its
// first row carry its number.
TEST(ManyPages, EachDirectoryInAShuffledOrderDeliversItsOwnPage) {
  constexpr uint16_t kPages = 3000;
  orvex_test::TempDir temp;
  const std::string path = temp.file("pages.tif");
  std::string pages;
  for (uint16_t page = 0; page < kPages; ++page) {
    char words[48];
    std::snprintf(words, sizeof words, "| w2 h2 u2,%d d%02x%02x0102 ", page + 1, page & 0xFF,
                  page >> 8);
    pages += words;
  }
  orvex_test::writeImageWords(path, pages);
  std::vector<uint16_t> order(kPages);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(17));
  // Page 1 first: right after the walk the handle holds page 0, and a page other than the one
  // held must be read, never taken for it.
  std::iter_swap(order.begin(), std::find(order.begin(), order.end(), 1));
  ReaderPtr reader = makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  ASSERT_EQ(reader->getNumberOfDirectories(), kPages);
  for (const uint16_t page : order) {
    ASSERT_TRUE(reader->beginReadSubDir(page)) << page;
    EXPECT_EQ(reader->getImageInfo().xResolution, page + 1.0F);
    EXPECT_EQ(scanline(*reader, -1, 0),
              (std::vector<uint8_t>{static_cast<uint8_t>(page), static_cast<uint8_t>(page >> 8)}))
        << page;
  }
  reader->end();
}

using orvex_test::number;
using orvex_test::split;

// A 5 x 3 RGB picture with three named extra channels, a spot colour among them, written
// through the exported writer.
bool writeNamedChannels(const std::string& path) {
  TiffImageInfo info;
  info.width = 5;
  info.height = info.scanlineCount = 3;
  info.bitsPerSample = 8;
  info.samplesPerPixel = 6;
  info.extraSamples = 3;
  info.channels = {{TiffChannelType::AssociatedAlpha, "Alpha \xD0\x90"},
                   {TiffChannelType::SpotColor, "Spot \xE8\x89\xB2"},
                   {TiffChannelType::UnassociatedAlpha, "M\xC3\xA4ske"}};
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.xResolution = info.yResolution = 300.0F;
  info.resolutionUnit = TiffResolutionUnit::Centimeter;
  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                              destroyTiffWriter);
  bool written = writer->begin(path.c_str(), info, 1);
  for (uint32_t row = 0; written && row < info.height; ++row) {
    const std::vector<uint8_t> pixels(30, static_cast<uint8_t>(row * 40 + 1));
    written = writer->writeScanline(row, pixels.data(), 30);
  }
  writer->end();
  return written;
}

// Makes host calls, each a word with its arguments after colons, and transcribes them:
//   begin:NAME (in the scenario's folder, @NAME in tests/data; begin:null, begin: empty)
//   count   dir:D   info   row:R   ch:C:R   skip:R (row R into null pointers)   enddir   end
//   destroy   quiet (no detail records from here on)   write:NAME (writeNamedChannels)
//   ls (the names in the scenario's folder)
class Session {
public:
  explicit Session(const TempDir& temp) : temp_(temp) {}

  // The call's line, then the records it logged.
  std::string call(const std::string& word) {
    const std::vector<std::string> args = split(word, ':');
    const std::string& op = args[0];
    const uint32_t a = args.size() > 1 && std::isdigit(static_cast<unsigned char>(args[1][0])) != 0
                           ? number(args[1])
                           : 0;
    std::string result;
    if (op == "begin") {
      const std::string name = args.size() > 1 ? args[1] : "";
      const std::string path =
          name[0] == '@' ? orvex_test::testDataFile(name.substr(1)) : temp_.file(name);
      result = said(reader_->begin(name == "null" ? nullptr : name.empty() ? "" : path.c_str()));
    } else if (op == "count") {
      result = std::to_string(reader_->getNumberOfDirectories());
    } else if (op == "dir") {
      result = said(reader_->beginReadSubDir(static_cast<uint16_t>(a)));
    } else if (op == "info") {
      result =
          describe(reader_->getImageInfo()) + (reader_->isRowScanline() ? ", rows" : ", columns");
    } else if (op == "row" || op == "ch") {
      result = read(op == "ch" ? static_cast<int>(a) : -1, number(args.back()));
    } else if (op == "skip") {
      result = said(reader_->readScanline(a, nullptr, nullptr));
    } else if (op == "write") {
      result = said(writeNamedChannels(temp_.file(args[1])));
    } else if (op == "ls") {
      for (const auto& entry : std::filesystem::directory_iterator(temp_.path())) {
        result += " " + entry.path().filename().u8string();
      }
    } else if (op == "quiet") {
      minLevel_ = 1;
    } else if (op == "enddir" || op == "end" || op == "destroy") {
      op == "enddir" ? reader_->endReadSubDir() : op == "end" ? reader_->end() : reader_.reset();
    } else {
      ADD_FAILURE() << "unknown call " << op;
    }
    return note(word, result);
  }

private:
  // Scanline `i` of every sample (channel < 0) or of one channel: its size and checksum.
  std::string read(int channel, uint32_t i) {
    try {
      const std::vector<uint8_t> bytes = scanline(*reader_, channel, i);
      return bytes.empty() ? "false"
                           : std::to_string(bytes.size()) + " bytes " + orvex_test::fnv1a(bytes);
    } catch (const std::exception& error) {
      return std::string("throws ") + error.what();
    }
  }

  static std::string said(bool result) { return result ? "true" : "false"; }

  // The call's line, then the records logged since the previous call.
  // The directory dump, pinned once in reader/dump.txt, stands as one line.
  std::string note(const std::string& call, const std::string& result) {
    std::string text = ">> " + call + (result.empty() ? "" : " = " + result) + "\n";
    for (size_t i = logged_; i < log_.records().size(); ++i) {
      const auto& record = log_.records()[i];
      if (record.text.find(" infos begin ---") != std::string::npos) {
        inDump_ = true;
        text += "[1] (directory dump)\n";
      } else if (!inDump_ && record.level >= minLevel_) {
        text += orvex_test::transcriptOf({record});
      }
      inDump_ = inDump_ && record.text.find(" infos end ") == std::string::npos;
    }
    logged_ = log_.records().size();
    return text;
  }

  const TempDir& temp_;
  orvex_test::LogCapture log_;
  ReaderPtr reader_ = makeReader();
  size_t logged_ = 0;
  int minLevel_ = 0;
  bool inDump_ = false;
};

class HostScenario : public ::testing::TestWithParam<std::string> {};

// The peak is read once the inputs are written, before the first call.
TEST_P(HostScenario, LogsWhatItAlwaysLoggedWithoutTakingMemory) {
  TempDir temp;
  orvex_test::Replacements replacements = {{temp.file(""), "TMP/"},
                                           {orvex_test::testDataFile(""), "DATA/"}};
#if defined(_WIN32)
  // libtiff's wide-character open keeps the name in the ANSI code page, where Cyrillic and CJK
  // become '?': the records that show libtiff's own name of the file read so on Windows.
  replacements.emplace_back(
      "?????"
      "-??",  // apart, not a trigraph
      "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0-\xE5\x9C\xB0\xE5\x9B\xBE");
#endif
  int64_t peakBefore = 0;
  std::optional<Session> session;
  orvex_test::expectSession(
      "host/" + GetParam() + ".txt", ">> ",
      [&temp](const std::string& file, const std::string& words) {
        orvex_test::writeImageWords(temp.file(file), words);
      },
      [&](const std::string& call) {
        if (!session) {
          peakBefore = orvex_test::peakResidentBytes();
          session.emplace(temp);
        }
        return orvex_test::replaced(session->call(call), replacements);
      });
  EXPECT_LT(orvex_test::peakResidentBytes() - peakBefore, int64_t{128} << 20);
}

INSTANTIATE_TEST_SUITE_P(Transcripts, HostScenario,
                         ::testing::ValuesIn(orvex_test::transcriptNames("host")),
                         [](const auto& scenario) { return scenario.param; });

}  // namespace
