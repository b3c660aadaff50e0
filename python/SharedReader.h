// One open file, shared by its orvex.File, its pages and their row iterators.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "orvex/orvex_c.h"

namespace orvex_python {

/// A reader handle is driven by one thread at a time, so every use takes `mutex_`. It is
/// taken only with the GIL released: a thread waiting for it never holds the GIL that the
/// thread inside needs to finish.
class SharedReader {
public:
  /// Opens `path`; throws LibraryFailure when the library cannot.
  explicit SharedReader(const std::string& path);

  uint32_t pageCount() const { return pageCount_; }

  /// Runs `work(reader)`, which returns an orvex_status, with page `page` selected, selecting
  /// it again when another one was used since. Called with the GIL released. ValueError when
  /// the file is closed.
  template <class Work>
  orvex_status onPage(uint32_t page, Work&& work) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!reader_) {
      throw pybind11::value_error("I/O operation on a closed file");
    }
    if (currentPage_ != page) {
      currentPage_ = kNoPage;
      const orvex_status status = orvex_reader_select_page(reader_.get(), page);
      if (status != ORVEX_STATUS_OK) {
        return status;
      }
      currentPage_ = page;
    }
    return work(reader_.get());
  }

  /// Closes the file; later reads raise ValueError. Closing again does nothing.
  void close();

private:
  static constexpr int64_t kNoPage = -1;

  std::mutex mutex_;
  std::unique_ptr<orvex_reader, orvex_status (*)(orvex_reader*)> reader_;
  uint32_t pageCount_ = 0;
  int64_t currentPage_ = kNoPage;
};

}  // namespace orvex_python
