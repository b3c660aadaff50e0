#include "boundary/c/LogRelay.h"

#include <mutex>

#include "boundary/c/CallRecords.h"
#include "merrow_logger/Logger.h"

namespace orvex {
namespace {

struct HostCallback {
  std::mutex mutex;
  orvex_log_callback callback = nullptr;
  void* userData = nullptr;
};

HostCallback& hostCallback() {
  static HostCallback instance;
  return instance;
}

}  // namespace

void LogRelay::attach() {
  merrow_logger_set_observer(&LogRelay::observe, nullptr);
}

// Every call of the interface passes here: once installed, a local static costs one load of its
// guard, where std::call_once goes through pthread_once and thread-local state each time.
void LogRelay::attachOnce() {
  static const bool attached = (attach(), true);
  static_cast<void>(attached);
}

// The callback runs under the mutex, so that replacing it waits for a call in progress.
void LogRelay::setCallback(orvex_log_callback callback, void* userData) {
  HostCallback& host = hostCallback();
  {
    const std::lock_guard<std::mutex> lock(host.mutex);
    host.callback = callback;
    host.userData = userData;
  }
  attach();
}

void LogRelay::observe(int level, const char* text, void* /*context*/) {
  CallRecords::note(level, text);
  HostCallback& host = hostCallback();
  const std::lock_guard<std::mutex> lock(host.mutex);
  if (host.callback != nullptr) {
    host.callback(level, text, host.userData);
  }
}

}  // namespace orvex
