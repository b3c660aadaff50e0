#include "support/TiffBytes.h"

#include <fstream>
#include <stdexcept>

namespace orvex_test {
namespace {

class LittleEndianFile {
public:
  explicit LittleEndianFile(const std::string& path)
      : file_(path, std::ios::in | std::ios::out | std::ios::binary) {
    if (!file_) throw std::runtime_error("cannot open " + path);
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
    for (int i = 0; i < bytes; ++i) file_.put(static_cast<char>((value >> (8 * i)) & 0xFF));
  }

  uint32_t directory(uint16_t index) {
    uint32_t offset = read(4, 4);
    for (uint16_t i = 0; i < index; ++i) offset = read(linkOf(offset), 4);
    return offset;
  }

  // Where the directory at `directory` keeps the offset of the next one: after its entries.
  uint32_t linkOf(uint32_t directory) { return directory + 2 + read(directory, 2) * 12; }

  uint32_t entryOf(uint32_t directory, uint16_t tag) {
    for (uint32_t entry = directory + 2; entry < linkOf(directory); entry += 12) {
      if (read(entry, 2) == tag) return entry;
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
  file.write(file.linkOf(file.directory(directory)), nextOffset, 4);
}

void editEntry(const std::string& path, uint16_t directory, uint16_t tag, const EntryEdit& edit) {
  LittleEndianFile file(path);
  const uint32_t entry = file.entryOf(file.directory(directory), tag);
  if (edit.tag) file.write(entry, *edit.tag, 2);
  if (edit.type) file.write(entry + 2, *edit.type, 2);
  if (edit.count) file.write(entry + 4, *edit.count, 4);
  if (edit.value) file.write(entry + 8, *edit.value, 4);
}

void setArrayValue(const std::string& path, uint16_t directory, uint16_t tag, uint32_t index,
                   uint32_t value) {
  LittleEndianFile file(path);
  const uint32_t entry = file.entryOf(file.directory(directory), tag);
  file.write(file.read(entry + 8, 4) + 4 * index, value, 4);
}

}  // namespace orvex_test
