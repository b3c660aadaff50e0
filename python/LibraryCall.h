// One call into the library from Python: run without the GIL, its log records collected on
// the calling thread, handed to Python's logging afterwards, and its failure raised as
// orvex.Error with the reason the log gave.
#pragma once

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace orvex_python {

/// What orvex.Error carries: the library's own explanation of a failed call.
class OrvexError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class LibraryCall {
public:
  /// Installs the process's log observer and prepares the logger "orvex"; called once,
  /// when the module is imported.
  static void connectLog();

  /// Starts collecting the records the library logs on this thread.
  LibraryCall();
  /// Stops collecting; records not yet published are dropped.
  ~LibraryCall();
  LibraryCall(const LibraryCall&) = delete;
  LibraryCall& operator=(const LibraryCall&) = delete;

  /// Runs `work` with the GIL released, then hands the records it caused to the Python
  /// logger "orvex", also when it throws; raises orvex.Error when it returns false.
  template <class Work>
  void check(Work&& work) {
    bool succeeded = false;
    records_.clear();
    try {
      pybind11::gil_scoped_release released;
      succeeded = work();
    } catch (...) {
      publish();
      throw;
    }
    publish();
    if (!succeeded) {
      throw OrvexError(failureReason());
    }
  }

private:
  struct Record {
    int level;
    std::string text;
  };

  static void observe(int level, const char* text, void* context);
  void publish();
  std::string failureReason() const;

  std::vector<Record> records_;
  LibraryCall* enclosing_;
};

}  // namespace orvex_python
