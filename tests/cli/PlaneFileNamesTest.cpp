// The file names split gives its planes: safe on Windows and Linux, unique in their folder.
// Tested as a class of its own for the names no file can carry (ill-formed UTF-8, NUL).
#include <gtest/gtest.h>

#include "PlaneFileNames.h"

namespace {

using orvex_cli::PlaneFileNames;

TEST(PlaneFileNames, StemsAreSafeOnWindowsAndLinux) {
  const std::pair<std::string, std::string> stems[] = {
      {"Vernis s\xC3\xA9lectif \xF0\x9F\xA5\x87", "Vernis s\xC3\xA9lectif \xF0\x9F\xA5\x87"},
      {"a<b>c:d\"e/f\\g|h?i*j", "a_b_c_d_e_f_g_h_i_j"},
      {std::string("t\ta\nb\x7F") + '\0' + "c", "t_a_b__c"},
      {"Spot. . ", "Spot"},
      {". ..", "_"},
      {"", "_"},
      {"CON", "_CON"},
      {"con.backup", "_con.backup"},
      {"Com1", "_Com1"},
      {"LPT9 .x", "_LPT9 .x"},
      {"aux", "_aux"},
      {"COM\xC2\xB9", "_COM\xC2\xB9"},
      {"COM10", "COM10"},
      {"CONSOLE", "CONSOLE"},
      {"NULL", "NULL"},
      {"\xED\xA0\xBD!", "___!"},  // a lone surrogate, byte by byte, a stray byte, a cut sequence
      {"a\xFF\xC3", "a__"},
      {std::string(250, 'x'), std::string(200, 'x')},
      {std::string(199, 'x') + "\xC3\xA9", std::string(199, 'x')}};  // cut before a character
  for (const auto& [name, stem] : stems) {
    EXPECT_EQ(PlaneFileNames::safeStem(name), stem) << name;
  }
}

TEST(PlaneFileNames, RepeatedNamesAreNumberedWhateverTheirAsciiCase) {
  PlaneFileNames names;
  std::vector<std::string> given;
  for (const char* name : {"Spot", "spot", "Spot (2)", "a/b", "a:b", "SPOT"}) {
    given.push_back(names.claim(name, ".tif"));
  }
  EXPECT_EQ(given, (std::vector<std::string>{"Spot.tif", "spot (2).tif", "Spot (2) (2).tif",
                                             "a_b.tif", "a_b (2).tif", "SPOT (3).tif"}));
}

}  // namespace
