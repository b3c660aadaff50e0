// Writing through the C interface never harms the target: every way a write can fail, from a
// refused description to a full disk, leaves an existing target byte for byte as it was and
// no temporary file beside it. (Pages written through it are read back by the Python tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Calls.h"
#include "orvex/orvex_c.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const std::string kPrevious = "the target as it was";

struct FailureCase {
  const char* name;
  std::function<void(Request&)> change;
  // Drives a writer that was created; the status of the call that fails.
  std::function<orvex_status(orvex_writer*, const Request&)> drive;
};

orvex_status rowsThenClose(orvex_writer* writer, const Request& request) {
  const orvex_status status = request.writeRows(writer);
  return status != ORVEX_STATUS_OK ? status : orvex_writer_close(writer);
}

const uint8_t kRow[16] = {};

const FailureCase kFailures[] = {
    {"a byte UTF-8 never uses in a name", [](Request& r) { r.channels[0] = named(3, 2, "G\xFF"); },
     rowsThenClose},
    {"a surrogate encoded in 4 bytes, overlong",
     [](Request& r) { r.channels[0] = named(3, 4, "\xF0\x8D\xA0\x80"); }, rowsThenClose},
    {"name cut inside a character", [](Request& r) { r.channels[0] = named(3, 2, "G\xC3"); },
     rowsThenClose},
    {"a name of one byte at a null pointer",
     [](Request& r) { r.channels[0] = named(3, 1, nullptr); }, rowsThenClose},
    {"a colour space beyond 16 bits",
     [](Request& r) {
       r.channels[0].has_color = 1;
       r.channels[0].color_space = 70000;
     },
     rowsThenClose},
    {"a negative colour space",
     [](Request& r) {
       r.channels[0].has_color = 1;
       r.channels[0].color_space = -1;
     },
     rowsThenClose},
    {"fewer channel records than extra samples", [](Request& r) { r.channels.clear(); },
     rowsThenClose},
    {"RGB with two colour samples", [](Request& r) { r.info.samples_per_pixel = 3; },
     rowsThenClose},
    {"LogLuv, which the reader takes only SGILOG-compressed",
     [](Request& r) { r.info.photometric = ORVEX_PHOTOMETRIC_LOG_LUV; }, rowsThenClose},
    {"samples of 4 bits side by side", [](Request& r) { r.info.bits_per_sample = 4; },
     rowsThenClose},
    {"samples of 12 bits", [](Request& r) { r.info.bits_per_sample = 12; }, rowsThenClose},
    {"a negative resolution", [](Request& r) { r.info.y_resolution = -1.0F; }, rowsThenClose},
    {"an older, shorter struct", [](Request& r) { r.info.struct_size = 8; }, rowsThenClose},
    {"a folder that is not there", [](Request& r) { r.leaf = "missing/out.tif"; }, rowsThenClose},
    {"a row shorter than the page's",
     {},
     [](orvex_writer* w, const Request&) { return orvex_writer_write_scanline(w, 0, kRow, 15); }},
    {"a row out of order",
     {},
     [](orvex_writer* w, const Request&) { return orvex_writer_write_scanline(w, 1, kRow, 16); }},
    {"a plane's row on an interleaved page",
     {},
     [](orvex_writer* w, const Request&) {
       return orvex_writer_write_channel_scanline(w, 0, 0, kRow, 16);
     }},
    {"the second plane before the first is complete",
     [](Request& r) { r.planar = ORVEX_PLANAR_SEPARATE; },
     [](orvex_writer* w, const Request&) {
       orvex_writer_write_channel_scanline(w, 0, 0, kRow, 4);
       return orvex_writer_write_channel_scanline(w, 1, 0, kRow, 4);
     }},
    {"a row beyond the last",
     {},
     [](orvex_writer* w, const Request& r) {
       r.writeRows(w);
       return orvex_writer_write_scanline(w, 3, kRow, 16);
     }},
    {"closed with rows missing",
     {},
     [](orvex_writer* w, const Request&) {
       orvex_writer_write_scanline(w, 0, kRow, 16);
       return orvex_writer_close(w);
     }},
    {"destroyed without closing",
     {},
     [](orvex_writer* w, const Request& r) { return r.writeRows(w); }},
};

class SafeWriting : public ::testing::Test {
protected:
  void SetUp() override {
    request_.folder = temp_.path().u8string();
    std::ofstream(temp_.file("out.tif"), std::ios::binary) << kPrevious;
  }

  // The target holds what it held, and nothing else is left in its folder.
  void expectTargetUntouched() const {
    std::ifstream in(temp_.file("out.tif"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kPrevious);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.path()))
      names.push_back(entry.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{"out.tif"});
  }

  orvex_test::TempDir temp_;
  Request request_;
};

// Each failure's status and reason are in tests/data/transcripts/capi/write_failures.txt.
TEST_F(SafeWriting, EveryFailureLeavesTheTargetAsItWas) {
  std::string text;
  for (const FailureCase& failure : kFailures) {
    SCOPED_TRACE(failure.name);
    Request request = request_;
    if (failure.change) failure.change(request);
    orvex_writer* writer = nullptr;
    orvex_status status = request.create(&writer);
    if (status == ORVEX_STATUS_OK) status = failure.drive(writer, request);
    text += std::string(failure.name) + ": " +
            (status == ORVEX_STATUS_OK ? "0" : reasonOf(status)) + "\n";
    orvex_writer_destroy(writer);
    expectTargetUntouched();
  }
  orvex_test::expectTranscript("capi/write_failures.txt",
                               orvex_test::replaced(text, {{request_.folder, "FOLDER"}}));
}

#if !defined(_WIN32)
// A disk that takes no more than 4 KiB: RLIMIT_FSIZE in a child, with SIGXFSZ ignored so
// that write() fails with EFBIG. The child reports its status and reason through a pipe.
TEST_F(SafeWriting, FullDiskReportsNoSpaceAndLeavesTheTargetAsItWas) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    Request request = request_;
    request.info.width = 512;
    request.info.height = 64;
    std::vector<uint8_t> row(512 * 4);
    std::mt19937 noise(5);
    orvex_writer* writer = nullptr;
    orvex_status status = request.create(&writer);
    for (uint32_t y = 0; status == ORVEX_STATUS_OK && y < 64; ++y) {
      for (uint8_t& byte : row) byte = static_cast<uint8_t>(noise());
      status = orvex_writer_write_scanline(writer, y, row.data(), 512 * 4);
    }
    if (status == ORVEX_STATUS_OK) status = orvex_writer_close(writer);
    orvex_writer_destroy(writer);
    const std::string report = reasonOf(status);
    (void)!write(channel[1], report.data(), report.size());
    _exit(0);
  }
  close(channel[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(channel[0]);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(report, std::to_string(ORVEX_STATUS_NO_SPACE) +
                        " [TiffWriter::writeScanline] TIFFWriteScanline failed!: File too large");
  expectTargetUntouched();
}
#endif

}  // namespace
