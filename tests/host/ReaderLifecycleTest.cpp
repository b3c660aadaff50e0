// Opening and closing files through the exported reader, with the exact log lines.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "orvex/orvex.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_test::LogCapture;
using orvex_test::TempDir;
using orvex_test::TiffSpec;

constexpr int kMilestone = 2;
constexpr int kError = 4;

std::string endLine(const std::string& file) {
  return "[TiffReader::end] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> end fileName:" + file + "!\n\n\n\n\n";
}

class ReaderLifecycle : public ::testing::Test {
protected:
  std::string writeImage(const std::string& name, int directories = 1) {
    const std::string path = temp_.file(name);
    orvex_test::TiffFileBuilder builder(path);
    TiffSpec tiffSpec;
    for (int i = 0; i < directories; ++i) {
      builder.addDirectory(tiffSpec, orvex_test::patternImage(tiffSpec));
    }
    return path;
  }

  TempDir temp_;
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader_{createTiffReader(),
                                                               destroyTiffReader};
};

TEST_F(ReaderLifecycle, OpensFileAndCountsDirectories) {
  const std::string path = writeImage("three.tif", 3);
  LogCapture log;
  ASSERT_TRUE(reader_->begin(path.c_str()));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 3U);
  reader_->end();
  EXPECT_EQ(reader_->getNumberOfDirectories(), 0U);
  const std::vector<orvex_test::LogRecord> expected = {
      {kMilestone,
       "[TiffReader::begin] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> begin fileName:" + path + "!"},
      {kMilestone,
       "[TiffReader::begin] begin! (" + path + ") open success! NumberOfDirectory is 3"},
      {kMilestone, endLine(path)},
  };
  EXPECT_EQ(log.records(), expected);
}

TEST_F(ReaderLifecycle, RefusesNullAndEmptyNames) {
  LogCapture log;
  EXPECT_FALSE(reader_->begin(nullptr));
  EXPECT_FALSE(reader_->begin(""));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 0U);
  const std::vector<orvex_test::LogRecord> expected = {
      {kError, "[TiffReader::begin] fileName is empty!"},
      {kError, "[TiffReader::begin] fileName is empty!"},
  };
  EXPECT_EQ(log.records(), expected);
  reader_->end();
  EXPECT_EQ(log.records().size(), 2U);  // end on a closed reader logs nothing
}

TEST_F(ReaderLifecycle, ReportsFileThatCannotBeOpened) {
  const std::string path = temp_.file("missing.tif");
  LogCapture log;
  EXPECT_FALSE(reader_->begin(path.c_str()));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::begin] " + path + " open file failed!"));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 0U);
}

TEST_F(ReaderLifecycle, ReportsFileThatIsNotTiff) {
  const std::string path = temp_.file("text.tif");
  std::ofstream(path) << "not a tiff file at all";
  LogCapture log;
  EXPECT_FALSE(reader_->begin(path.c_str()));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::begin] " + path + " open file failed!"));
}

// A header whose first directory offset is 0 describes a file without directories. libtiff
// refuses to open such a file at all, so the "TIFFNumberOfDirectories:0" refusal cannot be
// reached with a real file; the open failure is what the host sees.
TEST_F(ReaderLifecycle, FileWithoutDirectoriesFailsToOpen) {
  const std::string path = temp_.file("empty.tif");
  std::ofstream(path, std::ios::binary).write("II*\0\0\0\0\0", 8);
  LogCapture log;
  EXPECT_FALSE(reader_->begin(path.c_str()));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::begin] " + path + " open file failed!"));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 0U);
}

TEST_F(ReaderLifecycle, SecondBeginClosesTheFirstFileWithItsEndLine) {
  const std::string first = writeImage("first.tif");
  const std::string second = writeImage("second.tif", 2);
  ASSERT_TRUE(reader_->begin(first.c_str()));
  LogCapture log;
  ASSERT_TRUE(reader_->begin(second.c_str()));
  ASSERT_FALSE(log.records().empty());
  EXPECT_EQ(log.records().front(), (orvex_test::LogRecord{kMilestone, endLine(first)}));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 2U);
}

TEST_F(ReaderLifecycle, EndTwiceLogsOnce) {
  const std::string path = writeImage("once.tif");
  ASSERT_TRUE(reader_->begin(path.c_str()));
  LogCapture log;
  reader_->end();
  reader_->end();
  EXPECT_EQ(log.count(endLine(path)), 1U);
  EXPECT_EQ(log.records().size(), 1U);
}

TEST_F(ReaderLifecycle, OpensNonAsciiNameGivenAsUtf8) {
  const std::string path =
      writeImage("\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0-\xE5\x9C\xB0\xE5\x9B\xBE.tif");
  ASSERT_TRUE(reader_->begin(path.c_str()));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 1U);
  reader_->end();
}

TEST_F(ReaderLifecycle, RefusesIllFormedUtf8Name) {
  const std::string path = temp_.file("bad\xC3(name.tif");
  LogCapture log;
  EXPECT_FALSE(reader_->begin(path.c_str()));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::begin] unknow exception!"));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 0U);
}

TEST_F(ReaderLifecycle, DestroyingAnOpenReaderClosesTheFileSilently) {
  const std::string path = writeImage("left-open.tif");
  ASSERT_TRUE(reader_->begin(path.c_str()));
  LogCapture log;
  reader_.reset();
  EXPECT_TRUE(log.records().empty());
}

}  // namespace
