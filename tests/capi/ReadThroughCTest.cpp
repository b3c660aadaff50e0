// Every file of tests/data and a few generated ones read through the C interface and through
// the C++ reader: both must tell the same story line for line (pages, descriptions, channel
// records as hosts complete them, the bytes of every scanline in both forms, and the reason of
// every failure as the orvex tool explains it from the log).
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "orvex/orvex_c.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using Story = std::vector<std::string>;

std::string fnv1a(const uint8_t* data, uint32_t size) {
  uint64_t hash = 14695981039346656037ULL;
  for (uint32_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ULL;
  char text[40];
  std::snprintf(text, sizeof text, "%u bytes %016llx", size, static_cast<unsigned long long>(hash));
  return text;
}

std::string describe(const TiffImageInfo& info, bool rows) {
  char text[200];
  std::snprintf(
      text, sizeof text,
      "%ux%u %u bits %u/%u samples fmt %d ph %d res %g %g %d "
      "%u scanlines rows %d icc %s",
      info.width, info.height, info.bitsPerSample, info.samplesPerPixel, info.extraSamples,
      static_cast<int>(info.sampleFormat), static_cast<int>(info.photometric), info.xResolution,
      info.yResolution, static_cast<int>(info.resolutionUnit), info.scanlineCount, rows ? 1 : 0,
      fnv1a(info.iccProfile.data(), static_cast<uint32_t>(info.iccProfile.size())).c_str());
  return text;
}

// --- The C++ reader, its failures explained by the tool's rule.

class CppStory {
public:
  // `systemWords`: what the C interface adds to the reason of a file that cannot be opened.
  CppStory(const std::string& path, const std::string& systemWords)
      : reader_(createTiffReader(), destroyTiffReader) {
    if (!call([&] { return reader_->begin(path.c_str()); }, "open")) {
      story.back() += systemWords;
      return;
    }
    for (uint16_t page = 0; page < reader_->getNumberOfDirectories(); ++page) {
      if (call([&] { return reader_->beginReadSubDir(page); }, "page")) tellPage();
    }
  }
  Story story;

private:
  bool call(const std::function<bool()>& work, const std::string& what) {
    log_.clear();
    std::string thrown;
    bool ok = false;
    try {
      ok = work();
    } catch (const std::exception& error) {
      thrown = error.what();
    }
    if (!ok) story.push_back(what + " failed: " + reason(thrown));
    return ok;
  }

  std::string reason(const std::string& thrown) const {
    for (const auto& record : log_.records())
      if (record.level == 4) return record.text;
    for (const auto& record : log_.records())
      if (record.level == 2 && record.text.find("not support") != std::string::npos)
        return record.text;
    return thrown.empty() ? "the library gave no reason" : thrown;
  }

  void tellPage() {
    const TiffImageInfo info = reader_->getImageInfo();
    story.push_back(describe(info, reader_->isRowScanline()));
    for (size_t i = 0; i < info.extraSamples; ++i) {
      const bool listed = i < info.channels.size();
      story.push_back("channel " +
                      std::to_string(listed ? static_cast<int>(info.channels[i].type) : 1) + " " +
                      (listed ? orvex::joinSurrogatePairs(info.channels[i].name) : std::string()));
    }
    for (uint32_t row = 0; row < info.scanlineCount; ++row) {
      for (int channel = -1; channel < info.samplesPerPixel; ++channel) tellScanline(channel, row);
    }
  }

  void tellScanline(int channel, uint32_t row) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (call(
            [&] {
              return channel < 0
                         ? reader_->readScanline(row, &data, &size)
                         : reader_->readScanline(static_cast<uint16_t>(channel), row, &data, &size);
            },
            "scanline"))
      story.push_back(fnv1a(data, size));
  }

  orvex_test::LogCapture log_;
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader_;
};

// --- The C interface.

class CStory {
public:
  explicit CStory(const std::string& path) {
    if (!call(orvex_reader_open(path.c_str(), &reader_), "open")) return;
    uint32_t pages = 0;
    orvex_reader_page_count(reader_, &pages);
    for (uint32_t page = 0; page < pages; ++page) {
      if (call(orvex_reader_select_page(reader_, page), "page")) tellPage();
    }
  }
  ~CStory() { orvex_reader_destroy(reader_); }
  Story story;

private:
  bool call(orvex_status status, const std::string& what) {
    if (status == ORVEX_STATUS_OK) return true;
    const char* reason = nullptr;
    orvex_last_failure(&reason);
    story.push_back(what + " failed: " + reason);
    return false;
  }

  void tellPage() {
    orvex_page_info c{};
    c.struct_size = sizeof c;
    ASSERT_EQ(orvex_reader_page_info(reader_, &c), ORVEX_STATUS_OK);
    TiffImageInfo info;
    info.width = c.width;
    info.height = c.height;
    info.bitsPerSample = c.bits_per_sample;
    info.samplesPerPixel = c.samples_per_pixel;
    info.extraSamples = c.extra_samples;
    info.sampleFormat = static_cast<TiffSampleFormat>(c.sample_format);
    info.photometric = static_cast<TiffPhotometric>(c.photometric);
    info.xResolution = c.x_resolution;
    info.yResolution = c.y_resolution;
    info.resolutionUnit = static_cast<TiffResolutionUnit>(c.resolution_unit);
    info.scanlineCount = c.scanline_count;
    info.iccProfile.assign(c.icc_profile, c.icc_profile + c.icc_profile_size);
    story.push_back(describe(info, c.scanlines_are_rows == 1));
    for (uint32_t i = 0; i < c.extra_samples; ++i) {
      orvex_channel channel{};
      channel.struct_size = sizeof channel;
      ASSERT_EQ(orvex_reader_channel(reader_, i, &channel), ORVEX_STATUS_OK);
      story.push_back("channel " + std::to_string(channel.kind) + " " +
                      std::string(channel.name, channel.name_size));
    }
    for (uint32_t row = 0; row < c.scanline_count; ++row) {
      for (int channel = -1; channel < c.samples_per_pixel; ++channel) tellScanline(channel, row);
    }
  }

  void tellScanline(int channel, uint32_t row) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    const orvex_status status =
        channel < 0 ? orvex_reader_read_scanline(reader_, row, &data, &size)
                    : orvex_reader_read_channel_scanline(reader_, static_cast<uint32_t>(channel),
                                                         row, &data, &size);
    if (call(status, "scanline")) story.push_back(fnv1a(data, size));
  }

  orvex_reader* reader_ = nullptr;
};

void expectSameStory(const std::string& path, const std::string& systemWords = "") {
  SCOPED_TRACE(path);
  const Story cpp = CppStory(path, systemWords).story;
  const Story c = CStory(path).story;
  EXPECT_EQ(c, cpp);
}

TEST(ReadThroughC, EveryTestDataFileTellsTheCppReadersStory) {
  for (const char* folder : {"libtiff", "pillow", "hostile"}) {
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::u8path(orvex_test::testDataFile(folder)))) {
      expectSameStory(file.path().u8string());
    }
  }
}

// The Photoshop block the library writes for a spot channel named beyond U+FFFF.
std::vector<uint8_t> photoshopBlockOf(const std::string& path) {
  TIFF* tif = orvex_test::openTiff(path, "r");
  uint32_t size = 0;
  void* data = nullptr;
  std::vector<uint8_t> block;
  if (TIFFGetField(tif, TIFFTAG_PHOTOSHOP, &size, &data) == 1) {
    block.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  }
  TIFFClose(tif);
  return block;
}

// A name beyond U+FFFF the library wrote itself, joined again; the YCbCr alpha without a record;
// samples the reader cannot split; a file that is not there and one that is no TIFF.
TEST(ReadThroughC, GeneratedFilesTellTheCppReadersStory) {
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
  ycbcr.photoshop = photoshopBlockOf(named);
  orvex_test::writeTiff(temp.file("ycbcr.tif"), ycbcr, orvex_test::patternImage(ycbcr));
  orvex_test::TiffSetup twelve;  // split into channels, its rows throw std::out_of_range
  twelve.bitsPerSample = 12;
  twelve.samplesPerPixel = 2;
  twelve.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  orvex_test::writeTiff(temp.file("twelve.tif"), twelve, orvex_test::patternImage(twelve));
  std::fclose(std::fopen(temp.file("empty.tif").c_str(), "w"));
  for (const auto& [name, systemWords] : {std::pair{"named.tif", ""},
                                          {"ycbcr.tif", ""},
                                          {"twelve.tif", ""},
                                          {"missing.tif", ": No such file or directory"},
                                          {"empty.tif", ""}}) {
    expectSameStory(temp.file(name), systemWords);
  }
}

struct ReaderMisuse {
  const char* what;
  std::function<orvex_status(orvex_reader*)> call;
  orvex_status status;
  std::string reason;
};

// Each way a host can misuse a reader gives its status and a reason naming the mistake.
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
       [&](orvex_reader* r) { return orvex_reader_read_scanline(r, 0, &data, &size); },
       ORVEX_STATUS_WRONG_STATE, "[orvex_reader::read] no page is selected!"},
      {"channel before a page",
       [&](orvex_reader* r) { return orvex_reader_channel(r, 0, &channel); },
       ORVEX_STATUS_WRONG_STATE, "[orvex_reader::channel] no page is selected!"},
      {"page beyond the last", [](orvex_reader* r) { return orvex_reader_select_page(r, 1); },
       ORVEX_STATUS_OUT_OF_RANGE, "[orvex_reader::selectPage] page(1) >= pages(1)!"},
      {"channel beyond the samples",
       [&](orvex_reader* r) {
         orvex_reader_select_page(r, 0);
         return orvex_reader_read_channel_scanline(r, 2, 0, &data, &size);
       },
       ORVEX_STATUS_OUT_OF_RANGE, "[orvex_reader::read] channel(2) >= samples(2)!"},
      {"scanline beyond the last",
       [&](orvex_reader* r) { return orvex_reader_read_scanline(r, 64, &data, &size); },
       ORVEX_STATUS_OUT_OF_RANGE, "[TiffCommonLineReader::readOriginScanline] rowIndex out range!"},
      {"extra channel beyond the extra samples",
       [&](orvex_reader* r) { return orvex_reader_channel(r, 1, &channel); },
       ORVEX_STATUS_OUT_OF_RANGE, "[orvex_reader::channel] index(1) >= extra(1)!"},
      {"block past the last scanline",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 60, 5, block, 128, 640); },
       ORVEX_STATUS_OUT_OF_RANGE, "[orvex_reader::readScanlines] scanlines 60 + 5 > 64!"},
      {"block stride shorter than a scanline",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 0, 2, block, 127, 640); },
       ORVEX_STATUS_INVALID_ARGUMENT,
       "[orvex_reader::readScanlines] buffer(given) of 640 bytes, stride 127: 2 scanlines of 128!"},
      {"block buffer one byte short",
       [&](orvex_reader* r) { return orvex_reader_read_scanlines(r, 0, 5, block, 128, 639); },
       ORVEX_STATUS_INVALID_ARGUMENT,
       "[orvex_reader::readScanlines] buffer(given) of 639 bytes, stride 128: 5 scanlines of 128!"},
      {"block of a channel into no buffer",
       [&](orvex_reader* r) {
         return orvex_reader_read_channel_scanlines(r, 1, 0, 1, nullptr, 64, 64);
       },
       ORVEX_STATUS_INVALID_ARGUMENT,
       "[orvex_reader::readScanlines] buffer(null) of 64 bytes, stride 64: 1 scanlines of 64!"},
      {"empty path", [&](orvex_reader*) { return orvex_reader_open("", &other); },
       ORVEX_STATUS_INVALID_ARGUMENT, "[TiffReader::begin] fileName is empty!"},
      {"path not UTF-8", [&](orvex_reader*) { return orvex_reader_open("\xFF.tif", &other); },
       ORVEX_STATUS_INVALID_ARGUMENT, "[orvex_reader::open] path is not well-formed UTF-8!"},
      {"no handle", [&](orvex_reader*) { return orvex_reader_select_page(nullptr, 0); },
       ORVEX_STATUS_INVALID_ARGUMENT, "[orvex_reader_select_page] a required pointer is null!"},
  };
  orvex_reader* reader = nullptr;
  ASSERT_EQ(orvex_reader_open(file.c_str(), &reader), ORVEX_STATUS_OK);
  for (const ReaderMisuse& misuse : misuses) {
    EXPECT_EQ(misuse.call(reader), misuse.status) << misuse.what;
    const char* reason = nullptr;
    orvex_last_failure(&reason);
    EXPECT_EQ(reason, misuse.reason) << misuse.what;
  }
  EXPECT_EQ(other, nullptr);
  orvex_reader_destroy(reader);
}

}  // namespace
