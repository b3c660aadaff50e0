// orvex_bench_scale: writes one square RGB 8-bit image of smooth content through the
// library's writer and reads it back through its reader, reporting time, file size and the
// peak resident memory of each half, which must not grow with the image.
//
//   orvex_bench_scale FOLDER [SIZE]      SIZE pixels square, 65536 by default (12 GiB raw)
//
// The file is written in FOLDER and removed at the end. The reading runs in a fresh process
// (this program with --read), so that memory the writer freed but kept resident cannot hide
// the reader's own growth.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "GuardedMain.h"
#include "ProcessMemory.h"
#include "RowSink.h"
#include "SmoothContent.h"
#include "orvex/orvex.h"

namespace orvex_bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kSamples = 3;
// The writer's planar configuration for interleaved samples (TIFF's PlanarConfiguration 1).
constexpr int32_t kInterleaved = 1;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double mebibytes(double bytes) {
  return bytes / (1024.0 * 1024.0);
}

// Reports a tenth of the rows at a time, so that a run of many minutes shows it is alive.
void reportProgress(const char* phase, uint32_t row, uint32_t rows, Clock::time_point start) {
  const uint32_t step = std::max<uint32_t>(rows / 10, 1);
  if ((row + 1) % step == 0) {
    std::fprintf(stderr, "%s: %u of %u rows, %.0f s\n", phase, row + 1, rows, secondsSince(start));
  }
}

struct Phase {
  double seconds = 0;
  double peakGrowthBytes = 0;
  uint64_t digest = 0;
};

// Peak memory is measured from here: the row buffers the caller made are not counted.
class PhaseMeter {
public:
  PhaseMeter() : start_(Clock::now()) {
    ProcessMemory::resetPeak();
    before_ = ProcessMemory::residentBytes();
    start_ = Clock::now();
  }
  Clock::time_point start() const { return start_; }
  Phase finish(uint64_t digest) const {
    return {secondsSince(start_), static_cast<double>(ProcessMemory::peakResidentBytes() - before_),
            digest};
  }

private:
  Clock::time_point start_;
  uint64_t before_ = 0;
};

TiffImageInfo rgbInfo(uint32_t size) {
  TiffImageInfo info;
  info.width = size;
  info.height = size;
  info.bitsPerSample = 8;
  info.samplesPerPixel = kSamples;
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.xResolution = 300.0F;
  info.yResolution = 300.0F;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  return info;
}

Phase writeImage(const std::string& path, uint32_t size, double& generatingSeconds) {
  SmoothContent content(size, size);
  std::vector<uint8_t> row(size_t{size} * kSamples);
  DigestSink digest;
  ITiffWriter* writer = createTiffWriter();
  const PhaseMeter meter;
  bool written = writer->begin(path.c_str(), rgbInfo(size), kInterleaved);
  for (uint32_t y = 0; written && y < size; ++y) {
    const Clock::time_point generating = Clock::now();
    content.row8(y, kSamples, row.data());
    generatingSeconds += secondsSince(generating);
    digest.take(row.data(), row.size());
    written = writer->writeScanline(y, row.data(), static_cast<uint32_t>(row.size()));
    reportProgress("write", y, size, meter.start());
  }
  writer->end();
  const Phase phase = meter.finish(digest.digest());
  destroyTiffWriter(writer);
  if (!written) {
    throw std::runtime_error("the writer failed");
  }
  return phase;
}

Phase readImage(const std::string& path, uint32_t size) {
  DigestSink digest;
  ITiffReader* reader = createTiffReader();
  const PhaseMeter meter;
  bool read = reader->begin(path.c_str()) && reader->beginReadSubDir(0) &&
              reader->getImageInfo().scanlineCount == size;
  for (uint32_t y = 0; read && y < size; ++y) {
    uint8_t* data = nullptr;
    uint32_t bytes = 0;
    read = reader->readScanline(y, &data, &bytes);
    if (read) {
      digest.take(data, bytes);
    }
    reportProgress("read", y, size, meter.start());
  }
  reader->endReadSubDir();
  reader->end();
  const Phase phase = meter.finish(digest.digest());
  destroyTiffReader(reader);
  if (!read) {
    throw std::runtime_error("the reader failed");
  }
  return phase;
}

constexpr const char* kReadOption = "--read";

std::string thisProgram() {
  return std::filesystem::read_symlink("/proc/self/exe").string();
}

// The child's answer is one line: seconds, peak growth in bytes, digest.
Phase readInChildProcess(const std::string& path, uint32_t size) {
  std::istringstream answer(
      ChildProcess::run({thisProgram(), kReadOption, path, std::to_string(size)}));
  Phase phase;
  answer >> phase.seconds >> phase.peakGrowthBytes >> phase.digest;
  if (!answer) {
    throw std::runtime_error("no answer from the reading process");
  }
  return phase;
}

int readOnly(const std::string& path, uint32_t size) {
  const Phase read = readImage(path, size);
  std::cout << read.seconds << ' ' << read.peakGrowthBytes << ' ' << read.digest << '\n';
  return 0;
}

int run(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == kReadOption) {
    return readOnly(argv[2], static_cast<uint32_t>(std::stoul(argv[3])));
  }
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: orvex_bench_scale FOLDER [SIZE]\n";
    return 2;
  }
  const uint32_t size = argc == 3 ? static_cast<uint32_t>(std::stoul(argv[2])) : 65536;
  const std::string path =
      (std::filesystem::path(argv[1]) / ("scale-" + std::to_string(size) + ".tif")).string();
  const double rawBytes = static_cast<double>(size) * size * kSamples;

  double generatingSeconds = 0;
  Phase written;
  Phase read;
  double fileBytes = 0;
  try {
    written = writeImage(path, size, generatingSeconds);
    fileBytes = static_cast<double>(std::filesystem::file_size(path));
    read = readInChildProcess(path, size);
  } catch (...) {
    std::filesystem::remove(path);
    throw;
  }
  std::filesystem::remove(path);

  const double rawMiB = mebibytes(rawBytes);
  std::printf(
      "| %u x %u RGB 8-bit | %.0f MiB | %.0f MiB (%.0f %%) | %.1f s (%.0f MiB/s; %.1f s "
      "making rows) | %.2f MiB | %.1f s (%.0f MiB/s) | %.2f MiB | %s |\n",
      size, size, rawMiB, mebibytes(fileBytes), 100.0 * fileBytes / rawBytes, written.seconds,
      rawMiB / written.seconds, generatingSeconds, mebibytes(written.peakGrowthBytes), read.seconds,
      rawMiB / read.seconds, mebibytes(read.peakGrowthBytes),
      written.digest == read.digest ? "yes" : "NO");
  return written.digest == read.digest ? 0 : 1;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench_scale", orvex_bench::run, argc, argv);
}
