// Writing through the C interface never harms the target: every way a write can fail, from a
// refused description to a full disk, leaves an existing target byte for byte as it was and
// no temporary file beside it. (Pages written through it are read back by the Python tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
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
  const char* calls = "rows close";  // as Request::write takes them
};

const FailureCase kFailures[] = {
    {"a byte UTF-8 never uses in a name",
     [](Request& r) { r.channels[0] = channelOf("3", 2, "G\xFF"); }},
    {"a surrogate encoded in 4 bytes, overlong",
     [](Request& r) { r.channels[0] = channelOf("3", 4, "\xF0\x8D\xA0\x80"); }},
    {"name cut inside a character", [](Request& r) { r.channels[0] = channelOf("3", 2, "G\xC3"); }},
    {"a name of one byte at a null pointer",
     [](Request& r) { r.channels[0] = channelOf("3", 1, nullptr); }},
    {"a colour space beyond 16 bits",
     [](Request& r) { r.channels[0] = channelOf("3 70000 0,0,0,0 0", 4, "Gold"); }},
    {"a negative colour space",
     [](Request& r) { r.channels[0] = channelOf("3 -1 0,0,0,0 0", 4, "Gold"); }},
    {"fewer channel records than extra samples", [](Request& r) { r.channels.clear(); }},
    {"RGB with two colour samples", [](Request& r) { r.info.samples_per_pixel = 3; }},
    {"LogLuv, which the reader takes only SGILOG-compressed",
     [](Request& r) { r.info.photometric = ORVEX_PHOTOMETRIC_LOG_LUV; }},
    {"samples of 4 bits side by side", [](Request& r) { r.info.bits_per_sample = 4; }},
    {"samples of 12 bits", [](Request& r) { r.info.bits_per_sample = 12; }},
    {"a negative resolution", [](Request& r) { r.info.y_resolution = -1.0F; }},
    {"an older, shorter struct", [](Request& r) { r.info.struct_size = 8; }},
    {"a folder that is not there", [](Request& r) { r.leaf = "missing/out.tif"; }},
    {"a folder in the target's place", [](Request& r) { r.leaf = "."; }},
    {"a row shorter than the page's", {}, "row:0:15"},
    {"a row out of order", {}, "row:1:16"},
    {"a plane's row on an interleaved page", {}, "plane:0:0:16"},
    {"the second plane before the first is complete",
     [](Request& r) { r.planar = ORVEX_PLANAR_SEPARATE; }, "plane:0:0:4 plane:1:0:4"},
    {"a row beyond the last", {}, "rows row:3:16"},
    {"closed with rows missing", {}, "row:0:16 close"},
    {"destroyed without closing", {}, "rows"},
};

class SafeWriting : public ::testing::Test {
protected:
  void SetUp() override {
    request_.folder = temp_.path().u8string();
    std::ofstream(temp_.file("out.tif"), std::ios::binary) << kPrevious;
  }

  // The target holds what it held, and nothing else is left in its folder.
  void expectTargetUntouched() const {
    EXPECT_EQ(fileBytes(temp_.file("out.tif")), kPrevious);
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
    const orvex_status status = request.write(failure.calls);
    text += std::string(failure.name) + ": " +
            (status == ORVEX_STATUS_OK ? "0" : reasonOf(status)) + "\n";
    expectTargetUntouched();
  }
  orvex_test::expectTranscript("capi/write_failures.txt",
                               orvex_test::replaced(text, {{request_.folder, "FOLDER"}}));
}

#if !defined(_WIN32)
// What `write` reports when run in a child whose disk takes no more than `bytes`: RLIMIT_FSIZE,
// with SIGXFSZ ignored so that write() fails with EFBIG; the report comes through a pipe.
std::string onASmallDisk(rlim_t bytes, const std::function<std::string()>& write) {
  int channel[2];
  if (pipe(channel) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::string report = write();
    (void)!::write(channel[1], report.data(), report.size());
    _exit(0);
  }
  close(channel[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(channel[0]);
  waitpid(child, nullptr, 0);
  return report;
}

// Writes the request's rows, makes the change, and closes twice: the reasons of both closes.
std::string closedTwice(const Request& request, const std::function<void()>& change = {}) {
  orvex_writer* writer = nullptr;
  orvex_writer_create((request.folder + "/" + request.leaf).c_str(), &request.info,
                      request.channels.data(), 1, request.planar, &writer);
  request.writeRows(writer);
  if (change) change();
  std::string reasons = reasonOf(orvex_writer_close(writer)) + "\n";
  reasons += reasonOf(orvex_writer_close(writer)) + "\n";
  orvex_writer_destroy(writer);
  return orvex_test::replaced(reasons, {{request.folder, "FOLDER"}});
}

// Rows of noise fill 4 KiB. A small page's rows wait for the close, which fails; a folder made
// in the target's place while the rows are written is found when the file replaces it, and is
// left as it was. A close that failed leaves the writer broken: a second close is refused and
// does not try again.
TEST_F(SafeWriting, FullDiskOrAFolderInTheWayFailsAndLeavesTheTargetAsItWas) {
  Request large = request_;
  large.info.width = 512;
  large.info.height = 64;
  EXPECT_EQ(onASmallDisk(4096, [&] { return reasonOf(large.write()); }),
            std::to_string(ORVEX_STATUS_NO_SPACE) +
                " [TiffWriter::writeScanline] TIFFWriteScanline failed!: File too large");
  EXPECT_EQ(onASmallDisk(64, [&] { return closedTwice(request_); }),
            "7 [orvex_writer::close] closing FOLDER/out.tif.TMP failed!: File too large\n9 "
            "[orvex_writer::close] a row failed, the file is incomplete!\n");
  expectTargetUntouched();
  request_.leaf = "folder";
  EXPECT_EQ(closedTwice(request_,
                        [&] { std::filesystem::create_directories(temp_.file("folder/inside")); }),
            "2 [orvex_writer::close] FOLDER/folder.TMP cannot replace FOLDER/folder!: Is a "
            "directory\n9 [orvex_writer::close] a row failed, the file is incomplete!\n");
  EXPECT_TRUE(std::filesystem::exists(temp_.file("folder/inside")));
}
#endif

}  // namespace
