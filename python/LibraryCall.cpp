#include "LibraryCall.h"

#include <algorithm>

#include "Utf8Text.h"
#include "merrow_logger/Logger.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

// The observer runs under the logging module's lock on whichever thread logs. Taking the GIL
// there could deadlock against a thread that holds the GIL and waits for that lock, so each
// thread only notes its records here and publishes them once the call is over.
thread_local LibraryCall* activeCall = nullptr;

constexpr int kMilestone = 2;
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
  merrow_logger_set_observer(&LibraryCall::observe, nullptr);
}

LibraryCall::LibraryCall() : enclosing_(activeCall) {
  activeCall = this;
}

LibraryCall::~LibraryCall() {
  activeCall = enclosing_;
}

void LibraryCall::observe(int level, const char* text, void* /*context*/) {
  if (activeCall != nullptr && text != nullptr) {
    activeCall->records_.push_back({level, withoutTrailingLineFeeds(text)});
  }
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

// The first error is the cause; later ones say which step gave up. A few kinds of image are
// refused by a milestone alone, which then is the reason.
std::string LibraryCall::failureReason() const {
  const auto isError = [](const Record& record) { return record.level >= kError; };
  const auto isRefusal = [](const Record& record) {
    return record.level == kMilestone && record.text.find("not support") != std::string::npos;
  };
  auto reason = std::find_if(records_.begin(), records_.end(), isError);
  if (reason == records_.end()) {
    reason = std::find_if(records_.begin(), records_.end(), isRefusal);
  }
  return reason != records_.end() ? reason->text : "the library gave no reason";
}

}  // namespace orvex_python
