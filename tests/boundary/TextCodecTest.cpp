#include "boundary/TextCodec.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using orvex::TextCodec;

struct WellFormed {
  const char* utf8;
  std::u16string utf16;
};

class TextCodecWellFormed : public ::testing::TestWithParam<WellFormed> {};

TEST_P(TextCodecWellFormed, ConvertsToUtf16) {
  EXPECT_EQ(TextCodec::utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(Samples, TextCodecWellFormed,
                         ::testing::Values(WellFormed{"", u""}, WellFormed{"Alpha 1", u"Alpha 1"},
                                           WellFormed{"\xC3\xA9", u"\u00E9"},      // two bytes
                                           WellFormed{"\xE5\x9C\xB0", u"\u5730"},  // three bytes
                                           WellFormed{"\xEF\xBF\xBF", u"\uFFFF"},  // last BMP value
                                           WellFormed{"\xF0\x9F\x98\x80",
                                                      u"\U0001F600"},  // surrogate pair
                                           WellFormed{"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}));

class TextCodecIllFormed : public ::testing::TestWithParam<const char*> {};

TEST_P(TextCodecIllFormed, ThrowsBadConversion) {
  try {
    TextCodec::utf8ToUtf16(GetParam());
    FAIL() << "no exception";
  } catch (const std::range_error& error) {
    EXPECT_STREQ(error.what(), "bad conversion");
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, TextCodecIllFormed,
                         ::testing::Values("\x80",                 // lone continuation byte
                                           "\xFF",                 // invalid lead byte
                                           "a\xC3",                // truncated two-byte form
                                           "\xE5\x9C",             // truncated three-byte form
                                           "\xC3(",                // bad continuation
                                           "\xC0\xAF",             // overlong '/'
                                           "\xE0\x80\xAF",         // overlong three-byte
                                           "\xF0\x80\x80\xAF",     // overlong four-byte
                                           "\xED\xA0\x80",         // encoded surrogate
                                           "\xF4\x90\x80\x80",     // above U+10FFFF
                                           "\xF8\x88\x80\x80\x80"  // five-byte form
                                           ));

TEST(TextCodec, Utf16ToUtf8WritesEachUnitAsOneCharacter) {
  EXPECT_EQ(TextCodec::utf16ToUtf8(u"A\u00E9\u5730"), "A\xC3\xA9\xE5\x9C\xB0");
  // A surrogate unit is written on its own, as three bytes.
  EXPECT_EQ(TextCodec::utf16ToUtf8(std::u16string(1, char16_t(0xD83D))), "\xED\xA0\xBD");
  EXPECT_EQ(TextCodec::utf16ToUtf8(std::u16string(1, char16_t(0))), std::string(1, '\0'));
}

TEST(TextCodec, RoundTripsBasicMultilingualPlane) {
  const std::string text = "Spot \xE2\x80\x94 \xD0\x9A\xD0\xB0\xD0\xBD\xD0\xB0\xD0\xBB";
  EXPECT_EQ(TextCodec::utf16ToUtf8(TextCodec::utf8ToUtf16(text)), text);
}

}  // namespace
