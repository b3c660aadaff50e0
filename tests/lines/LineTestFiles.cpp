#include "LineTestFiles.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace orvex_lines_test {

CountingTiff::CountingTiff(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (file_ == nullptr) {
    throw std::runtime_error("cannot open " + path);
  }
  tif_ = TIFFClientOpen(path.c_str(), "rCm", this, &CountingTiff::read, &CountingTiff::write,
                        &CountingTiff::seek, &CountingTiff::close, &CountingTiff::size, nullptr,
                        nullptr);
  if (tif_ == nullptr) {
    std::fclose(file_);
    throw std::runtime_error("libtiff cannot open " + path);
  }
}

CountingTiff::~CountingTiff() {
  TIFFClose(tif_);
  std::fclose(file_);
}

tmsize_t CountingTiff::read(thandle_t handle, void* buffer, tmsize_t size) {
  auto* self = static_cast<CountingTiff*>(handle);
  ++self->reads_;
  return static_cast<tmsize_t>(std::fread(buffer, 1, static_cast<size_t>(size), self->file_));
}

tmsize_t CountingTiff::write(thandle_t, void*, tmsize_t) {
  return 0;
}

toff_t CountingTiff::seek(thandle_t handle, toff_t offset, int whence) {
  auto* self = static_cast<CountingTiff*>(handle);
  if (std::fseek(self->file_, static_cast<long>(offset), whence) != 0) {
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(std::ftell(self->file_));
}

int CountingTiff::close(thandle_t) {
  return 0;
}

toff_t CountingTiff::size(thandle_t handle) {
  auto* self = static_cast<CountingTiff*>(handle);
  const long here = std::ftell(self->file_);
  std::fseek(self->file_, 0, SEEK_END);
  const long end = std::ftell(self->file_);
  std::fseek(self->file_, here, SEEK_SET);
  return static_cast<toff_t>(end);
}

namespace {

uint32_t littleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

uint16_t littleEndian16(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

template <typename Edit>
void editEntry(const std::string& path, uint16_t directory, uint16_t tag, Edit edit) {
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (bytes.size() < 8 || bytes[0] != 'I' || littleEndian16(bytes, 2) != 42) {
    throw std::runtime_error("not a little-endian classic TIFF: " + path);
  }
  size_t ifd = littleEndian32(bytes, 4);
  for (uint16_t d = 0; d < directory; ++d) {
    ifd = littleEndian32(bytes, ifd + 2 + 12 * size_t{littleEndian16(bytes, ifd)});
  }
  const uint16_t entries = littleEndian16(bytes, ifd);
  for (uint16_t e = 0; e < entries; ++e) {
    const size_t entry = ifd + 2 + 12 * size_t{e};
    if (littleEndian16(bytes, entry) == tag) {
      edit(bytes, entry);
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
      return;
    }
  }
  throw std::runtime_error("tag not found");
}

}  // namespace

void patchTagCode(const std::string& path, uint16_t directory, uint16_t tag, uint16_t newTag) {
  editEntry(path, directory, tag,
            [newTag](std::vector<uint8_t>& bytes, size_t entry) { put16(bytes, entry, newTag); });
}

void patchTagValue(const std::string& path, uint16_t directory, uint16_t tag, uint32_t newValue) {
  editEntry(path, directory, tag, [newValue](std::vector<uint8_t>& bytes, size_t entry) {
    const uint16_t type = littleEndian16(bytes, entry + 2);
    if (type == TIFF_SHORT) {
      put16(bytes, entry + 8, static_cast<uint16_t>(newValue));
    } else {
      put16(bytes, entry + 8, static_cast<uint16_t>(newValue));
      put16(bytes, entry + 10, static_cast<uint16_t>(newValue >> 16));
    }
  });
}

}  // namespace orvex_lines_test
