#include "boundary/c/FileReplacement.h"

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <random>

#if defined(_WIN32)
#include <windows.h>

#include "boundary/TextCodec.h"
#else
#include <sys/stat.h>
#endif

namespace orvex {
namespace {

#if defined(_WIN32)
std::wstring wideOf(const std::string& utf8) {
  const std::u16string units = TextCodec::utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

// rename() on Windows refuses an existing target.
int replaceFile(const std::string& temporary, const std::string& target) {
  if (MoveFileExW(wideOf(temporary).c_str(), wideOf(target).c_str(), MOVEFILE_REPLACE_EXISTING) !=
      0) {
    return 0;
  }
  return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
}

void removeFile(const std::string& path) {
  DeleteFileW(wideOf(path).c_str());
}

bool isFolderAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wideOf(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
#else
int replaceFile(const std::string& temporary, const std::string& target) {
  return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

void removeFile(const std::string& path) {
  std::remove(path.c_str());
}

bool isFolderAt(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
#endif

}  // namespace

std::string FileReplacement::temporaryNameFor(const std::string& target) {
  static std::atomic<uint32_t> counter{0};
  std::random_device random;
  char suffix[40];
  std::snprintf(suffix, sizeof(suffix), ".%08" PRIx32 "%04" PRIx32 ".orvex-tmp",
                static_cast<uint32_t>(random()), counter.fetch_add(1) & 0xFFFFU);
  return target + suffix;
}

int FileReplacement::replace(const std::string& temporary, const std::string& target) {
  return replaceFile(temporary, target);
}

void FileReplacement::remove(const std::string& path) {
  removeFile(path);
}

bool FileReplacement::isFolder(const std::string& path) {
  return isFolderAt(path);
}

}  // namespace orvex
