#include "support/LogCapture.h"

#include "merrow_logger/Logger.h"

namespace orvex_test {

LogCapture::LogCapture() {
  merrow_logger_set_observer(&LogCapture::observe, this);
}

LogCapture::~LogCapture() {
  merrow_logger_set_observer(nullptr, nullptr);
}

void LogCapture::observe(int level, const char* text, void* context) {
  static_cast<LogCapture*>(context)->records_.push_back({level, text});
}

}  // namespace orvex_test
