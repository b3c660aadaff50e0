#include "IccProfileFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "ReplacingFile.h"
#include "ToolError.h"
#include "Utf8Io.h"

namespace orvex_cli {
namespace {


uint32_t declaredSize(const std::vector<uint8_t>& bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

void IccProfileFile::write(const std::string& path, const std::vector<uint8_t>& profile) {
  ReplacingFile file(path);
  if (std::fwrite(profile.data(), 1, profile.size(), file.stream()) != profile.size()) {
    throw ToolError(kExitFileError, "cannot write " + path);
  }
  file.commit();
}

std::vector<uint8_t> IccProfileFile::read(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(Utf8Io::openFile(path, "rb"), std::fclose);
  if (!file) {
    throw ToolError(kExitFileError, "cannot read " + path + ": " + std::strerror(errno));
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (bytes.size() < 4 || declaredSize(bytes) != bytes.size()) {
    throw ToolError(kExitFileError, path + " is not an ICC profile");
  }
  return bytes;
}

}  // namespace orvex_cli
