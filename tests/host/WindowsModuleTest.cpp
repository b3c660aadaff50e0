// The library as a Windows module: a second copy of the DLL is loaded, used and unloaded,
// so that its entry point, its static initialisation (the logger) and its at-exit list (the
// logger's destruction at unload) all run inside the test.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#include <string>

#include "orvex/orvex.h"
#include "support/TempDir.h"
#endif

namespace {

#if defined(_WIN32)
template <typename Function>
Function exported(HMODULE module, const char* name) {
  // GetProcAddress hands out a generic function pointer; the export's real type is known.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::filesystem::path loadedOrvexDll() {
  HMODULE linked = GetModuleHandleW(L"orvex.dll");
  if (linked == nullptr) {
    return {};
  }
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(linked, path, MAX_PATH);
  return path;
}
#endif

TEST(WindowsModule, SecondCopyLoadsServesAndUnloads) {
#if !defined(_WIN32)
  GTEST_SKIP() << "LoadLibrary and DllMain exist on Windows only";
#else
  const std::filesystem::path original = loadedOrvexDll();
  ASSERT_FALSE(original.empty()) << "orvex.dll is not loaded";
  orvex_test::TempDir temp;
  const std::filesystem::path copy = temp.path() / L"orvex-copy.dll";
  std::filesystem::copy_file(original, copy);

  HMODULE module = LoadLibraryW(copy.c_str());
  ASSERT_NE(module, nullptr) << "LoadLibrary failed with error " << GetLastError();
  for (const char* name : {"createTiffReader", "destroyTiffReader", "createTiffWriter",
                           "destroyTiffWriter", "orvexVersionNum", "orvexVersionString"}) {
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
  }
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
