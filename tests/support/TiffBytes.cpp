#include "support/TiffBytes.h"

#include <fstream>
#include <stdexcept>

namespace orvex_test {
namespace {

constexpr uint32_t kEntryBytes = 12;

class LittleEndianFile {
public:
  explicit LittleEndianFile(const std::string& path)
      : file_(path, std::ios::in | std::ios::out | std::ios::binary) {
    if (!file_) {
      throw std::runtime_error("cannot open " + path);
    }
  }

  uint32_t read(uint32_t offset, int bytes) {
    file_.seekg(offset);
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<uint32_t>(static_cast<uint8_t>(file_.get())) << (8 * i);
    }
    return value;
  }

  void write(uint32_t offset, uint32_t value, int bytes) {
    file_.seekp(offset);
    for (int i = 0; i < bytes; ++i) {
      file_.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
  }

  uint32_t directory(uint16_t index) {
    uint32_t offset = read(4, 4);
    for (uint16_t i = 0; i < index; ++i) {
      offset = read(nextLinkOf(offset), 4);
    }
    return offset;
  }

  uint32_t nextLinkOf(uint32_t directoryOffset) {
    return directoryOffset + 2 + read(directoryOffset, 2) * kEntryBytes;
  }

  uint32_t entryOf(uint32_t directoryOffset, uint16_t tag) {
    const uint32_t count = read(directoryOffset, 2);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t entry = directoryOffset + 2 + i * kEntryBytes;
      if (read(entry, 2) == tag) {
        return entry;
      }
    }
    throw std::runtime_error("no such tag");
  }

private:
  std::fstream file_;
};

}  // namespace

uint32_t directoryOffset(const std::string& path, uint16_t directory) {
  return LittleEndianFile(path).directory(directory);
}

void setNextDirectoryOffset(const std::string& path, uint16_t directory, uint32_t nextOffset) {
  LittleEndianFile file(path);
  file.write(file.nextLinkOf(file.directory(directory)), nextOffset, 4);
}

void renameTag(const std::string& path, uint16_t directory, uint16_t tag, uint16_t newTag) {
  LittleEndianFile file(path);
  file.write(file.entryOf(file.directory(directory), tag), newTag, 2);
}

}  // namespace orvex_test
