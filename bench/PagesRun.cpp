// orvex_bench_pages: what selecting directories costs in files of many pages, through the
// library's exports against libtiff reading the same file forward.
//
//   orvex_bench_pages FOLDER [PAGES...]     PAGES 1000 10000 65535 by default
//
// Writes FOLDER/pages-N.tif (N pages of 4 x 4 grey 8-bit; an existing file is reused), then,
// for each file, times opening it, beginning every directory and reading its first row, and
// closing it: with libtiff forward (TIFFReadDirectory and TIFFReadScanline), and with the
// library forward, backward and in a shuffled order. Each time is the median of five runs. It
// prints one table row per file and order; the library's time per directory must stay within
// twice libtiff's forward time per directory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuardedMain.h"
#include "TiffHandle.h"
#include "orvex/orvex.h"
#include "support/TiffFileBuilder.h"

namespace orvex_bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kSide = 4;
constexpr int kRuns = 5;
constexpr double kTarget = 2.0;

std::string writePages(const std::filesystem::path& folder, uint32_t pages) {
  const std::string path = (folder / ("pages-" + std::to_string(pages) + ".tif")).string();
  if (std::filesystem::exists(path)) {
    return path;
  }
  orvex_test::TiffSetup page;
  page.width = page.height = page.rowsPerStrip = kSide;
  orvex_test::TiffFileBuilder builder(path);
  for (uint32_t index = 0; index < pages; ++index) {
    builder.addDirectory(page, std::vector<uint8_t>(kSide * kSide, static_cast<uint8_t>(index)));
  }
  return path;
}

// Every directory begun in order, its first row read; the sum of the rows' first bytes shows
// that each was read.
uint64_t readForwardWithLibtiff(const std::string& path) {
  TiffHandle tif(path.c_str(), "rm");
  std::vector<uint8_t> row(kSide);
  uint64_t sum = 0;
  do {
    if (TIFFReadScanline(tif.get(), row.data(), 0, 0) < 0) {
      throw std::runtime_error("libtiff cannot read a row of " + path);
    }
    sum += row[0];
  } while (TIFFReadDirectory(tif.get()) == 1);
  return sum;
}

uint64_t readWithLibrary(const std::string& path, const std::vector<uint16_t>& order) {
  ITiffReader* reader = createTiffReader();
  uint64_t sum = 0;
  bool read = reader->begin(path.c_str());
  for (size_t i = 0; read && i < order.size(); ++i) {
    uint8_t* data = nullptr;
    read = reader->beginReadSubDir(order[i]) && reader->readScanline(0, &data, nullptr);
    sum += read ? data[0] : 0;
  }
  reader->end();
  destroyTiffReader(reader);
  if (!read) {
    throw std::runtime_error("the library cannot read " + path);
  }
  return sum;
}

double medianSeconds(const std::function<uint64_t()>& read, uint64_t expectedSum) {
  std::vector<double> seconds;
  for (int run = 0; run < kRuns; ++run) {
    const Clock::time_point start = Clock::now();
    if (read() != expectedSum) {
      throw std::runtime_error("a run delivered other rows");
    }
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::nth_element(seconds.begin(), seconds.begin() + kRuns / 2, seconds.end());
  return seconds[kRuns / 2];
}

struct Order {
  const char* name;
  std::vector<uint16_t> directories;
};

std::vector<Order> ordersOf(uint32_t pages) {
  std::vector<uint16_t> forward(pages);
  std::iota(forward.begin(), forward.end(), 0);
  std::vector<uint16_t> backward(forward.rbegin(), forward.rend());
  std::vector<uint16_t> shuffled = forward;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(1));
  return {{"forward", forward}, {"backward", backward}, {"shuffled", shuffled}};
}

// One row per order: the library's total and per-directory time, libtiff's forward ones, the
// ratio of the two and whether it meets the target.
bool measure(const std::string& path, uint32_t pages) {
  uint64_t expectedSum = 0;
  for (uint32_t page = 0; page < pages; ++page) {
    expectedSum += static_cast<uint8_t>(page);
  }
  const double libtiff = medianSeconds([&] { return readForwardWithLibtiff(path); }, expectedSum);
  bool met = true;
  for (const Order& order : ordersOf(pages)) {
    const double library =
        medianSeconds([&] { return readWithLibrary(path, order.directories); }, expectedSum);
    const double ratio = library / libtiff;
    met = met && ratio <= kTarget;
    std::printf("| %u | %s | %.3f s | %.2f us | %.3f s | %.2f us | %.2f | %.1f | %s |\n", pages,
                order.name, library, 1e6 * library / pages, libtiff, 1e6 * libtiff / pages, ratio,
                kTarget, ratio <= kTarget ? "yes" : "NO");
    std::fflush(stdout);
  }
  return met;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: orvex_bench_pages FOLDER [PAGES...]\n";
    return 2;
  }
  std::vector<uint32_t> counts;
  for (int i = 2; i < argc; ++i) {
    counts.push_back(static_cast<uint32_t>(std::stoul(argv[i])));
  }
  if (counts.empty()) {
    counts = {1000, 10000, 65535};
  }
  std::printf(
      "| pages | order | library | per page | libtiff forward | per page | ratio | target | "
      "met |\n| --: | --- | --: | --: | --: | --: | --: | --: | --- |\n");
  bool met = true;
  for (const uint32_t pages : counts) {
    met = measure(writePages(argv[1], pages), pages) && met;
  }
  return met ? 0 : 1;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench_pages", orvex_bench::run, argc, argv);
}
