#include "boundary/c/CallRecords.h"

#include <system_error>
#include <vector>

#include "boundary/LibtiffMessages.h"

namespace orvex {
namespace {

constexpr int kMilestone = 2;
constexpr int kError = 4;

struct Record {
  int level;
  std::string text;
};

struct ThreadCall {
  bool active = false;
  std::vector<Record> explaining;
  int systemError = 0;
  std::string lastFailure;
};

thread_local ThreadCall threadCall;

bool isLibtiffRecord(const std::string& text) {
  return text.compare(0, 10, "[libtiff] ") == 0;
}

// Most pages the library cannot read are refused at level 4, but a few kinds of image are
// refused by a milestone saying so; those are the only milestones that explain a failure.
bool explains(int level, const std::string& text) {
  return !isLibtiffRecord(text) &&
         (level >= kError ||
          (level == kMilestone && text.find("not support") != std::string::npos));
}

std::string causeOf(const std::vector<Record>& records, const std::string& otherwise) {
  for (const Record& record : records) {
    if (record.level >= kError) {
      return record.text;
    }
  }
  if (!records.empty()) {
    return records.front().text;
  }
  return otherwise.empty() ? "the library gave no reason" : otherwise;
}

}  // namespace

void CallRecords::begin() {
  threadCall.active = true;
  threadCall.explaining.clear();
  threadCall.systemError = 0;
  LibtiffMessages::forget();
}

void CallRecords::note(int level, const char* text) {
  if (!threadCall.active || text == nullptr) {
    return;
  }
  if (explains(level, text)) {
    threadCall.explaining.push_back({level, text});
  }
}

void CallRecords::noteSystemError(int error) {
  threadCall.systemError = error;
}

void CallRecords::end(bool failed, const std::string& otherwise) {
  threadCall.active = false;
  if (!failed) {
    return;
  }
  std::string reason = causeOf(threadCall.explaining, otherwise);
  const LibtiffError& libtiff = LibtiffMessages::firstError();
  if (LibtiffMessages::routed() && libtiff.reported) {
    reason += " (libtiff: " + libtiff.text + ")";
  }
  if (threadCall.systemError != 0) {
    reason += ": " + std::generic_category().message(threadCall.systemError);
  }
  threadCall.lastFailure = std::move(reason);
}

const char* CallRecords::lastFailure() {
  return threadCall.lastFailure.c_str();
}

}  // namespace orvex
