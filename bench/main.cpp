// orvex_bench: times reading every row of generated images through the library's exports
// against raw libtiff doing the same work, times the writer against TIFFWriteScanline, then
// measures the peak resident memory of each read in a fresh process, and prints one table.
//
//   orvex_bench [--images-dir=DIR] [--skip-memory] [Google Benchmark flags]
//
// --images-dir keeps the generated images in DIR (reused by later runs) instead of a
// temporary folder. Run with --benchmark_repetitions=5 (or more) on a busy machine: the table
// then quotes the medians of the CPU times.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchCases.h"
#include "ChildProcess.h"
#include "GuardedMain.h"
#include "ImageFolder.h"
#include "MedianCollector.h"
#include "ProcessMemory.h"
#include "RawReads.h"
#include "SummaryTable.h"
#include "WriteCases.h"

namespace orvex_bench {
namespace {

constexpr const char* kLibrary = "library";
constexpr const char* kLibtiff = "libtiff";
constexpr const char* kCInterface = "c_interface";
constexpr const char* kMemoryProbe = "--memory-probe";

struct Options {
  std::string imagesDir;
  bool skipMemory = false;
};

// Takes this program's own flags out of argv, leaving Google Benchmark's.
Options takeOwnOptions(int& argc, char** argv) {
  Options options;
  const std::string imagesDir = "--images-dir=";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.compare(0, imagesDir.size(), imagesDir) == 0) {
      options.imagesDir = arg.substr(imagesDir.size());
    } else if (arg == "--skip-memory") {
      options.skipMemory = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return options;
}

std::string benchmarkName(const char* side, const char* caseName) {
  return std::string(side) + "/" + caseName;
}

// Every side of a case must deliver the same bytes, or the comparison means nothing.
bool deliverSameRows(const ReadCase& c, const std::string& path, std::string& why) {
  DigestSink library;
  DigestSink libtiff;
  DigestSink cInterface;
  c.library(path.c_str(), library);
  c.libtiff(path.c_str(), libtiff);
  c.cInterface(path.c_str(), cInterface);
  const auto same = [&](const DigestSink& other) {
    return library.rows() == other.rows() && library.digest() == other.digest();
  };
  if (same(libtiff) && same(cInterface)) {
    return true;
  }
  why = std::string(c.name) + ": the library's rows differ from " +
        (same(libtiff) ? "the C interface's" : "libtiff's");
  return false;
}

bool storeSameRows(const std::string& libraryFile, const std::string& libtiffFile,
                   std::string& why) {
  DigestSink library;
  DigestSink libtiff;
  readStripRowsWithLibtiff(libraryFile.c_str(), library);
  readStripRowsWithLibtiff(libtiffFile.c_str(), libtiff);
  if (library.digest() == libtiff.digest()) {
    return true;
  }
  why = "the writer stored other rows than TIFFWriteScanline";
  return false;
}

void registerReadCase(const ReadCase& c, const ImageFolder& folder) {
  const std::string path = folder.imageOf(c.name);
  const int64_t rawBytes = static_cast<int64_t>(rawBytesOf(c.image));
  auto checked = std::make_shared<bool>(false);
  const auto time = [=](benchmark::State& state, ReadFunction read) {
    std::string why;
    if (!*checked && !deliverSameRows(c, path, why)) {
      state.SkipWithError(why.c_str());
      return;
    }
    *checked = true;
    DiscardingSink sink;
    for (auto _ : state) {
      read(path.c_str(), sink);
    }
    state.SetBytesProcessed(state.iterations() * rawBytes);
    state.counters["target"] = c.target;
  };
  benchmark::RegisterBenchmark(benchmarkName(kLibrary, c.name).c_str(),
                               [=](benchmark::State& state) { time(state, c.library); })
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(benchmarkName(kLibtiff, c.name).c_str(),
                               [=](benchmark::State& state) { time(state, c.libtiff); })
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(benchmarkName(kCInterface, c.name).c_str(),
                               [=](benchmark::State& state) { time(state, c.cInterface); })
      ->Unit(benchmark::kMillisecond);
}

// The picture is made when the writer case first runs, so that runs filtered to other cases
// do not pay for it.
struct WriterState {
  std::unique_ptr<RgbaPicture> picture;
  bool checked = false;
};

void registerWriteCase(const ImageFolder& folder) {
  const WriteCase& w = writeCase();
  const std::string libraryFile = folder.outputOf(std::string(w.name) + "-" + kLibrary);
  const std::string libtiffFile = folder.outputOf(std::string(w.name) + "-" + kLibtiff);
  auto shared = std::make_shared<WriterState>();
  using WriteFunction = void (*)(const char*, const RgbaPicture&);
  const auto time = [=](benchmark::State& state, WriteFunction write, const std::string& file) {
    if (!shared->picture) {
      shared->picture = std::make_unique<RgbaPicture>(w.width, w.height);
    }
    const RgbaPicture& picture = *shared->picture;
    std::string why;
    if (!shared->checked) {
      writeThroughLibrary(libraryFile.c_str(), picture);
      writeWithLibtiff(libtiffFile.c_str(), picture);
      if (!storeSameRows(libraryFile, libtiffFile, why)) {
        state.SkipWithError(why.c_str());
        return;
      }
      shared->checked = true;
    }
    for (auto _ : state) {
      write(file.c_str(), picture);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{picture.rowBytes()} * w.height);
    state.counters["target"] = w.target;
  };
  benchmark::RegisterBenchmark(
      benchmarkName(kLibrary, w.name).c_str(),
      [=](benchmark::State& state) { time(state, writeThroughLibrary, libraryFile); })
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(
      benchmarkName(kLibtiff, w.name).c_str(),
      [=](benchmark::State& state) { time(state, writeWithLibtiff, libtiffFile); })
      ->Unit(benchmark::kMillisecond);
}

// Runs in a child process, so that the high-water mark holds this read alone; prints the
// growth of the resident set in bytes.
int probeMemory(const std::string& side, const std::string& caseName, const std::string& path) {
  const ReadCase& c = readCaseNamed(caseName);
  const ReadFunction read = side == kLibrary      ? c.library
                            : side == kCInterface ? c.cInterface
                                                  : c.libtiff;
  ProcessMemory::resetPeak();
  const uint64_t before = ProcessMemory::residentBytes();
  DiscardingSink sink;
  read(path.c_str(), sink);
  std::cout << ProcessMemory::peakResidentBytes() - before << '\n';
  return 0;
}

std::string thisProgram() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) {
    throw std::runtime_error("cannot find this program's path");
  }
  return std::string(path, static_cast<size_t>(length));
}

double peakGrowth(const char* side, const ReadCase& c, const ImageFolder& folder) {
  return std::stod(
      ChildProcess::run({thisProgram(), kMemoryProbe, side, c.name, folder.imageOf(c.name)}));
}

std::string budgetNote(const ReadCase& c) {
  const double cacheMiB = static_cast<double>(c.cacheBytes()) / (1 << 20);
  char note[96];
  std::snprintf(note, sizeof note, "1.2 x %.2f MiB %s + 1 MiB", cacheMiB,
                c.image.tileWidth != 0 ? "row of tiles" : "strip");
  return note;
}

// A row when `measured` or `baseline` ran for the case; a failure when only one did.
void addTimeRow(SummaryTable& table, const MedianCollector& medians, const char* measured,
                const char* baseline, const char* name, const char* label, double target) {
  const auto measuredMs = medians.cpuMilliseconds(benchmarkName(measured, name));
  const auto baselineMs = medians.cpuMilliseconds(benchmarkName(baseline, name));
  if (measuredMs && baselineMs) {
    table.addTimes(label, *measuredMs, *baselineMs, target);
  } else if (measuredMs || baselineMs) {
    table.addFailure(label, "only one side ran");
  }
}

int run(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == kMemoryProbe) {
    return probeMemory(argv[2], argv[3], argv[4]);
  }
  const Options options = takeOwnOptions(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 2;
  }
  ImageFolder folder(options.imagesDir);
  folder.generateMissing();
  for (const ReadCase& c : readCases()) {
    registerReadCase(c, folder);
  }
  registerWriteCase(folder);

  // The running report goes to stderr, so that stdout holds the table alone.
  MedianCollector medians;
  medians.SetOutputStream(&std::cerr);
  medians.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&medians);

  SummaryTable table;
  for (const ReadCase& c : readCases()) {
    addTimeRow(table, medians, kLibrary, kLibtiff, c.name, c.label, c.target);
  }
  addTimeRow(table, medians, kLibrary, kLibtiff, writeCase().name, writeCase().label,
             writeCase().target);
  if (!options.skipMemory) {
    for (const ReadCase& c : readCases()) {
      if (!medians.cpuMilliseconds(benchmarkName(kLibrary, c.name))) {
        continue;
      }
      table.addMemory(std::string("peak memory: ") + c.label, peakGrowth(kLibrary, c, folder),
                      peakGrowth(kLibtiff, c, folder), static_cast<double>(c.memoryBudgetBytes()),
                      budgetNote(c));
    }
  }
  SummaryTable cTable("C interface", "C++ interface");
  for (const ReadCase& c : readCases()) {
    addTimeRow(cTable, medians, kCInterface, kLibrary, c.name, c.label, kCInterfaceTarget);
  }
  std::cout << '\n';
  table.print(std::cout);
  std::cout << '\n';
  cTable.print(std::cout);
  benchmark::Shutdown();
  // A missed target is the table's news, not a failure of the run: timings on a shared
  // machine vary, and the verdict column says what was missed.
  return 0;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench", orvex_bench::run, argc, argv);
}
