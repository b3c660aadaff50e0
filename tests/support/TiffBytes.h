// Edits of the bytes of a written little-endian classic TIFF, for files libtiff itself would not
// write: broken directory chains, renamed tags, sizes and offsets that do not fit the data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvex_test {

/// File offset of directory `directory`, found by following the chain from the header.
uint32_t directoryOffset(const std::string& path, uint16_t directory);

/// Makes directory `directory` name `nextOffset` as the next directory of the chain.
void setNextDirectoryOffset(const std::string& path, uint16_t directory, uint32_t nextOffset);

/// New contents for the fields of one directory entry; fields left unset keep their bytes.
/// `value` is the entry's last four bytes: the value itself when it fits there, else the
/// offset of the values.
struct EntryEdit {
  std::optional<uint16_t> tag;
  std::optional<uint16_t> type;
  std::optional<uint32_t> count;
  std::optional<uint32_t> value;
};

/// Rewrites entry `tag` of directory `directory`; throws std::runtime_error when it is missing.
void editEntry(const std::string& path, uint16_t directory, uint16_t tag, const EntryEdit& edit);

/// Sets value `index` of the 32-bit values that entry `tag` keeps outside the directory (the
/// offsets or byte counts of one strip or tile among several).
void setArrayValue(const std::string& path, uint16_t directory, uint16_t tag, uint32_t index,
                   uint32_t value);

}  // namespace orvex_test
