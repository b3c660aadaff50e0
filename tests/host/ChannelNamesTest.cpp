// Channel names with characters above U+FFFF, as the reader delivers them, repaired for hosts.
#include <gtest/gtest.h>

#include <string>

#include "orvex/ChannelNames.h"

namespace {

struct NameCase {
  const char* delivered;
  const char* repaired;
};

class JoinSurrogatePairs : public ::testing::TestWithParam<NameCase> {};

TEST_P(JoinSurrogatePairs, JoinsPairsAndKeepsEverythingElse) {
  EXPECT_EQ(orvex::joinSurrogatePairs(GetParam().delivered), GetParam().repaired);
}

INSTANTIATE_TEST_SUITE_P(
    Names, JoinSurrogatePairs,
    ::testing::Values(
        NameCase{"", ""}, NameCase{"PMS 200 C", "PMS 200 C"},
        NameCase{"Gr\xC3\xBCn \xE2\x82\xAC", "Gr\xC3\xBCn \xE2\x82\xAC"},
        // U+1F600 and U+10FFFF, the first and the last pair values, amid other characters.
        NameCase{"a\xED\xA0\xBD\xED\xB8\x80z", "a\xF0\x9F\x98\x80z"},
        NameCase{"\xED\xAF\xBF\xED\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        NameCase{"\xED\xA0\x80\xED\xB0\x80", "\xF0\x90\x80\x80"},
        // Lone, reversed or cut surrogates stay as they came.
        NameCase{"\xED\xA0\xBD", "\xED\xA0\xBD"}, NameCase{"\xED\xB8\x80x", "\xED\xB8\x80x"},
        NameCase{"\xED\xB8\x80\xED\xA0\xBD", "\xED\xB8\x80\xED\xA0\xBD"},
        NameCase{"\xED\xA0\xBD\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\xBD\xF0\x9F\x98\x80"},
        NameCase{"\xED\xA0\xBD\xED\xB8", "\xED\xA0\xBD\xED\xB8"}));

}  // namespace
