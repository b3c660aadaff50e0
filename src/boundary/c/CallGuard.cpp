#include "boundary/c/CallGuard.h"

#include <new>
#include <stdexcept>

#include "boundary/c/LogRelay.h"

namespace orvex {

// Installing the relay can only fail to take the logger's mutex; the call then goes on without a
// reason, and the next call tries again.
void CallGuard::begin() noexcept {
  CallRecords::begin();
  try {
    LogRelay::attachOnce();
  } catch (...) {
  }
}

orvex_status CallGuard::statusOfCurrentException(std::string& text) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    text = "out of memory";
    return ORVEX_STATUS_OUT_OF_MEMORY;
  } catch (const std::out_of_range& error) {
    text = error.what();
    return ORVEX_STATUS_OUT_OF_RANGE;
  } catch (const std::range_error& error) {
    text = error.what();
    return ORVEX_STATUS_INVALID_ARGUMENT;
  } catch (const std::exception& error) {
    text = error.what();
    return ORVEX_STATUS_DAMAGED_DATA;
  } catch (...) {
    text = "unknown exception";
    return ORVEX_STATUS_DAMAGED_DATA;
  }
}

// Building the reason can itself run out of memory; the status still gets through.
orvex_status CallGuard::finish(orvex_status status, const std::string& exceptionText) noexcept {
  try {
    CallRecords::end(status != ORVEX_STATUS_OK, exceptionText);
  } catch (...) {
  }
  return status;
}

}  // namespace orvex
