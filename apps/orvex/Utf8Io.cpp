#include "Utf8Io.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include <filesystem>
#endif

namespace orvex_cli {

#if defined(_WIN32)
namespace {

std::string utf8Of(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) {
    return {};
  }
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
  text.pop_back();  // the terminating null
  return text;
}

}  // namespace

std::vector<std::string> Utf8Io::arguments(int /*argc*/, char** /*argv*/) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 0; wide != nullptr && i < count; ++i) {
    result.push_back(utf8Of(wide[i]));
  }
  LocalFree(static_cast<HLOCAL>(wide));
  return result;
}

std::FILE* Utf8Io::openFile(const std::string& utf8Path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(std::filesystem::u8path(utf8Path).c_str(), wideMode.c_str());
}

void Utf8Io::useUtf8Console() {
  SetConsoleOutputCP(CP_UTF8);
}

#else

std::vector<std::string> Utf8Io::arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::FILE* Utf8Io::openFile(const std::string& utf8Path, const char* mode) {
  return std::fopen(utf8Path.c_str(), mode);
}

void Utf8Io::useUtf8Console() {}

#endif

}  // namespace orvex_cli
