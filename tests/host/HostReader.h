// A reader obtained through the exports, as a host holds it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvex/orvex.h"

namespace orvex_host_test {

using ReaderPtr = std::unique_ptr<ITiffReader, void (*)(ITiffReader*)>;

inline ReaderPtr makeReader() {
  return ReaderPtr(createTiffReader(), destroyTiffReader);
}

/// The delivered scanline, copied out of the reader's buffer; empty when the read failed.
std::vector<uint8_t> interleavedRow(ITiffReader& reader, uint32_t row);
std::vector<uint8_t> channelRow(ITiffReader& reader, uint16_t channel, uint32_t row);

}  // namespace orvex_host_test
