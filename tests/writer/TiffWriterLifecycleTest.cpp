// Opening, refusing and closing: the classic/BigTIFF choice, every refused call with its
// exact log line, and the exceptions that leave begin.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "WriterTestSupport.h"
#include "orvex/orvex.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "writer/TiffWriter.h"

namespace {

using orvex_test::LogCapture;
using orvex_test::LogRecord;
using orvex_test::TempDir;
using orvex_writer_test::imageInfo;
using orvex_writer_test::WrittenTiff;

constexpr int kMilestone = 2;
constexpr int kError = 4;

LogRecord sizeLine(unsigned possibleMs, bool bigTiff) {
  return {kMilestone, "[TiffWriter::begin] possibleMs:" + std::to_string(possibleMs) + " M (" +
                          (bigTiff ? "BigTIFF" : "ClassicTIFF") + ")!"};
}

LogRecord openLine(const std::string& path) {
  return {kMilestone, "[TiffWriter::begin] *************** " + path + " open success!"};
}

LogRecord endLine(const std::string& path) {
  return {kMilestone, "[TiffWriter::end] *************** end! (" + path + ")!"};
}

LogRecord writeError(const std::string& text) {
  return {kError, "[TiffWriter::writeScanline] " + text};
}

void expectBadConversion(const std::function<void()>& call) {
  try {
    call();
    FAIL() << "no exception";
  } catch (const std::range_error& error) {
    EXPECT_STREQ(error.what(), "bad conversion");
  }
}

// The TIFF version number of the header: 42 classic, 43 BigTIFF.
unsigned headerVersion(const std::string& path) {
  unsigned char head[4] = {};
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(head), sizeof head);
  return head[0] == 'I' ? head[2] | head[3] << 8 : head[3] | head[2] << 8;
}

struct SizeCase {
  uint32_t width;
  uint32_t height;
  uint16_t samplesPerPixel;
  uint16_t bitsPerSample;
  unsigned possibleMs;
  bool bigTiff;
};

class WriterSizeDecision : public ::testing::TestWithParam<SizeCase> {
protected:
  TempDir temp_;
};

TEST_P(WriterSizeDecision, ChoosesClassicUpTo8192MiB) {
  const SizeCase& size = GetParam();
  const std::string path = temp_.file("size.tif");
  const TiffImageInfo info = imageInfo(size.width, size.height, size.bitsPerSample,
                                       size.samplesPerPixel, TiffPhotometric::MinIsBlack);
  orvex::TiffWriter writer;
  LogCapture log;
  ASSERT_TRUE(writer.begin(path.c_str(), info, PLANARCONFIG_CONTIG));
  writer.end();
  const std::vector<LogRecord> expected = {sizeLine(size.possibleMs, size.bigTiff), openLine(path),
                                           endLine(path)};
  EXPECT_EQ(log.records(), expected);
  EXPECT_EQ(headerVersion(path), size.bigTiff ? 43U : 42U);
}

INSTANTIATE_TEST_SUITE_P(Boundary, WriterSizeDecision,
                         ::testing::Values(SizeCase{131072, 65536, 1, 8, 8192, false},
                                           SizeCase{131087, 65536, 1, 8, 8192, false},
                                           SizeCase{131088, 65536, 1, 8, 8193, true},
                                           SizeCase{65536, 65536, 3, 8, 12288, true},
                                           SizeCase{32768, 32768, 3, 8, 3072, false},
                                           SizeCase{1, 1, 1, 1, 0, false}));

// An RGB image of 5 x 23 pixels, 8 bits: 15 bytes per interleaved row, 5 per plane row.
class WriterLifecycle : public ::testing::Test {
protected:
  bool begin(const std::string& path, int32_t planarConfig = PLANARCONFIG_CONTIG) {
    return writer_.begin(path.c_str(), imageInfo(5, 23, 8, 3, TiffPhotometric::Rgb), planarConfig);
  }

  TempDir temp_;
  orvex::TiffWriter writer_;
  const TiffImageInfo rgb_ = imageInfo(5, 23, 8, 3, TiffPhotometric::Rgb);
  const std::vector<uint8_t> row_ = std::vector<uint8_t>(64, 0x5A);
};

TEST_F(WriterLifecycle, BeginWriteEndLogsMilestonesOnlyAndEndWithoutFileNothing) {
  const std::string path = temp_.file("rgb.tif");
  LogCapture log;
  writer_.end();  // nothing open yet
  ASSERT_TRUE(begin(path));
  for (uint32_t row = 0; row < 23; ++row) {
    ASSERT_TRUE(writer_.writeScanline(row, row_.data(), 15));
  }
  writer_.end();
  writer_.end();  // nothing left to close
  const std::vector<LogRecord> expected = {sizeLine(0, false), openLine(path), endLine(path)};
  EXPECT_EQ(log.records(), expected);
}

TEST_F(WriterLifecycle, RefusesMissingNameAfterClosingOpenFile) {
  const std::string path = temp_.file("first.tif");
  ASSERT_TRUE(begin(path));
  orvex_writer_test::writeBlankRows(writer_, rgb_, PLANARCONFIG_CONTIG);
  LogCapture log;
  EXPECT_FALSE(writer_.begin(nullptr, TiffImageInfo(), PLANARCONFIG_CONTIG));
  EXPECT_FALSE(writer_.begin("", TiffImageInfo(), PLANARCONFIG_CONTIG));
  EXPECT_FALSE(writer_.writeScanline(0, row_.data(), 15));
  writer_.end();
  const std::vector<LogRecord> expected = {{kError, "[TiffWriter::begin] fileName is empty!"},
                                           {kError, "[TiffWriter::begin] fileName is empty!"}};
  EXPECT_EQ(log.records(), expected);
  EXPECT_EQ(WrittenTiff(path).value<uint32_t>(TIFFTAG_IMAGEWIDTH), 5U);
}

TEST_F(WriterLifecycle, RefusesUncreatablePath) {
  const std::string path = temp_.file("no-such-folder/x.tif");
  LogCapture log;
  EXPECT_FALSE(begin(path));
  EXPECT_FALSE(writer_.writeScanline(0, row_.data(), 15));
  writer_.end();
  const std::vector<LogRecord> expected = {
      sizeLine(0, false), {kError, "[TiffWriter::begin] can't open " + path + " as a TIFF file!"}};
  EXPECT_EQ(log.records(), expected);
}

TEST_F(WriterLifecycle, SecondBeginClosesFirstFileSilently) {
  const std::string first = temp_.file("first.tif");
  const std::string second = temp_.file("second.tif");
  LogCapture log;
  ASSERT_TRUE(begin(first));
  orvex_writer_test::writeBlankRows(writer_, rgb_, PLANARCONFIG_CONTIG);
  ASSERT_TRUE(begin(second, PLANARCONFIG_SEPARATE));
  const std::vector<LogRecord> expected = {sizeLine(0, false), openLine(first), sizeLine(0, false),
                                           openLine(second)};
  EXPECT_EQ(log.records(), expected);
  EXPECT_EQ(WrittenTiff(first).value<uint16_t>(TIFFTAG_PLANARCONFIG), PLANARCONFIG_CONTIG);
}

TEST_F(WriterLifecycle, RefusesChannelBeyondSamples) {
  ASSERT_TRUE(begin(temp_.file("planes.tif"), PLANARCONFIG_SEPARATE));
  LogCapture log;
  EXPECT_FALSE(writer_.writeScanline(3, 0, row_.data(), 5));
  EXPECT_TRUE(writer_.writeScanline(2, 0, row_.data(), 5));
  EXPECT_EQ(log.records(),
            std::vector<LogRecord>{writeError("channelIndex(3) >= samplesperpixel(3)!")});
}

TEST_F(WriterLifecycle, ReportsLibtiffRefusingToSkipRowsInsideAStrip) {
  ASSERT_TRUE(begin(temp_.file("skip.tif")));
  LogCapture log;
  EXPECT_FALSE(writer_.writeScanline(1, row_.data(), 15));
  EXPECT_EQ(log.records(), std::vector<LogRecord>{writeError("TIFFWriteScanline failed!")});
}

// The record is handed to libtiff unchecked; whatever libtiff refuses shows up as a failed
// row, never as a crash.
TEST_F(WriterLifecycle, UncheckedRecordBeginsAndRowsFailCleanly) {
  TiffImageInfo info = imageInfo(3, 2, 0, 1, TiffPhotometric::MinIsBlack);
  info.extraSamples = 4;
  ASSERT_TRUE(writer_.begin(temp_.file("odd.tif").c_str(), info, PLANARCONFIG_CONTIG));
  EXPECT_FALSE(writer_.writeScanline(0, row_.data(), static_cast<uint32_t>(row_.size())));
  ASSERT_TRUE(writer_.begin(temp_.file("empty.tif").c_str(), TiffImageInfo(), 2));
  EXPECT_FALSE(writer_.writeScanline(0, 0, row_.data(), static_cast<uint32_t>(row_.size())));
  writer_.end();
}

TEST_F(WriterLifecycle, IllFormedFileNameLeavesBeginAsRangeError) {
  const std::string path = temp_.path().string() + "/bad\xFF.tif";
  LogCapture log;
  expectBadConversion([&] { begin(path); });
  EXPECT_FALSE(std::filesystem::exists(path));
  writer_.end();
  EXPECT_EQ(log.records(), std::vector<LogRecord>{sizeLine(0, false)});
}

TEST_F(WriterLifecycle, IllFormedChannelNameLeavesBeginWithFileOpen) {
  const std::string path = temp_.file("channel.tif");
  TiffImageInfo info = imageInfo(5, 23, 8, 4, TiffPhotometric::Rgb);
  info.extraSamples = 1;
  info.channels = {{TiffChannelType::AssociatedAlpha, "Alpha\xC3("}};
  expectBadConversion([&] { writer_.begin(path.c_str(), info, PLANARCONFIG_CONTIG); });
  LogCapture log;
  writer_.end();
  EXPECT_EQ(log.records(), std::vector<LogRecord>{endLine(path)});
}

TEST(WriterExports, DestroyClosesOpenFileWithoutLogging) {
  TempDir temp;
  const std::string path = temp.file("destroyed.tif");
  const TiffImageInfo info = imageInfo(5, 23, 8, 3, TiffPhotometric::Rgb);
  ITiffWriter* writer = createTiffWriter();
  ASSERT_TRUE(writer->begin(path.c_str(), info, PLANARCONFIG_CONTIG));
  orvex_writer_test::writeBlankRows(*writer, info, PLANARCONFIG_CONTIG);
  LogCapture log;
  destroyTiffWriter(writer);
  destroyTiffWriter(nullptr);
  EXPECT_TRUE(log.records().empty());
  EXPECT_EQ(WrittenTiff(path).value<uint32_t>(TIFFTAG_IMAGELENGTH), 23U);
}

// Row checks, shared by both forms: the file is begun in the parameter's planar
// configuration and written with the matching form, channel 0 for separate planes.
class WriterRowChecks : public WriterLifecycle, public ::testing::WithParamInterface<int32_t> {
protected:
  void SetUp() override { ASSERT_TRUE(begin(temp_.file("rows.tif"), GetParam())); }
  bool separate() const { return GetParam() == PLANARCONFIG_SEPARATE; }
  uint32_t rowBytes() const { return separate() ? 5 : 15; }
  bool write(uint32_t row, uint32_t bytes) {
    return separate() ? writer_.writeScanline(0, row, row_.data(), bytes)
                      : writer_.writeScanline(row, row_.data(), bytes);
  }
  bool writeInOtherForm() {
    return separate() ? writer_.writeScanline(0, row_.data(), 15)
                      : writer_.writeScanline(0, 0, row_.data(), 15);
  }
};

TEST_P(WriterRowChecks, RefusesRowAtHeightBeforeCheckingBytes) {
  LogCapture log;
  EXPECT_FALSE(write(23, rowBytes()));
  EXPECT_FALSE(write(0xFFFFFFFF, 0));
  const std::vector<LogRecord> expected = {writeError("row(23) >= height(23)!"),
                                           writeError("row(4294967295) >= height(23)!")};
  EXPECT_EQ(log.records(), expected);
}

TEST_P(WriterRowChecks, ComparesBytesWithOneScanlineOfTheForm) {
  LogCapture log;
  EXPECT_FALSE(write(0, rowBytes() - 1));
  const std::string shortRow = "bytes(" + std::to_string(rowBytes() - 1) + ") < scanlineBytes(" +
                               std::to_string(rowBytes()) + ")!";
  EXPECT_EQ(log.records(), std::vector<LogRecord>{writeError(shortRow)});
  log.clear();
  EXPECT_TRUE(write(0, rowBytes()));
  EXPECT_TRUE(write(1, static_cast<uint32_t>(row_.size())));
  EXPECT_TRUE(log.records().empty());
}

TEST_P(WriterRowChecks, OtherFormAndClosedFileAreRefusedSilently) {
  LogCapture log;
  EXPECT_FALSE(writeInOtherForm());
  writer_.end();
  log.clear();
  EXPECT_FALSE(write(0, rowBytes()));
  EXPECT_TRUE(log.records().empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, WriterRowChecks,
                         ::testing::Values(PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE));

// libtiff's own tools accept a file with every optional part: extra channels with names,
// a spot colour, an ICC profile and separate planes.
TEST(WriterOutput, PassesTiffinfoAndTiffcp) {
#if defined(_WIN32)
  GTEST_SKIP() << "libtiff's tools are not cross-built for Windows; the Linux build runs this";
#endif
  if (std::system("command -v tiffinfo >/dev/null 2>&1 && command -v tiffcp >/dev/null 2>&1") !=
      0) {
    GTEST_SKIP() << "tiffinfo/tiffcp not installed";
  }
  TempDir temp;
  const std::string path = temp.file("full.tif");
  TiffImageInfo info = imageInfo(7, 12, 8, 5, TiffPhotometric::Rgb);
  info.extraSamples = 2;
  info.channels = {{TiffChannelType::UnassociatedAlpha, "Alpha"},
                   {TiffChannelType::SpotColor, "Gold"}};
  info.iccProfile = std::vector<uint8_t>(128, 0x11);
  orvex::TiffWriter writer;
  ASSERT_TRUE(writer.begin(path.c_str(), info, PLANARCONFIG_SEPARATE));
  orvex_writer_test::writeBlankRows(writer, info, PLANARCONFIG_SEPARATE);
  writer.end();
  const std::string errors = temp.file("errors.txt");
  EXPECT_EQ(std::system(("tiffinfo -D '" + path + "' >/dev/null 2>'" + errors + "'").c_str()), 0);
  EXPECT_EQ(
      std::system(
          ("tiffcp '" + path + "' '" + temp.file("copy.tif") + "' 2>>'" + errors + "'").c_str()),
      0);
  std::ifstream errorFile(errors);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(errorFile), {}), "");
}

}  // namespace
