#include "BackgroundPng.h"

#include <algorithm>

namespace orvex_cli {
namespace {

// About 1 MiB a batch: few hand-overs, little memory.
constexpr size_t kBatchBytes = size_t{1} << 20;

}  // namespace

BackgroundPng::BackgroundPng(PngWriter& png, size_t rowBytes)
    : png_(png), rowBytes_(std::max<size_t>(rowBytes, 1)) {
  filling_.reserve(std::max(kBatchBytes / rowBytes_, size_t{1}) * rowBytes_);
  writing_.reserve(filling_.capacity());
  thread_ = std::thread([this] { work(); });
}

BackgroundPng::~BackgroundPng() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundPng::writeRow(const uint8_t* row) {
  filling_.insert(filling_.end(), row, row + rowBytes_);
  if (filling_.size() + rowBytes_ > filling_.capacity()) {
    handOver();
  }
}

void BackgroundPng::finish() {
  handOver();
  std::unique_lock<std::mutex> lock(mutex_);
  waitIdle(lock);
}

void BackgroundPng::handOver() {
  std::unique_lock<std::mutex> lock(mutex_);
  waitIdle(lock);
  writing_.swap(filling_);
  writingRows_ = writing_.size() / rowBytes_;
  filling_.clear();
  changed_.notify_all();
}

void BackgroundPng::waitIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return writingRows_ == 0; });
  if (failure_) {
    std::rethrow_exception(failure_);
  }
}

// The rows are written outside the lock: the batch is the thread's until it says it is idle.
void BackgroundPng::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || writingRows_ > 0; });
    if (stopping_) {
      return;
    }
    lock.unlock();
    try {
      for (size_t row = 0; row < writingRows_; ++row) {
        png_.writeRow(writing_.data() + row * rowBytes_);
      }
    } catch (...) {
      failure_ = std::current_exception();
    }
    lock.lock();
    writingRows_ = 0;
    changed_.notify_all();
  }
}

}  // namespace orvex_cli
