// orvex_bench_proof: what `orvex preview` of a prepress job costs, the CMYK proof above all.
//
//   orvex_bench_proof ORVEX FOLDER [RUNS]     RUNS 5 by default
//
// Writes FOLDER/job-N.tif for N 2048 and 4096 (an existing file is reused): CMYK with two spot
// colours and an alpha, 8-bit, smooth content, LZW strips of 10 rows as the library writes
// them, the spots with their colours, the larger file also with a CMYK profile of its own when
// Ghostscript's default_cmyk.icc is installed. Then runs the tool ORVEX on each case RUNS
// times, each run a fresh process, and prints one table row per case: the medians of its wall
// time and of its CPU time (user and system, which a busy machine does not inflate), the
// tool's peak resident memory and the PNG's size. The 4096 x 4096 proof with the fast
// compression must take at most 2 s of CPU; the same peak memory at both sizes shows that the
// tool works in constant memory.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "GuardedMain.h"
#include "SmoothContent.h"
#include "orvex/orvex_c.h"

namespace orvex_bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kSamples = 7;  // C, M, Y, K, two spots, an alpha
constexpr double kTargetSeconds = 2.0;
const char* const kGhostscriptCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

void check(orvex_status status, const char* call) {
  if (status != ORVEX_STATUS_OK) {
    const char* reason = nullptr;
    orvex_last_failure(&reason);
    throw std::runtime_error(std::string(call) + ": " + (reason != nullptr ? reason : "?"));
  }
}

orvex_channel channel(int32_t kind, const char* name, int32_t space,
                      std::array<uint16_t, 4> components, uint16_t opacity) {
  orvex_channel record{};
  record.struct_size = sizeof record;
  record.kind = kind;
  record.name = name;
  record.name_size = static_cast<uint32_t>(std::char_traits<char>::length(name));
  record.has_color = 1;
  record.color_space = space;
  std::copy(components.begin(), components.end(), record.components);
  record.opacity = opacity;
  return record;
}

// A gold spot (RGB), a varnish (Lab) at 40 %, and a die line as an alpha.
void writeJob(const std::string& path, uint32_t side, const std::vector<uint8_t>& profile) {
  const orvex_channel channels[] = {
      channel(ORVEX_CHANNEL_SPOT, "Gold", ORVEX_COLOR_SPACE_RGB, {65535, 55255, 257, 0}, 100),
      channel(ORVEX_CHANNEL_SPOT, "Varnish", ORVEX_COLOR_SPACE_LAB, {9000, 0, 64036, 0}, 40),
      channel(ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "Die", ORVEX_COLOR_SPACE_RGB, {0, 0, 0, 0}, 0),
  };
  orvex_page_info info{};
  info.struct_size = sizeof info;
  info.width = info.height = side;
  info.bits_per_sample = 8;
  info.samples_per_pixel = kSamples;
  info.extra_samples = 3;
  info.sample_format = ORVEX_SAMPLE_FORMAT_UINT;
  info.photometric = ORVEX_PHOTOMETRIC_SEPARATED;
  info.resolution_unit = ORVEX_RESOLUTION_UNIT_INCH;
  info.x_resolution = info.y_resolution = 300.0F;
  info.icc_profile_size = static_cast<uint32_t>(profile.size());
  info.icc_profile = profile.data();
  orvex_writer* writer = nullptr;
  check(orvex_writer_create(path.c_str(), &info, channels, 3, ORVEX_PLANAR_CONTIG, &writer),
        "orvex_writer_create");
  SmoothContent content(side, side);
  std::vector<uint8_t> row(size_t{side} * kSamples);
  for (uint32_t y = 0; y < side; ++y) {
    content.row8(y, kSamples, row.data());
    check(orvex_writer_write_scanline(writer, y, row.data(), static_cast<uint32_t>(row.size())),
          "orvex_writer_write_scanline");
  }
  check(orvex_writer_close(writer), "orvex_writer_close");
  orvex_writer_destroy(writer);
}

std::string job(const std::filesystem::path& folder, uint32_t side, bool ownProfile) {
  const std::string name = "job-" + std::to_string(side) + (ownProfile ? "-icc" : "") + ".tif";
  const std::string path = (folder / name).string();
  if (!std::filesystem::exists(path)) {
    std::ifstream in(kGhostscriptCmyk, std::ios::binary);
    const std::vector<uint8_t> profile =
        ownProfile ? std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})
                   : std::vector<uint8_t>();
    writeJob(path, side, profile);
  }
  return path;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Case {
  uint32_t side;
  bool ownProfile;
  std::vector<std::string> options;
  const char* what;
  bool timed;  ///< held to the target
};

void runCase(const std::string& orvex, const std::filesystem::path& folder, const Case& c,
             int runs) {
  const std::string png = (folder / "proof.png").string();
  std::vector<std::string> argv = {orvex, "preview", job(folder, c.side, c.ownProfile), png};
  argv.insert(argv.end(), c.options.begin(), c.options.end());
  std::vector<double> wall;
  std::vector<double> cpu;
  uint64_t peak = 0;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    ChildUsage usage;
    ChildProcess::run(argv, &usage);
    wall.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    cpu.push_back(usage.cpuSeconds);
    peak = std::max(peak, usage.peakBytes);
  }
  const double cpuMedian = median(cpu);
  std::printf("| %u x %u | %s | %.2f s | %.2f s | %.1f MiB | %.2f MiB | %s |\n", c.side, c.side,
              c.what, median(wall), cpuMedian, static_cast<double>(peak) / 1048576.0,
              static_cast<double>(std::filesystem::file_size(png)) / 1048576.0,
              !c.timed                      ? ""
              : cpuMedian <= kTargetSeconds ? "within 2 s"
                                            : "OVER 2 s");
}

int run(int argc, char** argv) {
  if (argc < 3) {
    throw std::runtime_error("usage: orvex_bench_proof ORVEX FOLDER [RUNS]");
  }
  const std::filesystem::path folder = argv[2];
  const int runs = argc > 3 ? std::max(1, std::stoi(argv[3])) : 5;
  const bool ghostscript = std::filesystem::exists(kGhostscriptCmyk);
  std::vector<Case> cases = {
      {2048, false, {}, "proof, built-in profile", false},
      {4096, false, {}, "proof, built-in profile", true},
      {4096,
       false,
       {"--compression", "best"},
       "proof, built-in profile, --compression best",
       false},
      {4096, false, {"--channel", "0"}, "cyan plate in grey", false},
  };
  if (ghostscript) {
    cases.insert(cases.begin() + 2, {4096, true, {}, "proof, the file's profile", true});
  }
  std::puts("| image | preview | wall time | CPU time | peak memory | PNG | target |");
  std::puts("| ----- | ------- | --------: | -------: | ----------: | --: | ------ |");
  for (const Case& c : cases) {
    runCase(argv[1], folder, c, runs);
  }
  return 0;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench_proof", orvex_bench::run, argc, argv);
}
