#include "LibraryCall.h"

#include <algorithm>

#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

// The callback runs on whichever thread logs, while the library holds its log lock, and
// mostly while that thread has released the GIL. Taking the GIL there could deadlock against
// a thread that holds the GIL and waits for that lock, so each thread only notes its
// records here and publishes them once the call is over.
thread_local LibraryCall* activeCall = nullptr;

constexpr int kError = 4;

// Python's levels for the library's 0 to 4: detail and dump are DEBUG.
int pythonLevel(int level) {
  static const int kLevels[] = {10, 10, 20, 30, 40};
  return kLevels[std::clamp(level, 0, kError)];
}

// Some records end in blank lines meant for the log file.
std::string withoutTrailingLineFeeds(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

void LibraryCall::connectLog() {
  // As Python's libraries do: records reach the handlers the application configures, and
  // without any, warnings are not printed on stderr by logging's last resort.
  const py::module_ logging = py::module_::import("logging");
  logging.attr("getLogger")("orvex").attr("addHandler")(logging.attr("NullHandler")());
  py::gil_scoped_release released;
  orvex_set_log_callback(&LibraryCall::observe, nullptr);
  orvex_route_libtiff_messages(1);
}

LibraryCall::LibraryCall() : enclosing_(activeCall) {
  activeCall = this;
}

LibraryCall::~LibraryCall() {
  activeCall = enclosing_;
}

void LibraryCall::observe(int32_t level, const char* text, void* /*userData*/) {
  if (activeCall != nullptr && text != nullptr) {
    activeCall->records_.push_back({level, withoutTrailingLineFeeds(text)});
  }
}

std::string LibraryCall::lastFailure() {
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  return reason;
}

void LibraryCall::publish() {
  if (records_.empty()) {
    return;
  }
  const py::object logger = py::module_::import("logging").attr("getLogger")("orvex");
  const py::object isEnabledFor = logger.attr("isEnabledFor");
  const py::object log = logger.attr("log");
  for (const Record& record : records_) {
    const int level = pythonLevel(record.level);
    if (isEnabledFor(level).cast<bool>()) {
      log(level, Utf8Text::toPython(record.text, "replace"));
    }
  }
}

}  // namespace orvex_python
