#include "HostReader.h"

namespace orvex_host_test {
namespace {

std::vector<uint8_t> copied(bool ok, const uint8_t* data, uint32_t size) {
  return ok ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

}  // namespace

std::vector<uint8_t> interleavedRow(ITiffReader& reader, uint32_t row) {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader.readScanline(row, &data, &size);
  return copied(ok, data, size);
}

std::vector<uint8_t> channelRow(ITiffReader& reader, uint16_t channel, uint32_t row) {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader.readScanline(channel, row, &data, &size);
  return copied(ok, data, size);
}

}  // namespace orvex_host_test
