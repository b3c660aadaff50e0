// One open file, shared by its orvex.File, its pages and their row iterators.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include <pybind11/pybind11.h>

#include "orvex/orvex.h"

namespace orvex_python {

/// The library's reader is driven by one thread at a time, so every use takes `mutex_`. It
/// is taken only with the GIL released: a thread waiting for it never holds the GIL that the
/// thread inside needs to finish.
class SharedReader {
public:
  /// Opens `path` (UTF-8); orvex.Error with the library's reason when it cannot.
  explicit SharedReader(const std::string& path);

  uint16_t directoryCount() const { return directoryCount_; }

  /// Runs `work(reader)` with directory `dir` begun, beginning it again when another one was
  /// used since. Called with the GIL released. False when the directory cannot be begun or
  /// `work` returns false; ValueError when the file is closed.
  template <class Work>
  bool onDirectory(uint16_t dir, Work&& work) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) {
      throw pybind11::value_error("I/O operation on a closed file");
    }
    if (currentDirectory_ != dir) {
      currentDirectory_ = -1;
      if (!reader_->beginReadSubDir(dir)) {
        return false;
      }
      currentDirectory_ = dir;
    }
    return work(*reader_);
  }

  /// Closes the file; later reads raise ValueError. Closing again does nothing.
  void close();

private:
  std::mutex mutex_;
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader_;
  uint16_t directoryCount_ = 0;
  int currentDirectory_ = -1;
  bool open_ = false;
};

}  // namespace orvex_python
