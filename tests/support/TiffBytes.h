// Edits of the bytes of a written little-endian classic TIFF, for files libtiff itself would not
// write: broken directory chains, renamed tags.
#pragma once

#include <cstdint>
#include <string>

namespace orvex_test {

/// File offset of directory `directory`, found by following the chain from the header.
uint32_t directoryOffset(const std::string& path, uint16_t directory);

/// Makes directory `directory` name `nextOffset` as the next directory of the chain.
void setNextDirectoryOffset(const std::string& path, uint16_t directory, uint32_t nextOffset);

/// Gives entry `tag` of directory `directory` the tag code `newTag`.
void renameTag(const std::string& path, uint16_t directory, uint16_t tag, uint16_t newTag);

}  // namespace orvex_test
