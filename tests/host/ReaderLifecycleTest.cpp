// Opening and closing files through the exported reader, with the exact log lines.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>

#include "HostReader.h"
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
  orvex_host_test::ReaderPtr reader_ = orvex_host_test::makeReader();
};

TEST_F(ReaderLifecycle, OpensFileCountsDirectoriesAndEndsOnce) {
  const std::string path = writeImage("three.tif", 3);
  LogCapture log;
  ASSERT_TRUE(reader_->begin(path.c_str()));
  EXPECT_EQ(reader_->getNumberOfDirectories(), 3U);
  reader_->end();
  reader_->end();  // the second end logs nothing
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

struct OpenFailure {
  const char* name;
  std::string fileName;
  std::optional<std::string> content;  ///< no file is written when unset
  std::string error;                   ///< after "[TiffReader::begin] ", "%s" for the path
};

void PrintTo(const OpenFailure& failure, std::ostream* out) {
  *out << failure.name;
}

class ReaderOpenFailure : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(ReaderOpenFailure, IsReportedAndLeavesNoDirectories) {
  const OpenFailure& failure = GetParam();
  TempDir temp;
  const std::string path = temp.file(failure.fileName);
  if (failure.content) {
    std::ofstream(path, std::ios::binary) << *failure.content;
  }
  std::string error = failure.error;
  if (const size_t at = error.find("%s"); at != std::string::npos) {
    error.replace(at, 2, path);
  }
  auto reader = orvex_host_test::makeReader();
  LogCapture log;
  EXPECT_FALSE(reader->begin(path.c_str()));
  EXPECT_TRUE(log.contains(kError, "[TiffReader::begin] " + error)) << error;
  EXPECT_EQ(reader->getNumberOfDirectories(), 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderOpenFailure,
    ::testing::Values(
        OpenFailure{"Missing", "missing.tif", std::nullopt, "%s open file failed!"},
        OpenFailure{"NotTiff", "text.tif", "not a tiff file at all", "%s open file failed!"},
        // A header whose first directory offset is 0 describes a file without directories.
        // libtiff refuses to open such a file at all, so the "TIFFNumberOfDirectories:0"
        // refusal cannot be reached with a real file; the open failure is what the host sees.
        OpenFailure{"NoDirectories", "empty.tif", std::string("II*\0\0\0\0\0", 8),
                    "%s open file failed!"},
        OpenFailure{"IllFormedUtf8Name", "bad\xC3(name.tif", std::nullopt, "unknow exception!"}),
    [](const auto& test) { return std::string(test.param.name); });

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

TEST_F(ReaderLifecycle, DestroyingAnOpenReaderClosesTheFileSilently) {
  const std::string path = writeImage("left-open.tif");
  ASSERT_TRUE(reader_->begin(path.c_str()));
  LogCapture log;
  reader_.reset();
  EXPECT_TRUE(log.records().empty());
}

}  // namespace
