#include "ProgressBar.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvex_cli {
namespace {

constexpr unsigned kBarWidth = 40;

bool stderrIsTerminal() {
#if defined(_WIN32)
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

ProgressBar::ProgressBar(const std::string& label, uint64_t total, uint64_t imageBytes)
    : label_(label),
      total_(total),
      visible_(total > 0 && imageBytes >= kLargeImageBytes && stderrIsTerminal()) {
  if (visible_) {
    draw(0);
  }
}

ProgressBar::~ProgressBar() {
  if (visible_) {
    std::fputc('\n', stderr);
  }
}

void ProgressBar::advance() {
  if (!visible_ || done_ >= total_) {
    return;
  }
  ++done_;
  const auto percent = static_cast<unsigned>(done_ * 100 / total_);
  if (percent != shownPercent_) {
    draw(percent);
  }
}

void ProgressBar::draw(unsigned percent) {
  shownPercent_ = percent;
  const unsigned filled = percent * kBarWidth / 100;
  std::string bar(filled, '#');
  bar.append(kBarWidth - filled, '.');
  std::fprintf(stderr, "\r%s [%s] %3u%%", label_.c_str(), bar.c_str(), percent);
  std::fflush(stderr);
}

}  // namespace orvex_cli
