#include "LibraryReads.h"

#include <stdexcept>
#include <string>

#include "orvex/orvex.h"

namespace orvex_bench {
namespace {

// The first directory of a file, open through the exports for as long as it lives.
class LibraryDirectory {
public:
  explicit LibraryDirectory(const char* path) : reader_(createTiffReader()) {
    if (!reader_->begin(path) || !reader_->beginReadSubDir(0)) {
      destroyTiffReader(reader_);
      throw std::runtime_error(std::string("the library cannot read ") + path);
    }
    info_ = reader_->getImageInfo();
  }
  ~LibraryDirectory() {
    reader_->endReadSubDir();
    reader_->end();
    destroyTiffReader(reader_);
  }
  LibraryDirectory(const LibraryDirectory&) = delete;
  LibraryDirectory& operator=(const LibraryDirectory&) = delete;

  ITiffReader& reader() { return *reader_; }
  const TiffImageInfo& info() const { return info_; }

private:
  ITiffReader* reader_;
  TiffImageInfo info_;
};

[[noreturn]] void failRow(uint32_t row) {
  throw std::runtime_error("readScanline failed at row " + std::to_string(row));
}

}  // namespace

void readRowsThroughLibrary(const char* path, RowSink& sink) {
  LibraryDirectory directory(path);
  const uint32_t rows = directory.info().scanlineCount;
  for (uint32_t row = 0; row < rows; ++row) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!directory.reader().readScanline(row, &data, &size)) {
      failRow(row);
    }
    sink.take(data, size);
  }
}

void readChannelsThroughLibrary(const char* path, RowSink& sink) {
  LibraryDirectory directory(path);
  const uint32_t rows = directory.info().scanlineCount;
  const uint16_t channels = directory.info().samplesPerPixel;
  for (uint32_t row = 0; row < rows; ++row) {
    for (uint16_t channel = 0; channel < channels; ++channel) {
      uint8_t* data = nullptr;
      uint32_t size = 0;
      if (!directory.reader().readScanline(channel, row, &data, &size)) {
        failRow(row);
      }
      sink.take(data, size);
    }
  }
}

}  // namespace orvex_bench
