// The C interface's vocabulary, versions, log callback and per-thread reasons.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "StructLayout.h"
#include "orvex/orvex.h"
#include "support/TempDir.h"

extern "C" int orvexHeaderCompilesAsC(void);

namespace {

// Every value of every vocabulary (the enumerations span -1 to 10) has a word that parses back
// to it, and a text for people.
TEST(Vocabulary, EveryWordParsesBackToItsValue) {
  int words = 0;
  for (int32_t vocabulary = ORVEX_VOCABULARY_SAMPLE_FORMAT;
       vocabulary <= ORVEX_VOCABULARY_COLOR_SPACE; ++vocabulary) {
    for (int32_t value = -1; value <= 10; ++value) {
      const char* word = nullptr;
      const char* text = nullptr;
      int32_t parsed = -99;
      if (orvex_word(vocabulary, value, &word) != ORVEX_STATUS_OK) continue;
      ++words;
      EXPECT_EQ(orvex_display_text(vocabulary, value, &text), ORVEX_STATUS_OK) << word;
      EXPECT_EQ(orvex_parse_word(vocabulary, word, &parsed), ORVEX_STATUS_OK) << word;
      EXPECT_EQ(parsed, value) << word;
    }
  }
  EXPECT_EQ(words, 7 + 12 + 3 + 4 + 2 + 5);
}

struct Word {
  int32_t vocabulary;
  int32_t value;
  const char* word;
  const char* text;
};

// The words hosts already print (the Python module's), where they are not the enumerator's
// own name, and the orvex tool's texts.
TEST(Vocabulary, KeepsTheWordsHostsAlreadyPrint) {
  const Word kept[] = {
      {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_IEEE_FP, "float", "floating point"},
      {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_MIN_IS_BLACK, "min_is_black",
       "grey, min is black"},
      {ORVEX_VOCABULARY_RESOLUTION_UNIT, ORVEX_RESOLUTION_UNIT_UNKNOWN, "unknown", "no unit"},
      {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "unassociated_alpha",
       "unassociated alpha"},
      {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_SPOT, "spot", "spot colour"},
      {ORVEX_VOCABULARY_PLANAR, ORVEX_PLANAR_CONTIG, "contig", "interleaved"},
      {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_GREY, "grey", "greyscale"},
  };
  for (const Word& entry : kept) {
    const char* word = nullptr;
    const char* text = nullptr;
    orvex_word(entry.vocabulary, entry.value, &word);
    orvex_display_text(entry.vocabulary, entry.value, &text);
    EXPECT_STREQ(word, entry.word);
    EXPECT_STREQ(text, entry.text);
  }
}

// The C enumerations are the C++ ones.
static_assert(ORVEX_PHOTOMETRIC_LOG_LUV == static_cast<int32_t>(TiffPhotometric::LogLuv));
static_assert(ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP ==
              static_cast<int32_t>(TiffSampleFormat::ComplexIeeeFp));
static_assert(ORVEX_RESOLUTION_UNIT_CENTIMETER ==
              static_cast<int32_t>(TiffResolutionUnit::Centimeter));
static_assert(ORVEX_CHANNEL_SPOT == static_cast<int32_t>(TiffChannelType::SpotColor));

std::string lastFailure() {
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  return reason;
}

struct Failure {
  const char* what;
  std::function<orvex_status()> call;
  orvex_status status;
  std::string reason;
};

// Each failing call leaves its own reason.
TEST(Vocabulary, ValuesAndWordsOutsideTheTableFailWithTheirReason) {
  const char* word = nullptr;
  int32_t value = 0;
  const Failure failures[] = {
      {"value", [&] { return orvex_word(ORVEX_VOCABULARY_PLANAR, 3, &word); },
       ORVEX_STATUS_OUT_OF_RANGE, "[Vocabulary] no word for value 3 of vocabulary 4!"},
      {"vocabulary", [&] { return orvex_display_text(6, 0, &word); }, ORVEX_STATUS_OUT_OF_RANGE,
       "[Vocabulary] no word for value 0 of vocabulary 6!"},
      {"word", [&] { return orvex_parse_word(ORVEX_VOCABULARY_CHANNEL_KIND, "Spot", &value); },
       ORVEX_STATUS_INVALID_ARGUMENT, "[Vocabulary] \"Spot\" names no value of vocabulary 3!"},
      {"null", [&] { return orvex_parse_word(ORVEX_VOCABULARY_CHANNEL_KIND, "spot", nullptr); },
       ORVEX_STATUS_INVALID_ARGUMENT, "[orvex_parse_word] a required pointer is null!"},
  };
  for (const Failure& failure : failures) {
    EXPECT_EQ(failure.call(), failure.status) << failure.what;
    EXPECT_EQ(lastFailure(), failure.reason) << failure.what;
  }
}

struct Collected {
  std::vector<std::pair<int32_t, std::string>> records;
  static void collect(int32_t level, const char* text, void* user) {
    static_cast<Collected*>(user)->records.emplace_back(level, text);
  }
};

// The callback sees every record, libtiff's too once routed, and the reason ends with
// libtiff's first error; a reason stays with the thread whose call failed.
TEST(Log, CallbackRoutedLibtiffMessagesAndReasonsPerThread) {
  orvex_test::TempDir temp;
  const std::string empty = temp.file("empty.tif");
  std::fclose(std::fopen(empty.c_str(), "w"));
  Collected collected;
  ASSERT_EQ(orvex_set_log_callback(&Collected::collect, &collected), ORVEX_STATUS_OK);
  ASSERT_EQ(orvex_route_libtiff_messages(1), ORVEX_STATUS_OK);
  orvex_reader* reader = nullptr;
  EXPECT_EQ(orvex_reader_open(empty.c_str(), &reader), ORVEX_STATUS_DAMAGED_DATA);
  const std::string routedReason = lastFailure();
  orvex_route_libtiff_messages(0);
  orvex_set_log_callback(nullptr, nullptr);
  EXPECT_EQ(orvex_reader_open(empty.c_str(), &reader), ORVEX_STATUS_DAMAGED_DATA);
  const std::string open = "[TiffReader::begin] " + empty + " open file failed!";
  const std::string libtiff = empty + ": Cannot read TIFF header";
  EXPECT_EQ(routedReason, open + " (libtiff: " + libtiff + ")");
  EXPECT_EQ(lastFailure(), open);
  const std::vector<std::pair<int32_t, std::string>> expected = {
      {2, "[TiffReader::begin] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> begin fileName:" + empty + "!"},
      {4, "[libtiff] " + libtiff},
      {4, open}};
  EXPECT_EQ(collected.records, expected);

  std::string elsewhere;
  std::thread([&] {
    const char* word = nullptr;
    orvex_word(7, 7, &word);
    elsewhere = lastFailure();
  }).join();
  EXPECT_EQ(elsewhere, "[Vocabulary] no word for value 7 of vocabulary 7!");
  EXPECT_EQ(lastFailure(), open);
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
