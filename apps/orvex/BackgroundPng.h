// Rows handed to a PngWriter on a thread of its own, so that compressing one batch of rows
// overlaps reading and converting the next.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "PngWriter.h"

namespace orvex_cli {

/// Two batches of rows at most are held: the one being filled and the one being compressed.
/// A failure of the writer (a full disk, a signal noted by Interruption) is thrown again by the
/// next call after it.
class BackgroundPng {
public:
  BackgroundPng(PngWriter& png, size_t rowBytes);
  /// Stops the thread; rows not yet handed over are dropped.
  ~BackgroundPng();
  BackgroundPng(const BackgroundPng&) = delete;
  BackgroundPng& operator=(const BackgroundPng&) = delete;

  /// Copies the next row of the PNG.
  void writeRow(const uint8_t* row);
  /// Hands over the last rows and waits until every row is written; then png.finish().
  void finish();

private:
  /// Waits until the thread is idle, then gives it the filled batch.
  void handOver();
  void waitIdle(std::unique_lock<std::mutex>& lock);
  void work();

  PngWriter& png_;
  size_t rowBytes_;
  std::vector<uint8_t> filling_;
  std::vector<uint8_t> writing_;
  size_t writingRows_ = 0;  ///< rows of writing_ the thread is to write; 0: idle
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace orvex_cli
