#include "boundary/TextCodec.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using orvex::TextCodec;

// UTF-8 text, its UTF-16 form, and that form written back: each unit on its own, so a
// surrogate pair comes back as two three-byte characters.
struct WellFormed {
  std::string utf8;
  std::u16string utf16;
  std::string back;
};

class TextCodecWellFormed : public ::testing::TestWithParam<WellFormed> {};

TEST_P(TextCodecWellFormed, ConvertsToUtf16AndEachUnitBack) {
  EXPECT_EQ(TextCodec::utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(TextCodec::utf16ToUtf8(GetParam().utf16), GetParam().back);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, TextCodecWellFormed,
    ::testing::Values(WellFormed{"", u"", ""}, WellFormed{"Alpha 1", u"Alpha 1", "Alpha 1"},
                      WellFormed{"\xC3\xA9", u"\u00E9", "\xC3\xA9"},          // two bytes
                      WellFormed{"\xE5\x9C\xB0", u"\u5730", "\xE5\x9C\xB0"},  // three bytes
                      WellFormed{"\xEF\xBF\xBF", u"\uFFFF", "\xEF\xBF\xBF"},  // last BMP value
                      WellFormed{"\xF0\x9F\x98\x80", u"\U0001F600",           // surrogate pair
                                 "\xED\xA0\xBD\xED\xB8\x80"},
                      WellFormed{"\xF4\x8F\xBF\xBF", u"\U0010FFFF", "\xED\xAF\xBF\xED\xBF\xBF"},
                      WellFormed{std::string("a\0b", 3), std::u16string(u"a\0b", 3),
                                 std::string("a\0b", 3)}));

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

TEST(TextCodec, LoneSurrogateUnitIsWrittenAsThreeBytes) {
  EXPECT_EQ(TextCodec::utf16ToUtf8(std::u16string(1, char16_t(0xD83D))), "\xED\xA0\xBD");
}

}  // namespace
