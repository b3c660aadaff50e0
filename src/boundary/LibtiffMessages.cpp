#include "boundary/LibtiffMessages.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

std::atomic<bool> routedToLog{false};
thread_local LibtiffError threadError;

std::string messageOf(const char* module, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof(text), format, arguments);
  return module != nullptr ? std::string(module) + ": " + text : std::string(text);
}

// libtiff goes on to its own handlers when a handle's handler returns 0.
int handled(severity_level level, const std::string& message) {
  if (!routedToLog.load(std::memory_order_relaxed)) {
    return 0;
  }
  moduleLogger().log(level, "[libtiff] %s", message.c_str());
  return 1;
}

}  // namespace

void LibtiffMessages::attachTo(TIFFOpenOptions* options) {
  TIFFOpenOptionsSetErrorHandlerExtR(options, &LibtiffMessages::onError, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, &LibtiffMessages::onWarning, nullptr);
}

void LibtiffMessages::route(bool routed) {
  routedToLog.store(routed, std::memory_order_relaxed);
}

bool LibtiffMessages::routed() {
  return routedToLog.load(std::memory_order_relaxed);
}

// Cleared in place: every call of the C interface begins here, and keeps the text's capacity.
void LibtiffMessages::forget() {
  threadError.reported = false;
  threadError.systemError = 0;
  threadError.text.clear();
}

const LibtiffError& LibtiffMessages::firstError() {
  return threadError;
}

int LibtiffMessages::onError(TIFF* /*tif*/, void* /*userData*/, const char* module,
                             const char* format, va_list arguments) {
  const int systemError = errno;
  std::string message = messageOf(module, format, arguments);
  if (!threadError.reported) {
    threadError = {true, systemError, message};
  }
  return handled(kLogError, message);
}

int LibtiffMessages::onWarning(TIFF* /*tif*/, void* /*userData*/, const char* module,
                               const char* format, va_list arguments) {
  return handled(kLogWarning, messageOf(module, format, arguments));
}

}  // namespace orvex
