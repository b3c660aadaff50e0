// The frame of every entry point of the C interface: the call's records are collected, an
// exception becomes a status, and a failure leaves its reason for the thread.
#pragma once

#include <string>

#include "boundary/c/CallRecords.h"
#include "orvex/orvex_c.h"

namespace orvex {

class CallGuard {
public:
  CallGuard() = delete;

  template <class Work>
  static orvex_status run(Work&& work) noexcept {
    begin();
    orvex_status status = ORVEX_STATUS_OK;
    std::string exceptionText;
    try {
      status = work();
    } catch (...) {
      status = statusOfCurrentException(exceptionText);
    }
    return finish(status, exceptionText);
  }

private:
  /// Starts collecting the call's records, the log relay installed.
  static void begin() noexcept;
  /// The status of the exception being handled; its text for the reason.
  static orvex_status statusOfCurrentException(std::string& text) noexcept;
  static orvex_status finish(orvex_status status, const std::string& exceptionText) noexcept;
};

}  // namespace orvex
