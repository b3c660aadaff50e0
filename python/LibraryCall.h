// One call of the C interface from Python: run without the GIL, its log records collected on
// the calling thread and handed to Python's logging afterwards, its failure raised as the
// orvex.Error its status names, with the library's reason.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "orvex/orvex_c.h"

namespace orvex_python {

class LibraryCall {
public:
  /// Sends the library's records and libtiff's messages to the logger "orvex"; called once,
  /// when the module is imported.
  static void connectLog();

  /// Starts collecting the records the library logs on this thread.
  LibraryCall();
  /// Stops collecting; records not yet published are dropped.
  ~LibraryCall();
  LibraryCall(const LibraryCall&) = delete;
  LibraryCall& operator=(const LibraryCall&) = delete;

  /// Runs `work`, which returns an orvex_status, with the GIL released, then hands the
  /// records it caused to the logger "orvex", also when it throws; throws LibraryFailure
  /// when the status is not ORVEX_STATUS_OK.
  template <class Work>
  void check(Work&& work) {
    orvex_status status = ORVEX_STATUS_OK;
    std::string reason;
    records_.clear();
    try {
      pybind11::gil_scoped_release released;
      status = work();
      if (status != ORVEX_STATUS_OK) {
        reason = lastFailure();
      }
    } catch (...) {
      publish();
      throw;
    }
    publish();
    if (status != ORVEX_STATUS_OK) {
      throw LibraryFailure{status, reason};
    }
  }

private:
  struct Record {
    int level;
    std::string text;
  };

  static void observe(int32_t level, const char* text, void* userData);
  static std::string lastFailure();
  void publish();

  std::vector<Record> records_;
  LibraryCall* enclosing_;
};

}  // namespace orvex_python
