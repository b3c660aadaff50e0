// The exports and the header-only name repair, as a host sees them; and the library as a
// Windows module: a second copy of the DLL is loaded, used and unloaded, so that its entry
// point, its static initialisation (the logger) and its at-exit list (the logger's destruction
// at unload) all run inside the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvex/ChannelNames.h"
#include "orvex/orvex.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>

#include "support/TempDir.h"
#endif

namespace {

// Each null pointer is skipped on its own.
TEST(Exports, GiveVersionOneThreeFourAndIgnoreNullPointers) {
  uint32_t version[3] = {};
  orvexVersionNum(&version[0], &version[1], &version[2]);
  EXPECT_EQ(std::vector<uint32_t>(version, version + 3), (std::vector<uint32_t>{1, 3, 4}));
  version[1] = 99;
  orvexVersionNum(nullptr, &version[1], nullptr);
  orvexVersionNum(nullptr, nullptr, nullptr);
  EXPECT_EQ(version[1], 3U);
  const char* text[2] = {};
  orvexVersionString(&text[0]);
  orvexVersionString(&text[1]);
  orvexVersionString(nullptr);
  EXPECT_STREQ(text[0], "1.3.4");
  EXPECT_EQ(text[0], text[1]);
  destroyTiffReader(nullptr);
  destroyTiffWriter(nullptr);
}

// U+1F600 amid other characters, U+10FFFF and U+10000, the last and the first pair values; lone,
// reversed or cut surrogates stay as they came.
TEST(JoinSurrogatePairs, JoinsPairsAndKeepsEverythingElse) {
  const std::pair<std::string, std::string> names[] = {
      {"a\xED\xA0\xBD\xED\xB8\x80z", "a\xF0\x9F\x98\x80z"},
      {"\xED\xAF\xBF\xED\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"\xED\xA0\x80\xED\xB0\x80", "\xF0\x90\x80\x80"},
      {"Gr\xC3\xBCn \xED\xA0\xBD", "Gr\xC3\xBCn \xED\xA0\xBD"},
      {"\xED\xB8\x80\xED\xA0\xBD", "\xED\xB8\x80\xED\xA0\xBD"},
      {"\xED\xA0\xBD\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\xBD\xF0\x9F\x98\x80"},
      {"\xED\xA0\xBD\xED\xB8", "\xED\xA0\xBD\xED\xB8"}};
  for (const auto& [delivered, repaired] : names) {
    EXPECT_EQ(orvex::joinSurrogatePairs(delivered), repaired) << delivered;
  }
}

#if defined(_WIN32)
template <typename Function>
Function exported(HMODULE module, const char* name) {
  // GetProcAddress hands out a generic function pointer; the export's real type is known.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

#endif

TEST(WindowsModule, SecondCopyLoadsServesAndUnloads) {
#if !defined(_WIN32)
  GTEST_SKIP() << "LoadLibrary and DllMain exist on Windows only";
#else
  HMODULE linked = GetModuleHandleW(L"orvex.dll");
  ASSERT_NE(linked, nullptr) << "orvex.dll is not loaded";
  wchar_t original[MAX_PATH] = {};
  GetModuleFileNameW(linked, original, MAX_PATH);
  orvex_test::TempDir temp;
  const std::filesystem::path copy = temp.path() / L"orvex-copy.dll";
  std::filesystem::copy_file(original, copy);

  HMODULE module = LoadLibraryW(copy.c_str());
  ASSERT_NE(module, nullptr) << "LoadLibrary failed with error " << GetLastError();
  const char* version = nullptr;
  exported<void (*)(const char**)>(module, "orvexVersionString")(&version);
  EXPECT_STREQ(version, "1.3.4");

  ITiffReader* reader = exported<ITiffReader* (*)()>(module, "createTiffReader")();
  ASSERT_NE(reader, nullptr);
  EXPECT_FALSE(reader->begin(""));  // logs through the copy's own logger
  exported<void (*)(ITiffReader*)>(module, "destroyTiffReader")(reader);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(copy.filename().c_str()), nullptr);
#endif
}

}  // namespace
