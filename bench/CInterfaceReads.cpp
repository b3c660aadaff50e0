#include "CInterfaceReads.h"

#include <stdexcept>
#include <string>

#include "orvex/orvex_c.h"

namespace orvex_bench {
namespace {

[[noreturn]] void fail(const std::string& what) {
  const char* reason = "";
  orvex_last_failure(&reason);
  throw std::runtime_error(what + ": " + reason);
}

// The first page of a file, open through the C interface for as long as it lives.
class CPage {
public:
  explicit CPage(const char* path) {
    if (orvex_reader_open(path, &reader_) != ORVEX_STATUS_OK) {
      fail(std::string("the C interface cannot open ") + path);
    }
    info_.struct_size = sizeof info_;
    if (orvex_reader_select_page(reader_, 0) != ORVEX_STATUS_OK ||
        orvex_reader_page_info(reader_, &info_) != ORVEX_STATUS_OK) {
      orvex_reader_destroy(reader_);
      fail(std::string("the C interface cannot read ") + path);
    }
  }
  ~CPage() { orvex_reader_destroy(reader_); }
  CPage(const CPage&) = delete;
  CPage& operator=(const CPage&) = delete;

  orvex_reader* reader() { return reader_; }
  const orvex_page_info& info() const { return info_; }

private:
  orvex_reader* reader_ = nullptr;
  orvex_page_info info_{};
};

}  // namespace

void readRowsThroughCInterface(const char* path, RowSink& sink) {
  CPage page(path);
  const uint32_t rows = page.info().scanline_count;
  for (uint32_t row = 0; row < rows; ++row) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (orvex_reader_read_scanline(page.reader(), row, &data, &size) != ORVEX_STATUS_OK) {
      fail("orvex_reader_read_scanline failed at row " + std::to_string(row));
    }
    sink.take(data, size);
  }
}

void readChannelsThroughCInterface(const char* path, RowSink& sink) {
  CPage page(path);
  const uint32_t rows = page.info().scanline_count;
  const uint32_t channels = page.info().samples_per_pixel;
  for (uint32_t row = 0; row < rows; ++row) {
    for (uint32_t channel = 0; channel < channels; ++channel) {
      const uint8_t* data = nullptr;
      uint32_t size = 0;
      if (orvex_reader_read_channel_scanline(page.reader(), channel, row, &data, &size) !=
          ORVEX_STATUS_OK) {
        fail("orvex_reader_read_channel_scanline failed at row " + std::to_string(row));
      }
      sink.take(data, size);
    }
  }
}

}  // namespace orvex_bench
