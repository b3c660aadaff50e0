#include "ReplacingFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "ToolError.h"
#include "Utf8Io.h"

namespace orvex_cli {
namespace {

std::string randomPart() {
  static const char kDigits[] = "0123456789abcdef";
  std::random_device seed;
  std::mt19937 random(seed());
  std::string part(12, '0');
  for (char& digit : part) {
    digit = kDigits[random() % 16];
  }
  return part;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target)
    : target_(target), temporary_(target + "." + randomPart() + kSuffix) {
  // Checked before anything is written: the rename of the commit could not replace a folder.
  std::error_code ignored;
  if (std::filesystem::is_directory(std::filesystem::u8path(target_), ignored)) {
    fail("it is a folder, not a file");
  }
  stream_ = Utf8Io::openFile(temporary_, "wb");
  if (stream_ == nullptr) {
    fail(std::strerror(errno));
  }
}

ReplacingFile::~ReplacingFile() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
  }
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::u8path(temporary_), ignored);
  }
}

void ReplacingFile::commit() {
  const bool flushed = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (!flushed || !closed) {
    fail(std::strerror(flushed ? errno : flushError));
  }
  // std::filesystem::rename replaces an existing target on every platform.
  std::error_code error;
  std::filesystem::rename(std::filesystem::u8path(temporary_), std::filesystem::u8path(target_),
                          error);
  if (error) {
    fail(error.message());
  }
  committed_ = true;
}

void ReplacingFile::fail(const std::string& reason) const {
  throw ToolError(kExitFileError, "cannot write " + target_ + ": " + reason);
}

}  // namespace orvex_cli
