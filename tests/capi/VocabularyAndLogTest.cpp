// The C interface's vocabulary, versions, log callback and per-thread reasons.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "Calls.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

extern "C" int orvexHeaderCompilesAsC(void);

namespace {

// Every value of every vocabulary (the enumerations span -1 to 10) and of one beyond: its word,
// its text for people and the value the word parses back to, or the reason there is none
// (tests/data/transcripts/capi/vocabulary.txt); then calls that fail.
TEST(Vocabulary, EveryWordHasItsTextAndParsesBackToItsValue) {
  std::string text;
  for (int32_t vocabulary = ORVEX_VOCABULARY_SAMPLE_FORMAT;
       vocabulary <= ORVEX_VOCABULARY_COLOR_SPACE + 1; ++vocabulary) {
    for (int32_t value = -1; value <= 10; ++value) {
      const char* word = nullptr;
      const char* shown = nullptr;
      int32_t parsed = -99;
      text += std::to_string(vocabulary) + " " + std::to_string(value) + ": ";
      const orvex_status status = orvex_word(vocabulary, value, &word);
      if (status != ORVEX_STATUS_OK) {
        text += reasonOf(status) + "\n";
        continue;
      }
      EXPECT_EQ(orvex_display_text(vocabulary, value, &shown), ORVEX_STATUS_OK) << word;
      EXPECT_EQ(orvex_parse_word(vocabulary, word, &parsed), ORVEX_STATUS_OK) << word;
      text += std::string(word) + " '" + shown + "' " + std::to_string(parsed) + "\n";
    }
  }
  // Each failing call leaves its own reason: a vocabulary beyond the last, a word in capitals, a
  // null pointer.
  const char* shown = nullptr;
  int32_t parsed = 0;
  text += "text 6 0: " + reasonOf(orvex_display_text(6, 0, &shown)) + "\n";
  text += "parse 3 Spot: " + reasonOf(orvex_parse_word(3, "Spot", &parsed)) + "\n";
  text += "parse 3 spot into null: " + reasonOf(orvex_parse_word(3, "spot", nullptr)) + "\n";
  orvex_test::expectTranscript("capi/vocabulary.txt", text);
}

// The C enumerations are the C++ ones.
static_assert(ORVEX_PHOTOMETRIC_LOG_LUV == static_cast<int32_t>(TiffPhotometric::LogLuv));
static_assert(ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP ==
              static_cast<int32_t>(TiffSampleFormat::ComplexIeeeFp));
static_assert(ORVEX_RESOLUTION_UNIT_CENTIMETER ==
              static_cast<int32_t>(TiffResolutionUnit::Centimeter));
static_assert(ORVEX_CHANNEL_SPOT == static_cast<int32_t>(TiffChannelType::SpotColor));

// Each record the callback sees, as "[level] text".
void collect(int32_t level, const char* text, void* records) {
  *static_cast<std::string*>(records) += "[" + std::to_string(level) + "] " + text + "\n";
}

// The callback sees every record, libtiff's too once routed, and the reason ends with
// libtiff's first error; a reason stays with the thread whose call failed
// (tests/data/transcripts/capi/log.txt).
TEST(Log, CallbackRoutedLibtiffMessagesAndReasonsPerThread) {
  orvex_test::TempDir temp;
  const std::string empty = temp.file("empty.tif");
  std::fclose(std::fopen(empty.c_str(), "w"));
  std::string records;
  ASSERT_EQ(orvex_set_log_callback(&collect, &records), ORVEX_STATUS_OK);
  ASSERT_EQ(orvex_route_libtiff_messages(1), ORVEX_STATUS_OK);
  orvex_reader* reader = nullptr;
  std::string text = "routed: " + reasonOf(orvex_reader_open(empty.c_str(), &reader)) + "\n";
  orvex_route_libtiff_messages(0);
  orvex_set_log_callback(nullptr, nullptr);
  text += "not routed: " + reasonOf(orvex_reader_open(empty.c_str(), &reader)) + "\n" + records;
  std::thread([&] {
    const char* word = nullptr;
    text += "another thread: " + reasonOf(orvex_word(7, 7, &word)) + "\n";
  }).join();
  text += "this thread: " + lastFailure() + "\n";
  orvex_test::expectTranscript("capi/log.txt",
                               orvex_test::replaced(text, {{temp.file(""), "TMP/"}}));
}

TEST(Versions, InterfaceAndLibraryVersionsAreTheBuiltOnes) {
  int32_t interfaceVersion = 0;
  uint32_t major = 0;
  const char* text = nullptr;
  EXPECT_EQ(orvex_interface_version(&interfaceVersion), ORVEX_STATUS_OK);
  EXPECT_EQ(orvex_version(&major, nullptr, nullptr, &text), ORVEX_STATUS_OK);
  EXPECT_EQ(interfaceVersion, ORVEX_C_INTERFACE_VERSION);
  EXPECT_EQ(major, 1U);
  EXPECT_STREQ(text, "1.3.4");
  EXPECT_EQ(orvexHeaderCompilesAsC(), static_cast<int>(sizeof(orvex_page_info)));
}

}  // namespace
