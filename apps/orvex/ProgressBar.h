// A progress bar on stderr for long copies, drawn only for a person watching a terminal.
#pragma once

#include <cstdint>
#include <string>

namespace orvex_cli {

class ProgressBar {
public:
  /// `total` steps. Invisible unless stderr is a terminal and the image has at least
  /// kLargeImageBytes of samples: a log or a pipe gets nothing extra, and small images are
  /// done before a bar could be read.
  ProgressBar(const std::string& label, uint64_t total, uint64_t imageBytes);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void advance();

  static constexpr uint64_t kLargeImageBytes = uint64_t{16} << 20;

private:
  void draw(unsigned percent);

  std::string label_;
  uint64_t total_;
  uint64_t done_ = 0;
  bool visible_;
  unsigned shownPercent_ = 0;
};

}  // namespace orvex_cli
