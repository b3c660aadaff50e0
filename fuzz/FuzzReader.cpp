// Drives the whole reader through its exports, as a host would, over a file whose bytes come
// from the fuzzer: every directory is begun and described, and every row is read interleaved
// and channel by channel.
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "orvex/orvex.h"

namespace {

// Work done per input is capped so that one input takes milliseconds, not minutes: rows of
// an image are read only while the reads and the samples they deliver stay below these. The
// library bounds its own allocations and work per row; this bounds the harness's row loops.
constexpr uint64_t kMaxSamplesReadPerDirectory = uint64_t{1} << 24;
constexpr uint64_t kMaxRowReadsPerDirectory = uint64_t{1} << 17;
// Files with many directories are walked through their first ones only.
constexpr uint16_t kMaxDirectories = 16;

std::string& inputPath() {
  static std::string path;
  return path;
}

bool writeInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(inputPath().c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void failIf(bool failed, const char* what) {
  if (failed) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}

// A host must be ready for the exceptions readScanline lets through (an index beyond a
// buffer list raises "out range!"); anything else escaping the reader is a finding. True
// when a row was delivered.
template <typename Read>
bool readGuarded(Read read) {
  try {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!read(&data, &size)) {
      return false;
    }
    if (size > 0) {
      // Touch the first and the last byte handed out: they must be the reader's own.
      volatile uint8_t sink = data[0];
      sink = data[size - 1];
      (void)sink;
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void readRows(ITiffReader& reader, const TiffImageInfo& info, bool rowScanline) {
  const uint32_t rows = info.scanlineCount;
  // Scanlines that are picture columns are as long as the picture is high.
  const uint32_t width = rowScanline ? info.width : info.height;
  // Interleaved rows, then one pass per channel, plus one channel past the last.
  const uint64_t passes = uint64_t{info.samplesPerPixel} + 2;
  // A zero width still costs a call per row.
  const uint64_t samplesPerRow =
      std::max<uint64_t>(width, 1) * (uint64_t{info.samplesPerPixel} + 1);
  const uint64_t reads = (uint64_t{rows} + 1) * passes;
  if (reads > kMaxRowReadsPerDirectory || reads * samplesPerRow > kMaxSamplesReadPerDirectory) {
    return;
  }
  const auto readRow = [&](uint32_t row) {
    return readGuarded(
        [&](uint8_t** data, uint32_t* size) { return reader.readScanline(row, data, size); });
  };
  for (uint32_t row = 0; row < rows; ++row) {
    readRow(row);
  }
  failIf(readRow(rows), "the row past the last was delivered");
  for (uint32_t channel = 0; channel <= info.samplesPerPixel; ++channel) {
    for (uint32_t row = 0; row < rows; ++row) {
      readGuarded([&](uint8_t** data, uint32_t* size) {
        return reader.readScanline(static_cast<uint16_t>(channel), row, data, size);
      });
    }
  }
}

void readFile(ITiffReader& reader) {
  if (!reader.begin(inputPath().c_str())) {
    return;
  }
  const uint16_t directories = reader.getNumberOfDirectories();
  for (uint16_t index = 0; index < directories && index < kMaxDirectories; ++index) {
    if (!reader.beginReadSubDir(index)) {
      continue;
    }
    const TiffImageInfo info = reader.getImageInfo();
    readRows(reader, info, reader.isRowScanline());
    reader.endReadSubDir();
  }
  failIf(reader.beginReadSubDir(directories), "the directory past the last was begun");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // libtiff's own warnings and errors would fill the fuzzer's output; the library's log
  // still records its side of every failure.
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
  const char* folder = std::getenv("TMPDIR");
  std::string path = std::string(folder != nullptr && folder[0] != '\0' ? folder : "/tmp") +
                     "/fuzz_reader." + std::to_string(getpid()) + ".tif";
  inputPath() = path;
  std::atexit([] { std::remove(inputPath().c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeInput(data, size)) {
    std::abort();
  }
  ITiffReader* reader = createTiffReader();
  readFile(*reader);
  reader->end();
  destroyTiffReader(reader);
  return 0;
}
