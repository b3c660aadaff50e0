// The library boundary: the logging module (the observer sees every record whole; the file
// takes records from its level up, rotates keeping one previous file, and lies in the folder
// named after the log), UTF-8 to UTF-16 and back, files opened with libtiff's allocation
// limit in force, and the vocabulary's own refusal of a missing word or value.
#include "boundary/TextCodec.h"
#include "boundary/TiffFileOpener.h"
#include "boundary/c/Vocabulary.h"
#include "merrow_logger/Logger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "support/ImageWords.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

namespace {

using merrow_logger::Logger;
using merrow_logger::severity_level;
using orvex::TextCodec;
using orvex::TiffFileOpener;

// A logger named `name` writing into `folder` (none: the one its variable names) from
// `threshold` up, rotating at `rotationSize`.
Logger logger(const char* name, const char* folder, severity_level threshold,
              std::uint64_t rotationSize = 1 << 20) {
  return Logger(name, folder, threshold, false, false, false, true, rotationSize, nullptr, nullptr,
                nullptr);
}

// Texts around the length formatted in one pass, and far beyond it; the observer also sees what
// a logger whose folder cannot be made (a file is in the way) cannot write.
TEST(Logger, ObserverSeesEveryLevelWithTheWholeFormattedText) {
  orvex_test::TempDir temp;
  std::ofstream(temp.file("file"));
  Logger unit = logger("Unit", temp.file("file/folder").c_str(), severity_level::detail);
  orvex_test::LogCapture capture;
  unit.log(severity_level::detail, "[%s] value %u", "Op", 7U);
  unit.log(severity_level::error, "plain");
  std::string expected = "[0] [Op] value 7\n[4] plain\n";
  for (const size_t length : {510, 511, 512, 10000}) {
    unit.log(severity_level::warning, "%s!", std::string(length, 'x').c_str());
    expected += "[3] " + std::string(length, 'x') + "!\n";
  }
  EXPECT_EQ(orvex_test::transcriptOf(capture.records()), expected);
}

TEST(Logger, FileTakesRecordsFromItsLevelUpAndRotatesKeepingOnePreviousFile) {
  orvex_test::TempDir temp;
  const std::string folder = temp.path().u8string();
  logger("Unit", folder.c_str(), severity_level::warning).log(severity_level::milestone, "below");
  EXPECT_FALSE(std::filesystem::exists(temp.file("Unit.log")));  // opened by its first record
  logger("Unit", folder.c_str(), severity_level::warning).log(severity_level::warning, "a %d", 3);
  std::stringstream content;
  content << std::ifstream(temp.file("Unit.log")).rdbuf();
  EXPECT_EQ(content.str().substr(23, 8), " [3] a 3");  // after the time stamp
  {
    Logger unit = logger("Unit", folder.c_str(), severity_level::warning, 4096);
    for (int i = 0; i < 100; ++i) unit.log(severity_level::error, "%0200d", i);
  }
  EXPECT_TRUE(std::filesystem::exists(temp.file("Unit.1.log")));
  EXPECT_FALSE(std::filesystem::exists(temp.file("Unit.2.log")));
  EXPECT_LE(std::filesystem::file_size(temp.file("Unit.log")), 4096U + 300U);
}

void setVariable(const char* name, const std::optional<std::string>& value) {
#if defined(_WIN32)
  _putenv_s(name, value.value_or("").c_str());  // an empty value unsets it on Windows
#else
  value ? setenv(name, value->c_str(), 1) : unsetenv(name);
#endif
}

// "Probe Log", given no folder, looks for PROBE_LOG_LOG_DIR: unset, the system's temporary
// folder; set, that folder; set but empty, no file at all (Windows cannot hold that).
TEST(Logger, FolderComesFromTheVariableNamedAfterTheLog) {
#if defined(_WIN32)
  const char* const temporaryVariable = "TMP";
#else
  const char* const temporaryVariable = "TMPDIR";
#endif
  const char* const previous = std::getenv(temporaryVariable);
  const std::optional<std::string> saved =
      previous ? std::optional<std::string>(previous) : std::nullopt;
  orvex_test::TempDir temporary;
  orvex_test::TempDir named;
  setVariable(temporaryVariable, temporary.path().u8string());
  for (const std::optional<std::string>& folder :
       {std::optional<std::string>(), std::optional<std::string>(named.path().u8string()),
        std::optional<std::string>("")}) {
#if defined(_WIN32)
    if (folder && folder->empty()) continue;
#endif
    setVariable("PROBE_LOG_LOG_DIR", folder);
    logger("Probe Log", nullptr, severity_level::error).log(severity_level::error, "kept");
    EXPECT_EQ(std::filesystem::remove(temporary.file("Probe Log.log")), !folder.has_value());
    EXPECT_EQ(std::filesystem::remove(named.file("Probe Log.log")), folder && !folder->empty());
  }
  setVariable("PROBE_LOG_LOG_DIR", std::nullopt);
  setVariable(temporaryVariable, saved);
}

TEST(TextCodec, ConvertsWellFormedTextToUtf16AndEachUnitBack) {
  const struct {
    std::string utf8;
    std::u16string utf16;
    std::string back;
  } cases[] = {{"", u"", ""},
               {"Alpha 1", u"Alpha 1", "Alpha 1"},
               {"\x7F\xC2\x80", u"\u007F\u0080", "\x7F\xC2\x80"},
               {"\xDF\xBF\xE0\xA0\x80", u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
               {"\xE5\x9C\xB0", u"\u5730", "\xE5\x9C\xB0"},
               {"\xEF\xBF\xBF", u"\uFFFF", "\xEF\xBF\xBF"},
               {"\xF0\x9F\x98\x80", u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
               {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", "\xED\xAF\xBF\xED\xBF\xBF"},
               {std::string("a\0b", 3), std::u16string(u"a\0b", 3), std::string("a\0b", 3)}};
  for (const auto& c : cases) {
    EXPECT_EQ(TextCodec::utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(TextCodec::utf16ToUtf8(c.utf16), c.back) << c.utf8;
  }
  EXPECT_EQ(TextCodec::utf16ToUtf8(std::u16string(1, char16_t(0xD83D))), "\xED\xA0\xBD");
}

// A lone continuation byte, an invalid lead byte, cut two- and three-byte forms, a bad
// continuation, overlong forms of '/', an encoded surrogate, a value above U+10FFFF, a
// five-byte form.
TEST(TextCodec, RefusesIllFormedUtf8) {
  for (const char* text :
       {"\x80", "\xFF", "a\xC3", "\xE5\x9C", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF",
        "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"}) {
    try {
      TextCodec::utf8ToUtf16(text);
      ADD_FAILURE() << "no exception for " << text;
    } catch (const std::range_error& error) {
      EXPECT_STREQ(error.what(), "bad conversion");
    }
  }
}

// Kept, a surrogate encoded on its own becomes its unit, a pair of them two units; every other
// ill-formed form is still refused.
TEST(TextCodec, KeepsSurrogatesEncodedOnTheirOwnWhenAsked) {
  const auto kept = TextCodec::Surrogates::Kept;
  EXPECT_EQ(TextCodec::utf8ToUtf16("G\xED\xA0\x80\xED\xBF\xBF", kept), u"G\xD800\xDFFF");
  EXPECT_EQ(TextCodec::utf8ToUtf16("\xF0\x9F\x98\x80", kept), u"\U0001F600");
  for (const char* text : {"\xFF", "\xED\xA0", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80"}) {
    EXPECT_FALSE(TextCodec::isWellFormed(text, kept)) << text;
  }
}

// TIFFReadBufferSetup allocates its buffer through the handle, so it is refused above the
// handle's limit.
TEST(TiffFileOpener, LibtiffAllocationsAreLimited) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("small.tif");
  orvex_test::writeImageWords(path, "w4 h4");
  TIFF* tif = TiffFileOpener::open(path.c_str(), "rCm");
  ASSERT_NE(tif, nullptr);

  EXPECT_EQ(TIFFReadBufferSetup(tif, nullptr, TiffFileOpener::kMaxLibtiffAllocation + 1), 0);
  EXPECT_EQ(TIFFReadBufferSetup(tif, nullptr, 1 << 20), 1);

  TIFFClose(tif);
}

TEST(Vocabulary, RefusesAMissingWordOrValue) {
  int32_t value = -1;
  EXPECT_EQ(orvex::Vocabulary::parse(3, nullptr, &value), ORVEX_STATUS_INVALID_ARGUMENT);
  EXPECT_EQ(orvex::Vocabulary::parse(3, "spot", nullptr), ORVEX_STATUS_INVALID_ARGUMENT);
  EXPECT_EQ(value, -1);
}

}  // namespace
